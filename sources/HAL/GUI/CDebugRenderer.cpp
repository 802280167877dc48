#include "CDebugRenderer.h"

#include <CKEMOrientedBox.h>
#include <CKEMSceneGraph.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <KEMException.h>
#include <KEMStringUtils.h>
#include <Platform.h>

#include <OgreLogManager.h>
#include <OgreManualObject.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

CDebugRenderer& gDebugRenderer = *new CDebugRenderer;

namespace {

void DrawDebugBoxHook(const std::string& id, const CKEMOrientedBox& box) { CDebugRenderer::DrawBox(box, id); }
void RemoveDebugShapeHook(const std::string& id) { gDebugRenderer.RemoveShape(id); }
void DrawDebugLinesHook(const std::string& id, const std::vector<Ogre::Vector3>& points, const std::string& material) {
    gDebugRenderer.DrawShape(id, points, Ogre::RenderOperation::OT_LINE_LIST, material);
}

// The scene nodes' debug boxes come here as soon as the renderer is linked.
struct HookInstaller {
    HookInstaller() {
        CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
        hooks.drawDebugBox = &DrawDebugBoxHook;
        hooks.removeDebugShape = &RemoveDebugShapeHook;
        hooks.drawDebugLines = &DrawDebugLinesHook;
    }
} gHookInstaller;

}  // namespace

CDebugRenderer::~CDebugRenderer() {
    Release();
    for (auto& entry : mShapes)
        Destroy(entry.second);
    mShapes.clear();
}

bool CDebugRenderer::IsAlive(const Shape& shape) const {
    Ogre::SceneManager* sceneManager = CWrapOgreWorld::GetSceneManager();
    return sceneManager && sceneManager->hasSceneNode(shape.nodeName) &&
           sceneManager->hasManualObject(shape.objectName);
}

void CDebugRenderer::Destroy(Shape& shape) {
    // Whatever went with an earlier world or engine is not touched again.
    Ogre::SceneManager* sceneManager = CWrapOgreWorld::GetSceneManager();
    if (!sceneManager)
        return;
    try {
        if (sceneManager->hasManualObject(shape.objectName)) {
            shape.object->detachFromParent();
            sceneManager->destroyManualObject(shape.object);
        }
        if (sceneManager->hasSceneNode(shape.nodeName))
            delete shape.node;
    } catch (const Ogre::Exception& e) {
        PlatLog("CDebugRenderer: removing a shape failed: %s", e.getFullDescription().c_str());
    }
    shape.object = nullptr;
    shape.node = nullptr;
}

Ogre::ManualObject* CDebugRenderer::GetShapeObject(const std::string& name) const {
    auto it = mShapes.find(name);
    return it == mShapes.end() ? nullptr : it->second.object;
}

void CDebugRenderer::DrawShape(const std::string& name, const std::vector<Ogre::Vector3>& points,
                               Ogre::RenderOperation::OperationType operationType, const std::string& material) {
    auto it = mShapes.find(name);
    if (it != mShapes.end() && !IsAlive(it->second)) {
        Destroy(it->second);
        mShapes.erase(it);
        it = mShapes.end();
    }
    if (it == mShapes.end()) {
        CWrapOgreWorld* world = CWrapOgreWorld::GetCurrentWorld();
        if (!world) {
            PlatLog("CDebugRenderer: no graphics world to draw \"%s\" into", name.c_str());
            return;
        }
        Shape shape;
        try {
            shape.node = world->CreateNode();
            shape.nodeName = shape.node->getOgreNode()->getName();
            shape.objectName = shape.node->getName();
            shape.object = shape.node->getSceneManager()->createManualObject(shape.objectName);
            shape.node->getOgreNode()->attachObject(shape.object);
        } catch (const std::exception& e) {
            PlatLog("CDebugRenderer: cannot make the shape \"%s\": %s", name.c_str(), e.what());
            Destroy(shape);
            return;
        }
        it = mShapes.emplace(name, shape).first;
    }

    Ogre::ManualObject* object = it->second.object;
    object->clear();
    if (points.empty())
        return;
    try {
        object->begin(material, operationType, Ogre::RGN_AUTODETECT);
        for (const Ogre::Vector3& point : points)
            object->position(point);
        object->end();
    } catch (const Ogre::Exception& e) {
        PlatLog("CDebugRenderer: cannot draw \"%s\": %s", name.c_str(), e.getFullDescription().c_str());
    }
}

void CDebugRenderer::RemoveShape(const std::string& name) {
    auto it = mShapes.find(name);
    if (it == mShapes.end())
        return;
    Destroy(it->second);
    mShapes.erase(it);
}

void CDebugRenderer::Release() {
    if (mObject) {
        if (Ogre::SceneManager* sceneManager = mObject->_getManager()) {
            mObject->detachFromParent();
            sceneManager->destroyManualObject(mObject);
        }
        mObject = nullptr;
    }
    delete mNode;
    mNode = nullptr;
}

void CDebugRenderer::AddLine(const std::string& name, const Ogre::Vector3& from, const Ogre::Vector3& to,
                             const std::string& material) {
    gDebugRenderer.DrawShape(name, {from, to}, Ogre::RenderOperation::OT_LINE_LIST, material);
}

std::vector<Ogre::Vector3> CDebugRenderer::BoxStrip(const CKEMOrientedBox& box) {
    const Ogre::Vector3 a0 = box.axes.GetColumn(0) * box.halfExtents.x;
    const Ogre::Vector3 a1 = box.axes.GetColumn(1) * box.halfExtents.y;
    const Ogre::Vector3 a2 = box.axes.GetColumn(2) * box.halfExtents.z;
    auto corner = [&](int s0, int s1, int s2) { return box.center + a0 * float(s0) + a1 * float(s1) + a2 * float(s2); };
    // The bottom loop, up, the top loop, then the three remaining uprights:
    // fifteen segments over the twelve edges.
    return {corner(-1, -1, -1), corner(1, -1, -1), corner(1, 1, -1), corner(-1, 1, -1),
            corner(-1, -1, -1), corner(-1, -1, 1), corner(1, -1, 1),  corner(1, 1, 1),
            corner(-1, 1, 1),   corner(-1, -1, 1), corner(1, -1, 1),  corner(1, -1, -1),
            corner(1, 1, -1),   corner(1, 1, 1),   corner(-1, 1, 1),  corner(-1, 1, -1)};
}

void CDebugRenderer::DrawBox(const CKEMOrientedBox& box, const std::string& name) {
    gDebugRenderer.DrawShape(name, BoxStrip(box), Ogre::RenderOperation::OT_LINE_STRIP, "debugMaterialB");
}

void DebugPrintText(const std::string& text, bool append, bool show) {
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(text, Ogre::LML_NORMAL);
    else
        PlatLog("%s", text.c_str());
    if (!show)
        return;
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return;
    Ogre::Overlay* overlay = overlays->getByName("Core/DebugOverlay");
    if (!overlay)
        return;
    overlay->show();
    if (!overlays->hasOverlayElement("Core/DebugText"))
        return;
    Ogre::OverlayElement* element = overlays->getOverlayElement("Core/DebugText");
    if (append)
        element->setCaption(element->getCaption().asUTF8() + "\n" + text);
    else
        element->setCaption(text);
}

void DebugPrintf(const std::string& label, float value, bool append) {
    DebugPrintText(ConcatToString<float>(label + " : ", value), append, false);
}
