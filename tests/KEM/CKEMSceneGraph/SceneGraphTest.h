// OGRE without a display (as in the wrapper tests) with a scene root, and
// helpers to write small scene texts.
#pragma once

#include "OgreHeadless.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNode.h>
#include <CWrapOgreCamera.h>
#include <CWrapOgreNode.h>

#include <fstream>
#include <sstream>
#include <string>

class SceneGraphTest : public OgreWrapTest {
protected:
    void SetUp() override
    {
        OgreWrapTest::SetUp();
        CKEMSceneGraph::CreateRootNode();
    }
    void TearDown() override
    {
        CKEMSceneGraph::DestroyRootNode();
        CKEMSceneGraph::Hooks() = CKEMSceneGraphHooks();
        OgreWrapTest::TearDown();
    }

    CKEMSceneNode* Root() const { return CKEMSceneGraph::GetRootNode(); }
};

// One "KEM_SCENE_NODE_VARLIST" record; `extra` holds further variable elements.
inline std::string NodeRecord(int classType, const std::string& name, const std::string& parent,
                              const std::string& extra = "")
{
    return "<KEM_SCENE_NODE_VARLIST>\n"
           "\t<CKEMSCENENODE_CLASSTYPE value=\"" + std::to_string(classType) + "\" />\n"
           "\t<CKEMSCENENODE_NAME value=\"" + name + "\"/>\n"
           "\t<CKEMSCENENODE_PARENTNAME value=\"" + parent + "\"/>\n" + extra +
           "</KEM_SCENE_NODE_VARLIST>\n";
}

inline std::string Position(float x, float y, float z)
{
    std::ostringstream out;
    out << "\t<CKEMSCENENODE_POSITION_IC x=\"" << x << "\" y=\"" << y << "\" z=\"" << z << "\" />\n";
    return out.str();
}

inline std::string Scene(const std::string& body) { return "<ROOT>\n" + body + "</ROOT>\n"; }

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string VenueFile(const std::string& name)
{
    return std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/" + name;
}
