// Players' throw arithmetic, teams' ball bookkeeping, the controllers table
// and the terrain's geometry: values that need no scene.
#include <CLangDB.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <ControlerTable.h>
#include <GameDifficulty.h>
#include <HalNet.h>
#include <Team.h>
#include <TeamDB.h>
#include <Terrain.h>
#include <TuningParameters.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The tuning values these tests set, put back afterwards.
class PlayerTuningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mSaved = {SEUIL_PHYSIQUE_FATIGUE, SEUIL_MENTAL_STRESS, MALUS_EQUILIBRE_STRESS,
                  SEUIL1_PHUYSIQUE_MENTAL_MALUS_EFFETS, SEUIL2_PHUYSIQUE_MENTAL_MALUS_EFFETS,
                  MALUS_EFFECTS_FATIGUE_ET_STRESS1, MALUS_EFFECTS_FATIGUE_ET_STRESS2, MALUS_EQUILIBRE_ROUGE,
                  MALUS_EQUILIBRE_ORANGE, MALUS_EQUILIBRE_JAUNE, ANGLE_MAX_TIR};
        mSavedFloats = {MALUS_PUISSANCE_FATIGUE, MALUS_PUISSANCE_TIR_SAUTE};
        mSavedDifficulty = g_CurrentDifficulty;
        SEUIL_PHYSIQUE_FATIGUE = 3;
        MALUS_PUISSANCE_FATIGUE = -0.25f;
        MALUS_PUISSANCE_TIR_SAUTE = 0.5f;
        ANGLE_MAX_TIR = 60;
        SEUIL_MENTAL_STRESS = 4;
        MALUS_EQUILIBRE_STRESS = 7;
        SEUIL1_PHUYSIQUE_MENTAL_MALUS_EFFETS = 10;
        SEUIL2_PHUYSIQUE_MENTAL_MALUS_EFFETS = 6;
        MALUS_EFFECTS_FATIGUE_ET_STRESS1 = 2;
        MALUS_EFFECTS_FATIGUE_ET_STRESS2 = 3;
        MALUS_EQUILIBRE_ROUGE = 30;
        MALUS_EQUILIBRE_ORANGE = 20;
        MALUS_EQUILIBRE_JAUNE = 10;
        mProfile.mSpeed0 = 5.0f;
        mProfile.mSpeed1 = 6.0f;
        mProfile.mSpeed2 = 7.0f;
        mProfile.mSpeed3 = 8.0f;
        mProfile.mBalance = 1;
        mProfile.mEffects = 4;
        mProfile.mMental = 5;
        mProfile.mPhysique = 5;
    }
    void TearDown() override
    {
        int32_t* ints[] = {&SEUIL_PHYSIQUE_FATIGUE, &SEUIL_MENTAL_STRESS, &MALUS_EQUILIBRE_STRESS,
                           &SEUIL1_PHUYSIQUE_MENTAL_MALUS_EFFETS, &SEUIL2_PHUYSIQUE_MENTAL_MALUS_EFFETS,
                           &MALUS_EFFECTS_FATIGUE_ET_STRESS1, &MALUS_EFFECTS_FATIGUE_ET_STRESS2,
                           &MALUS_EQUILIBRE_ROUGE, &MALUS_EQUILIBRE_ORANGE, &MALUS_EQUILIBRE_JAUNE, &ANGLE_MAX_TIR};
        for (size_t i = 0; i < mSaved.size(); ++i)
            *ints[i] = mSaved[i];
        MALUS_PUISSANCE_FATIGUE = mSavedFloats[0];
        MALUS_PUISSANCE_TIR_SAUTE = mSavedFloats[1];
        g_CurrentDifficulty = mSavedDifficulty;
    }

    CPlayer* Player(const char* name, int32_t role, int32_t balls = 3)
    {
        mPlayers.emplace_back(new CPlayer(name));
        CPlayer* player = mPlayers.back().get();
        player->mRole = role;
        player->mBallsLeft = balls;
        player->mPointingProfile = &mProfile;
        player->mShootingProfile = &mProfile;
        return player;
    }

    ThrowProfile mProfile;
    std::vector<std::unique_ptr<CPlayer>> mPlayers;
    std::vector<int32_t> mSaved;
    std::vector<float> mSavedFloats;
    int32_t mSavedDifficulty = 1;
};

}  // namespace

TEST(Player, MeshAndMaterialNames)
{
    CPlayer player("Marius");
    EXPECT_EQ(player.GetMeshName(), "HJ_CN_01.mesh");
    EXPECT_EQ(player.GetMaterialName(CPlayer::PART_SKIN), "HJ_CN_01/mat_skin");
    EXPECT_EQ(player.GetMaterialName(CPlayer::PART_SHOES), "HJ_CN_01/mat_shoes");
    EXPECT_EQ(CPlayer::GetMeshName(5, 3, 12), "HA_AF_12.mesh");
    // Codes outside their tables give no text: an incomplete name, no crash.
    EXPECT_EQ(CPlayer::GetMeshName(6, -1, 2), "__02.mesh");

    CLangDB::Instance().Clear();
    CLangDB::Instance().Add("STRING_ID", "fr");
    player.mBodyCode = 1;
    EXPECT_EQ(player.GetClothesMaterialName("Corse"), "Corse_fr/woman_Clothes");
    player.mBodyCode = 2;
    EXPECT_EQ(player.GetClothesMaterialName("Corse"), "Corse_fr/man_Clothes");
    CLangDB::Instance().Clear();
}

TEST_F(PlayerTuningTest, FatigueAndJumpedShotPenalties)
{
    CPlayer* player = Player("P", CPlayer::ROLE_MIDDLE);
    // physique 5 - fatigue 2 = 3: not below the threshold.
    player->mFatigue = 2;
    EXPECT_FLOAT_EQ(player->ApplyFatigueMalus(CPlayer::THROW_POINTING, 8.0f, 30.0f), 8.0f);
    player->mFatigue = 3;
    EXPECT_FLOAT_EQ(player->ApplyFatigueMalus(CPlayer::THROW_POINTING, 8.0f, 30.0f), 6.0f);
    EXPECT_FLOAT_EQ(player->GetSpeed0(CPlayer::THROW_POINTING, 30.0f), 3.75f);
    EXPECT_FLOAT_EQ(player->GetSpeed1(CPlayer::THROW_POINTING, 30.0f), 4.5f);

    player->mFatigue = 0;
    EXPECT_FLOAT_EQ(player->ApplyFatigueMalus(CPlayer::THROW_SHOOTING, 8.0f, 60.0f), 8.5f);
    EXPECT_FLOAT_EQ(player->ApplyFatigueMalus(CPlayer::THROW_SHOOTING, 8.0f, 59.9f), 8.0f);
    EXPECT_FLOAT_EQ(player->ApplyFatigueMalus(CPlayer::THROW_POINTING, 8.0f, 60.0f), 8.0f);
}

TEST_F(PlayerTuningTest, PowerZonesGiveBalanceMalusAndGaugeTime)
{
    TEMPS_JAUGE_EQUILIBRE_VERT_FACILE = 101;
    TEMPS_JAUGE_EQUILIBRE_JAUNE_MOYEN = 202;
    TEMPS_JAUGE_EQUILIBRE_ORANGE_DIFFICILE = 303;
    TEMPS_JAUGE_EQUILIBRE_ROUGE_DIFFICILE = 404;
    CPlayer* player = Player("P", CPlayer::ROLE_MIDDLE);
    struct Case {
        float speed;
        int32_t zone;
        float malus;   // balance 1 + zone malus
    } cases[] = {
        {9.0f, CPlayer::ZONE_RED, 31.0f},    {8.0f, CPlayer::ZONE_ORANGE, 21.0f},
        {7.5f, CPlayer::ZONE_ORANGE, 21.0f}, {7.0f, CPlayer::ZONE_YELLOW, 11.0f},
        {6.0f, CPlayer::ZONE_GREEN, 1.0f},   {5.0f, CPlayer::ZONE_GREEN, 1.0f},
        {4.9f, CPlayer::ZONE_YELLOW, 11.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(player->GetSpeedZone(CPlayer::THROW_POINTING, c.speed, 30.0f), c.zone);
        EXPECT_FLOAT_EQ(player->GetBalanceMalusForSpeed(CPlayer::THROW_POINTING, c.speed, 30.0f), c.malus);
    }
    // The zone limits are the speeds after fatigue.
    player->mFatigue = 3;   // speeds x 0.75: 3.75 4.5 5.25 6
    EXPECT_EQ(player->GetSpeedZone(CPlayer::THROW_POINTING, 6.5f, 30.0f), CPlayer::ZONE_RED);

    player->mFatigue = 0;
    g_CurrentDifficulty = 0;
    EXPECT_FLOAT_EQ(player->GetGaugeTimeForSpeed(CPlayer::THROW_POINTING, 5.5f, 30.0f), 101.0f);
    g_CurrentDifficulty = 1;
    EXPECT_FLOAT_EQ(player->GetGaugeTimeForSpeed(CPlayer::THROW_POINTING, 4.0f, 30.0f), 202.0f);
    g_CurrentDifficulty = 7;   // anything else reads as hard
    EXPECT_FLOAT_EQ(player->GetGaugeTimeForSpeed(CPlayer::THROW_POINTING, 7.5f, 30.0f), 303.0f);
    EXPECT_FLOAT_EQ(player->GetGaugeTimeForSpeed(CPlayer::THROW_POINTING, 8.1f, 30.0f), 404.0f);
    TEMPS_JAUGE_EQUILIBRE_VERT_FACILE = TEMPS_JAUGE_EQUILIBRE_JAUNE_MOYEN = 0;
    TEMPS_JAUGE_EQUILIBRE_ORANGE_DIFFICILE = TEMPS_JAUGE_EQUILIBRE_ROUGE_DIFFICILE = 0;
}

TEST_F(PlayerTuningTest, StressAndEffectPenalties)
{
    CPlayer* player = Player("P", CPlayer::ROLE_MIDDLE);
    EXPECT_EQ(player->GetBalanceWithStress(CPlayer::THROW_POINTING), 1);   // mental 5 - 0 >= 4
    player->mStress = 2;
    EXPECT_EQ(player->GetBalanceWithStress(CPlayer::THROW_POINTING), 8);

    // v = physique - fatigue - stress + mental
    struct Case {
        int32_t fatigue, stress, effects;
    } cases[] = {{0, 0, 4}, {0, 1, 6}, {2, 2, 6}, {3, 2, 9}, {5, 5, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fatigue << "/" << c.stress);
        player->mFatigue = c.fatigue;
        player->mStress = c.stress;
        EXPECT_EQ(player->GetEffectsWithMalus(CPlayer::THROW_POINTING), c.effects);
    }
}

TEST_F(PlayerTuningTest, PlayerWithoutProfileReadsZeros)
{
    CPlayer player("nobody");
    EXPECT_EQ(player.GetProfileSpeed3(1), 0.0f);
    EXPECT_EQ(player.GetBalanceWithStress(CPlayer::THROW_SHOOTING), 0 + MALUS_EQUILIBRE_STRESS);
    EXPECT_EQ(player.GetSpeedZone(CPlayer::THROW_SHOOTING, 1.0f, 30.0f), CPlayer::ZONE_RED);
}

TEST_F(PlayerTuningTest, BestPlayerFavoursTheRoleAndTheFirstOnTies)
{
    Team team("T");
    EXPECT_EQ(team.GetBestPlayer(6.0f, CPlayer::THROW_SHOOTING, false), nullptr);

    CPlayer* middle = Player("M", CPlayer::ROLE_MIDDLE);
    CPlayer* pointer = Player("P", CPlayer::ROLE_POINTER, 0);
    CPlayer* shooter = Player("S", CPlayer::ROLE_SHOOTER);
    team.mPlayers = {middle, pointer, shooter};
    EXPECT_EQ(shooter->GetThrowRating(6.0f, CPlayer::THROW_SHOOTING),
              middle->GetThrowRating(6.0f, CPlayer::THROW_SHOOTING) + 5);
    EXPECT_EQ(team.GetBestPlayer(6.0f, CPlayer::THROW_SHOOTING, false), shooter);
    EXPECT_EQ(team.GetBestPlayer(6.0f, CPlayer::THROW_POINTING, false), pointer);
    // The pointer has no ball left; the two others rate the same: the first wins.
    EXPECT_EQ(team.GetBestPlayer(6.0f, CPlayer::THROW_POINTING, true), middle);
}

TEST(Team, DealsTwoBallsEachOnlyToTeamsOfThree)
{
    std::vector<std::unique_ptr<CPlayer>> players;
    for (int i = 0; i < 3; ++i)
        players.emplace_back(new CPlayer("p"));
    for (size_t size : {1u, 2u, 3u}) {
        Team team("T");
        for (size_t i = 0; i < size; ++i) {
            players[i]->mBallsLeft = 0;
            players[i]->mFatigue = 4;
            players[i]->mStress = 2;
            team.mPlayers.push_back(players[i].get());
        }
        team.DealBalls();
        team.ResetThrowCounters();
        const int32_t each = size == 3 ? 2 : 3;
        EXPECT_EQ(team.CountBallsLeft(), each * static_cast<int32_t>(size));
        for (CPlayer* player : team.mPlayers) {
            EXPECT_EQ(player->mBallsLeft, each);
            EXPECT_EQ(player->mFatigue, 0);
            EXPECT_EQ(player->mStress, 0);
        }
    }
}

TEST(Team, NextPlayerWithBallsPrefersPointerThenMiddleThenShooter)
{
    CPlayer shooter("S"), middle("M"), pointer("P");
    shooter.mRole = CPlayer::ROLE_SHOOTER;
    middle.mRole = CPlayer::ROLE_MIDDLE;
    pointer.mRole = CPlayer::ROLE_POINTER;
    Team team("T");
    team.mPlayers = {&shooter, &middle, &pointer};

    struct Case {
        int32_t shooterBalls, middleBalls, pointerBalls;
        bool keepCurrent;
        int32_t current;
        CPlayer* expected;
    } cases[] = {
        {1, 1, 1, true, 0, &pointer}, {1, 1, 0, true, 2, &middle}, {1, 0, 0, true, 2, &shooter},
        {0, 0, 0, true, 1, nullptr},
        // Not keeping the current player: it throws again while it has balls.
        {1, 1, 1, false, 0, &shooter}, {0, 1, 1, false, 0, &pointer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shooterBalls << c.middleBalls << c.pointerBalls << c.keepCurrent);
        shooter.mBallsLeft = c.shooterBalls;
        middle.mBallsLeft = c.middleBalls;
        pointer.mBallsLeft = c.pointerBalls;
        team.mCurrentPlayer = c.current;
        EXPECT_EQ(team.GetNextPlayerWithBalls(c.keepCurrent), c.expected);
        if (c.expected) {
            EXPECT_EQ(team.GetCurrentPlayer(), c.expected);
        } else {
            EXPECT_EQ(team.mCurrentPlayer, c.current);
        }
    }

    CPlayer stranger("X");
    team.mCurrentPlayer = 1;
    team.SetCurrentPlayer(&stranger);
    EXPECT_EQ(team.mCurrentPlayer, 1);
    team.mCurrentPlayer = 9;   // out of range reads as nobody
    EXPECT_EQ(team.GetCurrentPlayer(), nullptr);
}

TEST(Team, AILevelAndDisplayName)
{
    const int32_t saved = g_CurrentDifficulty;
    Team team("Bretagne");
    team.mDifficulty[0][1] = 3;
    team.mDifficulty[1][1] = 5;
    team.mDifficulty[2][1] = 8;
    const int32_t levels[][2] = {{0, 3}, {1, 5}, {2, 8}, {-1, 8}, {9, 8}};
    for (const auto& level : levels) {
        g_CurrentDifficulty = level[0];
        EXPECT_EQ(team.GetAILevel(), level[1]) << level[0];
    }
    g_CurrentDifficulty = saved;

    TeamDB::Init();
    team.mRegionId = 8;
    EXPECT_EQ(GetTeamDisplayName(&team), "Ile-de-France");
    team.mNational = true;
    team.mCountryId = 8;
    EXPECT_EQ(GetTeamDisplayName(&team), "France");
    team.mCountryId = 40;
    EXPECT_EQ(GetTeamDisplayName(&team), "");
    EXPECT_EQ(GetTeamDisplayName(nullptr), "");
}

namespace {
class ControlersTest : public ::testing::Test {
protected:
    void SetUp() override { ResetControlers(); }
    void TearDown() override
    {
        ResetControlers();
        NetSetTraceCallback(nullptr);
    }
    static void Record(const char* text) { sLines.push_back(text); }
    static std::vector<std::string> sLines;
};
std::vector<std::string> ControlersTest::sLines;
}  // namespace

TEST_F(ControlersTest, NextAndCurrentControlerOfASide)
{
    ControlerTable[1].mTeam = 0;
    ControlerTable[4].mTeam = 0;
    ControlerTable[2].mTeam = 1;
    struct Case {
        int32_t side, start, expectedSlot;
    } cases[] = {{0, 4, 1}, {0, 1, 4}, {0, -1, 1}, {1, 2, 2}, {1, 5, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.side << " from " << c.start);
        g_ControlerCurrentIndex[c.side] = c.start;
        ControlerEntry& next = GetNextControlerForTeam(c.side);
        EXPECT_EQ(&next, &ControlerTable[c.expectedSlot]);
        EXPECT_EQ(g_ControlerCurrentIndex[c.side], c.expectedSlot);
        EXPECT_EQ(&GetCurrentControlerForTeam(c.side), &next);
    }

    // No entry of that side: the dummy entry, the index moved by one.
    ControlerTable[2].mTeam = -1;
    g_ControlerCurrentIndex[1] = 5;
    EXPECT_EQ(&GetNextControlerForTeam(1), &g_DummyControler);
    EXPECT_EQ(g_ControlerCurrentIndex[1], 0);

    // A side other than 0 or 1 reads the dummy entry and moves nothing.
    g_ControlerCurrentIndex[0] = 1;
    g_ControlerCurrentIndex[1] = 2;
    EXPECT_EQ(&GetNextControlerForTeam(2), &g_DummyControler);
    EXPECT_EQ(&GetCurrentControlerForTeam(2), &g_DummyControler);
    EXPECT_EQ(&GetCurrentControlerForTeam(-1), &g_DummyControler);
    EXPECT_EQ(g_ControlerCurrentIndex[0], 1);
    EXPECT_EQ(g_ControlerCurrentIndex[1], 2);
    g_ControlerCurrentIndex[1] = -1;
    EXPECT_EQ(&GetCurrentControlerForTeam(1), &g_DummyControler);
    EXPECT_EQ(g_DummyControler.mType, e_undefined);
    EXPECT_EQ(g_DummyControler.mTeam, -1);
}

TEST_F(ControlersTest, FindAndReceivedThrowData)
{
    ControlerTable[3].mType = e_lan2;
    ControlerTable[5].mType = e_lan2;
    EXPECT_EQ(&FindControler(e_lan2), &ControlerTable[3]);
    EXPECT_EQ(&FindControler(e_ia), &g_DummyControler);

    ShootOptions options;
    options.angle = 42.5f;
    options.playerIndex = 2;
    options.throwMode = 1;
    options.effect = 3;
    options.aimX = -1.25f;
    options.aimY = 0.02f;
    options.aimZ = 7.5f;
    options.fatigue = -4;
    options.stress = 6;
    options.ballsLeft = 1;
    EXPECT_TRUE(ControlerTable[3].SetShootOptions(options));
    EXPECT_TRUE(ControlerTable[3].mShootOptionsReceived);
    const ShootOptions back = ControlerTable[3].GetShootOptions();
    EXPECT_EQ(std::memcmp(&back, &options, sizeof(options)), 0);

    LaunchSetValues launch;
    launch.angle = 30.0f;
    launch.directionZ = -1.0f;
    launch.effect = 0.5f;
    launch.speed = 6.5f;
    EXPECT_TRUE(ControlerTable[3].SetLaunchSet(launch));
    EXPECT_TRUE(ControlerTable[3].mLaunchSetReceived);
    EXPECT_EQ(ControlerTable[3].mLaunchSet[0], 30.0f);
    EXPECT_EQ(ControlerTable[3].mLaunchSet[5], 6.5f);
    EXPECT_EQ(ControlerTable[3].GetLaunchSet().directionZ, -1.0f);
}

TEST_F(ControlersTest, DumpShowsSidesAndCurrentEntries)
{
    ControlerTable[0].mType = e_local1;
    ControlerTable[0].mTeam = 0;
    std::strcpy(ControlerTable[0].mName, "Fanny");
    ControlerTable[1].mType = e_ia;
    ControlerTable[1].mTeam = 1;
    // A name filling the whole buffer, without terminator.
    std::memset(ControlerTable[1].mName, 'x', sizeof(ControlerTable[1].mName));
    ControlerTable[2].mTeam = 1;   // undefined: no side or current texts
    g_ControlerCurrentIndex[0] = 0;
    g_ControlerCurrentIndex[1] = 1;
    sLines.clear();
    NetSetTraceCallback(&ControlersTest::Record);
    DumpControlers();
    NetSetTraceCallback(nullptr);

    ASSERT_EQ(sLines.size(), 9u);
    EXPECT_EQ(sLines[0], "====DumpControlers()======================");
    EXPECT_EQ(sLines[1], " Current for Team A = 0  Current for Team B = 1");
    EXPECT_EQ(sLines[2], "-(0) Type=e_local1 Team=Team A Name=Fanny   <=Current for Team A");
    EXPECT_EQ(sLines[3], "-(1) Type=e_ia Team=Team B Name=" + std::string(32, 'x') + "   <=Current for Team B");
    EXPECT_EQ(sLines[4], "-(2) Type=e_undefined Team= Name=   ");
    EXPECT_EQ(sLines[8], "==========================================");
}

TEST(Terrain, LimitsPlanesAndPoints)
{
    Terrain terrain(0);
    terrain.SetLimits(Ogre::Vector3(10, 0, -2), Ogre::Vector3(-10, 0, 2));
    EXPECT_EQ(terrain.mMinX, -10.0f);
    EXPECT_EQ(terrain.mMaxX, 10.0f);
    EXPECT_EQ(terrain.mMinZ, -2.0f);
    EXPECT_EQ(terrain.mMaxZ, 2.0f);
    EXPECT_EQ(terrain.mLimitPoint1, Ogre::Vector3(0, 0, -2));
    EXPECT_EQ(terrain.mLimitPoint2, Ogre::Vector3(0, 0, 2));

    Ogre::Vector3 point;
    EXPECT_TRUE(terrain.IntersectRay(Ogre::Ray(Ogre::Vector3(0, 0.5f, 1), Ogre::Vector3::UNIT_X), point));
    EXPECT_EQ(point, Ogre::Vector3(10, 0.5f, 1));
    // The nearest boundary ahead, not the first tested.
    EXPECT_TRUE(terrain.IntersectRay(Ogre::Ray(Ogre::Vector3(0, 0, 0), Ogre::Vector3(-1, 0, -1)), point));
    EXPECT_EQ(point, Ogre::Vector3(-2, 0, -2));
    EXPECT_FALSE(terrain.IntersectRay(Ogre::Ray(Ogre::Vector3(20, 0, 5), Ogre::Vector3(1, 0, 1)), point));
    EXPECT_EQ(point, Ogre::Vector3::ZERO);

    EXPECT_FALSE(terrain.IsOutside(Ogre::Vector3(-10, 3, 2)));   // on the lines
    EXPECT_TRUE(terrain.IsOutside(Ogre::Vector3(-10.01f, 0, 0)));
    EXPECT_TRUE(terrain.IsOutside(Ogre::Vector3(0, 0, 2.01f)));

    EXPECT_EQ(terrain.InsidePosition(Ogre::Vector3(-13, 5, 2)), Ogre::Vector3(-9, 0, 1));
    EXPECT_EQ(terrain.InsidePosition(Ogre::Vector3(3, 5, -0.5f)), Ogre::Vector3(3, 0, -0.5f));

    EXPECT_EQ(terrain.GetFarLimitPoint(Ogre::Vector3(1, 0, 1.5f)), terrain.mLimitPoint1);
    EXPECT_EQ(terrain.GetFarLimitPoint(Ogre::Vector3(1, 0, -1)), terrain.mLimitPoint2);
    EXPECT_EQ(terrain.GetFarLimitPoint(Ogre::Vector3(5, 0, 0)), terrain.mLimitPoint2);   // tie
}

TEST(Terrain, SceneFileOfEachStage)
{
    const char* expected[] = {"marseille", "baltard", "la_reunion", "la_ciotat", "training", "marseille"};
    for (int32_t stage = 0; stage <= 5; ++stage)
        EXPECT_EQ(std::string(GetSceneFileForStage(Terrain(stage))),
                  std::string("../../mediaDemo/Saved_Scenes/") + expected[stage] + ".xml");
    EXPECT_STREQ(GetSceneFileForStage(7), "../../mediaDemo/Saved_Scenes/marseille.xml");
    EXPECT_STREQ(GetSceneFileForStage(-1), "../../mediaDemo/Saved_Scenes/marseille.xml");
}
