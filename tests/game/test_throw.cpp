// The throw and the aiming guide: ballistics, the axis limits, the aim
// turning, the gauges, the launch computed from the hand and the guide, the
// computer's errors and the LAN launch message.
#include "PhysicsTestEnv.h"

#include <CAimGuide.h>
#include <CBall.h>
#include <CDebugRenderer.h>
#include <CGameElement.h>
#include <CNetMgr.h>
#include <CObjnet.h>
#include <CPhysicObject.h>
#include <CPlayer.h>
#include <CaracDB.h>
#include <ControlerTable.h>
#include <CPhysicMgr.h>
#include <CReplayMgr.h>
#include <HalTimer.h>
#include <LaunchSet.h>
#include <NetMessages.h>
#include <Terrain.h>
#include <TuningParameters.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

const float G = 9.81f;

// Tuning for the guide: graduations every metre (axis 1..8 m), pointing at
// 30 degrees from 1 m high, release point at the player's feet + 0.02.
class ThrowTuning {
public:
    ThrowTuning()
        : mGrad(DIST_ENTRE_GRADUATION), mAngle(ANGLE_POINTE_MOYEN), mHeight(HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE),
          mAngleT(ANGLE_TIR_MOYEN), mHeightT(HAUTEUR_BOULE_INITIALE_MOYENNE_TIR),
          mCoefP(COEF_DESEQUILIBRE_POINTE), mCoefT(COEF_DESEQUILIBRE_TIR)
    {
        DIST_ENTRE_GRADUATION = 1.0f;
        ANGLE_POINTE_MOYEN = 30.0f;
        HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE = 1.0f;
        ANGLE_TIR_MOYEN = 15.0f;
        HAUTEUR_BOULE_INITIALE_MOYENNE_TIR = 1.0f;
        COEF_DESEQUILIBRE_POINTE = 2.0f;
        COEF_DESEQUILIBRE_TIR = 3.0f;
    }
    ~ThrowTuning()
    {
        DIST_ENTRE_GRADUATION = mGrad;
        ANGLE_POINTE_MOYEN = mAngle;
        HAUTEUR_BOULE_INITIALE_MOYENNE_POINTE = mHeight;
        ANGLE_TIR_MOYEN = mAngleT;
        HAUTEUR_BOULE_INITIALE_MOYENNE_TIR = mHeightT;
        COEF_DESEQUILIBRE_POINTE = mCoefP;
        COEF_DESEQUILIBRE_TIR = mCoefT;
    }

private:
    float mGrad, mAngle, mHeight, mAngleT, mHeightT, mCoefP, mCoefT;
};

struct Thrower {
    Thrower() : player("Marius")
    {
        profile.mSpeed0 = 0.5f;    // below the axis: raised to 1 m
        profile.mSpeed1 = 4.0f;
        profile.mSpeed2 = 6.0f;
        profile.mSpeed3 = 20.0f;   // beyond the axis: lowered to 8 m
        profile.mEffects = 7;
        profile.mPhysique = 100;
        player.mPointingProfile = &profile;
        player.mShootingProfile = &profile;
        player.mThrowMode = CPlayer::THROW_POINTING;
    }
    ThrowProfile profile;
    CPlayer player;
};

}  // namespace

TEST(AimGuide, BallisticsSpeedAndDistanceAreInverse)
{
    // 45 degrees from the ground: v^2 = g d.
    EXPECT_NEAR(CAimGuide::LaunchSpeed(10.0f, 45.0f, 0.0f, G), std::sqrt(G * 10.0f), 1e-3f);
    struct Case {
        float distance, angle, height;
    } cases[] = {{10.0f, 45.0f, 0.0f}, {3.0f, 30.0f, 1.0f}, {7.5f, 60.0f, 0.8f}, {1.0f, 5.0f, 0.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.distance << " " << c.angle << " " << c.height);
        const float v = CAimGuide::LaunchSpeed(c.distance, c.angle, c.height, G);
        EXPECT_NEAR(CAimGuide::LandingDistance(v, c.angle, c.height, G), c.distance, 1e-3f);
    }
    // Thrown from below the ground, level: it never comes down to it.
    EXPECT_EQ(CAimGuide::LandingDistance(3.0f, 0.0f, -1.0f, G), -1.0f);
    // Nothing reaches a point on the launch line: no speed rather than a NaN.
    EXPECT_EQ(CAimGuide::LaunchSpeed(5.0f, 0.0f, 0.0f, G), 0.0f);
    EXPECT_EQ(CAimGuide::LaunchSpeed(5.0f, -30.0f, 1.0f, G), 0.0f);
}

TEST(AimGuide, AimPointAxisLimitsAndTurning)
{
    ThrowTuning tuning;
    Thrower t;
    CAimGuide guide;
    guide.mGravity = G;
    guide.ResetAim(&t.player, nullptr);
    EXPECT_EQ(guide.mLaunchAngle, 30.0f);
    EXPECT_EQ(guide.mAxisMin, 1.0f);
    EXPECT_EQ(guide.mAxisMax, 8.0f);

    guide.SetAimPoint(Ogre::Vector3(0, 3.0f, -5.0f));
    EXPECT_EQ(guide.mAimPoint, Ogre::Vector3(0, 0.02f, -5.0f));
    EXPECT_NEAR(guide.mLaunchSpeed,
                CAimGuide::LaunchSpeed(guide.ReleasePoint().distance(guide.mAimPoint), 30.0f, 1.0f, G), 1e-5f);

    // Band limits are the profile speeds' distances, kept on the axis.
    EXPECT_EQ(guide.GetGraduationDistance0(), 1.0f);
    EXPECT_NEAR(guide.GetGraduationDistance1(), CAimGuide::LandingDistance(4.0f, 30.0f, 1.0f, G), 1e-4f);
    EXPECT_NEAR(guide.GetGraduationDistance2(), CAimGuide::LandingDistance(6.0f, 30.0f, 1.0f, G), 1e-4f);
    EXPECT_EQ(guide.GetGraduationDistance3(), 8.0f);
    EXPECT_NEAR(guide.GetMaxDistance(), 8.0f, 1e-4f);
    guide.mLaunchAngle = 10.0f;   // flatter than the default angle: the same speed lands shorter
    EXPECT_LT(guide.GetMaxDistance(), 8.0f);
    EXPECT_GE(guide.GetMaxDistance(), 1.0f);

    // Turning keeps the distance, speeds up to 20 rad/s and left is positive.
    gTimer.mGameDeltaS = 0.0f;
    for (int i = 0; i < 4000; ++i)
        guide.TurnLeft();
    EXPECT_NEAR(guide.mTurnSpeed, 20.0f, 1e-3f);
    guide.mTurnSpeed = 0.0f;
    gTimer.mGameDeltaS = 1.0f;
    const float before = guide.ReleasePoint().distance(guide.mAimPoint);
    guide.RotateAim(Ogre::Math::HALF_PI);   // a quarter turn of the mouse to the right
    EXPECT_NEAR(guide.ReleasePoint().distance(guide.mAimPoint), before, 1e-4f);
    EXPECT_NEAR(guide.mAimPoint.x, 5.0f, 1e-3f);
    guide.TurnLeft();   // a small step back to the left (0.005 rad)
    EXPECT_GT(guide.mAimPoint.x, 0.0f);
    EXPECT_LT(guide.mAimPoint.x, 5.0f);
    gTimer.mGameDeltaS = 0.0f;
}

// Held keys turn (left and right cancel out); releasing any aiming key
// resets the turn speed; the head-up display's request turns without keys.
TEST(AimGuide, KeysAndTurnRequests)
{
    ThrowTuning tuning;
    Thrower t;
    CAimGuide guide;
    guide.mGravity = G;
    guide.ResetAim(&t.player, nullptr);
    guide.SetAimPoint(Ogre::Vector3(0, 0, -5));
    gTimer.mGameDeltaS = 1.0f;
    const uint16_t held = 0x00FF, released = 0x8000;

    guide.Update(0, 0, held, 0);
    EXPECT_FLOAT_EQ(guide.mTurnSpeed, 0.005f);
    EXPECT_LT(guide.mAimPoint.x, 0.0f);   // to the left of -Z
    guide.Update(0, 0, held, held);
    EXPECT_FLOAT_EQ(guide.mTurnSpeed, 0.015f);
    guide.Update(released, 0, 0, 0);
    EXPECT_EQ(guide.mTurnSpeed, 0.0f);

    const float x = guide.mAimPoint.x;
    guide.mTurnRequest = 1;
    guide.Update(0, 0, held, 0);   // the request wins over the keys
    EXPECT_GT(guide.mAimPoint.x, x);
    guide.mTurnRequest = 0;

    // Lengthening is a debug aid only.
    const float before = guide.mAimPoint.length();
    guide.Update(held, 0, 0, 0);
    EXPECT_FLOAT_EQ(guide.mAimPoint.length(), before);
    const bool cheat = ENABLE_CHEAT;
    ENABLE_CHEAT = true;
    guide.Update(held, 0, 0, 0);
    EXPECT_GT(guide.mAimPoint.length(), before);
    ENABLE_CHEAT = cheat;
    gTimer.mGameDeltaS = 0.0f;
}

TEST(LaunchSetGauges, PowerAndBalanceFollowTime)
{
    CAimGuide guide;
    guide.mAxisMax = 10.0f;
    LaunchSet set(&guide);
    set.mPowerGaugeTime = 2000.0f;
    EXPECT_FLOAT_EQ(set.PowerAt(500), 2.5f);
    EXPECT_FLOAT_EQ(set.PowerAt(2000), 10.0f);

    struct Case {
        uint32_t ms;
        bool rising;
        float balance;
    } cases[] = {{0, true, -5.0f}, {500, true, 0.0f}, {1000, true, 5.0f}, {1500, true, 5.0f},
                 {0, false, 5.0f}, {250, false, 2.5f}, {1000, false, -5.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ms << (c.rising ? " rising" : " falling"));
        EXPECT_FLOAT_EQ(LaunchSet::BalanceAt(c.ms, 1000.0f, c.rising), c.balance);
    }
}

// The computer: no power error at level 10, a balance error never above 5,
// between one and four half-cycles before the balance gauge may stop.
TEST(LaunchSetGauges, ComputerErrorsStayInTheirBounds)
{
    ThrowTuning tuning;
    Thrower t;
    CAimGuide guide;
    guide.mGravity = G;
    guide.ResetAim(&t.player, nullptr);
    LaunchSet set(&guide);
    set.mPlayer = &t.player;
    set.mPowerErrorCoef = 1.0f;
    set.mAwkwardnessInfluence = 10.0f;
    set.mUnbalanceInfluence = 10.0f;
    for (int i = 0; i < 200; ++i) {
        set.ApplyErrors(6.0f, 30.0f, 10);
        EXPECT_FLOAT_EQ(set.mPresetPower, guide.DistanceForSpeed(6.0f));
        EXPECT_TRUE(set.mPresetActive);
        EXPECT_GE(set.mPresetBalanceGoAndBack, 1u);
        EXPECT_LE(set.mPresetBalanceGoAndBack, 4u);
        EXPECT_LE(std::fabs(set.mPresetUnbalance), 5.0f);
        set.ApplyErrors(6.0f, 30.0f, 0);
        EXPECT_LE(std::fabs(set.mPresetUnbalance), 5.0f);
    }
    // A LAN peer's throw: no error at all.
    set.ApplyErrors(6.0f, 30.0f, -1);
    EXPECT_EQ(set.mPresetUnbalance, 0.0f);
    EXPECT_FLOAT_EQ(set.mPresetPower, guide.DistanceForSpeed(6.0f));
}

// An automatic balance gauge with three half-cycles does not stop before the
// cursor has reached an end three times, then stops at the preset.
TEST(LaunchSetGauges, AutomaticBalanceWaitsForItsHalfCycles)
{
    CAimGuide guide;
    LaunchSet set(&guide);
    set.mStep = 3;
    set.mPresetActive = true;
    set.mPresetBalanceGoAndBack = 3;
    set.mPresetUnbalance = 1.0f;
    set.mBalanceCrossingTime = 100.0f;
    set.mBalanceRising = true;
    gTimer.mGameTime = 10000;
    set.mBalancePhaseStart = gTimer.mGameTime;
    int frames = 0;
    while (set.mStep == 3 && frames < 1000) {
        gTimer.mGameTime += 10;
        set.Update(nullptr);
        ++frames;
        if (set.mStep == 3) {
            EXPECT_LE(set.mHalfCycles, 3);
        }
    }
    EXPECT_EQ(set.mStep, 4);
    EXPECT_EQ(set.mHalfCycles, 3);
    EXPECT_EQ(set.mBalance, 1.0f);
}

TEST(LaunchSetNet, LaunchMessageCarriesTheSixValuesToTheControllerEntry)
{
    CAimGuide guide;
    LaunchSet set(&guide);
    set.mLaunchAngle = 35.0f;
    set.mDirection = Ogre::Vector3(1.5f, 0.0f, -2.0f);
    set.mEffect = 0.7f;
    set.mInitialSpeed = 6.25f;
    CObjnet message;
    set.WriteLaunchSetMessage(message, 7u, e_lan2);
    ASSERT_EQ(message.BeginReadSignature("CNetClient::e_launchset()"), 0);
    EXPECT_EQ(message.ReadUInt(), 7u);
    EXPECT_EQ(message.ReadInt(), e_lan2);
    NetLaunchSet values;
    for (float& v : values.values)
        v = message.ReadFloat();
    EXPECT_FALSE(message.IsFailed());
    EXPECT_FALSE(message.HasMoreData());

    ResetControlers();
    ControlerTable[1].mType = e_lan2;
    LaunchSet::StoreReceivedLaunchSet(e_lan2, values);
    EXPECT_TRUE(ControlerTable[1].mLaunchSetReceived);
    const float expected[6] = {35.0f, 1.5f, 0.0f, -2.0f, 0.7f, 6.25f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ControlerTable[1].mLaunchSet[i], expected[i]);
    // A set for a controller nobody has is dropped.
    LaunchSet::StoreReceivedLaunchSet(e_lan5, values);
    EXPECT_FALSE(g_DummyControler.mLaunchSetReceived);
    ResetControlers();
}

// A match's LaunchSet hands what peers send to the controller entries: the
// messages go through the network manager's dispatch as they arrive.
TEST(LaunchSetNet, ReceivedShootParametersAndOptionsReachTheControllerEntries)
{
    ResetControlers();
    ControlerTable[2].mType = e_lan3;
    ControlerTable[2].mTeam = 1;
    CAimGuide guide;
    LaunchSet set(&guide);   // a match starts: its receivers are installed

    CObjnet params;
    params.StartSignature(NETSIG_E_SHOOT_PARAMS);
    params.WriteUInt(2);
    params.WriteInt(e_lan3);
    for (float f : {12.0f, -1.5f})
        params.WriteFloat(f);
    params.WriteUInt(3);
    for (float f : {6.5f, 6.25f, 7.0f, 40.0f, 0.5f})
        params.WriteFloat(f);
    params.End();
    CObjnet options;
    options.StartSignature(NETSIG_E_SHOOT_OPTIONS2);
    options.WriteUInt(2);
    options.WriteInt(e_lan3);
    options.WriteFloat(45.0f);
    options.WriteUInt(1);
    options.WriteUInt(0);
    options.WriteUInt(2);
    for (float f : {0.5f, 0.0f, 7.75f})
        options.WriteFloat(f);
    options.WriteInt(-3);
    options.WriteInt(4);
    options.WriteUInt(2);
    options.End();
    for (CObjnet* m : {&params, &options}) {
        m->Rewind();
        g_NetMgr._OnTCPCObjnetReceived(g_NetMgr.GetSlot(1), *m);
    }
    const ControlerEntry& entry = ControlerTable[2];
    EXPECT_TRUE(entry.mShootParamsReceived);
    EXPECT_EQ(entry.mPresetShootingAngle, 12.0f);
    EXPECT_EQ(entry.mPresetUnbalance, -1.5f);
    EXPECT_EQ(entry.mPresetBalanceGoAndBack, 3);
    EXPECT_EQ(entry.mPresetPower, 6.5f);
    EXPECT_EQ(entry.mShootingAngle, 40.0f);
    EXPECT_EQ(entry.mBalance, 0.5f);
    ASSERT_TRUE(entry.mShootOptionsReceived);
    const ShootOptions got = entry.GetShootOptions();
    EXPECT_EQ(got.angle, 45.0f);
    EXPECT_EQ(got.playerIndex, 1u);
    EXPECT_EQ(got.effect, 2u);
    EXPECT_EQ(got.aimZ, 7.75f);
    EXPECT_EQ(got.fatigue, -3);
    EXPECT_EQ(got.ballsLeft, 2u);

    // Controllers the match does not have, the unfilled type included.
    for (int32_t unknown : {int32_t(e_lan5), int32_t(e_undefined), 99}) {
        SCOPED_TRACE(unknown);
        NetShootParams p;
        NetShootOptions o;
        NetLaunchSet l;
        EXPECT_FALSE(g_NetMgr.GameServices().shootParams(unknown, p));
        EXPECT_FALSE(g_NetMgr.GameServices().shootOptions(unknown, o));
        EXPECT_FALSE(g_NetMgr.GameServices().launchSet(unknown, l));
        for (int i = 0; i < CONTROLER_COUNT; ++i)
            EXPECT_EQ(ControlerTable[i].mShootParamsReceived || ControlerTable[i].mLaunchSetReceived, i == 2) << i;
    }
    EXPECT_FALSE(g_DummyControler.mShootParamsReceived || g_DummyControler.mShootOptionsReceived);
    ResetControlers();
}

namespace {

class LaunchTest : public PhysicsSceneTest {};

}  // namespace

// From the gauges' values to the ball's velocity: the launch lands the ball
// at the validated distance on the axis, turned by the unbalance.
TEST_F(LaunchTest, LaunchVelocityFromTheThrowParameters)
{
    ThrowTuning tuning;
    struct Case {
        int32_t kind;
        float power, angle, balance, turn;   // turn: expected degrees about +Y
        float ballHeight;
    } cases[] = {
        {CPlayer::THROW_POINTING, 5.0f, 30.0f, 0.0f, 0.0f, 1.0f},
        {CPlayer::THROW_POINTING, 3.0f, 45.0f, 2.0f, 4.0f, 0.8f},
        {CPlayer::THROW_POINTING, 6.0f, 20.0f, -5.0f, -10.0f, 1.2f},
        {CPlayer::THROW_SHOOTING, 7.0f, 15.0f, 1.0f, 3.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " power " << c.power << " balance " << c.balance);
        Thrower t;
        t.player.mThrowMode = c.kind;
        TestNode* node = new TestNode(nullptr, "boule 1");
        CPhysicObject* body = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
        node->attachPhysicObject(body);
        body->SetSphereShape(0.0375f);
        body->BuildShapes(CPhysicObject::SHAPE_SPHERE, nullptr);
        body->SetMass(0.7f);
        // The hand slightly off the axis, to the side of the aim.
        node->setPosition(Ogre::Vector3(0.1f, c.ballHeight, 0.0f), true);
        std::unique_ptr<CBall> ball(new CBall(CBall::KIND_BALL, node));

        CAimGuide guide;
        guide.mGravity = G;
        guide.ResetAim(&t.player, ball.get());
        guide.mAimPoint = Ogre::Vector3(0.0f, 0.02f, -10.0f);
        LaunchSet set(&guide);
        set.mPlayer = &t.player;
        set.mBall = ball.get();
        set.mPower = c.power;
        set.mShootingAngle = c.angle;
        set.mSpeed = guide.SpeedForDistance(c.power);
        set.mBalance = c.balance;
        set.ComputeThrow();

        // Back on the axis (x = 0), same height.
        const Ogre::Vector3 from = ball->GetWorldPosition();
        EXPECT_NEAR(from.x, 0.0f, 1e-4f);
        EXPECT_NEAR(from.y, c.ballHeight, 1e-4f);
        EXPECT_FLOAT_EQ(set.mLaunchAngle, c.angle);
        EXPECT_FLOAT_EQ(set.mEffect, 0.7f);
        const float turned = std::atan2(-set.mDirection.x, -set.mDirection.z) * Ogre::Math::fRad2Deg;
        EXPECT_NEAR(turned, c.turn, 1e-3f);
        // Lands where the power says, from where the ball really is.
        const float target = std::fabs(-c.power - from.z);
        EXPECT_NEAR(CAimGuide::LandingDistance(set.mInitialSpeed, c.angle, c.ballHeight, G), target, 1e-3f);

        set.LaunchBall();
        EXPECT_EQ(ball->mState, CBall::STATE_LAUNCHED);
        EXPECT_TRUE(body->getLinearVelocity().positionEquals(
            CBall::LaunchVelocity(c.angle, set.mInitialSpeed, set.mDirection), 1e-4f));
        ball.reset();
        CKEMSceneGraph::DeleteNode("boule 1");
    }
}

// An aim that leaves the playing rectangle after 2.5 m: the bands up to
// there are drawn, the later ones removed, and the marks beyond are hidden.
TEST_F(LaunchTest, AxisStopsAtTheTerrainEdge)
{
    ThrowTuning tuning;
    const float savedFirst = DIST_PREMIERE_GRADUATION;
    DIST_PREMIERE_GRADUATION = 1.0f;
    Thrower t;
    Terrain terrain(0);
    terrain.SetLimits(Ogre::Vector3(-2, 0, -2.5f), Ogre::Vector3(2, 0, 10));
    {
        CAimGuide guide;
        guide.mGravity = G;
        guide.mTerrain = &terrain;
        for (int i = 0; i < 3; ++i)
            guide.mGraduations.push_back(new CAxisGraduation(new TestNode(nullptr, "gradaxe " + std::to_string(i))));
        guide.ResetAim(&t.player, nullptr);
        guide.mAxisShown = true;
        guide.SetAimPoint(Ogre::Vector3(0, 0, -5));

        for (const char* shape : {"axis min", "axis yellow inf", "axis green", "axis yellow sup"})
            EXPECT_TRUE(gDebugRenderer.HasShape(shape)) << shape;
        for (const char* shape : {"axis orange", "axis red", "axis black"})
            EXPECT_FALSE(gDebugRenderer.HasShape(shape)) << shape;
        EXPECT_TRUE(guide.mGraduations[0]->GetNode()->IsVisible());
        EXPECT_TRUE(guide.mGraduations[1]->GetNode()->IsVisible());
        EXPECT_FALSE(guide.mGraduations[2]->GetNode()->IsVisible());
        EXPECT_NEAR(guide.mGraduations[1]->GetWorldPosition().z, -2.0f, 1e-4f);

        // Aiming inside the rectangle draws the whole axis; hiding removes it.
        guide.SetAimPoint(Ogre::Vector3(0, 0, 5));
        EXPECT_TRUE(gDebugRenderer.HasShape("axis black"));
        EXPECT_TRUE(guide.mGraduations[2]->GetNode()->IsVisible());
        guide.HideAxis();
        EXPECT_FALSE(gDebugRenderer.HasShape("axis min"));
        EXPECT_FALSE(gDebugRenderer.HasShape("axis black"));
    }
    DIST_PREMIERE_GRADUATION = savedFirst;
}

// A throw played on another machine: once its launch set and its ball
// positions are in, the throw is replayed from the owner's frames (the ball
// leaves the simulation meanwhile) and ends exactly where the owner's ended,
// not wherever a local simulation would have taken it.
TEST_F(LaunchTest, APeersThrowIsReplayedAndEndsOnTheOwnersPlaces)
{
    ThrowTuning tuning;
    Thrower t;
    TestNode* node = new TestNode(nullptr, "boule 1");
    CPhysicObject* body = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
    node->attachPhysicObject(body);
    body->SetSphereShape(0.0375f);
    body->BuildShapes(CPhysicObject::SHAPE_SPHERE, nullptr);
    body->SetMass(0.7f);
    std::unique_ptr<CBall> ball(new CBall(CBall::KIND_BALL, node));
    std::vector<CBall*> balls{ball.get()};

    // The owner's recording: ten frames rolling to (0.3, 0.04, -6).
    const Ogre::Vector3 from(0.0f, 0.04f, -1.0f), to(0.3f, 0.04f, -6.0f);
    CReplayMgr owner;
    ASSERT_TRUE(owner.Init());
    ASSERT_TRUE(owner.AddEntity(node, 0));
    owner.StartCapture(0);
    for (uint32_t f = 1; f <= 10; ++f) {
        node->setPosition(from + (to - from) * (float(f) / 10.0f), true);
        owner.CaptureFrame(f * 16);
    }
    owner.EndCapture(176);
    ball->mState = CBall::STATE_LAUNCHED;
    CObjnet sent;
    sent.Start(1);
    owner.SerializePositions(sent, balls);
    owner.DeleteAllEntities();

    // This machine: the ball in the hand, the positions received.
    ball->mState = CBall::STATE_NONE;
    node->setPosition(Ogre::Vector3(0.0f, 1.0f, 0.0f), true);
    ASSERT_TRUE(gReplayMgr.Init());
    ASSERT_TRUE(gReplayMgr.AddEntity(node, 0));   // as the match's set-up does
    gReplayMgr.SetVenueBounds(Ogre::AxisAlignedBox(-10, 0, -10, 10, 5, 10));
    CObjnet in;
    ASSERT_EQ(in.SetData(sent.GetData(), sent.GetSize()), 0);
    ASSERT_EQ(gReplayMgr.UnserializePositions(in), 10u);
    // The side's controller is not this machine's (without a match the side
    // has no entry and goes through the table's default one).
    ResetControlers();
    g_OwnControlerType = e_lan1;
    ControlerEntry& entry = g_DummyControler;
    LaunchSetValues launch;
    launch.angle = 30.0f;
    launch.directionZ = -1.0f;
    launch.speed = 5.0f;
    entry.SetLaunchSet(launch);
    entry.mBallPositionsReceived = true;

    const LaunchSet::ReplayHooks saved = LaunchSet::sReplay;
    LaunchSet::sReplay.start = [] {
        gReplayMgr.StartReplay(gTimer.GetTimeMs());
        gReplayMgr.TakeReceivedState();
    };
    LaunchSet::sReplay.play = [](uint32_t now) { return !gReplayMgr.Replay(now); };
    LaunchSet::sReplay.finish = [](std::vector<CBall*> list) { gReplayMgr.ApplyFinalState(std::move(list)); };
    const int32_t savedState = g_NetMgr.mState;
    g_NetMgr.mState = CNetMgr::e_connected;

    CAimGuide guide;
    guide.mGravity = G;
    guide.ResetAim(&t.player, ball.get());
    guide.mAimPoint = Ogre::Vector3(0.0f, 0.02f, -6.0f);
    LaunchSet set(&guide);
    set.mPlayer = &t.player;
    set.mBall = ball.get();
    set.mStep = 4;
    gTimer.SetFixedStep(16.0f);
    gTimer.Update();
    set.Update(nullptr, balls);
    EXPECT_EQ(set.mStep, 6);
    EXPECT_FALSE(entry.mLaunchSetReceived);
    EXPECT_FALSE(entry.mBallPositionsReceived);
    EXPECT_FALSE(body->IsActive());   // replayed, not simulated
    for (int frame = 0; frame < 100 && set.mStep == 6; ++frame) {
        gTimer.Update();
        Frame(0.016f);
        set.Update(nullptr, balls);
    }
    EXPECT_EQ(set.mStep, 7);
    EXPECT_TRUE(ball->GetWorldPosition().positionEquals(to, 1e-5f));
    EXPECT_EQ(ball->mState, CBall::STATE_LAUNCHED);
    EXPECT_TRUE(body->getLinearVelocity().positionEquals(Ogre::Vector3::ZERO, 1e-6f));

    gTimer.SetFixedStep(0.0f);
    g_NetMgr.mState = savedState;
    LaunchSet::sReplay = saved;
    gReplayMgr.DeleteAllEntities();
    entry.Clear();
    ResetControlers();
    ball.reset();
    CKEMSceneGraph::DeleteNode("boule 1");
}

// A peer's launch set and ball positions belong to the throw they came in
// for: what arrived during an earlier throw is dropped, never thrown as this
// one, and this throw waits for its own.
TEST_F(LaunchTest, APeersLaunchOfAnEarlierThrowIsNeverThisThrows)
{
    ThrowTuning tuning;
    Thrower t;
    TestNode* node = new TestNode(nullptr, "boule 1");
    CPhysicObject* body = new CPhysicObject(CPhysicObject::MOVABLE_ACTOR);
    node->attachPhysicObject(body);
    body->SetSphereShape(0.0375f);
    body->BuildShapes(CPhysicObject::SHAPE_SPHERE, nullptr);
    body->SetMass(0.7f);
    std::unique_ptr<CBall> ball(new CBall(CBall::KIND_BALL, node));
    std::vector<CBall*> balls{ball.get()};

    // A match of this machine alone, at its second throw.
    const int32_t savedState = g_NetMgr.mState;
    g_NetMgr.mState = CNetMgr::e_connected;
    g_NetMgr.BeginMatch();
    for (int step = 0; step < 2; ++step) {
        g_NetMgr.SendNextStepSignal();
        ASSERT_TRUE(g_NetMgr.TakeNextStep());
    }
    ASSERT_EQ(g_NetMgr.GetStepsPassed(), 2u);
    ResetControlers();
    g_OwnControlerType = e_lan1;   // the side's controller is another machine's
    ControlerEntry& entry = g_DummyControler;
    const LaunchSet::ReplayHooks saved = LaunchSet::sReplay;
    LaunchSet::sReplay = LaunchSet::ReplayHooks();   // simulated from the launch values

    CAimGuide guide;
    guide.mGravity = G;
    guide.ResetAim(&t.player, ball.get());
    guide.mAimPoint = Ogre::Vector3(0.0f, 0.02f, -6.0f);
    LaunchSet set(&guide);
    set.mPlayer = &t.player;
    set.mBall = ball.get();
    set.mStep = 4;
    LaunchSetValues launch;
    launch.angle = 30.0f;
    launch.directionZ = -1.0f;
    launch.speed = 5.0f;
    struct Case {
        const char* what;
        uint32_t launchStep, positionsStep;
        bool launched;
    };
    const Case cases[] = {
        {"both of the first throw", 1, 1, false},
        {"the launch set of the first throw", 1, 2, false},
        {"the positions of the first throw", 2, 1, false},
        {"both of this throw", 2, 2, true},
    };
    for (const Case& c : cases) {
        entry.SetLaunchSet(launch);
        entry.mLaunchSetStep = c.launchStep;
        entry.mBallPositionsReceived = true;
        entry.mBallPositionsStep = c.positionsStep;
        set.mStep = 4;
        set.Update(nullptr, balls);
        EXPECT_EQ(set.mStep, c.launched ? 7 : 4) << c.what;
        // Taken or dropped, what was of the first throw is gone.
        EXPECT_EQ(entry.mLaunchSetReceived, !c.launched && c.launchStep == 2) << c.what;
        EXPECT_EQ(entry.mBallPositionsReceived, !c.launched && c.positionsStep == 2) << c.what;
    }

    g_NetMgr.EndMatch();
    g_NetMgr.mState = savedState;
    LaunchSet::sReplay = saved;
    entry.Clear();
    ResetControlers();
    ball.reset();
    CKEMSceneGraph::DeleteNode("boule 1");
}
