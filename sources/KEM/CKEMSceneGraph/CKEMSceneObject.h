// The node that shows a 3D resource (class types 1 mesh, 2 scene, 3 OSM): a
// mesh entity with optional skeletal animations cross-faded into each other,
// optionally turned toward the current camera as a billboard. Players and
// other animated figures are scene objects.
#pragma once

#include "CKEMSceneNode.h"

#include <OgreMatrix4.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Ogre {
class AnimationState;
class Entity;
class SceneNode;
}

class CKEMSceneObject;
class CWrapOgreEntity;

// Everything an object knows about its entity. Owned by the object (its
// graphic object); the game sets sub-entity materials through it.
class CKEMSceneEntityHandle : public CKEMSceneGraphicObject {
public:
    explicit CKEMSceneEntityHandle(CKEMSceneObject* owner);
    // Hides the debug box and deletes the entity.
    ~CKEMSceneEntityHandle() override;

    // Loads the resource into the owner's graphics node by the owner's class
    // type (1: a mesh entity; 3: the OSM loader; 0 and 2: nothing). A mesh
    // that cannot be had raises CKEMException.
    bool Load(const std::string& resource);

    void UpdateBounds(CKEMBoundingBox& aabb, CKEMOrientedBox& obb, bool recompute, bool axes) override;
    void ShowDebug(bool show, const CKEMOrientedBox& obb) override;

    // False (and an empty name) without an entity, for an index at or past
    // the sub-entity count, or for a sub-entity without sub-mesh.
    bool SetMaterial(unsigned index, const std::string& material);
    bool GetMaterial(unsigned index, std::string& material) const;
    void SetEntityMaterial(const std::string& material);

    // The entity's animation state of that name; null without entity,
    // without animations or for a name the entity does not have.
    Ogre::AnimationState* GetAnimationState(const std::string& name) const;
    // Index in the animation name list, 0xFFFF when absent.
    uint16_t GetAnimationIndex(const std::string& name) const;
    const std::vector<std::string>* GetAnimationNames() const { return mAnimationNames; }

    CWrapOgreEntity* GetEntityWrapper() const { return mEntityWrapper; }
    Ogre::Entity* GetEntity() const { return mEntity; }
    const std::string& GetDebugId() const { return mDebugId; }

private:
    CKEMSceneObject* mOwner;
    CWrapOgreEntity* mEntityWrapper = nullptr;
    Ogre::SceneNode* mOgreNode = nullptr;
    Ogre::Entity* mEntity = nullptr;
    bool mLocalBoxDirty = true;
    std::string mDebugId;
    std::vector<std::string>* mAnimationNames = nullptr;
};

class CKEMSceneObject : public CKEMSceneNode {
public:
    static const uint16_t NO_ANIMATION = 0xFFFF;

    // The factory passes the scene record's resource and an empty material.
    CKEMSceneObject(const std::string& resource, const std::string& material, CKEMSceneNode* parent);
    ~CKEMSceneObject() override;

    // "mesh" 1, "scene" 2, "OSM" 3 (after the last "."; exact case), else 0.
    static int GetResourceKind(const std::string& resource);

    // ---- animations (seconds) ------------------------------------------------
    void playAnimBlending(const std::string& name, float blendIn, float blendOut, bool loop);
    void playAnim(const std::string& name);
    void pauseAnim(const std::string& name);
    void stopAnim(const std::string& name);
    void resetAnim(const std::string& name);
    bool isAnimOver(const std::string& name) const;
    void setLoopAnim(const std::string& name, bool loop);
    bool isAnimLooping(const std::string& name) const;
    float getAnimLength(const std::string& name) const;
    void setAnimTimePosition(const std::string& name, float seconds);
    float getAnimTimePosition(const std::string& name) const;
    int16_t getCurrentAnimIndex() const { return static_cast<int16_t>(mCurrentIndex); }
    std::string getCurrentAnimName() const { return mCurrentName; }
    bool IsAnimPlaying() const { return mPlaying; }
    const std::string& GetFadingAnimName() const { return mFadingName; }
    const std::string& GetReturnAnimName() const { return mReturnName; }

    // ---- resource --------------------------------------------------------------
    // The named bone's full transform relative to the entity's node; the
    // identity without skeleton or bone.
    Ogre::Matrix4 GetBoneTransform(const std::string& bone) const;
    // Nothing for the current name; otherwise a full reload that keeps the
    // node's transform and children.
    void LoadMesh(const std::string& resource);
    void SetEntityMaterial(const std::string& material);
    void SetCastShadows(bool cast);
    void BuildTangents();
    // A billboard (constraint 0 none, 1 X, 2 Y, 3 Z) is managed each frame.
    void SetBillboard(bool billboard, uint32_t constraint);

    const std::string& GetResource() const { return mResource; }
    const std::string& GetMaterial() const { return mMaterial; }
    bool GetCastShadows() const { return mCastShadows; }
    bool GetNeedTangent() const { return mNeedTangent; }
    bool IsBillboard() const { return mBillboard; }
    uint32_t GetBillboardConstraint() const { return mBillboardConstraint; }
    CKEMSceneEntityHandle* GetObjectEntityHandle() const;

    // Binds the Lua class "KEMSceneObject"; installed by the scripting library.
    typedef void (*ClassRegistrar)(lua_State* state);
    static ClassRegistrar& RegisterObjectClassHook();

    void RegisterScriptClass(lua_State* state) override;
    // ApplyVars: reloads the resource with the loaded values, then the base.
    void PostLoadInit() override;
    // The base life, the billboard turn, the animations' weights and times.
    void Manage() override;
    void Reset() override;

private:
    void ForgetFading(bool resetTimes);
    void TurnToCamera();
    void UpdateAnimations();

    std::string mResource;
    std::string mMaterial;
    bool mCastShadows = true;
    bool mNeedTangent = false;
    bool mBillboard = false;
    uint32_t mBillboardConstraint = 0;

    std::string mCurrentName;
    uint16_t mCurrentIndex = NO_ANIMATION;
    bool mPlaying = false;
    uint32_t mBlendInStart = 0;
    uint32_t mBlendInEnd = 0;
    std::string mFadingName;
    uint16_t mFadingIndex = NO_ANIMATION;
    uint32_t mBlendOutStart = 0;
    uint32_t mBlendOutEnd = 0;
    uint16_t mReturnIndex = NO_ANIMATION;
    std::string mReturnName;

    CKEMVarStringRef mResourceVar;
    CKEMVarStringRef mMaterialVar;
    CKEMVarBool mCastShadowsVar;
    CKEMVarBool mNeedTangentVar;
    CKEMVarBool mBillboardVar;
    CKEMVarU32 mBillboardConstraintVar;
};
