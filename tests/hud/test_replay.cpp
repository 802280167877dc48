// The replay recorder on a headless scene graph: capture at 16 ms steps,
// playback between recorded frames, the end of a playback, and the LAN body
// of a throw's ball positions (round trip, and bodies a peer must not trust).
#include "SceneGraphTest.h"

#include <CBall.h>
#include <CMainApp.h>
#include <CNetMgr.h>
#include <ControlerTable.h>
#include <CObjnet.h>
#include <CReplayMgr.h>

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
    // A body read back as the network layer hands it over.
    static void Received(const CObjnet& sent, CObjnet& in)
    {
        ASSERT_EQ(in.SetData(sent.GetData(), sent.GetSize()), 0);
    }

    CReplayMgr mReplay;
    std::vector<std::unique_ptr<CBall>> mBalls;
};

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
    ASSERT_TRUE(mReplay.AddEntity(a, 0));
    ASSERT_TRUE(mReplay.AddEntity(b, 1));
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
    for (int i = 0; i < 13; ++i) {
        nodes.push_back(AddBall("Boule_" + std::to_string(i), float(i)));
        ASSERT_TRUE(mReplay.AddEntity(nodes.back(), uint8_t(i)));
    }
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

// Writes one ball block by hand.
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

TEST_F(ReplayTest, LongNamesAreCutAndOnlyOneMeansVisible)
{
    AddNode("BouleB", Ogre::Vector3::ZERO);
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
    EXPECT_EQ(first->mNode, nullptr);   // no such node here: kept, skipped
    EXPECT_EQ(first->mRecords[0].visible, 0);
    EXPECT_EQ(second->mBallIndex, 4);
    ASSERT_NE(second->mNode, nullptr);
    EXPECT_EQ(second->mNode->getName(), "BouleB");
    EXPECT_FLOAT_EQ(second->mRecords[0].position[0], 2.0f);
    EXPECT_EQ(second->mRecords[0].visible, 1);
}

TEST_F(ReplayTest, UntrustworthyBodiesAreRejected)
{
    struct Case {
        const char* what;
        void (*write)(CObjnet& out);
    };
    const Case cases[] = {
        {"count cut short", [](CObjnet& out) { out.WriteByte(0); out.WriteByte(0); }},
        {"count beyond the ring",
         [](CObjnet& out) { out.WriteUInt(CReplayMgr::CAPACITY); WriteBlock(out, 0, "x", 0, {}); }},
        {"count beyond the frames received",
         [](CObjnet& out) { out.WriteUInt(5); WriteBlock(out, 0, "x", 0, {1}); }},
        {"huge count",
         [](CObjnet& out) { out.WriteUInt(0xFFFFFFFFu); WriteBlock(out, 0, "x", 0, {1}); }},
        {"name length beyond the body",
         [](CObjnet& out) { out.WriteUInt(0); out.WriteByte(0); out.WriteUInt(0x7FFFFFFF); out.WriteInt(0); }},
        {"block cut in its position",
         [](CObjnet& out) {
             out.WriteUInt(0);
             out.WriteByte(0);
             out.WriteString("x");
             out.WriteInt(0);
             out.WriteInt(0);
             out.WriteInt(0);
             out.WriteFloat(0);
         }},
        {"second block cut in its frames",
         [](CObjnet& out) {
             out.WriteUInt(1);
             WriteBlock(out, 0, "x", 0, {1});
             WriteBlock(out, 1, "y", 0, {});
             out.WriteByte(1);
             out.WriteFloat(0);
         }},
        {"more ball blocks than a match has balls",
         [](CObjnet& out) {
             out.WriteUInt(0);
             for (uint32_t i = 0; i <= CReplayMgr::MAX_BALL_BLOCKS; ++i)
                 WriteBlock(out, uint8_t(i), "x", 0, {});
         }},
        {"frame spacing out of range",
         [](CObjnet& out) { out.WriteUInt((CReplayMgr::MAX_STRIDE << 16) | 1u); WriteBlock(out, 0, "x", 0, {1}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A good transfer first: a rejected body must leave it whole.
        CObjnet good;
        good.Start(kTypeId);
        good.WriteUInt(2);
        WriteBlock(good, 0, "x", 1, {1, 1});
        CObjnet in;
        Received(good, in);
        ASSERT_EQ(mReplay.UnserializePositions(in), 2u);

        CObjnet bad;
        bad.Start(kTypeId);
        c.write(bad);
        Received(bad, in);
        EXPECT_FALSE(mReplay.CheckPositionsBody(in));
        EXPECT_EQ(mReplay.UnserializePositions(in), 0u);
        ASSERT_EQ(mReplay.mEntities.GetCount(), 1);
        EXPECT_EQ(mReplay.mEntities.GetHead()->mRecvPosition.x, 1.0f);
        EXPECT_EQ(mReplay.mWriteIndex, 2u);
        EXPECT_EQ(mReplay.mDuration, 32u);
        mReplay.DeleteAllEntities();
    }
}

// The LAN receiver of ball positions: a body for a controller the match does
// not have, or one that does not read whole, leaves the last throw's replay
// and the controller's flag alone.
TEST_F(ReplayTest, TheNetworkReceiverChecksTheControllerAndTheBodyFirst)
{
    CMainApp::Hooks().initReplay();
    ASSERT_NE(g_NetMgr.GameServices().ballsPositions, nullptr);
    ResetControlers();
    ControlerTable[0].mType = e_lan2;
    auto message = [](int32_t controller, bool whole) {
        auto m = std::make_unique<CObjnet>();
        m->Start(kTypeId);
        m->WriteUInt(1);
        m->WriteInt(controller);
        m->WriteUInt(2);
        WriteBlock(*m, 0, "x", 3.0f, {1, 1});
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
    };
    for (const Case& c : {Case{"unknown controller", e_lan5, true}, Case{"unfilled controller", e_undefined, true},
                          Case{"body cut short", e_lan2, false}}) {
        SCOPED_TRACE(c.what);
        auto bad = message(c.controller, c.whole);
        EXPECT_FALSE(g_NetMgr.GameServices().ballsPositions(c.controller, *bad));
        EXPECT_FALSE(ControlerTable[0].mBallPositionsReceived);
        EXPECT_EQ(gReplayMgr.mEntities.GetCount(), 1);
        EXPECT_EQ(gReplayMgr.mWriteIndex, 2u);
    }
    gReplayMgr.DeleteAllEntities();
    ResetControlers();
}

}  // namespace
