// The registry of scripted scene nodes. Once per unpaused frame it gives new
// nodes their first-frame calls, manages the nodes inside the activity sphere
// (or kept awake), raises overlap events between their volumes, removes
// killed nodes and keeps sleepers behind the awake ones.
#pragma once

#include "KEMOverlapTests.h"

#include <cstdint>
#include <string>

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
    void RemoveAt(int index);

    unsigned char mCompactionNeeded = 0;
    int32_t mActiveCount = 0;
    CKEMSphere mActivitySphere;
    CKEMSceneNode** mNodes = nullptr;
    int32_t mCapacity = 0;
    int32_t mCount = 0;
    uint32_t mFrameCounter = 0;
};

extern CScenaricMgr gScenaricMgr;
