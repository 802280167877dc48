#include "CKEMScenePath.h"

#include "CKEMSceneNodeKind.h"

#include <CGraphicElementRegistry.h>
#include <CWrapOgreEntity.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <Platform.h>

#include <OgreManualObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cstdint>

using namespace KEMSceneNodeKind;

// ---- debug drawing ----------------------------------------------------------------

CKEMScenePath::DebugDraw::DebugDraw(CKEMScenePath* owner) : mOwner(owner) {}

CKEMScenePath::DebugDraw::~DebugDraw() { destroyDebug(); }

void CKEMScenePath::DebugDraw::buildDebugLines(const std::vector<Ogre::Vector3>& points, bool markers) {
    CWrapOgreNode* node = WrapperNode(mOwner);
    if (!node)
        return;
    if (!mLines) {
        Ogre::SceneNode* ogreNode = node->getOgreNode();
        mLines = node->getSceneManager()->createManualObject(ogreNode->getName());
        ogreNode->attachObject(mLines);
    } else {
        mLines->clear();
    }
    if (points.empty())
        return;

    mLines->begin("debugMaterial", Ogre::RenderOperation::OT_LINE_STRIP);
    for (const Ogre::Vector3& point : points) {
        mLines->position(point);
        if (!markers)
            continue;
        CWrapOgreNode* marker = World()->CreateNode();
        CreateDebugEntity(marker, "pointDebug.mesh", "");
        marker->setScale(Ogre::Vector3(0.1f, 0.1f, 0.1f));
        node->reparent(marker);
        marker->setPosition(point);
        mMarkers.push_back(marker);
    }
    mLines->end();
}

void CKEMScenePath::DebugDraw::SetMarkerMaterial(size_t index, const std::string& material) {
    if (index >= mMarkers.size())
        return;
    const auto& entities = mMarkers[index]->getAttachedEntities();
    if (!entities.empty())
        entities.front()->setMaterialName(material);
}

void CKEMScenePath::DebugDraw::removeMarkers() {
    CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent();
    for (CWrapOgreNode* marker : mMarkers) {
        if (registry) {
            for (CWrapOgreEntity* entity : marker->getAttachedEntities())
                registry->UnregisterElement(entity);
            registry->UnregisterNode(marker);
        }
        delete marker;
    }
    mMarkers.clear();
}

void CKEMScenePath::DebugDraw::destroyDebug() {
    if (mLines) {
        if (mLines->isAttached())
            mLines->detachFromParent();
        mLines->_getManager()->destroyManualObject(mLines);
        mLines = nullptr;
    }
    removeMarkers();
}

// ---- path ---------------------------------------------------------------------------

CKEMScenePath::CKEMScenePath(CKEMSceneNode* parent) : CKEMSceneNode(parent) {
    SetClassType(KEM_SCENE_PATH);
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    mDebugDraw = new DebugDraw(this);
    RegisterVar(mPointsVar, "CKEMSCENEPATH_MVECTORPOINTS", &mPoints);
}

CKEMScenePath::~CKEMScenePath() {
    TermScriptFirst();   // the script's Term still sees the whole node
    delete mDebugDraw;
    mDebugDraw = nullptr;
}

void CKEMScenePath::GetPoint(Ogre::Vector3& out, int index, bool world) const {
    if (index < 0 || index >= mPointCount || index >= static_cast<int>(mPoints.size())) {
        PlatLog("CKEMScenePath(%s): no point %d of %d", getName().c_str(), index, mPointCount);
        out = Ogre::Vector3::ZERO;
        return;
    }
    out = mPoints[index];
    if (world) {
        Ogre::Vector3 position;
        GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
        out += position;
    }
}

void CKEMScenePath::GetWorldPoint(Ogre::Vector3& out, int index) const { GetPoint(out, index, true); }

int CKEMScenePath::GetPositionAt(unsigned steps, unsigned step, Ogre::Vector3& out) const {
    const unsigned count = static_cast<unsigned>(std::min<size_t>(std::max(mPointCount, 0), mPoints.size()));
    if (steps == 0 || count == 0) {
        out = Ogre::Vector3::ZERO;
        return 0;
    }
    if (count == 1) {
        out = mPoints[0];
        return 0;
    }
    // 64 bits: count x step must not wrap around.
    const uint64_t k = step % steps;
    const uint64_t f = uint64_t(count) * k;
    const unsigned i = static_cast<unsigned>(f / steps);
    const unsigned prev = i == 0 ? count - 1 : i - 1;
    unsigned next = i + 1;
    if (next >= count)
        next -= count;
    unsigned next2 = i + 2;
    if (next2 >= count)
        next2 -= count;

    const Ogre::Vector3& p = mPoints[i];
    const Ogre::Vector3& q = mPoints[next];
    const Ogre::Vector3 p0 = p;
    const Ogre::Vector3 p1 = p + (q - mPoints[prev]) / 6.0f;
    const Ogre::Vector3 p2 = q - (mPoints[next2] - p) / 6.0f;
    const Ogre::Vector3 p3 = q;

    const float t = static_cast<float>(double(f) / double(steps) - double(i));
    const float u = 1.0f - t;
    out = p0 * (u * u * u) + p1 * (3.0f * t * u * u) + p2 * (3.0f * t * t * u) + p3 * (t * t * t);
    return static_cast<int>(i);
}

void CKEMScenePath::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    mDebugDraw->destroyDebug();
    if (debug)
        mDebugDraw->buildDebugLines(mPoints, true);
}

void CKEMScenePath::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    mPointCount = static_cast<int32_t>(mPoints.size());
    if (getDebugMode())
        mDebugDraw->buildDebugLines(mPoints, false);
}

// ---- point --------------------------------------------------------------------------

CKEMScenePoint::CKEMScenePoint(CKEMSceneNode* parent) : CKEMSceneNode(parent) {
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    SetClassType(KEM_SCENE_POINT);
}

CKEMScenePoint::~CKEMScenePoint() {
    TermScriptFirst();   // the script's Term still sees the whole node
    DestroyDebugEntity(WrapperNode(this), mDebugEntity);
}

void CKEMScenePoint::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    DestroyDebugEntity(WrapperNode(this), mDebugEntity);
    if (debug)
        mDebugEntity = CreateDebugEntity(WrapperNode(this), "helper_point.mesh", "");
}
