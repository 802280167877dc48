#include "CKEMSceneObject.h"

#include "CKEMSceneCamera.h"
#include "CKEMSceneGraph.h"
#include "CKEMSceneNodeKind.h"

#include <CGraphicElementRegistry.h>
#include <CScenaricMgr.h>
#include <CWrapOgreEntity.h>
#include <CWrapOgreNode.h>
#include <CWrapOgreWorld.h>
#include <HalTimer.h>
#include <KEMException.h>
#include <Platform.h>
#include <makeUniqueName.h>

#include <OgreAnimationState.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreMesh.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreSubEntity.h>

#include <algorithm>
#include <cmath>

using namespace KEMSceneNodeKind;

namespace {

const float kDefaultBlend = 0.3f;

uint32_t AddSeconds(uint32_t nowMs, float seconds) {
    return static_cast<uint32_t>(static_cast<double>(nowMs) + static_cast<double>(seconds) * 1000.0);
}

}  // namespace

// ---- entity handle ---------------------------------------------------------------------

CKEMSceneEntityHandle::CKEMSceneEntityHandle(CKEMSceneObject* owner)
    : mOwner(owner), mDebugId(makeUniqueName("debugID")) {
    if (CWrapOgreNode* node = WrapperNode(owner))
        mOgreNode = node->getOgreNode();
}

CKEMSceneEntityHandle::~CKEMSceneEntityHandle() {
    if (mOwner->getDebugMode())
        ShowDebug(false, mOwner->GetOrientedBox());
    delete mAnimationNames;
    mAnimationNames = nullptr;
    if (mEntityWrapper) {
        if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent())
            registry->UnregisterElement(mEntityWrapper);
        if (CWrapOgreNode* node = WrapperNode(mOwner)) {
            try {
                node->detachEntity(mEntityWrapper);
            } catch (const CKEMException& e) {
                PlatLog("CKEMSceneEntityHandle: %s", e.GetReason().c_str());
            }
        }
        delete mEntityWrapper;
        mEntityWrapper = nullptr;
        mEntity = nullptr;
    }
}

bool CKEMSceneEntityHandle::Load(const std::string& resource) {
    if (resource.empty())
        return true;
    CWrapOgreNode* node = WrapperNode(mOwner);
    switch (mOwner->getKEM_NodeType()) {
    case CKEMSceneNode::KEM_SCENEOBJECT_MESH: {
        CWrapOgreEntity* entity = World()->CreateEntity(resource);
        entity->setCastShadows(true);
        mEntityWrapper = entity;
        mEntity = entity->getEntity();
        if (node) {
            node->attachEntity(entity);
            if (CGraphicElementRegistry* registry = CGraphicElementRegistry::GetCurrent())
                registry->RegisterElement(entity, node);
        }
        if (Ogre::AnimationStateSet* states = mEntity->getAllAnimationStates()) {
            mAnimationNames = new std::vector<std::string>();
            for (const auto& state : states->getAnimationStates())
                mAnimationNames->push_back(state.first);
        }
        mLocalBoxDirty = true;
        return true;
    }
    case CKEMSceneNode::KEM_SCENEOBJECT_OSM:
        return World()->LoadOsmScene(resource, node, "osm");
    default:
        return true;
    }
}

void CKEMSceneEntityHandle::UpdateBounds(CKEMBoundingBox& aabb, CKEMOrientedBox& obb, bool recompute, bool axes) {
    if (!mEntityWrapper || !mEntity || !mOgreNode)
        return;
    const Ogre::AxisAlignedBox& world = mEntity->getWorldBoundingBox(true);
    const Ogre::Vector3 position = mOgreNode->_getDerivedPosition();
    if (world.isFinite()) {
        aabb.min = world.getMinimum();
        aabb.max = world.getMaximum();
    } else {
        aabb.min = aabb.max = position;
    }

    if (recompute || mLocalBoxDirty) {
        const Ogre::AxisAlignedBox& local = mEntity->getBoundingBox();
        if (local.isFinite()) {
            const Ogre::Vector3 scale = mOgreNode->_getDerivedScale();
            const Ogre::Vector3 a = local.getMinimum() * scale;
            const Ogre::Vector3 b = local.getMaximum() * scale;
            // A negative scale swaps the corners.
            Ogre::Vector3 low = a;
            Ogre::Vector3 high = a;
            low.makeFloor(b);
            high.makeCeil(b);
            obb.SetFromBox(low, high);
        }
        mLocalBoxDirty = false;
    }

    const Ogre::Quaternion orientation = mOgreNode->_getDerivedOrientation();
    obb.center = position + orientation * obb.localCenter;
    if (axes) {
        Ogre::Matrix3 rotation;
        orientation.ToRotationMatrix(rotation);
        obb.SetAxes(rotation);
    }
    if (mOwner->getDebugMode())
        ShowDebug(true, obb);
}

void CKEMSceneEntityHandle::ShowDebug(bool show, const CKEMOrientedBox& obb) {
    const CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
    if (show) {
        if (hooks.drawDebugBox)
            hooks.drawDebugBox(mDebugId, obb);
    } else if (hooks.removeDebugShape) {
        hooks.removeDebugShape(mDebugId);
    }
}

bool CKEMSceneEntityHandle::SetMaterial(unsigned index, const std::string& material) {
    if (!mEntity || index >= mEntity->getNumSubEntities())
        return false;
    Ogre::SubEntity* sub = mEntity->getSubEntity(index);
    if (!sub->getSubMesh())
        return false;
    sub->setMaterialName(material);
    return true;
}

bool CKEMSceneEntityHandle::GetMaterial(unsigned index, std::string& material) const {
    material.clear();
    if (!mEntity || index >= mEntity->getNumSubEntities())
        return false;
    Ogre::SubEntity* sub = mEntity->getSubEntity(index);
    if (!sub->getSubMesh())
        return false;
    material = sub->getMaterialName();
    return true;
}

void CKEMSceneEntityHandle::SetEntityMaterial(const std::string& material) {
    if (mEntityWrapper)
        mEntityWrapper->setMaterialName(material);
}

Ogre::AnimationState* CKEMSceneEntityHandle::GetAnimationState(const std::string& name) const {
    // OGRE throws for an unknown name: such a name is ignored here.
    if (!mEntity || !mAnimationNames || !mEntity->hasAnimationState(name))
        return nullptr;
    return mEntity->getAnimationState(name);
}

uint16_t CKEMSceneEntityHandle::GetAnimationIndex(const std::string& name) const {
    if (!mAnimationNames)
        return CKEMSceneObject::NO_ANIMATION;
    auto it = std::find(mAnimationNames->begin(), mAnimationNames->end(), name);
    if (it == mAnimationNames->end() || it - mAnimationNames->begin() >= CKEMSceneObject::NO_ANIMATION)
        return CKEMSceneObject::NO_ANIMATION;
    return static_cast<uint16_t>(it - mAnimationNames->begin());
}

// ---- object -------------------------------------------------------------------------------

CKEMSceneObject::ClassRegistrar& CKEMSceneObject::RegisterObjectClassHook() {
    static ClassRegistrar hook = nullptr;
    return hook;
}

namespace {

// A "scene" resource is taken from the scenes folder by its own file name.
std::string SceneResourcePath(const std::string& resource) {
    const size_t slash = resource.find_last_of('\\');
    return "..\\..\\media\\Artefacts\\sceneObjects\\scenes\\" +
           (slash == std::string::npos ? resource : resource.substr(slash + 1));
}

}  // namespace

int CKEMSceneObject::GetResourceKind(const std::string& resource) {
    const size_t dot = resource.find_last_of('.');
    if (dot == std::string::npos)
        return KEM_SCENENODE;
    const std::string extension = resource.substr(dot + 1);
    if (extension == "mesh")
        return KEM_SCENEOBJECT_MESH;
    if (extension == "scene")
        return KEM_SCENEOBJECT_SCENE;
    if (extension == "OSM")
        return KEM_SCENEOBJECT_OSM;
    return KEM_SCENENODE;
}

CKEMSceneObject::CKEMSceneObject(const std::string& resource, const std::string& material, CKEMSceneNode* parent)
    : CKEMSceneNode(parent) {
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    mResource = resource;
    SetClassType(GetResourceKind(resource));
    if (mClassType == KEM_SCENEOBJECT_SCENE)
        mResource = SceneResourcePath(resource);
    setName(mGraphicHandle->create(ParentGraphicNode(this)));

    CKEMSceneEntityHandle* entity = new CKEMSceneEntityHandle(this);
    SetGraphicObject(entity);
    if (!mResource.empty()) {
        entity->Load(mResource);
        CKEMSceneNode::UpdateBounds(true, true, true);
    }

    mMaterial = material;
    if (!mMaterial.empty())
        SetEntityMaterial(mMaterial);
    mCastShadows = true;
    if (entity->GetEntity())
        entity->GetEntity()->setCastShadows(true);

    RegisterVar(mResourceVar, "CKEMSCENEOBJECT_MRESSOURCE", &mResource);
    RegisterVar(mMaterialVar, "CKEMSCENEOBJECT_MMATERIAL", &mMaterial);
    RegisterVar(mCastShadowsVar, "CKEMSCENEOBJECT_MCASTSHADOWS", &mCastShadows);
    RegisterVar(mNeedTangentVar, "CKEMSCENEOBJECT_MNEED_TANGENT", &mNeedTangent);
    RegisterVar(mBillboardVar, "CKEMSCENEOBJECT_IS_BILLBOARD", &mBillboard);
    RegisterVar(mBillboardConstraintVar, "CKEMSCENEOBJECT_BILL_CONSTRAINT", &mBillboardConstraint);
}

CKEMSceneObject::~CKEMSceneObject() {
    TermScriptFirst();   // the script's Term still sees the whole node
}

CKEMSceneEntityHandle* CKEMSceneObject::GetObjectEntityHandle() const {
    return static_cast<CKEMSceneEntityHandle*>(GetEntityHandle());
}

// ---- resource ------------------------------------------------------------------------------

void CKEMSceneObject::LoadMesh(const std::string& resource) {
    if (resource == mResource)
        return;
    mResource = resource;
    SetClassType(GetResourceKind(resource));
    if (mClassType == KEM_SCENEOBJECT_SCENE)
        mResource = SceneResourcePath(resource);

    // A new graphics node with the old one's place: the node keeps its
    // transform, visibility and children through the reload.
    CKEMSceneGraphicHandle* oldHandle = mGraphicHandle;
    CWrapOgreNode* oldNode = oldHandle ? oldHandle->getNode() : nullptr;
    CKEMSceneGraphicHandle* handle = new CKEMSceneGraphicHandle(this);
    handle->create(ParentGraphicNode(this));
    if (CWrapOgreNode* node = handle->getNode()) {
        if (oldNode) {
            node->setPosition(oldNode->getPosition());
            node->setOrientation(oldNode->getOrientation());
            node->setScale(oldNode->getScale());
        }
        for (CKEMSceneNode* child : mChildren) {
            CKEMSceneGraphicHandle* childHandle = child->GetGraphicNode();
            if (childHandle && childHandle->getNode() && oldNode && childHandle->getNode()->getParentNode() == oldNode)
                handle->reparent(childHandle);
        }
    }
    SetGraphicObject(nullptr);   // the old entity goes while its node exists
    SetGraphicNode(handle);

    CKEMSceneEntityHandle* entity = new CKEMSceneEntityHandle(this);
    SetGraphicObject(entity);
    entity->Load(mResource);
    CKEMSceneNode::UpdateBounds(true, true, true);

    if (entity->GetEntity())
        entity->GetEntity()->setCastShadows(mCastShadows);
    mGraphicHandle->setVisible(mVisible);
    mNeedTangent = false;
    setName(mName);
}

void CKEMSceneObject::SetEntityMaterial(const std::string& material) {
    if (CKEMSceneEntityHandle* entity = GetObjectEntityHandle())
        entity->SetEntityMaterial(material);
    mMaterial = material;
}

void CKEMSceneObject::SetCastShadows(bool cast) {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (!entity || !entity->GetEntity() || entity->GetEntity()->getCastShadows() == cast)
        return;
    mCastShadows = cast;
    entity->GetEntity()->setCastShadows(cast);
}

void CKEMSceneObject::BuildTangents() {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (!entity || !entity->GetEntity())
        return;
    const Ogre::MeshPtr& mesh = entity->GetEntity()->getMesh();
    try {
        unsigned short source = 0;
        unsigned short index = 0;
        if (!mesh->suggestTangentVectorBuildParams(Ogre::VES_TANGENT, source, index))
            mesh->buildTangentVectors(Ogre::VES_TANGENT, source, index);
        mNeedTangent = true;
    } catch (const Ogre::Exception& e) {
        // A mesh without texture coordinates has nothing to build them from.
        PlatLog("CKEMSceneObject(%s): no tangents: %s", getName().c_str(), e.getDescription().c_str());
    }
}

void CKEMSceneObject::SetBillboard(bool billboard, uint32_t constraint) {
    mBillboard = billboard;
    mBillboardConstraint = constraint;
    if (billboard)
        gScenaricMgr.Register(this);
}

Ogre::Matrix4 CKEMSceneObject::GetBoneTransform(const std::string& bone) const {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (!entity || !entity->GetEntity() || !entity->GetEntity()->hasSkeleton())
        return Ogre::Matrix4::IDENTITY;
    Ogre::SkeletonInstance* skeleton = entity->GetEntity()->getSkeleton();
    if (!skeleton->hasBone(bone))
        return Ogre::Matrix4::IDENTITY;
    return skeleton->getBone(bone)->_getFullTransform();
}

// ---- virtual operations ---------------------------------------------------------------------

void CKEMSceneObject::RegisterScriptClass(lua_State* state) {
    CKEMSceneNode::RegisterScriptClass(state);
    if (RegisterObjectClassHook())
        RegisterObjectClassHook()(state);
}

void CKEMSceneObject::PostLoadInit() {
    const std::string resource = mResource;
    const bool needTangent = mNeedTangent;
    mResource.clear();
    LoadMesh(resource);
    if (!mMaterial.empty())
        SetEntityMaterial(mMaterial);
    SetCastShadows(mCastShadows);
    if (needTangent)
        BuildTangents();
    SetBillboard(mBillboard, mBillboardConstraint);
    CKEMSceneNode::PostLoadInit();
}

void CKEMSceneObject::Manage() {
    CKEMSceneNode::Manage();
    if (mBillboard)
        TurnToCamera();
    if (mPlaying)
        UpdateAnimations();
}

void CKEMSceneObject::Reset() {
    CKEMSceneNode::Reset();
    if (mPlaying)
        resetAnim(mCurrentName);
}

void CKEMSceneObject::TurnToCamera() {
    CKEMSceneCamera* camera = CKEMSceneGraph::GetCurrentCamera();
    if (!camera)
        return;
    Ogre::Vector3 eye;
    Ogre::Vector3 position;
    camera->GetPosition(eye, CKEMSceneGraphicHandle::SPACE_WORLD);
    GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    if (mBillboardConstraint >= 1 && mBillboardConstraint <= 3)
        eye[mBillboardConstraint - 1] = position[mBillboardConstraint - 1];
    const float distance = (eye - position).length();
    // The camera at the node gives no direction.
    if (!(distance > 1e-6f))
        return;
    const float sign = position.y < eye.y ? 1.0f : -1.0f;
    position.y = eye.y;
    const Ogre::Vector3 horizontal = eye - position;
    const float cosine = std::max(-1.0f, std::min(1.0f, horizontal.length() / distance));
    const float angle = std::acos(cosine);
    SetOrientation(Ogre::Vector3::NEGATIVE_UNIT_Z.getRotationTo(horizontal, Ogre::Vector3::ZERO), true);
    rotate(Ogre::Quaternion(Ogre::Radian(sign * angle), Ogre::Vector3::UNIT_X), CKEMSceneGraphicHandle::SPACE_LOCAL);
}

// ---- animations --------------------------------------------------------------------------------

void CKEMSceneObject::ForgetFading(bool resetTimes) {
    if (mFadingIndex != NO_ANIMATION) {
        if (Ogre::AnimationState* fading = GetObjectEntityHandle()->GetAnimationState(mFadingName)) {
            fading->setEnabled(false);
            fading->setTimePosition(0.0f);
        }
    }
    mFadingName.clear();
    mFadingIndex = NO_ANIMATION;
    if (resetTimes)
        mBlendOutStart = mBlendOutEnd = 0;
}

void CKEMSceneObject::playAnimBlending(const std::string& name, float blendIn, float blendOut, bool loop) {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr;
    if (!state)
        return;
    const uint32_t now = gTimer.GetTimeMs();

    if (mFadingIndex != NO_ANIMATION && mCurrentIndex != NO_ANIMATION)
        ForgetFading(false);
    if (blendOut == 0.0f && mCurrentIndex != NO_ANIMATION) {
        if (Ogre::AnimationState* current = entity->GetAnimationState(mCurrentName)) {
            current->setEnabled(false);
            current->setTimePosition(0.0f);
        }
        mCurrentName.clear();
        mCurrentIndex = NO_ANIMATION;
    }

    mFadingName = mCurrentName;
    mFadingIndex = mCurrentIndex;
    if (mFadingIndex != NO_ANIMATION && blendOut > 0.0f) {
        mBlendOutStart = now;
        mBlendOutEnd = AddSeconds(now, blendOut);
    }

    state->setEnabled(true);
    mCurrentName = name;
    mCurrentIndex = entity->GetAnimationIndex(name);
    mPlaying = true;

    if (loop) {
        state->setLoop(true);
        mReturnIndex = mCurrentIndex;
        mReturnName = name;
    } else {
        state->setLoop(false);
    }

    if (mCurrentIndex != NO_ANIMATION && blendIn > 0.0f) {
        mBlendInStart = now;
        mBlendInEnd = AddSeconds(now, blendIn);
        state->setWeight(0.0f);
    } else {
        // No blend-in: an earlier one must not weigh on this animation.
        mBlendInStart = mBlendInEnd = 0;
    }
}

void CKEMSceneObject::playAnim(const std::string& name) { playAnimBlending(name, kDefaultBlend, kDefaultBlend, false); }

void CKEMSceneObject::pauseAnim(const std::string&) { mPlaying = false; }

void CKEMSceneObject::stopAnim(const std::string& name) {
    if (mReturnIndex != NO_ANIMATION && mReturnName != name) {
        playAnimBlending(mReturnName, kDefaultBlend, kDefaultBlend, true);
        return;
    }
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr) {
        state->setEnabled(false);
        state->setTimePosition(0.0f);
    }
    if (name == mCurrentName) {
        mCurrentName.clear();
        mCurrentIndex = NO_ANIMATION;
        mBlendInStart = mBlendInEnd = 0;
    }
    ForgetFading(true);
    mPlaying = false;
}

void CKEMSceneObject::resetAnim(const std::string& name) {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr)
        state->setTimePosition(0.0f);
    mBlendInStart = mBlendInEnd = 0;
    ForgetFading(true);
}

bool CKEMSceneObject::isAnimOver(const std::string& name) const {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr;
    if (!state || state->getLoop())
        return false;
    return state->getTimePosition() == state->getLength();
}

void CKEMSceneObject::setLoopAnim(const std::string& name, bool loop) {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr)
        state->setLoop(loop);
}

bool CKEMSceneObject::isAnimLooping(const std::string& name) const {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr;
    return state && state->getLoop();
}

float CKEMSceneObject::getAnimLength(const std::string& name) const {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr;
    return state ? state->getLength() : 0.0f;
}

void CKEMSceneObject::setAnimTimePosition(const std::string& name, float seconds) {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr)
        state->setTimePosition(seconds);
}

float CKEMSceneObject::getAnimTimePosition(const std::string& name) const {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    Ogre::AnimationState* state = entity ? entity->GetAnimationState(name) : nullptr;
    return state ? state->getTimePosition() : 0.0f;
}

void CKEMSceneObject::UpdateAnimations() {
    CKEMSceneEntityHandle* entity = GetObjectEntityHandle();
    if (!entity)
        return;
    const uint32_t now = gTimer.GetTimeMs();
    const float dt = gTimer.GetDeltaSeconds();

    if (mFadingIndex != NO_ANIMATION) {
        if (now >= mBlendOutEnd) {
            ForgetFading(true);
        } else if (Ogre::AnimationState* fading = entity->GetAnimationState(mFadingName)) {
            const float t = float(now - mBlendOutStart) / float(mBlendOutEnd - mBlendOutStart);
            fading->setWeight(1.0f - t);
            fading->addTime(dt);
        }
    }

    if (mCurrentIndex != NO_ANIMATION) {
        if (Ogre::AnimationState* current = entity->GetAnimationState(mCurrentName)) {
            float weight = 1.0f;
            if (now < mBlendInEnd)
                weight = float(now - mBlendInStart) / float(mBlendInEnd - mBlendInStart);
            current->setWeight(weight);
            current->addTime(dt);
        }
    }

    if (mReturnIndex != NO_ANIMATION && mReturnIndex != mCurrentIndex && mCurrentIndex != NO_ANIMATION &&
        isAnimOver(mCurrentName))
        playAnimBlending(mReturnName, kDefaultBlend, kDefaultBlend, true);
}
