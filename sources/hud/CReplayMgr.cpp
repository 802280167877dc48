#include "CReplayMgr.h"

#include <CBall.h>
#include <CKEMSceneNode.h>
#include <CObjnet.h>
#include <COdeBody.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <HalNet.h>
#include <Platform.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

CReplayMgr gReplayMgr;

namespace {

const int kWorldSpace = 2;
// Bytes of one sent frame: visible byte + three floats.
const uint32_t kFrameBytes = 13;

Ogre::Vector3 WorldPosition(const CKEMSceneNode* node)
{
    Ogre::Vector3 position;
    node->GetPosition(position, kWorldSpace);
    return position;
}

Ogre::Quaternion WorldOrientation(const CKEMSceneNode* node)
{
    Ogre::Quaternion orientation;
    node->GetOrientation(orientation, kWorldSpace);
    return orientation;
}

bool PhysicsActive(const CKEMSceneNode* node)
{
    CPhysicObject* object = node ? node->getPhysicObject() : nullptr;
    return object && object->IsActive();
}

const char* NodeName(const CKEMSceneNode* node)
{
    return node ? node->getName().c_str() : "";
}

bool Finite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// NaN fails every comparison, so it is out of any box too.
bool Within(const Ogre::AxisAlignedBox& box, float x, float y, float z)
{
    if (!box.isFinite() || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return false;
    const Ogre::Vector3& lo = box.getMinimum();
    const Ogre::Vector3& hi = box.getMaximum();
    return x >= lo.x && x <= hi.x && y >= lo.y && y <= hi.y && z >= lo.z && z <= hi.z;
}

}  // namespace

// ---- CReplayEntity ----------------------------------------------------------

CReplayEntity::CReplayEntity(CKEMSceneNode* node, uint32_t capacity, uint8_t ballIndex)
    : mBallIndex(ballIndex)
{
    mRecords = new (std::nothrow) ReplayFrameRecord[capacity ? capacity : 1];
    if (!mRecords)
        return;
    const Ogre::Vector3 start = node ? WorldPosition(node) : Ogre::Vector3::ZERO;
    const bool visible = node ? node->IsVisible() : true;
    for (uint32_t i = 0; i < (capacity ? capacity : 1); ++i) {
        ReplayFrameRecord& r = mRecords[i];
        r.orientation[0] = 1.0f;
        r.orientation[1] = r.orientation[2] = r.orientation[3] = 0.0f;
        r.position[0] = start.x;
        r.position[1] = start.y;
        r.position[2] = start.z;
        r.visible = visible ? 1 : 0;
    }
    mNode = node;
    mCapacity = capacity;
    if (!node)
        return;
    mRefPosition = start;
    mRefOrientation = WorldOrientation(node);
    mVisible = visible;
    mPhysics = PhysicsActive(node);
}

CReplayEntity::~CReplayEntity()
{
    delete[] mRecords;
}

void CReplayEntity::Capture(uint32_t slot)
{
    if (!mNode || !mRecords || slot >= mCapacity)
        return;
    const Ogre::Quaternion q = WorldOrientation(mNode);
    const Ogre::Vector3 p = WorldPosition(mNode);
    ReplayFrameRecord& r = mRecords[slot];
    r.orientation[0] = q.w;
    r.orientation[1] = q.x;
    r.orientation[2] = q.y;
    r.orientation[3] = q.z;
    r.position[0] = p.x;
    r.position[1] = p.y;
    r.position[2] = p.z;
    r.visible = mNode->IsVisible() ? 1 : 0;
}

void CReplayEntity::Play(uint32_t later, uint32_t earlier, uint32_t earlierTime, uint32_t laterTime,
                         uint32_t elapsed)
{
    if (!mNode || !mRecords || later >= mCapacity || earlier >= mCapacity)
        return;
    const ReplayFrameRecord& b = mRecords[earlier];
    const ReplayFrameRecord& a = mRecords[later];
    mNode->setToVisible(b.visible == 1);
    const float span = float(laterTime - earlierTime);
    const float part = float(elapsed - earlierTime);
    if (!(span > 0.0f))
        return;
    const float t = part / span;
    if (t > 1.0f)
        return;
    const Ogre::Vector3 pb(b.position[0], b.position[1], b.position[2]);
    const Ogre::Vector3 pa(a.position[0], a.position[1], a.position[2]);
    const Ogre::Vector3 position = pb + (pa - pb) * part / span;
    const Ogre::Quaternion qb(b.orientation[0], b.orientation[1], b.orientation[2], b.orientation[3]);
    const Ogre::Quaternion qa(a.orientation[0], a.orientation[1], a.orientation[2], a.orientation[3]);
    Ogre::Quaternion q = Ogre::Quaternion::Slerp(t, qb, qa, false);
    q.normalise();
    mNode->setPosition(position, true);
    mNode->SetOrientation(q, true);
}

void CReplayEntity::RestoreReference()
{
    if (!mNode)
        return;
    mNode->setPosition(mRefPosition, true);
    mNode->SetOrientation(mRefOrientation, true);
    mNode->setToVisible(mVisible);
    if (CPhysicObject* object = mNode->getPhysicObject()) {
        object->setAngularVelocity(Ogre::Vector3::ZERO);
        object->setLinearVelocity(Ogre::Vector3::ZERO);
    }
}

// ---- CReplayMgr -------------------------------------------------------------

CReplayMgr::~CReplayMgr()
{
    // The entities belong to the game master, which deletes them itself.
    delete[] mFrameTimes;
}

bool CReplayMgr::Init()
{
    mCapacity = CAPACITY;
    mPeriod = PERIOD_MS;
    delete[] mFrameTimes;
    mFrameTimes = new (std::nothrow) uint32_t[mCapacity]();
    if (!mFrameTimes) {
        mCapacity = 0;
        PlatLog("CReplayMgr: no memory for the replay frames");
        return false;
    }
    mWriteIndex = 0;
    return true;
}

bool CReplayMgr::AddEntity(CKEMSceneNode* node, uint8_t ballIndex)
{
    CReplayEntity* entity = new (std::nothrow) CReplayEntity(node, mCapacity, ballIndex);
    if (!entity)
        return false;
    mEntities.Append(entity);
    if (node) {
        if (mMatchBalls.size() <= ballIndex)
            mMatchBalls.resize(size_t(ballIndex) + 1, nullptr);
        mMatchBalls[ballIndex] = node;
    }
    return true;
}

void CReplayMgr::DropEntities()
{
    while (CReplayEntity* entity = mEntities.GetHead()) {
        mEntities.Remove(entity);
        delete entity;
    }
}

void CReplayMgr::DeleteAllEntities()
{
    DropEntities();
    // The nodes go with the venue: a later body must not find them.
    mMatchBalls.clear();
    mReach.setNull();
}

void CReplayMgr::SetVenueBounds(const Ogre::AxisAlignedBox& venue)
{
    const Ogre::Vector3& lo = venue.getMinimum();
    const Ogre::Vector3& hi = venue.getMaximum();
    if (!venue.isFinite() || !Finite(lo) || !Finite(hi)) {
        PlatLog("CReplayMgr: the venue has no finite bounds; no ball positions will be taken");
        mReach.setNull();
        return;
    }
    const Ogre::Vector3 reach(BALL_REACH_M);
    mReach.setExtents(venue.getMinimum() - reach, venue.getMaximum() + reach);
}

void CReplayMgr::StartCapture(uint32_t now)
{
    mCaptureStart = now;
    mLastCapture = now;
    mWriteIndex = 0;
    mReplaying = false;
    mCapturing = true;
    for (uint32_t i = 0; i < mCapacity; ++i)
        mFrameTimes[i] = 0;
}

void CReplayMgr::CaptureFrame(uint32_t now)
{
    if (mCapacity == 0 || now < mLastCapture + mPeriod)
        return;
    mFrameTimes[mWriteIndex] = now - mCaptureStart;
    mLastCapture = now;
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext)
        e->Capture(mWriteIndex);
    if (++mWriteIndex >= mCapacity)
        mWriteIndex = 0;
}

void CReplayMgr::EndCapture(uint32_t now)
{
    mCapturing = false;
    mDuration = now - mCaptureStart;
    NetTrace("CReplayMgr::EndCapture(time=%u)", mDuration);
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        if (!e->mNode)
            continue;
        e->mRefPosition = WorldPosition(e->mNode);
        e->mRefOrientation = WorldOrientation(e->mNode);
        e->mVisible = e->mNode->IsVisible();
    }
}

void CReplayMgr::StartReplay(uint32_t now)
{
    NetTrace("CReplayMgr::StartReplay(time=%u)", now);
    mReplayStart = now;
    mReadIndex = 0;
    mReplaying = true;
    mCapturing = false;
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        if (!e->mNode) {
            e->mPhysics = false;
            continue;
        }
        e->mVisible = e->mNode->IsVisible();
        CPhysicObject* object = e->mNode->getPhysicObject();
        if (object && object->IsActive() && e->mRecords) {
            e->mPhysics = true;
            gPhysicMgr.RemoveObject(object);
            const ReplayFrameRecord& r = e->mRecords[0];
            e->mNode->setPosition(Ogre::Vector3(r.position[0], r.position[1], r.position[2]), true);
            e->mNode->SetOrientation(
                Ogre::Quaternion(r.orientation[0], r.orientation[1], r.orientation[2], r.orientation[3]), true);
        } else {
            e->mPhysics = false;
        }
    }
}

bool CReplayMgr::Replay(uint32_t now)
{
    const uint32_t elapsed = now - mReplayStart;
    if (elapsed > mDuration || mCapacity == 0) {
        NetTrace("CReplayMgr::Replay(time=%u)=>End of Stream", now);
        stopReplay();
        return false;
    }
    uint32_t i = uint32_t(mReadIndex) < mCapacity ? uint32_t(mReadIndex) : 0;
    while (mFrameTimes[i] < elapsed) {
        if (i == mWriteIndex)
            break;
        if (++i >= mCapacity)
            i = 0;
    }
    const uint32_t earlier = i == 0 ? mCapacity - 1 : i - 1;
    mReadIndex = int32_t(earlier);
    if (earlier == 0)
        return true;
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext)
        e->Play(i, earlier, mFrameTimes[earlier], mFrameTimes[i], elapsed);
    return true;
}

void CReplayMgr::stopReplay()
{
    // Only a replay is undone: the match states stop "any replay" at every
    // turn, and restoring then would put the balls back where an earlier
    // throw left them and give balls out of play their physics again.
    if (!mReplaying)
        return;
    mReplaying = false;
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        e->RestoreReference();
        if (!e->mNode)
            continue;
        CPhysicObject* object = e->mNode->getPhysicObject();
        if (e->mPhysics && object) {
            object->SetTransform(Ogre::Vector3::ZERO);
            gPhysicMgr.RegisterObject(object);
        }
        e->mNode->setToVisible(e->mVisible);
    }
    NetTrace("CReplayMgr::stopReplay()");
}

void CReplayMgr::TakeReceivedState()
{
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        e->mRefPosition = e->mRecvPosition;
        e->mRefOrientation = Ogre::Quaternion::IDENTITY;
        e->mVisible = e->mRecvVisible != 0;
        e->mPhysics = e->mRecvPhysics != 0;
    }
}

void CReplayMgr::ApplyFinalState(std::vector<CBall*> balls)
{
    NetTrace("in ApplyFinalState()...");
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        CBall* ball = e->mBallIndex < balls.size() ? balls[e->mBallIndex] : nullptr;
        CKEMSceneNode* node = ball ? ball->GetNode() : nullptr;
        if (!node) {
            PlatLog("CReplayMgr: received state for missing ball %d skipped", int(e->mBallIndex));
            continue;
        }
        ball->mState = e->mRecvState;
        node->setToVisible(e->mRecvVisible != 0);
        CPhysicObject* object = node->getPhysicObject();
        if (object)
            object->SetActive(e->mRecvPhysics != 0);
        node->setPosition(e->mRecvPosition, true);
        if (object) {
            object->setLinearVelocity(Ogre::Vector3::ZERO);
            object->setAngularVelocity(Ogre::Vector3::ZERO);
            // Asleep, as the thrower left it: awake, a ball that was still
            // creeping there would creep again here alone, and this machine
            // would rank the mene from other places. The next throw's
            // contact wakes it.
            if (COdeBody* body = object->GetBody())
                body->setEnabled(false);
        }
        NetTrace("-ball %d : State %d Visible=%d  Physique=%d   Pos(%.2f,%.2f,%.2f) (name=%s)(nodeptr ok=%s)",
                 int(e->mBallIndex), ball->mState, e->mRecvVisible, e->mRecvPhysics, e->mRecvPosition.x,
                 e->mRecvPosition.y, e->mRecvPosition.z, NodeName(e->mNode), e->mNode == node ? "Yes" : "No");
    }
}

uint32_t CReplayMgr::FramesToSend(std::vector<uint32_t>& slots) const
{
    slots.clear();
    if (mCapacity == 0)
        return 0;
    // A capture that wrapped holds the newest frames from the write index on:
    // sent oldest first so that the peer sees the throw in order.
    const bool wrapped = mWriteIndex < mCapacity && mFrameTimes[mWriteIndex] != 0;
    const uint32_t total = wrapped ? mCapacity : mWriteIndex;
    for (uint32_t i = 0; i < total; ++i)
        slots.push_back(wrapped ? (mWriteIndex + i) % mCapacity : i);
    return total;
}

uint32_t CReplayMgr::SerializePositions(CObjnet& out, std::vector<CBall*> balls)
{
    NetTrace("======================in SerializePositions()=================");
    std::vector<uint32_t> slots;
    const uint32_t total = FramesToSend(slots);

    // The whole message must fit one network frame: the frames are thinned
    // (every stride-th one) until it does. The stride travels in the count
    // word's high half, so a body that needed none reads as before.
    uint32_t blockBytes = 0, blocks = 0;
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        CBall* ball = e->mBallIndex < balls.size() ? balls[e->mBallIndex] : nullptr;
        CKEMSceneNode* node = ball ? ball->GetNode() : nullptr;
        blockBytes += 1 + 4 + uint32_t(std::strlen(NodeName(node))) + 24;
        ++blocks;
    }
    const int used = out.GetSize() > 0 ? out.GetSize() : 4;
    const int64_t room = int64_t(MAX_MESSAGE_BYTES) - used - 4 - blockBytes;
    uint32_t stride = 1;
    auto framesAt = [&](uint32_t k) { return std::min((total + k - 1) / k, mCapacity ? mCapacity - 1 : 0); };
    while (stride < MAX_STRIDE && blocks > 0 && int64_t(framesAt(stride)) * kFrameBytes * blocks > room)
        ++stride;
    uint32_t count = framesAt(stride);
    if (blocks > 0 && int64_t(count) * kFrameBytes * blocks > room) {
        PlatLog("CReplayMgr: %u balls leave no room for the throw's frames; only the final state is sent", blocks);
        count = 0;
        stride = 1;
    }
    // Too many frames for the ring even at one per stride: keep the newest.
    const uint32_t first = total > count * stride ? total - count * stride : 0;
    if (stride > 1)
        PlatLog("CReplayMgr: throw of %u frames sent as %u frames, one in %u", total, count, stride);

    out.WriteUInt(count | ((stride - 1) << 16));
    for (CReplayEntity* e = mEntities.GetHead(); e; e = e->mNext) {
        CBall* ball = e->mBallIndex < balls.size() ? balls[e->mBallIndex] : nullptr;
        CKEMSceneNode* node = ball ? ball->GetNode() : nullptr;
        if (!node)
            // A block without its ball would leave the peer out of step with
            // the rest of the body; the ball lists are built alike on both sides.
            PlatLog("CReplayMgr: no ball %d to send; sending its block empty", int(e->mBallIndex));
        out.WriteByte(e->mBallIndex);
        out.WriteString(NodeName(node));
        e->mRecvState = ball ? ball->mState : 0;
        e->mRecvVisible = node && node->IsVisible() ? 1 : 0;
        e->mRecvPhysics = PhysicsActive(node) ? 1 : 0;
        out.WriteInt(e->mRecvState);
        out.WriteInt(e->mRecvVisible);
        out.WriteInt(e->mRecvPhysics);
        e->mRecvPosition = node ? WorldPosition(node) : Ogre::Vector3::ZERO;
        out.WriteFloat(e->mRecvPosition.x);
        out.WriteFloat(e->mRecvPosition.y);
        out.WriteFloat(e->mRecvPosition.z);
        NetTrace("-ball %d : State %d Visible=%d  Physique=%d   Pos(%.2f,%.2f,%.2f) (name=%s)(nodeptr ok=%s)",
                 int(e->mBallIndex), e->mRecvState, e->mRecvVisible, e->mRecvPhysics, e->mRecvPosition.x,
                 e->mRecvPosition.y, e->mRecvPosition.z, NodeName(e->mNode), e->mNode == node ? "Yes" : "No");
        NetTrace("  => %d records", int(count));
        for (uint32_t r = 0; r < count; ++r) {
            const uint32_t slot = slots[first + r * stride];
            const bool have = e->mRecords && slot < e->mCapacity;
            const ReplayFrameRecord* rec = have ? &e->mRecords[slot] : nullptr;
            const uint8_t visible = rec && rec->visible != 0 ? 1 : 0;
            const float x = rec ? rec->position[0] : 0.0f;
            const float y = rec ? rec->position[1] : 0.0f;
            const float z = rec ? rec->position[2] : 0.0f;
            out.WriteByte(visible);
            out.WriteFloat(x);
            out.WriteFloat(y);
            out.WriteFloat(z);
            NetTrace("  rec[%d]= (%.3f,%.3f,%.3f)  vis=%d", int(r), x, y, z, int(visible));
        }
    }
    NetTrace("======================out SerializePositions()=================");
    CloseTraceSocket();
    return count;
}

void CReplayMgr::ResetAfterRejectedBody(const char* why)
{
    PlatLog("CReplayMgr: ball-position body rejected: %s", why);
    DropEntities();
    mWriteIndex = 0;
    mDuration = 0;
    mReadIndex = 0;
    for (uint32_t i = 0; i < mCapacity; ++i)
        mFrameTimes[i] = 0;
    CloseTraceSocket();
}

bool CReplayMgr::CheckPositionsBody(const CObjnet& in, std::string* why) const
{
    auto fail = [why](const char* text) {
        if (why)
            *why = text;
        return false;
    };
    const int at = in.GetPosition();
    if (in.IsFailed() || !in.GetData() || at < 4 || at > in.GetSize())
        return fail("no body");
    // A reader of our own over the same bytes, so that nothing is consumed.
    CObjnet r;
    r.AttachBuffer(const_cast<unsigned char*>(in.GetData()) + at - 4, in.GetSize() - at + 4);
    const uint32_t word = r.ReadUInt();
    if (r.IsFailed())
        return fail("no record count");
    const uint32_t count = word & 0xFFFFu;
    const uint32_t stride = (word >> 16) + 1;
    if (count > 0 && count >= mCapacity)
        return fail("record count larger than the ring");
    if (stride > MAX_STRIDE)
        return fail("frame spacing out of range");
    uint32_t blocks = 0;
    std::vector<bool> seen(mMatchBalls.size(), false);
    while (r.HasMoreData()) {
        if (++blocks > MAX_BALL_BLOCKS)
            return fail("more ball blocks than a match has balls");
        char name[NAME_SIZE];
        const uint32_t index = uint32_t(r.ReadByte());
        r.ReadStringInto(name, sizeof(name));
        const int32_t state = r.ReadInt();
        r.ReadInt();   // visible and physics are read as flags: any value is one
        r.ReadInt();
        const float x = r.ReadFloat();
        const float y = r.ReadFloat();
        const float z = r.ReadFloat();
        if (r.IsFailed())
            return fail("truncated ball block");
        // Only the match's own balls may be moved: any other node (the
        // ground, the venue, a camera) would be hidden, moved or have its
        // static body handled as a ball's.
        const CKEMSceneNode* ball = MatchBall(index);
        name[NAME_SIZE - 1] = '\0';
        if (!ball || ball->getName() != name)
            return fail("a block names a node that is not that ball of the match");
        if (seen[index])
            return fail("a ball named twice");
        seen[index] = true;
        if (state < CBall::STATE_NONE || state > CBall::STATE_OUT)
            return fail("unknown ball state");
        if (!Within(mReach, x, y, z))
            return fail("a ball's place is not finite or out of the venue's reach");
        const uint32_t left = uint32_t(r.GetSize() - r.GetPosition());
        if (uint64_t(count) * kFrameBytes > left)
            return fail("record count larger than the frames received");
        for (uint32_t k = 0; k < count; ++k) {
            r.ReadByte();
            const float fx = r.ReadFloat();
            const float fy = r.ReadFloat();
            const float fz = r.ReadFloat();
            if (r.IsFailed())
                return fail("truncated frames");
            if (!Within(mReach, fx, fy, fz))
                return fail("a frame's place is not finite or out of the venue's reach");
        }
    }
    // The recorder is rebuilt from the body and sent on from it: a body
    // without some ball would leave that ball out of every later body.
    for (size_t i = 0; i < mMatchBalls.size(); ++i) {
        if (mMatchBalls[i] && !seen[i]) {
            if (why)
                *why = "ball " + std::to_string(i) + " of the match is missing";
            return false;
        }
    }
    return true;
}

uint32_t CReplayMgr::UnserializePositions(CObjnet& in)
{
    NetTrace("Rev:%s %s", __DATE__, __TIME__);
    NetTrace("========in CReplayMgr::UnserializePositions()=================");
    // Checked whole before anything is touched: a bad body must not wipe
    // the replay of the last good one.
    std::string why;
    if (!CheckPositionsBody(in, &why)) {
        PlatLog("CReplayMgr: ball-position body rejected: %s", why.c_str());
        CloseTraceSocket();
        return 0;
    }
    DropEntities();
    mCaptureStart = 0;
    const uint32_t word = in.ReadUInt();
    const uint32_t count = word & 0xFFFFu;
    const uint32_t spacing = ((word >> 16) + 1) * PERIOD_MS;
    mWriteIndex = count;
    mReadIndex = 0;
    while (in.HasMoreData()) {
        char name[NAME_SIZE];
        const uint8_t ballIndex = uint8_t(in.ReadByte());
        in.ReadStringInto(name, sizeof(name));
        const int32_t state = in.ReadInt();
        const int32_t visible = in.ReadInt();
        const int32_t physics = in.ReadInt();
        const float px = in.ReadFloat();
        const float py = in.ReadFloat();
        const float pz = in.ReadFloat();
        name[NAME_SIZE - 1] = '\0';
        CKEMSceneNode* node = MatchBall(ballIndex);   // the check made sure it is the named one
        CReplayEntity* e = new (std::nothrow) CReplayEntity(node, mCapacity, ballIndex);
        if (!e || !e->mRecords) {
            delete e;
            ResetAfterRejectedBody("no memory for a ball");
            return 0;
        }
        mEntities.Append(e);
        e->mRecvState = state;
        e->mRecvVisible = visible;
        e->mRecvPhysics = physics;
        e->mRecvPosition = Ogre::Vector3(px, py, pz);
        e->mRefPosition = e->mRecvPosition;
        e->mRefOrientation = Ogre::Quaternion::IDENTITY;
        e->mVisible = visible != 0;
        e->mPhysics = physics != 0;
        NetTrace("-ball %d : State %d Visible=%d  Physique=%d   Pos(%.2f,%.2f,%.2f) (name=%s)(nodeptr ok=%s)",
                 int(ballIndex), state, visible, physics, px, py, pz, name,
                 (node && e->mNode == node) ? "Yes" : "No");
        NetTrace("  => %d Records...", int(count));
        for (uint32_t r = 0; r < count; ++r) {
            const int v = in.ReadByte();
            const float x = in.ReadFloat();
            const float y = in.ReadFloat();
            const float z = in.ReadFloat();
            ReplayFrameRecord& rec = e->mRecords[r];
            rec.visible = v == 1 ? 1 : 0;
            rec.position[0] = x;
            rec.position[1] = y;
            rec.position[2] = z;
            rec.orientation[0] = 1.0f;
            rec.orientation[1] = rec.orientation[2] = rec.orientation[3] = 0.0f;
            NetTrace("  rec[%d]= (%.3f,%.3f,%.3f)  vis=%d", int(r), x, y, z, v);
        }
    }
    // Frame times are not sent: the frames are spaced evenly, and the slots
    // past them must not keep a previous throw's times.
    for (uint32_t i = 0; i < mCapacity; ++i)
        mFrameTimes[i] = i < count ? i * spacing : 0;
    mDuration = count * spacing;
    CloseTraceSocket();
    NetTrace("========out CReplayMgr::UnserializePositions()=================");
    return count;
}
