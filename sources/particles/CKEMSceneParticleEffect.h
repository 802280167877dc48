// The particle-effect scene node (class type 11): loads one particle file,
// keeps its system glued to the node's world position and scale, starts it
// when the node wakes up and lets it run out when the node goes to sleep.
#pragma once

#include <CKEMSceneNode.h>

#include <cstdint>
#include <string>
#include <vector>

class CWrapOgreEntity;
class ParticleSystem;

class CKEMSceneParticleEffect : public CKEMSceneNode {
public:
    enum { STATE_LOADED = 0, STATE_PLAYING = 1, STATE_FINISHED = 3 };

    // Under `parent` (the scene root when null), with its own graphics node;
    // loads the file and registers with the scripted-node manager.
    CKEMSceneParticleEffect(const std::string& resource, CKEMSceneNode* parent);
    ~CKEMSceneParticleEffect() override;

    // Loads a particle file found in any resource group (replacing the
    // current one). 0 on success or for an empty name, -1 on failure (the
    // node then has no system).
    int32_t LoadResource(const std::string& name);
    // Texture slots released, system removed from the manager and deleted.
    void ReleaseResource();
    // Restarts the system from empty, placed at the node; -1 without a system.
    int32_t StartEffect();
    // No more emission; the system ends when its last particle has died.
    // -1 without a system.
    int32_t StopEffect();

    int WakeUp(uint32_t id, CKEMSceneNode* sender, int argument) override;
    int Sleep(uint32_t id, CKEMSceneNode* sender, int argument) override;
    void Manage() override;
    void FirstManage() override;
    // The base initialisation, then the file of the (possibly loaded) name again.
    void PostLoadInit() override;
    void setDebugMode(bool debug) override;

    ParticleSystem* GetSystem() const { return mSystem; }
    int32_t GetState() const { return mState; }
    const std::string& GetResourceName() const { return mResourceName; }
    const std::vector<uint32_t>& GetTextureSlots() const { return mTextureSlots; }
    CWrapOgreEntity* GetDebugEntity() const { return mDebugEntity; }

    // Lets the scene loader's CreateNodeByType build class type 11 (kinds it
    // does not know go on to the previously installed builder).
    static void InstallNodeKind();
    static void UninstallNodeKind();
    // The particle manager is deleting every system: each live effect node
    // releases its texture slots and forgets its system.
    static void ForgetAllSystems();

private:
    // Translation from the node's world position, the engine's vertical third.
    void PlaceSystem();

    CKEMVarStringRef mResourceVar;
    std::string mResourceName;
    ParticleSystem* mSystem = nullptr;
    std::vector<uint32_t> mTextureSlots;
    int32_t mState = STATE_LOADED;
    CWrapOgreEntity* mDebugEntity = nullptr;
};
