#include "TestLayout.h"

#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CWindowEffectMgr.h>
#include <CWrapOgreCamera.h>

#include <CEGUI/Font.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <OgreCamera.h>
#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

// TaharezLook's framed static text draws its text 5 pixels inside the frame.
const float kStaticTextFrame = 5.0f;

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

bool SamplesTexture(const Ogre::LayerBlendModeEx& mode) {
    const bool usesSource1 = mode.operation != Ogre::LBX_SOURCE2;
    const bool usesSource2 = mode.operation != Ogre::LBX_SOURCE1;
    return (usesSource1 && mode.source1 == Ogre::LBS_TEXTURE) || (usesSource2 && mode.source2 == Ogre::LBS_TEXTURE);
}

bool Untextured(const Ogre::MaterialPtr& material) {
    if (!material)
        return false;
    for (Ogre::Technique* technique : material->getTechniques())
        for (Ogre::Pass* pass : technique->getPasses())
            for (Ogre::TextureUnitState* unit : pass->getTextureUnitStates())
                if (unit->getTextureName().empty() &&
                    (SamplesTexture(unit->getColourBlendMode()) || SamplesTexture(unit->getAlphaBlendMode())))
                    return true;
    return false;
}

bool PropertyIs(const CEGUI::Window* window, const char* name, const char* part) {
    if (!window->isPropertyPresent(name))
        return false;
    return window->getProperty(name).find(part) != CEGUI::String::npos;
}

void WriteWindow(std::ofstream& out, const CEGUI::Window* window) {
    if (!window->isVisible())
        return;
    const CEGUI::Rectf area = window->getUnclippedOuterRect().get();
    CEGUI::Rectf text = area;
    if (window->getType().find("StaticText") != CEGUI::String::npos && PropertyIs(window, "FrameEnabled", "true")) {
        text.d_min.d_x += kStaticTextFrame;
        text.d_min.d_y += kStaticTextFrame;
        text.d_max.d_x -= kStaticTextFrame;
        text.d_max.d_y -= kStaticTextFrame;
    }
    const CEGUI::Font* font = window->getFont();
    const CEGUI::String& visual = window->getTextVisual();
    const bool wraps = PropertyIs(window, "HorzFormatting", "WordWrap");
    float width = 0.0f;
    if (font && !visual.empty()) {
        if (!wraps) {
            width = font->getTextExtent(visual);
        } else {
            // A wrapped text fits when its longest word does; a line break
            // ends a word too.
            size_t start = 0;
            while (start < visual.size()) {
                size_t end = visual.find_first_of(CEGUI::String(" \n"), start);
                if (end == CEGUI::String::npos)
                    end = visual.size();
                width = std::max(width, font->getTextExtent(visual.substr(start, end - start)));
                start = end + 1;
            }
        }
    }
    const CEGUI::Window* parent = window->getParent();
    out << "window\t" << window->getName().c_str() << '\t' << window->getType().c_str() << '\t'
        << (parent ? parent->getName().c_str() : "-") << '\t' << area.d_min.d_x << '\t' << area.d_min.d_y << '\t'
        << area.d_max.d_x << '\t' << area.d_max.d_y << '\t' << text.d_min.d_x << '\t' << text.d_min.d_y << '\t'
        << text.d_max.d_x << '\t' << text.d_max.d_y << '\t' << (font ? font->getName().c_str() : "-") << '\t'
        << width << '\t' << (font ? font->getFontHeight() : 0.0f) << '\t' << (wraps ? 1 : 0) << '\t'
        << (window->isDisabled() ? 1 : 0) << '\t' << OneLine(window->getText().c_str()) << '\n';
    out << "alpha\t" << window->getName().c_str() << '\t' << window->getEffectiveAlpha() << '\n';
    for (size_t i = 0; i < window->getChildCount(); ++i)
        WriteWindow(out, window->getChildAtIdx(i));
}

// The match's objects whose place on screen a test checks.
void WriteNodes(std::ofstream& out) {
    std::vector<std::string> names = {"cochonnet", "pointeur cochonnet"};
    for (int k = 1; k <= 12; ++k)
        names.push_back("boule " + std::to_string(k));
    for (int k = 1; k <= 6; ++k)
        names.push_back("pointeur best " + std::to_string(k));
    for (const std::string& name : names) {
        const CKEMSceneNode* node = CKEMSceneGraph::FindNode(name);
        if (!node)
            continue;
        Ogre::Vector3 at, scale;
        node->GetPosition(at, 2);
        node->GetScale(scale);
        out << "node\t" << name << '\t' << (node->IsVisible() ? 1 : 0) << '\t' << at.x << '\t' << at.y << '\t'
            << at.z << '\t' << scale.y << '\n';
    }
}

// The windows that blink (the thrower's line, the result's prompt).
void WriteBlinks(std::ofstream& out) {
    for (int i = 0; i < CWindowEffectMgr::kSlotCount; ++i) {
        const CWindowEffect* effect = CWindowEffectMgr::GetSlot(i);
        if (effect && effect->mState != -1)
            out << "blink\t" << effect->mWindowName << '\n';
    }
}

void WriteCamera(std::ofstream& out) {
    const CKEMSceneCamera* node = CKEMSceneGraph::GetCurrentCamera();
    const CWrapOgreCamera* wrap = node && node->GetCamera() ? node->GetCamera()->GetCamera() : nullptr;
    const Ogre::Camera* camera = wrap ? wrap->getCamera() : nullptr;
    if (!camera)
        return;
    const Ogre::Matrix4 m = camera->getProjectionMatrix() * camera->getViewMatrix();
    out << "camera";
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out << '\t' << m[r][c];
    out << '\n';
}

void WriteElement(std::ofstream& out, const Ogre::Overlay* overlay, Ogre::OverlayElement* element, float width,
                  float height) {
    if (!element->isVisible())
        return;
    const float x0 = element->_getDerivedLeft() * width, y0 = element->_getDerivedTop() * height;
    const float x1 = x0 + element->_getWidth() * width, y1 = y0 + element->_getHeight() * height;
    const Ogre::OverlayElement* parent = element->getParent();
    const Ogre::MaterialPtr& material = element->getMaterial();
    out << "overlay\t" << overlay->getName() << '\t' << overlay->getZOrder() << '\t' << element->getName() << '\t'
        << (parent ? parent->getName() : std::string("-")) << '\t' << x0 << '\t' << y0 << '\t' << x1 << '\t' << y1
        << '\t' << (material ? material->getName() : std::string("-")) << '\t' << (Untextured(material) ? 1 : 0)
        << '\t' << OneLine(element->getCaption().asUTF8()) << '\n';
    if (auto* container = dynamic_cast<Ogre::OverlayContainer*>(element))
        for (const auto& child : container->getChildren())
            WriteElement(out, overlay, child.second, width, height);
}

}  // namespace

bool WriteTestLayout(const std::string& path) {
    CEGUI::System* system = CEGUI::System::getSingletonPtr();
    if (!system)
        return false;
    CEGUI::GUIContext& context = system->getDefaultGUIContext();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const CEGUI::Sizef screen = context.getSurfaceSize();
    if (const CEGUI::Window* root = context.getRootWindow())
        WriteWindow(out, root);
    if (Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr())
        for (Ogre::OverlayManager::OverlayMapIterator it = overlays->getOverlayIterator(); it.hasMoreElements();) {
            Ogre::Overlay* overlay = it.getNext();
            if (!overlay->isVisible())
                continue;
            for (Ogre::OverlayContainer* element : overlay->get2DElements())
                WriteElement(out, overlay, element, screen.d_width, screen.d_height);
        }
    WriteBlinks(out);
    WriteCamera(out);
    WriteNodes(out);
    return bool(out);
}
