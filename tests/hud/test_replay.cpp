// The replay recorder on a headless scene graph: capture at 16 ms steps,
// playback between recorded frames, the end of a playback, and the LAN body
// of a throw's ball positions (round trip, and bodies a peer must not trust).
#include "NetTestHelpers.h"
#include "SceneGraphTest.h"

#include <CBall.h>
#include <CMainApp.h>
#include <CNetMgr.h>
#include <ControlerTable.h>
#include <CObjnet.h>
#include <CReplayMgr.h>
#include <NetMessages.h>
#include <Platform.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

const uint32_t kTypeId = 7;

class ReplayTest : public SceneGraphTest {
protected:
    void SetUp() override
    {
        SceneGraphTest::SetUp();
        ASSERT_TRUE(mReplay.Init());
    }
    void TearDown() override
    {
        mReplay.DeleteAllEntities();
        mBalls.clear();
        SceneGraphTest::TearDown();
    }

    CKEMSceneNode* AddNode(const std::string& name, const Ogre::Vector3& position)
    {
        CKEMSceneNode* node = CKEMSceneGraph::CreateNodeByType(9, nullptr, "");
        node->setName(name);
        node->setPosition(position, false);
        updateSceneGraph();
        return node;
    }
    void Move(CKEMSceneNode* node, float x, bool visible = true)
    {
        node->setPosition(Ogre::Vector3(x, 0, 0), false);
        node->setToVisible(visible);
        updateSceneGraph();
    }
    static Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
    {
        Ogre::Vector3 position;
        node->GetPosition(position, 2);
        return position;
    }
    std::vector<CBall*> Balls()
    {
        std::vector<CBall*> list;
        for (auto& ball : mBalls)
            list.push_back(ball.get());
        return list;
    }
    CKEMSceneNode* AddBall(const std::string& name, float x)
    {
        CKEMSceneNode* node = AddNode(name, Ogre::Vector3(x, 0, 0));
        mBalls.emplace_back(new CBall(CBall::KIND_BALL, node));
        return node;
    }
    // As the match's set-up does it: the balls under their indices, and the
    // venue (x and z -10..10, y 0..5).
    static void SetUpMatch(CReplayMgr& replay, const std::vector<CKEMSceneNode*>& balls)
    {
        for (size_t i = 0; i < balls.size(); ++i)
            ASSERT_TRUE(replay.AddEntity(balls[i], uint8_t(i)));
        replay.SetVenueBounds(kVenue);
    }
    static const Ogre::AxisAlignedBox kVenue;
    // A body read back as the network layer hands it over.
    static void Received(const CObjnet& sent, CObjnet& in)
    {
        ASSERT_EQ(in.SetData(sent.GetData(), sent.GetSize()), 0);
    }

    CReplayMgr mReplay;
    std::vector<std::unique_ptr<CBall>> mBalls;
};

const Ogre::AxisAlignedBox ReplayTest::kVenue(-10, 0, -10, 10, 5, 10);

TEST_F(ReplayTest, CapturesEvery16MsAndPlaysBetweenFrames)
{
    CKEMSceneNode* ball = AddNode("Boule", Ogre::Vector3::ZERO);
    ASSERT_TRUE(mReplay.AddEntity(ball, 0));

    mReplay.StartCapture(1000);
    EXPECT_TRUE(mReplay.mCapturing);
    // Calls closer than 16 ms to the last frame record nothing; a frame's
    // time is the time since the start, not a multiple of 16.
    mReplay.CaptureFrame(1005);
    EXPECT_EQ(mReplay.mWriteIndex, 0u);
    Move(ball, 0);
    mReplay.CaptureFrame(1016);   // slot 0, 16 ms
    Move(ball, 10);
    mReplay.CaptureFrame(1020);   // too early
    mReplay.CaptureFrame(1040);   // slot 1, 40 ms
    Move(ball, 20, false);
    mReplay.CaptureFrame(1056);   // slot 2, 56 ms, hidden
    Move(ball, 40);
    mReplay.CaptureFrame(1080);   // slot 3, 80 ms
    Move(ball, 50);
    mReplay.EndCapture(1100);
    EXPECT_FALSE(mReplay.mCapturing);
    EXPECT_EQ(mReplay.mWriteIndex, 4u);
    EXPECT_EQ(mReplay.mDuration, 100u);
    const uint32_t times[] = {16, 40, 56, 80};
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(mReplay.FrameTime(i), times[i]) << i;

    Move(ball, 50, true);
    mReplay.StartReplay(5000);
    EXPECT_TRUE(mReplay.mReplaying);

    struct Step {
        uint32_t elapsed;
        float x;
        bool visible;   // always the earlier frame's
    };
    const Step steps[] = {
        {20, 50.0f, true},          // earlier frame is slot 0: nothing moves
        {48, 15.0f, true},          // half-way from slot 1 to slot 2
        {56, 20.0f, true},          // t = 1: the later frame's pose
        {60, 20.0f + 20.0f / 6.0f, false},
        {80, 40.0f, false},
        {90, 40.0f, true},          // past the last frame: the pose stays
        {100, 40.0f, true},         // elapsed equal to the duration still plays
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.elapsed);
        ASSERT_TRUE(mReplay.Replay(5000 + step.elapsed));
        updateSceneGraph();
        EXPECT_NEAR(WorldPosition(ball).x, step.x, 1e-3f);
        EXPECT_EQ(ball->IsVisible(), step.visible);
    }

    // One millisecond later the stream is over: back at the final pose,
    // visible as when the replay started.
    EXPECT_FALSE(mReplay.Replay(5101));
    EXPECT_FALSE(mReplay.mReplaying);
    updateSceneGraph();
    EXPECT_NEAR(WorldPosition(ball).x, 50.0f, 1e-4f);
    EXPECT_TRUE(ball->IsVisible());

    // The match stops "any replay" at every turn: with none running, the
    // balls stay where the game has put them since.
    Move(ball, 70, false);
    mReplay.stopReplay();
    updateSceneGraph();
    EXPECT_NEAR(WorldPosition(ball).x, 70.0f, 1e-4f);
    EXPECT_FALSE(ball->IsVisible());
}

TEST_F(ReplayTest, LongCaptureWrapsTheRing)
{
    mReplay.StartCapture(0);
    for (uint32_t frame = 1; frame <= CReplayMgr::CAPACITY + 1; ++frame)
        mReplay.CaptureFrame(frame * 16);
    EXPECT_EQ(mReplay.mWriteIndex, 1u);
    // Slot 0 holds the newest frame, slot 1 the oldest kept.
    EXPECT_EQ(mReplay.FrameTime(0), (CReplayMgr::CAPACITY + 1) * 16);
    EXPECT_EQ(mReplay.FrameTime(1), 2u * 16);
}

TEST_F(ReplayTest, BallPositionsRoundTrip)
{
    CKEMSceneNode* a = AddBall("BouleA", 0);
    CKEMSceneNode* b = AddBall("BouleB", 5);
    SetUpMatch(mReplay, {a, b});
    mReplay.StartCapture(0);
    for (uint32_t i = 0; i < 3; ++i) {
        Move(a, float(i), i != 1);
        mReplay.CaptureFrame(20 + 30 * i);   // times the receiver does not get
    }
    mReplay.EndCapture(100);
    Move(a, 7);
    mBalls[0]->mState = CBall::STATE_LAUNCHED;
    mBalls[1]->mState = CBall::STATE_OUT;
    b->setToVisible(false);

    CObjnet sent;
    sent.Start(kTypeId);
    EXPECT_EQ(mReplay.SerializePositions(sent, Balls()), 3u);
    // count, then per ball 1 + (4 + 6) + 24 + 3 * 13 bytes
    EXPECT_EQ(sent.GetSize(), 4 + 4 + 2 * (1 + 10 + 24 + 39));

    CReplayMgr receiver;
    ASSERT_TRUE(receiver.Init());
    SetUpMatch(receiver, {a, b});
    // A previous throw's frame times must not survive the transfer.
    receiver.StartCapture(0);
    for (uint32_t i = 1; i <= 6; ++i)
        receiver.CaptureFrame(i * 100);
    CObjnet in;
    Received(sent, in);
    ASSERT_EQ(receiver.UnserializePositions(in), 3u);
    ASSERT_EQ(receiver.mEntities.GetCount(), 2);
    EXPECT_EQ(receiver.mDuration, 48u);
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(receiver.FrameTime(i), i < 3 ? i * 16 : 0u) << i;

    CReplayEntity* ra = receiver.mEntities.GetHead();
    CReplayEntity* rb = ra->mNext;
    EXPECT_EQ(ra->mNode, a);
    EXPECT_EQ(rb->mNode, b);
    EXPECT_EQ(rb->mBallIndex, 1);
    EXPECT_EQ(ra->mRecvState, CBall::STATE_LAUNCHED);
    EXPECT_EQ(rb->mRecvState, CBall::STATE_OUT);
    EXPECT_EQ(rb->mRecvVisible, 0);
    EXPECT_NEAR(ra->mRecvPosition.x, 7.0f, 1e-5f);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(ra->mRecords[i].position[0], float(i));
        EXPECT_EQ(ra->mRecords[i].visible, i != 1 ? 1 : 0);
        EXPECT_FLOAT_EQ(ra->mRecords[i].orientation[0], 1.0f);
    }

    // The receiver puts its own balls into the sender's final state.
    Move(a, -3);
    mBalls[0]->mState = CBall::STATE_NONE;
    b->setToVisible(true);
    receiver.ApplyFinalState(Balls());
    updateSceneGraph();
    EXPECT_NEAR(WorldPosition(a).x, 7.0f, 1e-5f);
    EXPECT_EQ(mBalls[0]->mState, CBall::STATE_LAUNCHED);
    EXPECT_FALSE(b->IsVisible());
    receiver.DeleteAllEntities();
}

TEST_F(ReplayTest, ALongThrowOfEveryBallStillFitsOneNetworkFrame)
{
    // 13 balls rolling for 20 s: the plain body would be ~170 KB, the ring
    // wraps, and the network refuses frames over 32,767 bytes.
    std::vector<CKEMSceneNode*> nodes;
    for (int i = 0; i < 13; ++i)
        nodes.push_back(AddBall("Boule_" + std::to_string(i), float(i)));
    SetUpMatch(mReplay, nodes);
    mReplay.StartCapture(0);
    const uint32_t frames = 1250;
    for (uint32_t f = 1; f <= frames; ++f) {
        nodes[0]->setPosition(Ogre::Vector3(float(f), 0, 0), false);
        updateSceneGraph();
        mReplay.CaptureFrame(f * 16);
    }
    mReplay.EndCapture(frames * 16 + 16);

    CObjnet sent;
    sent.Start(kTypeId);
    sent.WriteUInt(1);   // the message's own leading fields
    sent.WriteInt(8);
    const uint32_t count = mReplay.SerializePositions(sent, Balls());
    EXPECT_LE(sent.GetSize(), CReplayMgr::MAX_MESSAGE_BYTES);
    EXPECT_FALSE(sent.IsFailed());
    ASSERT_GT(count, 50u);

    CReplayMgr receiver;
    ASSERT_TRUE(receiver.Init());
    SetUpMatch(receiver, nodes);
    CObjnet in;
    Received(sent, in);
    in.ReadUInt();
    in.ReadInt();
    ASSERT_EQ(receiver.UnserializePositions(in), count);
    ASSERT_EQ(receiver.mEntities.GetCount(), 13);
    // Played over about as long as the ring held (1000 frames), in order,
    // ending on the newest frames.
    EXPECT_NEAR(double(receiver.mDuration), 1000.0 * 16, 16.0 * 64);
    const ReplayFrameRecord* r = receiver.mEntities.GetHead()->mRecords;
    for (uint32_t i = 1; i < count; ++i)
        ASSERT_GT(r[i].position[0], r[i - 1].position[0]) << i;
    EXPECT_GT(r[0].position[0], float(frames - 1000) - 1.0f);
    EXPECT_GT(r[count - 1].position[0], float(frames) - 64.0f);
    EXPECT_NEAR(receiver.mEntities.GetHead()->mRecvPosition.x, float(frames), 1e-3f);
    receiver.DeleteAllEntities();
}

// Writes one ball block by hand: its state and final place, then one frame
// per entry of `frames` (visible byte 1).
void WriteBlock(CObjnet& out, uint8_t index, const std::string& name, int32_t state, const Ogre::Vector3& place,
                const std::vector<Ogre::Vector3>& frames)
{
    out.WriteByte(index);
    out.WriteString(name.c_str());
    out.WriteInt(state);
    out.WriteInt(1);
    out.WriteInt(0);
    out.WriteFloat(place.x);
    out.WriteFloat(place.y);
    out.WriteFloat(place.z);
    for (const Ogre::Vector3& frame : frames) {
        out.WriteByte(1);
        out.WriteFloat(frame.x);
        out.WriteFloat(frame.y);
        out.WriteFloat(frame.z);
    }
}

// The same with every place at (x, 0, 0) and the given frame visible bytes.
void WriteBlock(CObjnet& out, uint8_t index, const std::string& name, float x,
                const std::vector<uint8_t>& frameVisible)
{
    out.WriteByte(index);
    out.WriteString(name.c_str());
    out.WriteInt(1);
    out.WriteInt(1);
    out.WriteInt(0);
    out.WriteFloat(x);
    out.WriteFloat(0);
    out.WriteFloat(0);
    for (uint8_t v : frameVisible) {
        out.WriteByte(v);
        out.WriteFloat(x);
        out.WriteFloat(0);
        out.WriteFloat(0);
    }
}

// Blocks for the balls from `first` on, at rest where they stand, with
// `frames` frames each: a body carries every ball of the match.
void WriteRest(CObjnet& out, const std::vector<CKEMSceneNode*>& balls, size_t first, uint32_t frames)
{
    for (size_t i = first; i < balls.size(); ++i) {
        Ogre::Vector3 at;
        balls[i]->GetPosition(at, 2);
        WriteBlock(out, uint8_t(i), balls[i]->getName(), 1, at, std::vector<Ogre::Vector3>(frames, at));
    }
}

TEST_F(ReplayTest, LongNamesAreCutAndOnlyOneMeansVisible)
{
    CKEMSceneNode* longName = AddBall(std::string(127, 'n'), 0);
    CKEMSceneNode* b = AddBall("BouleB", 0);
    mReplay.SetVenueBounds(kVenue);
    ASSERT_TRUE(mReplay.AddEntity(longName, 3));
    ASSERT_TRUE(mReplay.AddEntity(b, 4));
    CObjnet sent;
    sent.Start(kTypeId);
    sent.WriteUInt(1);
    WriteBlock(sent, 3, std::string(130, 'n'), 1.0f, {2});
    WriteBlock(sent, 4, "BouleB", 2.0f, {1});

    CObjnet in;
    Received(sent, in);
    ASSERT_EQ(mReplay.UnserializePositions(in), 1u);
    ASSERT_EQ(mReplay.mEntities.GetCount(), 2);
    CReplayEntity* first = mReplay.mEntities.GetHead();
    CReplayEntity* second = first->mNext;
    EXPECT_EQ(first->mNode, longName);   // its first 127 characters name it
    EXPECT_EQ(first->mRecords[0].visible, 0);
    EXPECT_EQ(second->mBallIndex, 4);
    ASSERT_NE(second->mNode, nullptr);
    EXPECT_EQ(second->mNode->getName(), "BouleB");
    EXPECT_FLOAT_EQ(second->mRecords[0].position[0], 2.0f);
    EXPECT_EQ(second->mRecords[0].visible, 1);
}

// Bodies a peer must not be trusted with: each is refused for its own
// reason and the replay of the last good body stays whole. The first group
// does not read whole; the second reads whole but would touch what is not
// the match's ball or put a ball where no ball can be.
TEST_F(ReplayTest, UntrustworthyBodiesAreRejected)
{
    std::vector<CKEMSceneNode*> balls = {AddBall("x", 0), AddBall("y", 0)};
    for (int i = 2; i < int(CReplayMgr::MAX_BALL_BLOCKS); ++i)
        balls.push_back(AddBall("b" + std::to_string(i), 0));
    CKEMSceneNode* ground = AddNode("terrain_collision", Ogre::Vector3::ZERO);
    AddNode("venue_cam", Ogre::Vector3(0, 8, 14));
    SetUpMatch(mReplay, balls);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Ogre::Vector3 inside(1, 0.04f, 2);
    const float edge = kVenue.getMaximum().x + CReplayMgr::BALL_REACH_M;

    struct Case {
        const char* what;
        const char* why;   // part of the reason given
        std::function<void(CObjnet&)> write;
    };
    const Case cases[] = {
        {"count cut short", "no record count", [](CObjnet& out) { out.WriteByte(0); out.WriteByte(0); }},
        {"count beyond the ring", "larger than the ring",
         [](CObjnet& out) { out.WriteUInt(CReplayMgr::CAPACITY); WriteBlock(out, 0, "x", 0, {}); }},
        {"count beyond the frames received", "larger than the frames received",
         [](CObjnet& out) { out.WriteUInt(5); WriteBlock(out, 0, "x", 0, {1}); }},
        {"huge count", "larger than the ring",
         [](CObjnet& out) { out.WriteUInt(0xFFFFFFFFu); WriteBlock(out, 0, "x", 0, {1}); }},
        {"name length beyond the body", "truncated ball block",
         [](CObjnet& out) { out.WriteUInt(0); out.WriteByte(0); out.WriteUInt(0x7FFFFFFF); out.WriteInt(0); }},
        {"block cut in its position", "truncated ball block",
         [](CObjnet& out) {
             out.WriteUInt(0);
             out.WriteByte(0);
             out.WriteString("x");
             out.WriteInt(0);
             out.WriteInt(0);
             out.WriteInt(0);
             out.WriteFloat(0);
         }},
        {"second block cut in its frames", "larger than the frames received",
         [](CObjnet& out) {
             out.WriteUInt(1);
             WriteBlock(out, 0, "x", 0, {1});
             WriteBlock(out, 1, "y", 0, {});
             out.WriteByte(1);
             out.WriteFloat(0);
         }},
        {"more ball blocks than a match has balls", "more ball blocks",
         [](CObjnet& out) {
             out.WriteUInt(0);
             for (uint32_t i = 0; i <= CReplayMgr::MAX_BALL_BLOCKS; ++i)
                 WriteBlock(out, uint8_t(i), i == 0 ? "x" : i == 1 ? "y" : "b" + std::to_string(i), 0, {});
         }},
        {"frame spacing out of range", "frame spacing",
         [](CObjnet& out) { out.WriteUInt((CReplayMgr::MAX_STRIDE << 16) | 1u); WriteBlock(out, 0, "x", 0, {1}); }},

        {"NaN final place", "not finite",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 0, "x", 1, Ogre::Vector3(nan, 0, 0), {}); }},
        {"infinite frame place", "not finite",
         [&](CObjnet& out) { out.WriteUInt(1); WriteBlock(out, 0, "x", 1, inside, {Ogre::Vector3(0, -inf, 0)}); }},
        {"a place of 1e30", "out of the venue's reach",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 0, "x", 1, Ogre::Vector3(0, 0, 1e30f), {}); }},
        {"just outside the venue's reach", "out of the venue's reach",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 0, "x", 1, Ogre::Vector3(edge + 1, 0, 0), {}); }},
        {"a bad frame among good ones of the match's balls", "a frame's place",
         [&](CObjnet& out) {
             out.WriteUInt(3);
             WriteBlock(out, 0, "x", 1, inside, {inside, inside, inside});
             WriteBlock(out, 1, "y", 1, inside, {inside, Ogre::Vector3(0, nan, 0), inside});
         }},
        {"the ground's collision node", "not that ball of the match",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 0, "terrain_collision", 1, inside, {}); }},
        {"a camera", "not that ball of the match",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 1, "venue_cam", 1, inside, {}); }},
        {"a ball of the match under another's index", "not that ball of the match",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 1, "x", 1, inside, {}); }},
        {"an index past the match's balls", "not that ball of the match",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 200, "x", 1, inside, {}); }},
        {"a ball named twice", "named twice",
         [&](CObjnet& out) {
             out.WriteUInt(0);
             WriteBlock(out, 0, "x", 1, inside, {});
             WriteBlock(out, 0, "x", 1, inside, {});
         }},
        {"an unknown ball state", "unknown ball state",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 0, "x", 77, inside, {}); }},
        {"one ball of the match only", "ball 0 of the match is missing",
         [&](CObjnet& out) { out.WriteUInt(0); WriteBlock(out, 1, "y", 1, inside, {}); }},
        {"every ball of the match but the last", "is missing",
         [&](CObjnet& out) {
             out.WriteUInt(0);
             for (size_t i = 0; i + 1 < balls.size(); ++i)
                 WriteBlock(out, uint8_t(i), balls[i]->getName(), 1, inside, {});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A good transfer first: a rejected body must leave it whole.
        CObjnet good;
        good.Start(kTypeId);
        good.WriteUInt(2);
        WriteBlock(good, 0, "x", 1, {1, 1});
        WriteRest(good, balls, 1, 2);
        CObjnet in;
        Received(good, in);
        ASSERT_EQ(mReplay.UnserializePositions(in), 2u);

        CObjnet bad;
        bad.Start(kTypeId);
        c.write(bad);
        Received(bad, in);
        std::string why;
        EXPECT_FALSE(mReplay.CheckPositionsBody(in, &why));
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
        EXPECT_EQ(mReplay.UnserializePositions(in), 0u);
        ASSERT_EQ(mReplay.mEntities.GetCount(), int(balls.size()));
        EXPECT_EQ(mReplay.mEntities.GetHead()->mNode, balls[0]);
        EXPECT_EQ(mReplay.mEntities.GetHead()->mRecvPosition.x, 1.0f);
        EXPECT_EQ(mReplay.mWriteIndex, 2u);
        EXPECT_EQ(mReplay.mDuration, 32u);
    }
    EXPECT_EQ(WorldPosition(ground), Ogre::Vector3::ZERO);

    // The far edge of the reach itself is a place a ball can be.
    CObjnet edgeBody;
    edgeBody.Start(kTypeId);
    edgeBody.WriteUInt(0);
    WriteBlock(edgeBody, 0, "x", 1, Ogre::Vector3(edge, 0, 0), {});
    WriteRest(edgeBody, balls, 1, 0);
    CObjnet in;
    Received(edgeBody, in);
    EXPECT_TRUE(mReplay.CheckPositionsBody(in));

    // Once the match is over its balls are forgotten: nothing is taken.
    mReplay.DeleteAllEntities();
    CObjnet late;
    late.Start(kTypeId);
    late.WriteUInt(0);
    WriteBlock(late, 0, "x", 1, inside, {});
    Received(late, in);
    EXPECT_FALSE(mReplay.CheckPositionsBody(in));
}

// A body that leaves a ball of the match out is dropped whole: the recorder
// keeps the last whole body, so that what this machine sends for its own
// next throw still carries every ball, and the next whole body is taken.
TEST_F(ReplayTest, ABodyWithoutEveryBallIsDroppedAndLaterBodiesStayWhole)
{
    const std::vector<CKEMSceneNode*> balls = {AddBall("cochonnet", 0.5f), AddBall("boule 1", 1.0f),
                                               AddBall("boule 7", 2.0f)};
    SetUpMatch(mReplay, balls);
    auto receive = [&](const std::function<void(CObjnet&)>& write) {
        CObjnet sent;
        sent.Start(kTypeId);
        write(sent);
        CObjnet in;
        Received(sent, in);
        std::string why;
        const bool taken = mReplay.CheckPositionsBody(in, &why);
        mReplay.UnserializePositions(in);
        return taken ? std::string() : why;
    };
    auto namedInOwnBody = [&]() {
        CObjnet out;
        out.Start(kTypeId);
        mReplay.SerializePositions(out, Balls());
        CObjnet in;
        Received(out, in);
        std::vector<std::string> names;
        const uint32_t count = in.ReadUInt() & 0xFFFFu;
        while (in.HasMoreData() && !in.IsFailed()) {
            char name[CReplayMgr::NAME_SIZE];
            in.ReadByte();
            in.ReadStringInto(name, sizeof(name));
            for (int k = 0; k < 3; ++k)
                in.ReadInt();   // state, visible, physics
            for (uint32_t k = 0; k < 3 + count * 4; ++k)
                (k >= 3 && (k - 3) % 4 == 0) ? (void)in.ReadByte() : (void)in.ReadFloat();   // place, frames
            names.push_back(name);
        }
        return names;
    };
    const std::vector<std::string> all = {"cochonnet", "boule 1", "boule 7"};

    EXPECT_EQ(receive([&](CObjnet& out) { out.WriteUInt(1); WriteRest(out, balls, 0, 1); }), "");
    EXPECT_EQ(namedInOwnBody(), all);

    // A peer's body naming only "boule 7".
    const std::string why = receive([&](CObjnet& out) {
        out.WriteUInt(1);
        WriteBlock(out, 2, "boule 7", 1, Ogre::Vector3(3, 0, 0), {Ogre::Vector3(3, 0, 0)});
    });
    EXPECT_NE(why.find("ball 0 of the match is missing"), std::string::npos) << why;
    ASSERT_EQ(mReplay.mEntities.GetCount(), 3);
    EXPECT_EQ(namedInOwnBody(), all);

    // The next whole body is taken, and so are the ones after it.
    Move(balls[2], 4.0f);
    EXPECT_EQ(receive([&](CObjnet& out) { out.WriteUInt(2); WriteRest(out, balls, 0, 2); }), "");
    EXPECT_EQ(mReplay.mWriteIndex, 2u);
    EXPECT_EQ(namedInOwnBody(), all);
    int taken = 0;
    for (CReplayEntity* e = mReplay.mEntities.GetHead(); e; e = e->mNext)
        taken += e->mBallIndex == 2 && e->mRecvPosition.x == 4.0f;
    EXPECT_EQ(taken, 1);
}

// The LAN receiver of ball positions: a body for a controller the match does
// not have, or one that does not read whole, leaves the last throw's replay
// and the controller's flag alone.
TEST_F(ReplayTest, TheNetworkReceiverChecksTheControllerAndTheBodyFirst)
{
    CMainApp::Hooks().initReplay();
    ASSERT_NE(g_NetMgr.GameServices().ballsPositions, nullptr);
    SetUpMatch(gReplayMgr, {AddBall("x", 0)});
    AddNode("terrain_collision", Ogre::Vector3::ZERO);
    ResetControlers();
    ControlerTable[0].mType = e_lan2;
    ControlerTable[0].mLaunchSetReceived = true;   // its throw is in flight
    auto message = [](int32_t controller, bool whole, const char* name = "x") {
        auto m = std::make_unique<CObjnet>();
        m->Start(kTypeId);
        m->WriteUInt(1);
        m->WriteInt(controller);
        m->WriteUInt(2);
        WriteBlock(*m, 0, name, 3.0f, {1, 1});
        if (!whole)
            m->WriteByte(0);   // a second block cut short
        m->End();
        m->Rewind();
        m->ReadUInt();
        m->ReadInt();
        return m;
    };
    auto good = message(e_lan2, true);
    ASSERT_TRUE(g_NetMgr.GameServices().ballsPositions(e_lan2, *good));
    EXPECT_TRUE(ControlerTable[0].mBallPositionsReceived);
    ControlerTable[0].mBallPositionsReceived = false;
    ASSERT_EQ(gReplayMgr.mEntities.GetCount(), 1);

    struct Case {
        const char* what;
        int32_t controller;
        bool whole;
        const char* name;
    };
    for (const Case& c : {Case{"unknown controller", e_lan5, true, "x"},
                          Case{"unfilled controller", e_undefined, true, "x"},
                          Case{"body cut short", e_lan2, false, "x"},
                          Case{"the ground's node", e_lan2, true, "terrain_collision"}}) {
        SCOPED_TRACE(c.what);
        auto bad = message(c.controller, c.whole, c.name);
        EXPECT_FALSE(g_NetMgr.GameServices().ballsPositions(c.controller, *bad));
        EXPECT_FALSE(ControlerTable[0].mBallPositionsReceived);
        EXPECT_EQ(gReplayMgr.mEntities.GetCount(), 1);
        EXPECT_EQ(gReplayMgr.mWriteIndex, 2u);
    }
    gReplayMgr.DeleteAllEntities();
    ResetControlers();
}

// A well-formed body is taken only from the machine that threw, once a
// throw: another peer's body sent at any time, or a second body for the same
// throw, would replace the places this machine ranks the mene from.
TEST_F(ReplayTest, BallPositionsAreTakenOnlyFromTheThrowerAndOnceAThrow)
{
    CMainApp::Hooks().initReplay();
    SetUpMatch(gReplayMgr, {AddBall("x", 0)});
    ResetControlers();
    ControlerTable[0].mType = e_lan2;   // throws now
    ControlerTable[1].mType = e_lan3;   // waits for its turn
    auto body = [](int32_t controller, float z) {
        auto m = std::make_unique<CObjnet>();
        m->Start(kTypeId);
        m->WriteUInt(1);
        m->WriteInt(controller);
        m->WriteUInt(1);
        WriteBlock(*m, 0, "x", 1, Ogre::Vector3(0.1f, 0.04f, z), {Ogre::Vector3(0.1f, 0.04f, z)});
        m->End();
        m->Rewind();
        m->ReadUInt();
        m->ReadInt();
        return m;
    };
    auto take = [](int32_t controller, CObjnet& m) { return g_NetMgr.GameServices().ballsPositions(controller, m); };

    // Nobody has thrown yet: nothing is taken.
    EXPECT_FALSE(take(e_lan2, *body(e_lan2, 2.0f)));
    EXPECT_FALSE(ControlerTable[0].mBallPositionsReceived);

    ControlerTable[0].mLaunchSetReceived = true;
    EXPECT_FALSE(take(e_lan3, *body(e_lan3, 4.0f))) << "a peer whose turn it is not";
    EXPECT_FALSE(ControlerTable[1].mBallPositionsReceived);
    EXPECT_TRUE(take(e_lan2, *body(e_lan2, 2.0f)));
    EXPECT_TRUE(ControlerTable[0].mBallPositionsReceived);
    EXPECT_FALSE(take(e_lan2, *body(e_lan2, 5.0f))) << "a second body for the same throw";

    // What is replayed is the thrower's one body.
    gReplayMgr.StartReplay(0);
    gReplayMgr.TakeReceivedState();
    gReplayMgr.ApplyFinalState(Balls());
    updateSceneGraph();
    EXPECT_NEAR(WorldPosition(mBalls[0]->GetNode()).z, 2.0f, 1e-4f);
    gReplayMgr.DeleteAllEntities();
    ResetControlers();
}

// The lines the game logged while a test listened.
std::vector<std::string>& Logged()
{
    static std::vector<std::string> lines;
    return lines;
}
void CollectLog(const char* line)
{
    Logged().push_back(line);
}

// Peers of a LAN match on loopback: a host with the game's own receiver
// of ball positions, a client that sends hostile ones for its own throw's
// controller, and a well-behaved client that counts what the host relays.
// Every hostile body is dropped by the host, with one log line, reaches
// no other machine and leaves the scene as it was; a genuine body after
// them is taken, relayed and replayed.
TEST_F(ReplayTest, TheHostDropsHostileBallPositionsLogsOnceAndRelaysNothing)
{
    using namespace nettest;
    CMainApp::Hooks().initReplay();
    CKEMSceneNode* target = AddBall("cochonnet", 0.5f);
    CKEMSceneNode* ball = AddBall("boule 1", 1.0f);
    SetUpMatch(gReplayMgr, {target, ball});
    struct Bystander {
        CKEMSceneNode* node;
        Ogre::Vector3 at;
    };
    const std::vector<Bystander> bystanders = {{AddNode("terrain", Ogre::Vector3::ZERO), Ogre::Vector3::ZERO},
                                               {AddNode("terrain_collision", Ogre::Vector3::ZERO), Ogre::Vector3::ZERO},
                                               {AddNode("venue_cam", Ogre::Vector3(0, 8, 14)), Ogre::Vector3(0, 8, 14)}};
    ResetControlers();
    g_ControlerTableFilled = 1;
    ControlerTable[0].mType = e_lan2;   // the hostile client's (slot 1) throw
    ControlerTable[0].mLaunchSetReceived = true;

    ClockNow() = 1000;
    HalSetTimeSource(&TestClock);
    const uint16_t port = FindFreePortPair();
    ASSERT_NE(port, 0);
    Node host(port), hostile(port), fair(port);
    ASSERT_TRUE(host.mgr.Init());
    CNetGameDesc desc(kLoopback, host.mgr.GetPort());
    desc.mMaxPlayers = 6;
    ASSERT_TRUE(host.mgr.HostGame(desc));
    host.mgr.GameServices().ballsPositions = g_NetMgr.GameServices().ballsPositions;
    static int relayed;
    relayed = 0;
    fair.mgr.GameServices().ballsPositions = [](int32_t, CObjnet&) { return ++relayed > 0; };
    for (Node* client : {&hostile, &fair}) {
        ASSERT_TRUE(client->mgr.JoinGame(kLoopback, host.mgr.GetPort(), "peer"));
        ASSERT_TRUE(PumpUntil({&host.mgr, &hostile.mgr, &fair.mgr}, [&] { return client->listener.Has("login"); }));
    }
    PumpRounds({&host.mgr, &hostile.mgr, &fair.mgr}, 20);
    ASSERT_EQ(hostile.mgr.GetOwnIndex(), 1);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Ogre::Vector3 inside(0.2f, 0.04f, 3.0f);
    auto send = [&](const std::function<void(CObjnet&)>& body) {
        CObjnet& out = hostile.mgr.GetOutgoingMessage();
        out.StartSignature(NETSIG_E_BALLS_POSITIONS);
        out.WriteUInt(1);
        out.WriteInt(e_lan2);
        body(out);
        out.End();
        return hostile.mgr.TCPSendAction(out);
    };
    struct Case {
        const char* what;
        std::function<void(CObjnet&)> body;
    };
    const Case cases[] = {
        {"NaN places", [&](CObjnet& out) {
             out.WriteUInt(2);
             WriteBlock(out, 1, "boule 1", 1, Ogre::Vector3(nan, nan, nan), {inside, Ogre::Vector3(nan, 0, 0)});
         }},
        {"places of 1e30", [&](CObjnet& out) {
             out.WriteUInt(1);
             WriteBlock(out, 1, "boule 1", 1, Ogre::Vector3(1e30f, 0, 0), {Ogre::Vector3(0, 1e30f, 0)});
         }},
        {"the ground's collision node", [&](CObjnet& out) {
             out.WriteUInt(1);
             WriteBlock(out, 0, "terrain_collision", 1, inside, {inside});
         }},
        {"the venue and its camera", [&](CObjnet& out) {
             out.WriteUInt(0);
             WriteBlock(out, 0, "terrain", 3, Ogre::Vector3(0, -50, 0), {});
             WriteBlock(out, 1, "venue_cam", 3, Ogre::Vector3(0, -50, 0), {});
         }},
        {"one ball of the match only", [&](CObjnet& out) {
             out.WriteUInt(1);
             WriteBlock(out, 1, "boule 1", 1, inside, {inside});
         }},
        {"a good ball block before a bad one", [&](CObjnet& out) {
             out.WriteUInt(1);
             WriteBlock(out, 0, "cochonnet", 1, inside, {inside});
             WriteBlock(out, 1, "boule 1", 1, inside, {Ogre::Vector3(0, 0, -1e30f)});
         }},
    };
    PlatSetLogSink(&CollectLog);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Logged().clear();
        ASSERT_TRUE(send(c.body));
        EXPECT_TRUE(PumpUntil({&host.mgr, &hostile.mgr, &fair.mgr}, [] { return !Logged().empty(); }));
        PumpRounds({&host.mgr, &hostile.mgr, &fair.mgr}, 50);
        int drops = 0;
        for (const std::string& line : Logged())
            drops += line.find("dropped") != std::string::npos;
        EXPECT_EQ(drops, 1);
        EXPECT_EQ(relayed, 0);
        EXPECT_FALSE(ControlerTable[0].mBallPositionsReceived);
        EXPECT_TRUE(hostile.mgr.IsConnected()) << "the hostile peer still holds its own seat only";
    }
    PlatSetLogSink(nullptr);

    // The throw's genuine places still come through, to every machine.
    ASSERT_TRUE(send([&](CObjnet& out) {
        out.WriteUInt(2);
        WriteBlock(out, 0, "cochonnet", 1, inside, {inside, inside});
        WriteBlock(out, 1, "boule 1", 1, Ogre::Vector3(-0.3f, 0.04f, 2.0f), {inside, Ogre::Vector3(-0.3f, 0.04f, 2.0f)});
    }));
    EXPECT_TRUE(PumpUntil({&host.mgr, &hostile.mgr, &fair.mgr}, [] { return relayed == 1; }));
    EXPECT_TRUE(ControlerTable[0].mBallPositionsReceived);
    gReplayMgr.StartReplay(0);
    gReplayMgr.TakeReceivedState();
    for (uint32_t t = 0; gReplayMgr.Replay(t); t += 8)
        updateSceneGraph();
    gReplayMgr.ApplyFinalState(Balls());
    updateSceneGraph();
    EXPECT_TRUE(WorldPosition(ball).positionEquals(Ogre::Vector3(-0.3f, 0.04f, 2.0f), 1e-4f));
    for (const Bystander& b : bystanders) {
        SCOPED_TRACE(b.node->getName());
        EXPECT_TRUE(b.node->IsVisible());
        EXPECT_EQ(WorldPosition(b.node), b.at);
    }

    HalSetTimeSource(nullptr);
    gReplayMgr.DeleteAllEntities();
    ResetControlers();
}

}  // namespace
