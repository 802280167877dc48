// Replay of a throw: samples the balls' poses every 16 ms into a ring of
// frames, plays them back between the two frames around the elapsed time,
// and carries a throw's frames and final ball states to LAN peers.
#pragma once

#include <KEMList.h>

#include <OgreAxisAlignedBox.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

class CBall;
class CKEMSceneNode;
class CObjnet;

// One recorded frame of one node.
struct ReplayFrameRecord {
    float orientation[4];   // w, x, y, z
    float position[3];
    uint8_t visible;
};

class CReplayEntity {
public:
    // An entity whose records cannot be allocated keeps no node and does
    // nothing. Unfilled slots hold the node's pose and visibility at creation.
    CReplayEntity(CKEMSceneNode* node, uint32_t capacity, uint8_t ballIndex);
    virtual ~CReplayEntity();
    CReplayEntity(const CReplayEntity&) = delete;
    CReplayEntity& operator=(const CReplayEntity&) = delete;

    void Capture(uint32_t slot);
    void Play(uint32_t later, uint32_t earlier, uint32_t earlierTime, uint32_t laterTime, uint32_t elapsed);
    void RestoreReference();

    CKEMSceneNode* mNode = nullptr;
    ReplayFrameRecord* mRecords = nullptr;
    uint32_t mCapacity = 0;
    CReplayEntity* mPrev = nullptr;
    CReplayEntity* mNext = nullptr;
    Ogre::Vector3 mRefPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion mRefOrientation = Ogre::Quaternion::IDENTITY;
    bool mPhysics = false;
    bool mVisible = true;
    uint8_t mBallIndex = 0;
    int32_t mRecvState = 0;
    int32_t mRecvVisible = 0;
    int32_t mRecvPhysics = 0;
    Ogre::Vector3 mRecvPosition = Ogre::Vector3::ZERO;
};

class CReplayMgr {
public:
    static constexpr uint32_t CAPACITY = 1000;
    static constexpr uint32_t PERIOD_MS = 16;
    static constexpr int NAME_SIZE = 128;
    // A match has 13 balls at most; a body naming more is not from a match.
    static constexpr uint32_t MAX_BALL_BLOCKS = 16;
    // The network refuses bigger frames; the sender thins its frames to fit.
    static constexpr int MAX_MESSAGE_BYTES = 32767;
    static constexpr uint32_t MAX_STRIDE = 64;
    // How far from the venue a ball of a throw can be: one that rolls off the
    // ground falls until the thrower's settle limit (30 s, about 4.4 km).
    static constexpr float BALL_REACH_M = 5000.0f;

    CReplayMgr() = default;
    virtual ~CReplayMgr();
    CReplayMgr(const CReplayMgr&) = delete;
    CReplayMgr& operator=(const CReplayMgr&) = delete;

    bool Init();
    // The match's set-up adds its balls: they are also the only nodes a
    // received body may name, each under its own ball index.
    bool AddEntity(CKEMSceneNode* node, uint8_t ballIndex);
    // The match is over: its entities, balls and venue are forgotten.
    void DeleteAllEntities();
    // The venue's box; a received place must lie within BALL_REACH_M of it.
    // Until a venue is set no received ball is accepted.
    void SetVenueBounds(const Ogre::AxisAlignedBox& venue);
    const Ogre::AxisAlignedBox& GetReach() const { return mReach; }
    // The node of the match's ball `index`, or null.
    CKEMSceneNode* MatchBall(uint32_t index) const
    {
        return index < mMatchBalls.size() ? mMatchBalls[index] : nullptr;
    }

    void StartCapture(uint32_t now);
    void CaptureFrame(uint32_t now);
    void EndCapture(uint32_t now);

    void StartReplay(uint32_t now);
    // One playback step; false once the stream is over (already stopped).
    bool Replay(uint32_t now);
    // Ends a running replay: the balls go back to their reference poses and
    // physics. Nothing when no replay runs.
    void stopReplay();

    void TakeReceivedState();
    void ApplyFinalState(std::vector<CBall*> balls);

    // Writes the ball-position body after what `out` already holds, thinned
    // so that the whole message stays within MAX_MESSAGE_BYTES; returns the
    // record count written.
    uint32_t SerializePositions(CObjnet& out, std::vector<CBall*> balls);
    // Rebuilds the recorder from a body; returns the record count read. A
    // body that does not pass CheckPositionsBody leaves the recorder as it
    // was and gives 0.
    uint32_t UnserializePositions(CObjnet& in);
    // The body from the reader's position reads whole: count inside the
    // ring, at most MAX_BALL_BLOCKS blocks, nothing cut short; every block
    // names one of the match's balls under its own index, once, with a
    // ball state; every place is finite and within reach of the venue.
    // Reads nothing off `in`; `why` gets the reason of a refusal.
    bool CheckPositionsBody(const CObjnet& in, std::string* why = nullptr) const;
    // Ring slots of the captured frames, oldest first; returns their count.
    uint32_t FramesToSend(std::vector<uint32_t>& slots) const;

    // Ring access for the throw driver and tests.
    uint32_t FrameTime(uint32_t slot) const { return slot < mCapacity ? mFrameTimes[slot] : 0; }

    KEMLinkedList<CReplayEntity> mEntities;
    uint32_t mCaptureStart = 0;
    uint32_t mDuration = 0;
    uint32_t mLastCapture = 0;
    uint32_t mPeriod = PERIOD_MS;
    uint32_t* mFrameTimes = nullptr;
    uint32_t mCapacity = 0;
    uint32_t mWriteIndex = 0;
    uint32_t mReplayStart = 0;
    int32_t mReadIndex = 0;
    bool mReplaying = false;
    bool mCapturing = false;

private:
    void ResetAfterRejectedBody(const char* why);
    void DropEntities();

    std::vector<CKEMSceneNode*> mMatchBalls;   // by ball index; not owned
    Ogre::AxisAlignedBox mReach;               // null: no venue
};

extern CReplayMgr gReplayMgr;
