#include "CKEMSceneParticleEffect.h"

#include "CParticleMgr.h"
#include "ParticleFile.h"
#include "ParticleSystem.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneGraphicHandle.h>
#include <CKEMSceneNodeKind.h>
#include <CScenaricMgr.h>
#include <KEMSceneLog.h>
#include <Platform.h>

#include <OgreException.h>
#include <OgreResourceGroupManager.h>

#include <set>

using namespace KEMSceneNodeKind;

namespace {

// Live effect nodes, so that the manager's shutdown can take their systems away.
std::set<CKEMSceneParticleEffect*>& LiveEffects() {
    static std::set<CKEMSceneParticleEffect*> effects;
    return effects;
}

typedef CKEMSceneNode* (*NodeBuilder)(int classType, CKEMSceneNode* parent, const std::string& resource);
NodeBuilder gNextBuilder = nullptr;

CKEMSceneNode* BuildNode(int classType, CKEMSceneNode* parent, const std::string& resource) {
    if (classType == CKEMSceneNode::KEM_SCENE_PARTICLEEFFECT)
        return new CKEMSceneParticleEffect(resource, parent);
    return gNextBuilder ? gNextBuilder(classType, parent, resource) : nullptr;
}

// The whole resource, or false (with a log line) when it cannot be had.
bool ReadResource(const std::string& name, std::vector<uint8_t>& bytes) {
    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!groups) {
        PlatLog("particle file \"%s\": no resource system", name.c_str());
        return false;
    }
    Ogre::DataStreamPtr stream;
    try {
        stream = groups->openResource(name, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME, nullptr,
                                      false);
    } catch (const Ogre::Exception& e) {
        PlatLog("particle file \"%s\": %s", name.c_str(), e.getDescription().c_str());
        return false;
    }
    if (!stream || stream->size() == 0) {
        PlatLog("particle file \"%s\" not found or empty", name.c_str());
        return false;
    }
    bytes.resize(stream->size());
    if (stream->read(bytes.data(), bytes.size()) != bytes.size()) {
        PlatLog("particle file \"%s\": short read", name.c_str());
        return false;
    }
    return true;
}

}  // namespace

CKEMSceneParticleEffect::CKEMSceneParticleEffect(const std::string& resource, CKEMSceneNode* parent)
    : CKEMSceneNode(parent) {
    SetGraphicNode(new CKEMSceneGraphicHandle(this));
    setName(mGraphicHandle->create(ParentGraphicNode(this)));
    LiveEffects().insert(this);
    LoadResource(resource);
    RegisterVar(mResourceVar, "CKEMSCENEPFX_MRESSOURCE", &mResourceName);
    gScenaricMgr.Register(this);
}

CKEMSceneParticleEffect::~CKEMSceneParticleEffect() {
    TermScriptFirst();   // the script's Term still sees the whole node
    ReleaseResource();
    LiveEffects().erase(this);
    DestroyDebugEntity(WrapperNode(this), mDebugEntity);
}

int32_t CKEMSceneParticleEffect::LoadResource(const std::string& name) {
    // A second load must not leave the first system running unowned.
    ReleaseResource();
    mResourceName = name;
    SetClassType(name.empty() ? KEM_SCENENODE : KEM_SCENE_PARTICLEEFFECT);
    if (name.empty())
        return 0;

    std::vector<uint8_t> bytes;
    if (!ReadResource(name, bytes))
        return -1;
    ParticleSystemAnimation* system = nullptr;
    std::vector<ParticleFileTexture> textures;
    // The reader's lines name the scene file and the node as well.
    const std::string source = std::string(KEMSceneLog::File()) + ": node \"" + getName() +
                               "\" CKEMSCENEPFX_MRESSOURCE: particle file \"" + name + "\"";
    if (ReadParticleFile(bytes.data(), static_cast<int>(bytes.size()), source.c_str(), system, textures) != 0)
        return -1;

    mTextureSlots.reserve(textures.size());
    for (const ParticleFileTexture& texture : textures) {
        mTextureSlots.push_back(texture.slot);
        gParticleMgr.AcquireTexture(texture.slot, texture.name);
    }
    mSystem = system;
    gParticleMgr.Add(system);
    return 0;
}

void CKEMSceneParticleEffect::ReleaseResource() {
    for (uint32_t slot : mTextureSlots)
        gParticleMgr.ReleaseTexture(slot);
    mTextureSlots.clear();
    if (mSystem) {
        gParticleMgr.Remove(mSystem);
        mSystem = nullptr;
    }
}

void CKEMSceneParticleEffect::ForgetAllSystems() {
    for (CKEMSceneParticleEffect* effect : LiveEffects()) {
        for (uint32_t slot : effect->mTextureSlots)
            gParticleMgr.ReleaseTexture(slot);
        effect->mTextureSlots.clear();
        effect->mSystem = nullptr;
    }
}

void CKEMSceneParticleEffect::PlaceSystem() {
    Ogre::Vector3 position;
    GetPosition(position, CKEMSceneGraphicHandle::SPACE_WORLD);
    mSystem->setTranslation(position.x, position.z, position.y);
}

int32_t CKEMSceneParticleEffect::StartEffect() {
    if (!mSystem)
        return -1;
    mSystem->reset();
    mState = STATE_PLAYING;
    PlaceSystem();
    Ogre::Vector3 scale;
    GetScale(scale);
    mSystem->setScale(scale.x, scale.z, scale.y);
    mSystem->setStopping(false);
    mSystem->setActive(true);
    return 0;
}

int32_t CKEMSceneParticleEffect::StopEffect() {
    if (!mSystem)
        return -1;
    mSystem->setStopping(true);
    return 0;
}

int CKEMSceneParticleEffect::WakeUp(uint32_t id, CKEMSceneNode* sender, int argument) {
    const int result = CKEMSceneNode::WakeUp(id, sender, argument);
    StartEffect();
    return result;
}

int CKEMSceneParticleEffect::Sleep(uint32_t id, CKEMSceneNode* sender, int argument) {
    const int result = CKEMSceneNode::Sleep(id, sender, argument);
    StopEffect();
    return result;
}

void CKEMSceneParticleEffect::Manage() {
    CKEMSceneNode::Manage();
    if (!mSystem)
        return;
    if (!(mSystem->getRemainingTime() > 0.0f)) {
        mState = STATE_FINISHED;
        return;
    }
    if (mState != STATE_PLAYING) {
        mSystem->setActive(false);
        return;
    }
    mSystem->setActive(true);
    PlaceSystem();
    Ogre::Vector3 scale;
    GetScale(scale);
    mSystem->setScale(scale.x, scale.y, scale.z);
}

void CKEMSceneParticleEffect::FirstManage() {
    CKEMSceneNode::FirstManage();
    AddScriptEvent(EVENT_WAKEUP, &CKEMSceneNode::WakeUp);
    AddScriptEvent(EVENT_SLEEP, &CKEMSceneNode::Sleep);
}

void CKEMSceneParticleEffect::PostLoadInit() {
    CKEMSceneNode::PostLoadInit();
    const std::string name = mResourceName;
    ReleaseResource();
    LoadResource(name);
}

void CKEMSceneParticleEffect::setDebugMode(bool debug) {
    CKEMSceneNode::setDebugMode(debug);
    DestroyDebugEntity(WrapperNode(this), mDebugEntity);
    if (debug)
        mDebugEntity = CreateDebugEntity(WrapperNode(this), "debugpfx.mesh", "");
}

void CKEMSceneParticleEffect::InstallNodeKind() {
    CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
    if (hooks.createNode == &BuildNode)
        return;
    gNextBuilder = hooks.createNode;
    hooks.createNode = &BuildNode;
}

void CKEMSceneParticleEffect::UninstallNodeKind() {
    CKEMSceneGraphHooks& hooks = CKEMSceneGraph::Hooks();
    if (hooks.createNode != &BuildNode)
        return;
    hooks.createNode = gNextBuilder;
    gNextBuilder = nullptr;
}
