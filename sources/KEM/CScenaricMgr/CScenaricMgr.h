// The registry of scripted scene nodes. Once per unpaused frame it gives new
// nodes their first-frame calls, manages the nodes inside the activity sphere
// (or kept awake), raises overlap events between their volumes, removes
// killed nodes and keeps sleepers behind the awake ones.
#pragma once

#include "KEMOverlapTests.h"

#include <cstdint>
#include <string>
#include <vector>

class CKEMSceneNode;

class CScenaricMgr {
public:
    static const int GROW_BY = 16;

    CScenaricMgr();
    ~CScenaricMgr();
    CScenaricMgr(const CScenaricMgr&) = delete;
    CScenaricMgr& operator=(const CScenaricMgr&) = delete;

    // Appends the node and gives it its first-frame calls; returns the new
    // count. A node already registered only gets the first-frame calls
    // again, and -1.
    int Register(CKEMSceneNode* node);
    // Removes the node (by identity) and calls its Term; returns the index it
    // had, -1 when it was not registered.
    int Unregister(CKEMSceneNode* node);
    int IndexOf(const CKEMSceneNode* node) const;
    // The first registered node of that name; null when none or when that
    // first match is killed.
    CKEMSceneNode* getObjectByName(const std::string& name) const;
    // OnScriptEvent(CRC-32 of the name, argument) on every registered node.
    void BroadcastEvent(const char* eventName, int argument);
    void FirstManageAll();
    // Resets every node and reloads its script; the next Update is a first frame again.
    void ResetAll();
    // The per-frame entry point (installed as the run state's scenaric update).
    void Update();
    void FreeArray();

    // Set by a node's WakeUp and Sleep: the next Update compacts.
    void SetCompactionNeeded() { mCompactionNeeded = 1; }
    bool IsCompactionNeeded() const { return mCompactionNeeded != 0; }

    bool IsNodeActive(CKEMSceneNode* node);
    void ManageNodes();
    void RemoveKilledNodes();
    // Sleepers last, children of scripted parents after them.
    void Compact();

    int GetCount() const { return mCount; }
    int GetCapacity() const { return mCapacity; }
    CKEMSceneNode* GetNode(int index) const;
    int GetActiveCount() const { return mActiveCount; }
    uint32_t GetFrameCounter() const { return mFrameCounter; }
    const CKEMSphere& GetActivitySphere() const { return mActivitySphere; }

private:
    // How a node takes part in the overlap pass: triggers hear about every
    // other kind, listeners (an overlap handler, or overlaps still to end)
    // about everything, quiet nodes only tell the triggers they meet.
    enum OverlapRole : unsigned char { ROLE_TRIGGER, ROLE_LISTENER, ROLE_QUIET };
    struct SweepEntry {
        double lo;
        double hi;
        int index;
        OverlapRole role;
    };

    static OverlapRole RoleOf(const CKEMSceneNode* node);
    static bool Relevant(OverlapRole a, OverlapRole b);
    void RemoveAt(int index);
    // Broad phase: the pairs (managed node, partner) whose volumes may meet,
    // from the volumes as they stand; valid while the array keeps its layout.
    void BuildOverlapCandidates();
    void EmitPair(int a, int b);
    // The candidate partners of node `index` after its Manage, in array order.
    void CollectCandidates(int index, CKEMSceneNode* node);
    void TestOverlap(CKEMSceneNode* a, CKEMSceneNode* b);

    unsigned char mCompactionNeeded = 0;
    int32_t mActiveCount = 0;
    CKEMSphere mActivitySphere;
    CKEMSceneNode** mNodes = nullptr;
    int32_t mCapacity = 0;
    int32_t mCount = 0;
    uint32_t mFrameCounter = 0;

    // Bumped by every change of the array's layout (add, remove, reorder).
    uint32_t mLayoutVersion = 0;
    // Broad-phase scratch, kept between frames to spare allocations.
    uint32_t mCandidatesVersion = ~0u;
    int mCandidatesActive = 0;
    std::vector<double> mLo;
    std::vector<double> mHi;
    std::vector<unsigned char> mRoles;
    std::vector<SweepEntry> mSweep;
    std::vector<int> mTriggers;                        // active-range triggers
    std::vector<std::pair<int, int>> mPairs;
    std::vector<int> mPairStart;                       // per node index, into mPairPartners
    std::vector<int> mPairPartners;
    std::vector<int> mPairFill;
    std::vector<std::pair<const CKEMSceneNode*, int>> mOverlapped;   // by address
    std::vector<int> mMoved;                           // nodes moved during the pass
    std::vector<int> mMovedTriggers;
    std::vector<unsigned char> mMovedFlags;
    std::vector<int> mCandidates;
};

extern CScenaricMgr gScenaricMgr;
