// The particle manager: owns every live particle system, updates them once
// per unpaused frame, draws them when the renderer asks, keeps the camera
// axes the sprites face, and owns the bank of 256 texture slots that all
// particle files share.
#pragma once

#include <OgreTexture.h>

#include <cstdint>
#include <string>

class ParticleSystem;

class CParticleMgr {
public:
    static const uint32_t TEXTURE_SLOTS = 256;

    CParticleMgr();
    ~CParticleMgr();
    CParticleMgr(const CParticleMgr&) = delete;
    CParticleMgr& operator=(const CParticleMgr&) = delete;

    // Camera axes and matrix to their initial values, the renderer's state
    // descriptors reset; installs Frame as the run state's particle service
    // and the particle-effect node kind in the scene loader. Once, at start-up.
    void Init();
    // Renderer down, every system deleted (effect nodes let go of theirs
    // first), texture slots emptied; the services installed by Init removed.
    void Term();
    // Once per unpaused frame: readies the renderer, then Update with the
    // global timer's delta seconds.
    void Frame();
    void Update(float dt);
    // From the renderer: every system's draw, then the flush.
    void Render();

    // Pushes the system at the front of the list (taking ownership).
    void Add(ParticleSystem* system);
    // Unlinks and deletes the system; one not in the list is left alone.
    void Remove(ParticleSystem* system);
    bool Contains(const ParticleSystem* system) const;
    ParticleSystem* GetFirstSystem() const { return mSystems; }

    // Columns 0, 1, 2 of the camera matrix.
    void SetCameraAxes(const float right[3], const float up[3], const float direction[3]);
    const float* GetCameraRight() const { return mRight; }
    const float* GetCameraUp() const { return mUp; }
    const float* GetCameraDirection() const { return mDirection; }
    // Row-major: element [row][column].
    const float (*GetCameraMatrix() const)[4] { return mCameraMatrix; }

    // Loads the texture into the slot when nobody uses it yet, then counts
    // one more user. Whether the slot holds a texture; false for a slot out
    // of range (nothing counted).
    bool AcquireTexture(uint32_t slot, const std::string& name);
    // One user less; the texture goes with the last one.
    void ReleaseTexture(uint32_t slot);
    Ogre::TexturePtr GetTexture(uint32_t slot) const;
    uint32_t GetTextureUseCount(uint32_t slot) const;

private:
    struct TextureSlot {
        Ogre::TexturePtr texture;
        uint32_t useCount = 0;
    };

    float mRight[3];
    float mUp[3];
    float mDirection[3];
    float mCameraMatrix[4][4];
    TextureSlot mTextures[TEXTURE_SLOTS];
    ParticleSystem* mSystems = nullptr;
};

extern CParticleMgr gParticleMgr;
