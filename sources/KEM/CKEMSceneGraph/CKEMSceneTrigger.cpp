#include "CKEMSceneTrigger.h"

#include "CKEMSceneGraph.h"
#include "CKEMSceneNodeKind.h"

#include <CWrapOgreEntity.h>
#include <CWrapOgreNode.h>
#include <makeUniqueName.h>

#include <OgreEntity.h>
#include <OgreMatrix3.h>
#include <OgreSceneNode.h>

#include <cmath>

using namespace KEMSceneNodeKind;

namespace {

const char* const kSphereMesh = "triggerGeometrySphere.mesh";
const char* const kCubeMesh = "triggerGeometryCube.mesh";

}  // namespace

// ---- part ---------------------------------------------------------------------------

CKEMSceneTrigger::Part::Part(CKEMSceneTrigger* trigger) : owner(trigger), debugId(makeUniqueName("debugID")) {}

CKEMSceneTrigger::Part::~Part() { DestroyDebugEntity(WrapperNode(owner), debugEntity); }

// ---- trigger ------------------------------------------------------------------------

CKEMSceneTrigger::CKEMSceneTrigger(CKEMSceneNode* parent, int geometryType)
    : CKEMSceneNode(parent), mGeometryType(geometryType) {
    SetClassType(KEM_SCENE_TRIGGER);
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    mPart = new Part(this);
    RegisterVar(mGeometryTypeVar, "CKEMSCENETRIGGER_MGEOMETRYTYPE", &mGeometryType);
}

CKEMSceneTrigger::~CKEMSceneTrigger() {
    TermScriptFirst();   // the script's Term still sees the whole node
    if (getDebugMode() && CKEMSceneGraph::Hooks().removeDebugShape)
        CKEMSceneGraph::Hooks().removeDebugShape(mPart->debugId);
    // The debug mesh goes while the graphics node still exists.
    delete mPart;
    mPart = nullptr;
}

void CKEMSceneTrigger::SetGeometryType(int type) {
    if (type == mGeometryType)
        return;
    mGeometryType = type;
    if (getDebugMode()) {
        createDebugGeometry();
        updateVolume(mAABB, mOBB, true, true);
    }
}

int CKEMSceneTrigger::OnEvent(uint32_t id, CKEMSceneNode* other) {
    const char* name = other ? other->getName().c_str() : "";
    if (id == EVENT_TRIGGER_ENTER)
        VMCall("OnEnterTrigger", KEMVM_STRING, name, KEMVM_END);
    else if (id == EVENT_TRIGGER_LEAVE)
        VMCall("OnLeaveTrigger", KEMVM_STRING, name, KEMVM_END);
    return 0;
}

void CKEMSceneTrigger::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    const CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
    if (debug) {
        createDebugGeometry();
        updateVolume(mAABB, mOBB, true, true);   // draws the debug box
    } else {
        destroyDebugGeometry();
        if (hooks.removeDebugShape)
            hooks.removeDebugShape(mPart->debugId);
    }
}

void CKEMSceneTrigger::UpdateBounds(bool scaleChanged, bool orientationChanged, bool recursive) {
    updateVolume(mAABB, mOBB, scaleChanged, orientationChanged);
    if (recursive)
        for (CKEMSceneNode* child : mChildren)
            child->UpdateBounds(scaleChanged, orientationChanged, true);
}

void CKEMSceneTrigger::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    // The file wrote the type straight into its field: show it as a new one.
    if (getDebugMode())
        createDebugGeometry();
    updateVolume(mAABB, mOBB, true, true);
}

void CKEMSceneTrigger::createDebugGeometry() {
    destroyDebugGeometry();
    mPart->debugEntity =
        CreateDebugEntity(WrapperNode(this), mGeometryType == GEOMETRY_SPHERE ? kSphereMesh : kCubeMesh, "");
    if (mPart->debugEntity && mPart->debugEntity->getEntity()) {
        const Ogre::AxisAlignedBox& box = mPart->debugEntity->getEntity()->getBoundingBox();
        if (box.isFinite()) {
            mPart->localMin = box.getMinimum();
            mPart->localMax = box.getMaximum();
        }
    }
    mPart->localBoxDirty = true;
}

void CKEMSceneTrigger::destroyDebugGeometry() { DestroyDebugEntity(WrapperNode(this), mPart->debugEntity); }

void CKEMSceneTrigger::updateVolume(CKEMBoundingBox& aabb, CKEMOrientedBox& obb, bool recompute, bool axes) {
    CWrapOgreNode* wrapper = WrapperNode(this);
    if (!wrapper || !wrapper->getOgreNode())
        return;
    const Ogre::SceneNode* node = wrapper->getOgreNode();

    if (recompute || mPart->localBoxDirty) {
        const Ogre::Vector3 scale = node->_getDerivedScale();
        const Ogre::Vector3 a = mPart->localMin * scale;
        const Ogre::Vector3 b = mPart->localMax * scale;
        // A negative scale swaps the corners.
        Ogre::Vector3 low = a;
        Ogre::Vector3 high = a;
        low.makeFloor(b);
        high.makeCeil(b);
        obb.SetFromBox(low, high);
        mPart->localBoxDirty = false;
    }

    const Ogre::Quaternion orientation = node->_getDerivedOrientation();
    obb.center = orientation * obb.localCenter + node->_getDerivedPosition();
    if (axes) {
        Ogre::Matrix3 rotation;
        orientation.ToRotationMatrix(rotation);
        obb.SetAxes(rotation);
    }

    // The world box around the volume, whether or not the debug mesh is
    // shown: the activity test reads it.
    Ogre::Vector3 reach = Ogre::Vector3::ZERO;
    for (int i = 0; i < 3; ++i) {
        const Ogre::Vector3 axis = obb.axes.GetColumn(i);
        reach += Ogre::Vector3(std::abs(axis.x), std::abs(axis.y), std::abs(axis.z)) * obb.halfExtents[i];
    }
    aabb.min = obb.center - reach;
    aabb.max = obb.center + reach;

    if (getDebugMode() && CKEMSceneGraph::Hooks().drawDebugBox)
        CKEMSceneGraph::Hooks().drawDebugBox(mPart->debugId, obb);
}
