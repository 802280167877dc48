// The particle-effect node and the particle manager on OGRE without a
// display: loading through the resource groups, the play / stop / finish
// cycle, shared texture slots, scene loading and shutdown.
#include "OgreHeadless.h"

#include "CKEMSceneParticleEffect.h"
#include "CParticleMgr.h"
#include "ParticleSystem.h"

#include <CKEMSceneGraph.h>
#include <CSceneMgr.h>
#include <HalTimer.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

const std::string kStageParticles = std::string(KEM_STAGE_DIR) + "/mediaDemo/Particles";
const std::string kBrokenFiles = std::string(KEM_TEST_BINARY_DIR) + "/broken_pfx";

void AddLocation(const std::string& dir) {
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceLocationExists(dir, "General"))
        groups.addResourceLocation(dir, "FileSystem", "General");
}

class EffectTest : public OgreWrapTest {
protected:
    void SetUp() override {
        OgreWrapTest::SetUp();
        std::filesystem::create_directories(kBrokenFiles);
        std::ofstream(kBrokenFiles + "/broken.pfx") << "not a particle file";
        std::ofstream(kBrokenFiles + "/empty.pfx");
        AddLocation(kStageParticles);
        AddLocation(kBrokenFiles);
        KemSrand(3);
        gParticleMgr.Init();
    }
    void TearDown() override {
        mNodes.clear();
        gParticleMgr.Term();
        OgreWrapTest::TearDown();
    }

    CKEMSceneParticleEffect* Effect(const std::string& file) {
        mNodes.emplace_back(new CKEMSceneParticleEffect(file, nullptr));
        return static_cast<CKEMSceneParticleEffect*>(mNodes.back().get());
    }

    static int Systems() {
        int n = 0;
        for (ParticleSystem* s = gParticleMgr.GetFirstSystem(); s; s = s->getNext())
            ++n;
        return n;
    }

    static int Alive(const ParticleSystem* s) {
        int n = 0;
        for (uint32_t i = 0; i < s->getParticleCount(); ++i)
            n += IsParticleAlive(s->getPool()[i]) ? 1 : 0;
        return n;
    }

    std::vector<std::unique_ptr<CKEMSceneNode>> mNodes;
};

}  // namespace

TEST_F(EffectTest, AnEmptyNameLoadsNothing) {
    CKEMSceneParticleEffect* effect = Effect("");
    EXPECT_EQ(effect->LoadResource(""), 0);
    EXPECT_EQ(effect->getKEM_NodeType(), CKEMSceneNode::KEM_SCENENODE);
    EXPECT_EQ(effect->GetSystem(), nullptr);
    EXPECT_EQ(effect->StartEffect(), -1);
    EXPECT_EQ(effect->StopEffect(), -1);
    effect->Manage();
    EXPECT_EQ(effect->GetState(), CKEMSceneParticleEffect::STATE_LOADED);
}

TEST_F(EffectTest, FilesThatCannotBeHadLeaveTheNodeWithoutASystem) {
    for (const char* file : {"no_such.pfx", "broken.pfx", "empty.pfx"}) {
        SCOPED_TRACE(file);
        CKEMSceneParticleEffect* effect = Effect(file);
        EXPECT_EQ(effect->getKEM_NodeType(), CKEMSceneNode::KEM_SCENE_PARTICLEEFFECT);
        EXPECT_EQ(effect->GetSystem(), nullptr);
        EXPECT_EQ(effect->LoadResource(file), -1);
        EXPECT_EQ(effect->StartEffect(), -1);
        EXPECT_TRUE(effect->GetTextureSlots().empty());
    }
    EXPECT_EQ(gParticleMgr.GetFirstSystem(), nullptr);
}

TEST_F(EffectTest, LoadedSystemsJoinTheManagerInactiveAndShareTheirTextureSlot) {
    CKEMSceneParticleEffect* impact = Effect("dust_impact.pfx");
    CKEMSceneParticleEffect* roll = Effect("dust_roll.pfx");
    for (CKEMSceneParticleEffect* effect : {impact, roll}) {
        EXPECT_EQ(effect->getKEM_NodeType(), CKEMSceneNode::KEM_SCENE_PARTICLEEFFECT);
        ASSERT_NE(effect->GetSystem(), nullptr);
        EXPECT_TRUE(gParticleMgr.Contains(effect->GetSystem()));
        EXPECT_FALSE(effect->GetSystem()->isActive());
        EXPECT_EQ(effect->GetState(), CKEMSceneParticleEffect::STATE_LOADED);
        EXPECT_EQ(effect->GetTextureSlots(), std::vector<uint32_t>{0});
    }
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(0), 2u);

    // Reloading the same node keeps one system and one use of the slot.
    EXPECT_EQ(Systems(), 2);
    EXPECT_EQ(impact->LoadResource("dust_impact.pfx"), 0);
    EXPECT_EQ(Systems(), 2);
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(0), 2u);

    ParticleSystem* rollSystem = roll->GetSystem();
    mNodes.pop_back();
    EXPECT_FALSE(gParticleMgr.Contains(rollSystem));
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(0), 1u);
    mNodes.pop_back();
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(0), 0u);
    EXPECT_FALSE(gParticleMgr.GetTexture(0));
    EXPECT_EQ(gParticleMgr.GetFirstSystem(), nullptr);
}

TEST_F(EffectTest, StartPlaysAtTheNodeSleepLetsItRunOutAndStartPlaysAgain) {
    CKEMSceneParticleEffect* effect = Effect("dust_roll.pfx");
    effect->setPosition(Ogre::Vector3(1, 2, 3), false);
    effect->SetScale(Ogre::Vector3(2, 3, 4));
    ParticleSystem* system = effect->GetSystem();
    ASSERT_NE(system, nullptr);

    // Not started: the follow-up keeps it switched off.
    system->setActive(true);
    effect->Manage();
    EXPECT_FALSE(system->isActive());

    EXPECT_EQ(effect->SendEvent(CKEMSceneNode::EVENT_WAKEUP, nullptr, 0), 0);
    EXPECT_EQ(effect->GetState(), CKEMSceneParticleEffect::STATE_PLAYING);
    EXPECT_TRUE(system->isActive());
    EXPECT_FALSE(system->isStopping());
    const float* t = system->getTransform();
    EXPECT_FLOAT_EQ(t[9], 1.0f);
    EXPECT_FLOAT_EQ(t[10], 3.0f);   // the engine's vertical is its third coordinate
    EXPECT_FLOAT_EQ(t[11], 2.0f);
    EXPECT_FLOAT_EQ(system->getScale()[1], 4.0f);
    effect->Manage();
    EXPECT_FLOAT_EQ(system->getScale()[1], 3.0f);

    gParticleMgr.Update(1.0f / 30.0f);
    ASSERT_GT(Alive(system), 0);
    // The particles start at the node.
    EXPECT_NEAR(system->getPool()[0].position[0], 1.0f, 0.1f);
    EXPECT_NEAR(system->getPool()[0].position[1], 3.0f, 0.1f);
    for (int frame = 0; frame < 30; ++frame)
        gParticleMgr.Update(1.0f / 30.0f);
    EXPECT_GT(Alive(system), 0);

    effect->SendEvent(CKEMSceneNode::EVENT_SLEEP, nullptr, 0);
    EXPECT_TRUE(system->isStopping());
    int frames = 0;
    while (system->getRemainingTime() > 0.0f && frames < 600) {
        gParticleMgr.Update(1.0f / 30.0f);
        effect->Manage();
        ++frames;
    }
    EXPECT_EQ(Alive(system), 0);
    EXPECT_EQ(system->getRemainingTime(), 0.0f);
    effect->Manage();
    EXPECT_EQ(effect->GetState(), CKEMSceneParticleEffect::STATE_FINISHED);

    EXPECT_EQ(effect->StartEffect(), 0);
    EXPECT_EQ(effect->GetState(), CKEMSceneParticleEffect::STATE_PLAYING);
    EXPECT_EQ(Alive(system), 0);   // the pool starts empty
    gParticleMgr.Update(1.0f / 30.0f);
    EXPECT_GT(Alive(system), 0);
}

TEST_F(EffectTest, AFinishedDurationLeavesTheSystemRunning) {
    CKEMSceneParticleEffect* effect = Effect("dust_impact.pfx");
    ASSERT_EQ(effect->StartEffect(), 0);
    for (int frame = 0; frame < 60; ++frame)
        gParticleMgr.Update(1.0f / 30.0f);   // 2 s of a 1.5 s effect
    effect->Manage();
    EXPECT_EQ(effect->GetState(), CKEMSceneParticleEffect::STATE_FINISHED);
    EXPECT_TRUE(effect->GetSystem()->isActive());
}

TEST_F(EffectTest, TheRunStateDrivesTheManagerFrame) {
    CKEMSceneParticleEffect* effect = Effect("dust_impact.pfx");
    effect->StartEffect();
    ASSERT_NE(CSceneMgr::Services().particleFrame, nullptr);
    gTimer.mGameDeltaS = 0.5f;
    CSceneMgr::Services().particleFrame();
    EXPECT_FLOAT_EQ(effect->GetSystem()->getRemainingTime(), 1.0f);
    gTimer.mGameDeltaS = 0.0f;
}

TEST_F(EffectTest, SceneFilesBuildEffectNodesThroughTheNodeFactory) {
    CKEMSceneGraph::CreateRootNode();
    const std::string text =
        "<ROOT>\n<KEM_SCENE_NODE_VARLIST>\n"
        "<CKEMSCENENODE_CLASSTYPE value=\"11\" />\n"
        "<CKEMSCENENODE_NAME value=\"dust\"/>\n"
        "<CKEMSCENENODE_PARENTNAME value=\"KEM_ROOT\"/>\n"
        "<CKEMSCENENODE_POSITION_IC x=\"4\" y=\"0\" z=\"1\" />\n"
        "<CKEMSCENEPFX_MRESSOURCE value=\"dust_roll.pfx\"/>\n"
        "</KEM_SCENE_NODE_VARLIST>\n</ROOT>\n";
    ASSERT_TRUE(CKEMSceneGraph::LoadNodes(text.c_str()));
    auto* effect = dynamic_cast<CKEMSceneParticleEffect*>(CKEMSceneGraph::FindNode("dust"));
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->GetResourceName(), "dust_roll.pfx");
    ASSERT_NE(effect->GetSystem(), nullptr);
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(0), 1u);   // loaded once, by the variables' name
    effect->StartEffect();
    EXPECT_FLOAT_EQ(effect->GetSystem()->getTransform()[9], 4.0f);

    std::unique_ptr<CKEMSceneNode> direct(
        CKEMSceneGraph::CreateNodeByType(CKEMSceneNode::KEM_SCENE_PARTICLEEFFECT, nullptr, "dust_impact.pfx"));
    ASSERT_NE(dynamic_cast<CKEMSceneParticleEffect*>(direct.get()), nullptr);
    direct.reset();
    CKEMSceneGraph::DestroyRootNode();
    EXPECT_EQ(gParticleMgr.GetFirstSystem(), nullptr);
}

TEST_F(EffectTest, ShutdownTakesTheSystemsFromLiveNodes) {
    CKEMSceneParticleEffect* effect = Effect("dust_impact.pfx");
    effect->StartEffect();
    gParticleMgr.Term();
    EXPECT_EQ(effect->GetSystem(), nullptr);
    EXPECT_EQ(gParticleMgr.GetFirstSystem(), nullptr);
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(0), 0u);
    EXPECT_EQ(CSceneMgr::Services().particleFrame, nullptr);
    EXPECT_EQ(CKEMSceneGraph::CreateNodeByType(CKEMSceneNode::KEM_SCENE_PARTICLEEFFECT, nullptr, "dust_impact.pfx"),
              nullptr);
    effect->Manage();
    EXPECT_EQ(effect->StartEffect(), -1);
    mNodes.clear();   // the node goes after the manager without harm
    gParticleMgr.Init();
}

TEST_F(EffectTest, TextureSlotsCountTheirUsersEvenWhenATextureCannotBeLoaded) {
    EXPECT_FALSE(gParticleMgr.AcquireTexture(256, "x.png"));
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(256), 0u);
    gParticleMgr.AcquireTexture(9, "no_such_texture.png");
    gParticleMgr.AcquireTexture(9, "another.png");
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(9), 2u);
    gParticleMgr.ReleaseTexture(9);
    gParticleMgr.ReleaseTexture(9);
    gParticleMgr.ReleaseTexture(9);   // one release too many is ignored
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(9), 0u);
    gParticleMgr.AcquireTexture(9, "no_such_texture.png");
    EXPECT_EQ(gParticleMgr.GetTextureUseCount(9), 1u);
    gParticleMgr.ReleaseTexture(9);
}
