#include "CScenaricMgr.h"

#include <CKEMSceneNode.h>
#include <CSceneMgr.h>
#include <KEMCrc32.h>
#include <KEMException.h>

#include <new>
#include <vector>

CScenaricMgr gScenaricMgr;

namespace {

void ScenaricUpdate() { gScenaricMgr.Update(); }

// The run state drives the registry once it exists.
struct UpdateInstaller {
    UpdateInstaller() { CSceneMgr::Services().scenaricUpdate = &ScenaricUpdate; }
} gUpdateInstaller;

}  // namespace

CScenaricMgr::CScenaricMgr()
{
    mActivitySphere.radius = 6000.0f;
}

CScenaricMgr::~CScenaricMgr()
{
    FreeArray();
}

void CScenaricMgr::FreeArray()
{
    delete[] mNodes;
    mNodes = nullptr;
    mCapacity = 0;
    mCount = 0;
}

CKEMSceneNode* CScenaricMgr::GetNode(int index) const
{
    return (index >= 0 && index < mCount) ? mNodes[index] : nullptr;
}

int CScenaricMgr::IndexOf(const CKEMSceneNode* node) const
{
    for (int i = 0; i < mCount; ++i)
        if (mNodes[i] == node)
            return i;
    return -1;
}

int CScenaricMgr::Register(CKEMSceneNode* node)
{
    if (!node)
        return -1;
    KEMMutexLock lock(gSceneMgr);
    node->RegisterEvents();
    if (IndexOf(node) >= 0) {
        node->FirstManage();
        node->VMCallFirstManageCall();
        return -1;
    }
    if (mCount == mCapacity) {
        const int capacity = mCapacity + GROW_BY;
        CKEMSceneNode** nodes = new (std::nothrow) CKEMSceneNode*[capacity];
        if (!nodes)
            KEM_THROW_SRC("Allocation of array failed!", "CScenaricMgr");
        for (int i = 0; i < capacity; ++i)
            nodes[i] = i < mCount ? mNodes[i] : nullptr;
        delete[] mNodes;
        mNodes = nodes;
        mCapacity = capacity;
    }
    mNodes[mCount++] = node;
    node->FirstManage();
    node->VMCallFirstManageCall();
    return mCount;
}

void CScenaricMgr::RemoveAt(int index)
{
    for (int i = index; i + 1 < mCount; ++i)
        mNodes[i] = mNodes[i + 1];
    mNodes[mCount - 1] = nullptr;
    --mCount;
}

int CScenaricMgr::Unregister(CKEMSceneNode* node)
{
    KEMMutexLock lock(gSceneMgr);
    if (!node || mCount == 0)
        return -1;
    const int index = IndexOf(node);
    if (index < 0)
        return -1;
    RemoveAt(index);
    node->Term();
    return index;
}

CKEMSceneNode* CScenaricMgr::getObjectByName(const std::string& name) const
{
    for (int i = 0; i < mCount; ++i) {
        CKEMSceneNode* node = mNodes[i];
        if (node && node->getName() == name)
            return node->IsKilled() ? nullptr : node;
    }
    return nullptr;
}

void CScenaricMgr::BroadcastEvent(const char* eventName, int argument)
{
    const uint32_t id = KEMCrc32String(eventName);
    for (int i = 0; i < mCount; ++i)
        if (mNodes[i])
            mNodes[i]->OnScriptEvent(id, argument);
}

void CScenaricMgr::FirstManageAll()
{
    for (int i = 0; i < mCount; ++i) {
        CKEMSceneNode* node = mNodes[i];
        node->FirstManage();
        node->VMCallFirstManageCall();
    }
}

void CScenaricMgr::ResetAll()
{
    // Reloading a script registers its node again at the end: walk a copy.
    const std::vector<CKEMSceneNode*> nodes(mNodes, mNodes + mCount);
    for (CKEMSceneNode* node : nodes) {
        if (IndexOf(node) < 0)   // went away while an earlier node was reset
            continue;
        node->Reset();
        node->ReloadScript();
    }
    mFrameCounter = 0;
}

void CScenaricMgr::Update()
{
    if (mFrameCounter == 0) {
        FirstManageAll();
        RemoveKilledNodes();
        Compact();
    }
    ManageNodes();
    RemoveKilledNodes();
    if (mCompactionNeeded)
        Compact();
}

bool CScenaricMgr::IsNodeActive(CKEMSceneNode* node)
{
    node->SetActive(false);
    bool active;
    CKEMSceneNode* parent = node->getParent();
    if (parent && parent->GetActive())
        active = true;
    else
        active = node->GetQueuedEventCount() > 0 || node->HasOverlaps() || node->IsKeptAwake() ||
                 intersectSphereAABB(mActivitySphere, node->GetAxisAlignedBox());
    node->SetActive(active);
    return active;
}

void CScenaricMgr::ManageNodes()
{
    for (int i = 0; i < mCount; ++i) {
        CKEMSceneNode* a = mNodes[i];
        if (!a || !IsNodeActive(a))
            continue;
        a->Manage();
        a->PostManage();

        const bool aTrigger = a->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
        for (int j = 0; j < mActiveCount && j < mCount; ++j) {
            CKEMSceneNode* b = mNodes[j];
            if (j == i || !b || b->HasSleepBit())
                continue;
            const bool bTrigger = b->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
            if (intersectOBBOBB(a->GetOrientedBox(), b->GetOrientedBox())) {
                if (aTrigger != bTrigger) {
                    CKEMSceneNode* trigger = aTrigger ? a : b;
                    CKEMSceneNode* other = aTrigger ? b : a;
                    if (!trigger->IsOverlapping(other)) {
                        trigger->OnEvent(CKEMSceneNode::EVENT_TRIGGER_ENTER, other);
                        trigger->AddOverlap(other);
                    }
                } else if (!aTrigger) {
                    if (!a->IsOverlapping(b)) {
                        a->SendEvent(CKEMSceneNode::EVENT_OVERLAP_BEGIN, b, 0);
                        a->AddOverlap(b);
                    }
                }
            } else if (a->IsOverlapping(b)) {
                if (aTrigger)
                    a->OnEvent(CKEMSceneNode::EVENT_TRIGGER_LEAVE, b);
                else
                    a->SendEvent(CKEMSceneNode::EVENT_OVERLAP_END, b, 0);
                a->RemoveOverlap(b);
            }
        }
    }
    ++mFrameCounter;
}

void CScenaricMgr::RemoveKilledNodes()
{
    // Deleting a node also deletes its children and runs scripts that may
    // kill or delete others, so the list changes under the loop: take the
    // killed ones first, then again until none is left.
    for (;;) {
        std::vector<CKEMSceneNode*> killed;
        for (int i = 0; i < mCount; ++i)
            if (mNodes[i] && mNodes[i]->IsKilled())
                killed.push_back(mNodes[i]);
        if (killed.empty())
            return;
        for (CKEMSceneNode* node : killed) {
            const int index = IndexOf(node);
            if (index < 0)
                continue;   // went with an earlier one
            if (CKEMSceneNode* parent = node->getParent())
                parent->detachChild(node);
            RemoveAt(index);
            node->Term();
            delete node;
        }
    }
}

void CScenaricMgr::Compact()
{
    mCompactionNeeded = 0;
    if (mCount < 2)
        return;
    KEMMutexLock lock(gSceneMgr);

    mActiveCount = mCount;
    int i = 0;
    while (i < mActiveCount) {
        CKEMSceneNode* node = mNodes[i];
        if (node->IsAsleep()) {
            --mActiveCount;
            for (int k = i; k < mActiveCount; ++k)
                mNodes[k] = mNodes[k + 1];
            mNodes[mActiveCount] = node;
        } else {
            ++i;
        }
    }

    int last = mActiveCount - 1;
    i = 0;
    while (i < last) {
        CKEMSceneNode* node = mNodes[i];
        CKEMSceneNode* parent = node->getParent();
        if (parent && parent->getKEMScript()) {
            for (int k = i; k < last; ++k)
                mNodes[k] = mNodes[k + 1];
            mNodes[last] = node;
            --last;
        } else {
            ++i;
        }
    }
}
