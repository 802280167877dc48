// libFuzzer harness for scene files through the engine's own loader, with a
// real physics world and OGRE without a display (no render system).
//
// Input: an input that starts with '<' is the file itself (so our venue
// files serve as seeds unchanged); otherwise byte 0 chooses how the rest
// becomes a scene file.
//   even: the rest is the file itself;
//   odd:  the rest edits a built-in well-formed scene (path nodes, materials,
//         physic objects of every shape and a joint of every kind): pairs of
//         (u8 value index, u8 choice) replace the index-th attribute value
//         with one of a few hostile texts.
// The built-in scene holds a camera and a light beside the bodies. A scene
// that loads is stepped and rendered for a few frames (OGRE's scene-graph
// update and bounds through every camera, as a rendered frame does them,
// without a render system), then emptied. With
// TAVIRELO_FUZZ_STATS set, the share of inputs that reached a stepped scene
// is printed now and then; with TAVIRELO_FUZZ_LOG set, the engine's log is
// shown.
#include <CGraphicElementRegistry.h>
#include <CKEMFrameWork.h>
#include <CKEMSceneGraph.h>
#include <CPhysicMgr.h>
#include <CPhysicsSystemODE.h>
#include <CWrapOgreSystem.h>
#include <CWrapOgreWorld.h>
#include <HalTimer.h>
#include <Platform.h>

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::string PathNode(const std::string& name, const std::string& parent, float y)
{
    char text[1024];
    std::snprintf(text, sizeof(text),
                  "<KEM_SCENE_NODE_VARLIST>\n"
                  "<CKEMSCENENODE_CLASSTYPE value=\"6\" />\n"
                  "<CKEMSCENENODE_NAME value=\"%s\"/>\n"
                  "<CKEMSCENENODE_PARENTNAME value=\"%s\"/>\n"
                  "<CKEMSCENENODE_POSITION_IC x=\"0\" y=\"%g\" z=\"0\" />\n"
                  "<CKEMSCENENODE_ORIENTATION_IC x=\"0\" y=\"0\" z=\"0\" w=\"1\" />\n"
                  "<CKEMSCENENODE_SCALE_IC x=\"1\" y=\"1\" z=\"1\" />\n"
                  "<CKEMSCENENODE_SCRIPT_PATH value=\"\"/>\n"
                  "<CKEMSCENENODE_PICK_MODE value=\"0\" />\n"
                  "<CKEMSCENENODE_VISIBLE value=\"1\" />\n"
                  "<CKEMSCENEPATH_MVECTORPOINTS Nb_Points=\"0\" ></CKEMSCENEPATH_MVECTORPOINTS>\n"
                  "</KEM_SCENE_NODE_VARLIST>\n",
                  name.c_str(), parent.c_str(), static_cast<double>(y));
    return text;
}

std::string Object(const std::string& node, int actor, int shape, float mass)
{
    char text[2048];
    std::snprintf(text, sizeof(text),
                  "<KEM_PHYSIC_OBJECT_VARLIST>\n"
                  "<CPHYSICOBJECT_KEMNODE_NAME value=\"%s\"/>\n"
                  "<CPHYSICOBJECT_ACTOR_TYPE value=\"%d\" />\n"
                  "<CPHYSICOBJECT_SHAPE_TYPE value=\"%d\" />\n"
                  "<CPHYSICOBJECT_MASS value=\"%g\" />\n"
                  "<CPHYSICOBJECT_BOX_SIZE x=\"0.5\" y=\"0.5\" z=\"0.5\" />\n"
                  "<CPHYSICOBJECT_SPHERE_RADIUS value=\"0.2\" />\n"
                  "<CPHYSICOBJECT_CAPSULE_HEIGHT value=\"1\" />\n"
                  "<CPHYSICOBJECT_CAPSULE_RADIUS value=\"0.3\" />\n"
                  "<CPHYSICOBJECT_TRANSFORM>\n"
                  "<Elem val0-0=\"1\" val0-1=\"0\" val0-2=\"0\" val0-3=\"0\"/>\n"
                  "<Elem val1-0=\"0\" val1-1=\"1\" val1-2=\"0\" val1-3=\"0.1\"/>\n"
                  "<Elem val2-0=\"0\" val2-1=\"0\" val2-2=\"1\" val2-3=\"0\"/>\n"
                  "<Elem val3-0=\"0\" val3-1=\"0\" val3-2=\"0\" val3-3=\"1\"/>\n"
                  "</CPHYSICOBJECT_TRANSFORM>\n"
                  "<CPHYSICOBJECT_MATERIAL_ID value=\"m\"/>\n"
                  "</KEM_PHYSIC_OBJECT_VARLIST>\n",
                  node.c_str(), actor, shape, static_cast<double>(mass));
    return text;
}

std::string Joint(const std::string& a, const std::string& b, int type)
{
    char text[2048];
    std::snprintf(text, sizeof(text),
                  "<KEM_PHYSIC_JOINT_VARLIST>\n"
                  "<CPHYSICJOINT_LINKED_KEM_SN1 value=\"%s\"/>\n"
                  "<CPHYSICJOINT_LINKED_KEM_SN2 value=\"%s\"/>\n"
                  "<CPHYSICJOINT_TYPE value=\"%d\" />\n"
                  "<CPHYSICJOINTBALL_ANCHOR x=\"0\" y=\"1\" z=\"0\" />\n"
                  "<CPHYSICJOINTHINGE_ANCHOR x=\"0\" y=\"1\" z=\"0\" />\n"
                  "<CPHYSICJOINTHINGE_AXIS x=\"0\" y=\"0\" z=\"1\" />\n"
                  "<CPHYSICJOINTHINGE_LOWLIMIT value=\"-1\" />\n"
                  "<CPHYSICJOINTHINGE_HIGHLIMIT value=\"1\" />\n"
                  "<CPHYSICJOINTSLIDER_AXIS x=\"1\" y=\"0\" z=\"0\" />\n"
                  "<CPHYSICJOINTSLIDER_LOWLIMIT value=\"-1\" />\n"
                  "<CPHYSICJOINTSLIDER_HIGHLIMIT value=\"1\" />\n"
                  "</KEM_PHYSIC_JOINT_VARLIST>\n",
                  a.c_str(), b.c_str(), type);
    return text;
}

// A venue's camera and light, every value of theirs open to the edits.
std::string CameraAndLight()
{
    return "<KEM_SCENE_NODE_VARLIST>\n"
           "<CKEMSCENENODE_CLASSTYPE value=\"5\" />\n"
           "<CKEMSCENENODE_NAME value=\"cam\"/>\n"
           "<CKEMSCENENODE_PARENTNAME value=\"ground\"/>\n"
           "<CKEMSCENENODE_POSITION_IC x=\"0\" y=\"1.8\" z=\"8.5\" />\n"
           "<CKEMSCENENODE_ORIENTATION_IC x=\"-0.1\" y=\"0\" z=\"0\" w=\"0.99\" />\n"
           "<CKEMSCENECAMERA_MPROJ_TYPE value=\"1\" />\n"
           "<CKEMSCENECAMERA_MPOLY_MODE value=\"3\" />\n"
           "<CKEMSCENECAMERA_MNEAR_CLIP value=\"0.05\" />\n"
           "<CKEMSCENECAMERA_MFAR_CLIP value=\"500\" />\n"
           "<CKEMSCENECAMERA_MFOV value=\"0.785\" />\n"
           "<CKEMSCENECAMERA_MASPECT_RATIO value=\"1.33\" />\n"
           "</KEM_SCENE_NODE_VARLIST>\n"
           "<KEM_SCENE_NODE_VARLIST>\n"
           "<CKEMSCENENODE_CLASSTYPE value=\"4\" />\n"
           "<CKEMSCENENODE_NAME value=\"lamp\"/>\n"
           "<CKEMSCENENODE_PARENTNAME value=\"ground\"/>\n"
           "<CKEMSCENENODE_POSITION_IC x=\"0\" y=\"10\" z=\"0\" />\n"
           "<CKEMSCENELIGHT_MTYPE value=\"2\" />\n"
           "<CKEMSCENELIGHT_MENABLED value=\"1\" />\n"
           "<CKEMSCENELIGHT_MDIFFCOLOUR r=\"1\" g=\"0.9\" b=\"0.8\" a=\"1\" />\n"
           "<CKEMSCENELIGHT_MSPECCOLOUR r=\"0.5\" g=\"0.5\" b=\"0.5\" a=\"1\" />\n"
           "<CKEMSCENELIGHT_MATT_RANGE value=\"100\" />\n"
           "<CKEMSCENELIGHT_MSPOTINNERANGLE value=\"0.3\" />\n"
           "<CKEMSCENELIGHT_MSPOTOUTERANGLE value=\"0.6\" />\n"
           "<CKEMSCENELIGHT_MDIRECTION x=\"0\" y=\"-1\" z=\"0.2\" />\n"
           "</KEM_SCENE_NODE_VARLIST>\n";
}

std::string BuiltInScene()
{
    std::string text = "<ROOT>\n"
                       "<KEM_PHYSIC_MGR_VARLIST>\n"
                       "<CPHYSICMGR_GRAVITY x=\"0\" y=\"-9.81\" z=\"0\" />\n"
                       "<CPHYSICMGR_NB_ITER value=\"20\" />\n"
                       "<CPHYSICMGR_STEP_SIZE value=\"0.01\" />\n"
                       "<CPHYSICMGR_CFM value=\"0.00001\" />\n"
                       "<CPHYSICMGR_ERP value=\"0.2\" />\n"
                       "</KEM_PHYSIC_MGR_VARLIST>\n"
                       "<KEM_PHYSIC_MATERIAL_VARLIST>\n"
                       "<CPHYSICMATERIAL_MATERIAL_ID value=\"m\"/>\n"
                       "<CPHYSICMATERIAL_FRICTION1 value=\"1\" />\n"
                       "<CPHYSICMATERIAL_FRICTION2 value=\"1\" />\n"
                       "<CPHYSICMATERIAL_VEL_TRESHOLD value=\"0.01\" />\n"
                       "<CPHYSICMATERIAL_SLIP1 value=\"0.001\" />\n"
                       "<CPHYSICMATERIAL_SLIP2 value=\"0.001\" />\n"
                       "<CPHYSICMATERIAL_BOUNCE value=\"0.3\" />\n"
                       "<CPHYSICMATERIAL_BOUNCEVEL value=\"0.1\" />\n"
                       "<CPHYSICMATERIAL_SOFT_CFM value=\"0.001\" />\n"
                       "<CPHYSICMATERIAL_SOFT_ERP value=\"0.5\" />\n"
                       "</KEM_PHYSIC_MATERIAL_VARLIST>\n";
    text += PathNode("ground", "KEM_ROOT", 0.0f) + PathNode("a", "KEM_ROOT", 1.0f) + PathNode("b", "a", 0.5f) +
            PathNode("c", "KEM_ROOT", 2.0f) + PathNode("d", "c", 0.5f) + CameraAndLight();
    text += Object("ground", 0, 0, 0.0f) + Object("a", 1, 1, 1.0f) + Object("b", 1, 0, 2.0f) +
            Object("c", 1, 2, 0.5f) + Object("d", 1, 1, 1.0f);
    text += Joint("a", "b", 1) + Joint("c", "d", 2) + Joint("a", "c", 0) + Joint("b", "d", 4) +
            Joint("ground", "a", 3) + Joint("c", "b", 5);
    // The loader needs the graphic environment to call a scene loaded.
    text += "<KEM_GRAPHICENV_MGR_VARLIST>\n"
            "<CGRAPHICENV_AMBIANT x=\"0.2\" y=\"0.2\" z=\"0.2\" />\n"
            "</KEM_GRAPHICENV_MGR_VARLIST>\n";
    return text + "</ROOT>\n";
}

// Where each attribute value of `text` starts and ends.
std::vector<std::pair<size_t, size_t>> Values(const std::string& text)
{
    std::vector<std::pair<size_t, size_t>> values;
    for (size_t at = text.find("=\""); at != std::string::npos; at = text.find("=\"", at + 2)) {
        const size_t end = text.find('"', at + 2);
        if (end == std::string::npos)
            break;
        values.emplace_back(at + 2, end);
    }
    return values;
}

struct Environment {
    Environment()
    {
        Ogre::LogManager* log = new Ogre::LogManager();
        log->createLog("fuzz_scene_file.ogre.log", true, false, true);
        new Ogre::Root("", "", "");
        new Ogre::DefaultHardwareBufferManager();
        new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        // The venues' meshes and materials, so that our venue files load.
        for (const char* folder : {"Models", "Particles"})
            Ogre::ResourceGroupManager::getSingleton().addResourceLocation(
                std::string(TAVIRELO_FUZZ_STAGE_MEDIA) + "/" + folder, "FileSystem", "General");
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        CPhysicsSystemODE::InitLibrary();
        std::map<std::string, std::string> params;
        params["windowAlreadyCreated"] = "yes";
        params["renderWindowPtr"] = "0";
        params["shutdownOgre"] = "false";
        params["parseDefaultResourceFile"] = "false";
        system = new CWrapOgreSystem(params);
        registry = new CGraphicElementRegistry(nullptr);
        graphics = CWrapOgreSystem::CreateWorld();
        gKEMFrameWork.Init();
        path = "/tmp/fuzz_scene_file." + std::to_string(getpid()) + ".xml";
        // To read what the loader said about one input (a crash's, say).
        if (std::getenv("TAVIRELO_FUZZ_LOG"))
            PlatSetLogSilent(false);
    }
    // Kept for the whole run: libFuzzer ends the process.
    CWrapOgreSystem* system = nullptr;
    CGraphicElementRegistry* registry = nullptr;
    CWrapOgreWorld* graphics = nullptr;
    std::string path;
};

bool Finite(const Ogre::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A value a rendered frame cannot take: the fuzzer reports the input.
void Unrenderable(const char* what, const std::string& name)
{
    std::fprintf(stderr, "scene renders through %s \"%s\" that is not finite\n", what, name.c_str());
    std::abort();
}

// What a rendered frame does to the scene before drawing, through every
// camera: the scene graph's transforms and bounds (OGRE asserts on a box
// that is not finite), each camera's frustum (its corners are what the
// shadow set-up bounds) and its inverse, and the lights' derived values. Without a render
// system nothing is drawn, so what the frame would assert on is checked here.
void RenderFrame()
{
    Ogre::SceneManager* sceneManager = CWrapOgreWorld::GetSceneManager();
    if (!sceneManager)
        return;
    for (const auto& entry : sceneManager->getCameras()) {
        Ogre::Camera* camera = entry.second;
        sceneManager->_updateSceneGraph(camera);
        camera->getProjectionMatrix();
        camera->getViewMatrix();
        camera->isVisible(sceneManager->getRootSceneNode()->_getWorldAABB());
        const Ogre::Vector3* corners = camera->getWorldSpaceCorners();
        for (int i = 0; i < 8; ++i)
            if (!Finite(corners[i]))
                Unrenderable("the frustum of camera", entry.first);
        // Picking rays and shadow set-ups go back from the screen through it.
        const Ogre::Matrix4 unproject = (camera->getProjectionMatrix() * camera->getViewMatrix()).inverse();
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                if (!std::isfinite(unproject[row][column]))
                    Unrenderable("the inverse projection of camera", entry.first);
    }
    for (const auto& entry : sceneManager->getMovableObjects("Light")) {
        const Ogre::Light* light = static_cast<const Ogre::Light*>(entry.second);
        if (!Finite(light->getDerivedDirection()) || !Finite(light->getDerivedPosition()))
            Unrenderable("light", entry.first);
        const Ogre::ColourValue colour = light->getDiffuseColour();
        if (!std::isfinite(colour.r) || !std::isfinite(colour.g) || !std::isfinite(colour.b))
            Unrenderable("the colour of light", entry.first);
    }
}

}  // namespace

// ODE's trimesh colliders keep per-thread result buffers until ODE is closed,
// which this process never does; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:IceCore::Container::Resize\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static Environment environment;
    static const std::string builtIn = BuiltInScene();
    static const std::vector<std::pair<size_t, size_t>> builtInValues = Values(builtIn);
    static const char* const hostile[] = {"-1", "0", "nan", "inf", "-inf", "1e30", "-0.5", "", "a", "b", "c",
                                          "3", "6", "1e-30", "x", "ground",
                                          "1e38", "1e-40", "99", "KEM_ROOT", "cam"};

    std::string text;
    if (data[0] == '<') {
        text.assign(reinterpret_cast<const char*>(data), size);
    } else if ((data[0] & 1) == 0) {
        text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    } else {
        // Edits from the back so earlier positions stay valid.
        std::map<size_t, const char*> edits;
        for (size_t at = 1; at + 2 <= size; at += 2)
            edits[data[at] % builtInValues.size()] = hostile[data[at + 1] % (sizeof(hostile) / sizeof(*hostile))];
        text = builtIn;
        for (auto it = edits.rbegin(); it != edits.rend(); ++it) {
            const auto& span = builtInValues[it->first];
            text.replace(span.first, span.second - span.first, it->second);
        }
    }
    {
        std::ofstream out(environment.path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    static const bool stats = std::getenv("TAVIRELO_FUZZ_STATS") != nullptr;
    static unsigned long inputs = 0;
    static unsigned long stepped = 0;
    ++inputs;
    if (CKEMFrameWork::LoadScene(environment.path.c_str()) == 1) {
        ++stepped;
        for (int frame = 0; frame < 5; ++frame) {
            gTimer.mGameDeltaS = 1.0f / 30.0f;
            gPhysicMgr.Step();
            RenderFrame();
        }
    }
    CKEMFrameWork::LoadScene(nullptr);
    if (stats && (inputs & (inputs - 1)) == 0)
        std::fprintf(stderr, "scene inputs %lu, stepped %lu (%.1f%%)\n", inputs, stepped,
                     100.0 * double(stepped) / double(inputs));
    return 0;
}
