// The media a match shows, as the build stages them: the players' models
// (skeleton, throw hand, animations, materials), the release frames of the
// throws, the head pictures, the aiming axis's colours, the balls' particle
// files and the objects every venue must hold.
#include "TablesTestFiles.h"

#include <CLangDB.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <DecorTable.h>
#include <ParticleFile.h>
#include <ParticleRenderer.h>
#include <ParticleSystem.h>
#include <PlayerDB.h>
#include <Team.h>
#include <TeamDB.h>
#include <TuningLoader.h>
#include <TuningParameters.h>

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>

using tables_test::SourceData;

namespace {

const std::string kStage = std::string(KEM_STAGE_DIR) + "/mediaDemo/";

// Every animation the game, the menus and the crowd script play on a player's model.
const char* const kAnimations[] = {
    "AN_TIR", "AN_POI", "AN_STD_TIR", "AN_STD_POI", "AN_STD_CRO", "AP_STD_01", "AP_STD_02", "AP_STD_03",
    "AP_STD_04", "AP_STD_05", "AP_SAL_01", "AP_SAL_02", "AP_FIN_MA_01", "AP_FIN_MA_02", "AP_FIN_MA_03",
    "AP_POZ_01", "AP_POZ_02", "AP_POZ_03", "AP_POZ_04", "AP_POZ_05", "AP_POZ_06", "AP_POZ_07", "AP_POZ_08",
    "AP_POZ_09", "SPEC_IDLE", "SPEC_APPLAUSE", "SPEC_HIGH_POSITIVE", "SPEC_MEDIUM_POSITIVE",
    "SPEC_LOW_POSITIVE", "SPEC_HIGH_NEGATIVE", "SPEC_MEDIUM_NEGATIVE", "SPEC_LOW_NEGATIVE",
};

const char* const kVenues[] = {"baltard.xml", "la_reunion.xml", "la_ciotat.xml", "training.xml", "marseille.xml"};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// OGRE without a display: meshes, skeletons and material scripts of the staged media.
class PlayerMedia : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(TuningLoadFromFolder(std::string(KEM_SOURCE_MEDIA) + "/Config"), 0);
        CaracDB::Release();
        ASSERT_TRUE(CaracDB::LoadFromFile(SourceData("Carac_DB.csv")));
        ASSERT_TRUE(PlayerDB::LoadFromFile(SourceData("Joueurs_DB.csv")));
        ASSERT_TRUE(TeamDB::LoadFromFile(SourceData("Equipes_DB.csv")));
        ASSERT_TRUE(CLangDB::Instance().LoadFromFile(SourceData("Lang_DB.csv")));

        sLog = new Ogre::LogManager();
        sLog->createLog("player_media.ogre.log", true, false, true);
        sRoot = new Ogre::Root("", "", "");
        sBuffers = new Ogre::DefaultHardwareBufferManager();
        sTextures = new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        for (const char* folder : {"Models", "Overlays", "Particles"})
            groups.addResourceLocation(kStage + folder, "FileSystem", "General");
        groups.initialiseAllResourceGroups();
    }
    static void TearDownTestSuite() {
        delete sTextures;
        delete sRoot;
        delete sBuffers;
        delete sLog;
        PlayerDB::Init();
        TeamDB::Init();
        CaracDB::Release();
        CLangDB::Instance().Clear();
        CLangDB::Instance().SetCurrentLanguage(1);
    }

    static Ogre::MeshPtr LoadMesh(const std::string& name) {
        try {
            return Ogre::MeshManager::getSingleton().load(name, "General");
        } catch (const Ogre::Exception& e) {
            ADD_FAILURE() << name << ": " << e.getDescription();
            return Ogre::MeshPtr();
        }
    }

    // A shipped material that draws a colour: it exists, and none of its
    // texture units lacks a texture (OGRE would draw its warning pattern).
    static void ExpectDrawable(const std::string& name) {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name, "General");
        ASSERT_TRUE(material) << "material not shipped: " << name;
        for (Ogre::Technique* technique : material->getTechniques())
            for (Ogre::Pass* pass : technique->getPasses())
                for (Ogre::TextureUnitState* unit : pass->getTextureUnitStates())
                    EXPECT_FALSE(unit->getTextureName().empty()) << name << ": a texture unit without a texture";
    }

    static Ogre::LogManager* sLog;
    static Ogre::Root* sRoot;
    static Ogre::DefaultHardwareBufferManager* sBuffers;
    static Ogre::DefaultTextureManager* sTextures;
};

Ogre::LogManager* PlayerMedia::sLog = nullptr;
Ogre::Root* PlayerMedia::sRoot = nullptr;
Ogre::DefaultHardwareBufferManager* PlayerMedia::sBuffers = nullptr;
Ogre::DefaultTextureManager* PlayerMedia::sTextures = nullptr;

}  // namespace

TEST_F(PlayerMedia, EveryPlayerOfTheTableResolvesToASkinnedModelWithItsMaterials) {
    std::set<std::string> checkedMeshes;
    for (const Team* team : TeamDB::GetTeams()) {
        const PlayerList* squad = PlayerDB::GetTeamPlayers(team);
        ASSERT_NE(squad, nullptr) << team->mName;
        for (const CPlayer* player : *squad) {
            SCOPED_TRACE(player->mName);
            // The skin and shoes the model builder applies, and the panel's head picture.
            for (int32_t part : {1, 2})
                ExpectDrawable(player->GetMaterialName(part));
            char head[64];
            std::snprintf(head, sizeof(head), "HUD/Head_%s_%s_%02d", CPlayer::GetBodyCode(player->mBodyCode),
                          CPlayer::GetSkinCode(player->mSkinCode), player->mModelNumber);
            ExpectDrawable(head);
            const std::string meshName =
                CPlayer::GetMeshName(player->mBodyCode, player->mSkinCode, player->mModelNumber);
            if (!checkedMeshes.insert(meshName).second)
                continue;

            Ogre::MeshPtr mesh = LoadMesh(meshName);
            ASSERT_TRUE(mesh) << meshName;
            ASSERT_TRUE(mesh->hasSkeleton()) << meshName;
            Ogre::SkeletonPtr skeleton = mesh->getSkeleton();
            ASSERT_TRUE(skeleton) << meshName;
            EXPECT_TRUE(skeleton->hasBone("joint_boulasse")) << meshName;
            for (const char* animation : kAnimations)
                EXPECT_TRUE(skeleton->hasAnimation(animation)) << meshName << " lacks " << animation;
            // Each part word the skin and clothes rules look for names a sub-mesh.
            std::set<std::string> words;
            for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
                ExpectDrawable(sub->getMaterialName());
                for (const char* word : {"clothes", "shoes", "skin"})
                    if (sub->getMaterialName().find(word) != std::string::npos)
                        words.insert(word);
                EXPECT_FALSE(sub->getBoneAssignments().empty()) << meshName << ": a part not bound to the skeleton";
            }
            EXPECT_EQ(words.size(), 3u) << meshName;
        }
    }
    EXPECT_FALSE(checkedMeshes.empty());

    // The side's clothes, named from its display name and the language's id, in both languages.
    for (unsigned language : {1u, 2u}) {
        CLangDB::Instance().SetCurrentLanguage(language);
        ASSERT_TRUE(CLangDB::Instance().LoadFromFile(SourceData("Lang_DB.csv")));
        for (const Team* team : TeamDB::GetTeams())
            for (const CPlayer* player : *PlayerDB::GetTeamPlayers(team))
                ExpectDrawable(player->GetClothesMaterialName(GetTeamDisplayName(team)));
    }
    CLangDB::Instance().SetCurrentLanguage(1);
}

// The ball follows the hand bone until the release frame, then flies from
// there: the frame must come before the animation's end, and the hand must
// then be where the throw expects the ball to leave it.
TEST_F(PlayerMedia, TheBallLeavesTheHandInsideTheThrowAnimationNearTheReleasePoint) {
    const struct {
        const char* animation;
        int32_t releaseFrame;
        int32_t lastFrame;   // the frame count the throw maps the animation's length to
        Ogre::Vector3 releaseOffset;
        float height;
    } throws[] = {
        {"AN_TIR", LACHER_TIR_FRAME, ANGLE_MAX_TIR_FRAME,
         Ogre::Vector3(DECALAGE_BOULE_DROITE_MOYEN_TIR, 0.0f, -DECALAGE_BOULE_DEVANT_MOYEN_TIR),
         HAUTEUR_BOULE_INITIALE_MOYENNE_TIR},
        {"AN_POI", LACHER_POINTE_FRAME, ANGLE_MAX_POINTE_FRAME,
         Ogre::Vector3(DECALAGE_BOULE_DROITE_MOYEN_POINTE, 0.0f, -DECALAGE_BOULE_DEVANT_MOYEN_POINTE),
         HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE},
    };
    for (const char* meshName : {"HJ_CN_01.mesh", "FG_CN_01.mesh"}) {   // the man's and the woman's build
        Ogre::MeshPtr mesh = LoadMesh(meshName);
        ASSERT_TRUE(mesh && mesh->hasSkeleton());
        Ogre::SkeletonPtr skeleton = mesh->getSkeleton();
        for (const auto& t : throws) {
            SCOPED_TRACE(std::string(meshName) + " " + t.animation);
            EXPECT_GT(t.releaseFrame, 0);
            EXPECT_LT(t.releaseFrame, t.lastFrame);
            ASSERT_TRUE(skeleton->hasAnimation(t.animation));
            Ogre::Animation* animation = skeleton->getAnimation(t.animation);
            const float msPerFrame = animation->getLength() * 1000.0f / static_cast<float>(t.lastFrame);
            const float releaseTime = static_cast<float>(t.releaseFrame) * msPerFrame / 1000.0f;
            EXPECT_LT(releaseTime, animation->getLength());

            skeleton->reset(true);
            animation->apply(skeleton.get(), releaseTime);
            const Ogre::Vector3 hand = skeleton->getBone("joint_boulasse")->_getDerivedPosition();
            const Ogre::Vector3 expected = t.releaseOffset + Ogre::Vector3(0.0f, t.height, 0.0f);
            EXPECT_LT(hand.distance(expected), 0.25f) << "hand at " << hand << ", release point " << expected;
            // Before the swing the ball is held in front of the body, not on the ground.
            skeleton->reset(true);
            animation->apply(skeleton.get(), 0.0f);
            EXPECT_GT(skeleton->getBone("joint_boulasse")->_getDerivedPosition().y, 0.2f);
        }
        skeleton->reset(true);
    }
}

TEST_F(PlayerMedia, TheAimingAxisBandsDrawTheirColours) {
    // Band materials of the aiming guide and of the radar, and the rolling estimate's.
    std::set<Ogre::ColourValue, bool (*)(const Ogre::ColourValue&, const Ogre::ColourValue&)> colours(
        [](const Ogre::ColourValue& a, const Ogre::ColourValue& b) { return a.getAsRGBA() < b.getAsRGBA(); });
    for (const char* name : {"debug_black", "debug_yellow", "debug_green", "debug_orange", "debug_red", "debug_blue"}) {
        SCOPED_TRACE(name);
        ExpectDrawable(name);
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name, "General");
        ASSERT_TRUE(material);
        const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        colours.insert(pass->getSelfIllumination());
    }
    EXPECT_EQ(colours.size(), 6u) << "two bands share a colour";
}

// The physics debug display draws joints with this material: shipped, and a
// colour of its own (not black, not one of the aiming bands).
TEST_F(PlayerMedia, TheJointDebugLinesHaveTheirMaterial) {
    ExpectDrawable("jointMaterial1");
    Ogre::MaterialPtr joint = Ogre::MaterialManager::getSingleton().getByName("jointMaterial1", "General");
    ASSERT_TRUE(joint);
    const Ogre::ColourValue colour = joint->getTechnique(0)->getPass(0)->getSelfIllumination();
    EXPECT_GT(colour.r + colour.g + colour.b, 1.0f);
    for (const char* band : {"debug_yellow", "debug_green", "debug_orange", "debug_red", "debug_blue"}) {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(band, "General");
        ASSERT_TRUE(material);
        EXPECT_NE(material->getTechnique(0)->getPass(0)->getSelfIllumination(), colour) << band;
    }
}

TEST_F(PlayerMedia, TheBallsParticleFilesLoadAndPlayAboveTheGround) {
    const struct {
        const char* file;
        bool endsAlone;   // the landing burst ends by itself; the rolling dust runs until stopped
    } files[] = {{"poussiere.pfx", false}, {"graviers.pfx", true}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const std::string bytes = ReadAll(kStage + "Particles/" + f.file);
        ASSERT_FALSE(bytes.empty());
        ParticleSystemAnimation* raw = nullptr;
        std::vector<ParticleFileTexture> textures;
        ASSERT_EQ(ReadParticleFile(bytes.data(), static_cast<int>(bytes.size()), f.file, raw, textures), 0);
        std::unique_ptr<ParticleSystemAnimation> system(raw);
        ASSERT_FALSE(textures.empty());
        for (const ParticleFileTexture& texture : textures)
            EXPECT_TRUE(std::filesystem::exists(kStage + "Particles/" + texture.name)) << texture.name;
        system->setActive(true);
        SetParticleFrameTime(1.0f / 60.0f);
        int mostAlive = 0, aliveAtEnd = 0;
        for (int frame = 0; frame < 180; ++frame) {
            system->update();
            int alive = 0;
            for (uint32_t i = 0; i < system->getParticleCount(); ++i) {
                const Particle& p = system->getPool()[i];
                if (!IsParticleAlive(p))
                    continue;
                ++alive;
                EXPECT_GE(p.position[2], 0.0f);
            }
            mostAlive = std::max(mostAlive, alive);
            aliveAtEnd = alive;
            system->draw();
            PRI::DiscardBatches();
        }
        EXPECT_GT(mostAlive, 0);
        EXPECT_EQ(aliveAtEnd == 0, f.endsAlone);
    }
}

TEST_F(PlayerMedia, EveryVenueHoldsTheObjectsTheRefereeLooksUp) {
    std::vector<std::string> required = {"terrain", "cochonnet", "cercle", "cible", "pointeur cochonnet",
                                         "terrain limite 1", "terrain limite 2", "LimiteCam_01", "LimiteCam_02",
                                         "IntroPlayerPosRef", "OutroSponsorsPosRef", "sponsorsPanel",
                                         "CameraIntro", "CameraLancer", "CameraFinLancer", "CameraSuiviLancer",
                                         "CameraIntro_02", "CameraSponsors", "CamRALENTI", "spectator_1"};
    for (int i = 1; i <= 12; ++i)
        required.push_back("boule " + std::to_string(i));
    for (int i = 1; i <= 6; ++i) {
        required.push_back("pointeur best " + std::to_string(i));
        required.push_back("gradaxe " + std::to_string(i));
    }
    InitDecorTable();
    for (const DecorEntry& entry : g_DecorTable)
        required.push_back(entry.mName);

    const std::regex field("<(CKEMSCENENODE_NAME|CKEMSCENEOBJECT_MRESSOURCE|CKEMSCENEOBJECT_MMATERIAL) "
                           "value=\"([^\"]*)\"");
    for (const char* venue : kVenues) {
        SCOPED_TRACE(venue);
        const std::string text = ReadAll(std::string(KEM_SOURCE_MEDIA) + "/Saved_Scenes/" + venue);
        ASSERT_FALSE(text.empty());
        // Each node block names its node first, then its mesh and material.
        std::set<std::string> names;
        std::string node;
        for (std::sregex_iterator it(text.begin(), text.end(), field), end; it != end; ++it) {
            const std::string key = (*it)[1], value = (*it)[2];
            if (key == "CKEMSCENENODE_NAME") {
                node = value;
                EXPECT_TRUE(names.insert(node).second) << "named twice: " << node;
            } else if (key == "CKEMSCENEOBJECT_MMATERIAL") {
                if (!value.empty())
                    ExpectDrawable(value);
            } else if (!value.empty()) {
                Ogre::MeshPtr mesh = LoadMesh(value);
                ASSERT_TRUE(mesh) << node << ": " << value;
                // The crowd script plays these on every spectator.
                if (node.rfind("spectator_", 0) == 0) {
                    ASSERT_TRUE(mesh->hasSkeleton()) << node;
                    for (const char* animation : kAnimations) {
                        if (std::string(animation).rfind("SPEC_", 0) == 0) {
                            EXPECT_TRUE(mesh->getSkeleton()->hasAnimation(animation)) << node << " " << animation;
                        }
                    }
                }
            }
        }
        for (const std::string& name : required)
            EXPECT_EQ(names.count(name), 1u) << "missing: " << name;
        int spectators = 0;
        while (names.count("spectator_" + std::to_string(spectators + 1)))
            ++spectators;
        EXPECT_EQ(spectators, static_cast<int>(std::count_if(names.begin(), names.end(), [](const std::string& n) {
                      return n.rfind("spectator_", 0) == 0;
                  }))) << "a gap in the spectators' numbers";
    }
}
