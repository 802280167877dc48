#include "CParticleMgr.h"

#include "CKEMSceneParticleEffect.h"
#include "ParticleRenderer.h"
#include "ParticleSystem.h"

#include <CSceneMgr.h>
#include <HalTimer.h>
#include <Platform.h>

#include <OgreException.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreTextureManager.h>

#include <cstring>
#include <utility>

CParticleMgr gParticleMgr;

namespace {

void FrameService() { gParticleMgr.Frame(); }

}  // namespace

CParticleMgr::CParticleMgr() {
    const float right[3] = {1, 0, 0}, up[3] = {0, 1, 0}, direction[3] = {0, 0, 1};
    SetCameraAxes(right, up, direction);
}

CParticleMgr::~CParticleMgr() {
    // Whatever Term did not get to; the renderer's OGRE objects are long gone
    // at program exit, so only our own memory is freed here.
    while (ParticleSystem* system = mSystems) {
        mSystems = system->getNext();
        delete system;
    }
    for (TextureSlot& slot : mTextures) {
        // Without Term the texture manager may be gone already: a texture
        // must not be destroyed into it, so its last handle is left behind.
        if (slot.texture && !Ogre::TextureManager::getSingletonPtr())
            new Ogre::TexturePtr(std::move(slot.texture));
    }
}

void CParticleMgr::Init() {
    const float right[3] = {1, 0, 0}, up[3] = {0, 1, 0}, direction[3] = {0, 0, 1};
    SetCameraAxes(right, up, direction);
    PRI::resetRenderState();
    CSceneMgr::Services().particleFrame = &FrameService;
    CKEMSceneParticleEffect::InstallNodeKind();
}

void CParticleMgr::Term() {
    if (CSceneMgr::Services().particleFrame == &FrameService)
        CSceneMgr::Services().particleFrame = nullptr;
    CKEMSceneParticleEffect::UninstallNodeKind();
    PRI::shutdownRenderer();
    // Effect nodes outlive the manager's shutdown; they must not keep
    // pointers to the systems deleted here.
    CKEMSceneParticleEffect::ForgetAllSystems();
    while (ParticleSystem* system = mSystems) {
        mSystems = system->getNext();
        delete system;
    }
    for (TextureSlot& slot : mTextures) {
        slot.texture.reset();
        slot.useCount = 0;
    }
}

void CParticleMgr::Frame() {
    PRI::ensureRenderer();
    Update(gTimer.GetDeltaSeconds());
}

void CParticleMgr::Update(float dt) {
    SetParticleFrameTime(dt);
    for (ParticleSystem* system = mSystems; system; system = system->getNext())
        system->update();
}

void CParticleMgr::Render() {
    for (ParticleSystem* system = mSystems; system; system = system->getNext())
        system->draw();
    PRI::fillBuffers();
}

void CParticleMgr::Add(ParticleSystem* system) {
    if (!system || Contains(system))
        return;
    system->setNext(mSystems);
    mSystems = system;
}

void CParticleMgr::Remove(ParticleSystem* system) {
    ParticleSystem* previous = nullptr;
    for (ParticleSystem* s = mSystems; s; previous = s, s = s->getNext()) {
        if (s != system)
            continue;
        if (previous)
            previous->setNext(s->getNext());
        else
            mSystems = s->getNext();
        delete s;
        return;
    }
}

bool CParticleMgr::Contains(const ParticleSystem* system) const {
    for (ParticleSystem* s = mSystems; s; s = s->getNext())
        if (s == system)
            return true;
    return false;
}

void CParticleMgr::SetCameraAxes(const float right[3], const float up[3], const float direction[3]) {
    std::memcpy(mRight, right, sizeof(mRight));
    std::memcpy(mUp, up, sizeof(mUp));
    std::memcpy(mDirection, direction, sizeof(mDirection));
    std::memset(mCameraMatrix, 0, sizeof(mCameraMatrix));
    for (int row = 0; row < 3; ++row) {
        mCameraMatrix[row][0] = right[row];
        mCameraMatrix[row][1] = up[row];
        mCameraMatrix[row][2] = direction[row];
    }
    mCameraMatrix[3][3] = 1.0f;
}

bool CParticleMgr::AcquireTexture(uint32_t slot, const std::string& name) {
    if (slot >= TEXTURE_SLOTS)
        return false;
    TextureSlot& entry = mTextures[slot];
    if (entry.useCount == 0) {
        entry.texture.reset();
        // OGRE cannot load a texture without a render system (it dereferences
        // the missing one): the slot stays empty and its sprites untextured.
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        Ogre::TextureManager* textures = Ogre::TextureManager::getSingletonPtr();
        if (textures && root && root->getRenderSystem()) {
            try {
                entry.texture = textures->load(name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
                                               Ogre::TEX_TYPE_2D, Ogre::MIP_DEFAULT, 1.0f);
            } catch (const Ogre::Exception& e) {
                PlatLog("particle texture \"%s\" (slot %u): %s", name.c_str(), slot, e.getDescription().c_str());
                entry.texture.reset();
            }
        } else {
            PlatLog("particle texture \"%s\" (slot %u): no render system to load it", name.c_str(), slot);
        }
    }
    ++entry.useCount;
    return static_cast<bool>(entry.texture);
}

void CParticleMgr::ReleaseTexture(uint32_t slot) {
    if (slot >= TEXTURE_SLOTS || mTextures[slot].useCount == 0)
        return;
    if (--mTextures[slot].useCount == 0)
        mTextures[slot].texture.reset();
}

Ogre::TexturePtr CParticleMgr::GetTexture(uint32_t slot) const {
    return slot < TEXTURE_SLOTS ? mTextures[slot].texture : Ogre::TexturePtr();
}

uint32_t CParticleMgr::GetTextureUseCount(uint32_t slot) const {
    return slot < TEXTURE_SLOTS ? mTextures[slot].useCount : 0;
}
