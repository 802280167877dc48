#include "CScenaricMgr.h"

#include <CKEMSceneNode.h>
#include <CSceneMgr.h>
#include <KEMCrc32.h>
#include <KEMException.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>
#include <vector>

CScenaricMgr gScenaricMgr;

namespace {

void ScenaricUpdate() { gScenaricMgr.Update(); }

// The overlap test passes two volumes only when their centres are nearer than
// the sum of their shadows on the centre line, and no shadow is longer than
// the sum of the scaled axes: the x span of that reach around the centre holds
// every partner the test can accept. A little slack covers float rounding; a
// volume with a value that is not finite meets everything, as it does in the
// test itself.
void OverlapSpan(const CKEMOrientedBox& box, double& lo, double& hi)
{
    // An axis's sum of absolute components is never below its length.
    double reach = 0.0;
    for (int i = 0; i < 3; ++i)
        reach += std::fabs(double(box.halfExtents[i])) *
                 (std::fabs(double(box.axes[0][i])) + std::fabs(double(box.axes[1][i])) + std::fabs(double(box.axes[2][i])));
    reach = reach * 1.0001 + 1e-6;
    const double centre = box.center.x;
    if (!std::isfinite(reach) || !std::isfinite(centre) || !std::isfinite(box.center.y) ||
        !std::isfinite(box.center.z)) {
        lo = -std::numeric_limits<double>::infinity();
        hi = std::numeric_limits<double>::infinity();
        return;
    }
    lo = centre - reach;
    hi = centre + reach;
}

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
    ++mLayoutVersion;
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
    ++mLayoutVersion;
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
    ++mLayoutVersion;
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

CScenaricMgr::OverlapRole CScenaricMgr::RoleOf(const CKEMSceneNode* node)
{
    if (node->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER)
        return ROLE_TRIGGER;
    if (node->HasOverlaps() || node->HandlesOverlapEvents())
        return ROLE_LISTENER;
    return ROLE_QUIET;
}

// Whether managing `a` may send an event about `b`: a trigger hears about
// non-triggers, a non-trigger tells the triggers it meets, and a listener
// hears about every other node. Two quiet nodes have nothing to say.
bool CScenaricMgr::Relevant(OverlapRole a, OverlapRole b)
{
    switch (a) {
    case ROLE_TRIGGER:
        return b != ROLE_TRIGGER;
    case ROLE_LISTENER:
        return true;
    default:
        return b == ROLE_TRIGGER;
    }
}

void CScenaricMgr::EmitPair(int a, int b)
{
    if (a != b && b < mCandidatesActive && Relevant(OverlapRole(mRoles[a]), OverlapRole(mRoles[b])))
        mPairs.emplace_back(a, b);
}

void CScenaricMgr::BuildOverlapCandidates()
{
    const int count = mCount;
    const int active = std::min<int>(mActiveCount, count);
    mCandidatesVersion = mLayoutVersion;
    mCandidatesActive = active;
    mLo.assign(count, 0.0);
    mHi.assign(count, 0.0);
    mRoles.assign(count, ROLE_QUIET);
    mMovedFlags.assign(count, 0);
    mMoved.clear();
    mMovedTriggers.clear();
    mTriggers.clear();
    mOverlapped.clear();
    mSweep.clear();
    mPairs.clear();

    int interested = 0;
    for (int i = 0; i < count; ++i) {
        const CKEMSceneNode* node = mNodes[i];
        if (!node)
            continue;
        OverlapSpan(node->GetOrientedBox(), mLo[i], mHi[i]);
        const OverlapRole role = RoleOf(node);
        mRoles[i] = role;
        if (role != ROLE_QUIET)
            ++interested;
        if (i < active) {
            if (role == ROLE_TRIGGER)
                mTriggers.push_back(i);
            if (node->IsOverlappedByAny())
                mOverlapped.emplace_back(node, i);
        }
        mSweep.push_back({mLo[i], mHi[i], i, role});
    }
    std::sort(mOverlapped.begin(), mOverlapped.end());

    if (interested > 0) {
        if (interested <= 16) {
            // Few triggers and listeners: each against every node.
            for (const SweepEntry& x : mSweep) {
                if (x.role == ROLE_QUIET)
                    continue;
                for (const SweepEntry& e : mSweep) {
                    if (e.index == x.index || e.hi < x.lo || e.lo > x.hi)
                        continue;
                    EmitPair(x.index, e.index);
                    if (e.role == ROLE_QUIET)
                        EmitPair(e.index, x.index);   // an interested e emits its own
                }
            }
        } else {
            // Sort and sweep along x, one open list per role; two quiet nodes
            // or two triggers are never paired, so a crowd of either costs
            // only its sort.
            std::sort(mSweep.begin(), mSweep.end(),
                      [](const SweepEntry& a, const SweepEntry& b) { return a.lo < b.lo; });
            std::vector<int> open[3];
            for (const SweepEntry& e : mSweep) {
                for (int role = 0; role < 3; ++role) {
                    if (!Relevant(e.role, OverlapRole(role)) && !Relevant(OverlapRole(role), e.role))
                        continue;
                    std::vector<int>& list = open[role];
                    for (size_t k = 0; k < list.size();) {
                        const int other = list[k];
                        if (mHi[other] < e.lo) {
                            list[k] = list.back();
                            list.pop_back();
                            continue;
                        }
                        EmitPair(e.index, other);
                        EmitPair(other, e.index);
                        ++k;
                    }
                }
                open[e.role].push_back(e.index);
            }
        }
    }

    // Partners grouped by managed node.
    mPairStart.assign(count + 1, 0);
    for (const auto& pair : mPairs)
        ++mPairStart[pair.first + 1];
    for (int i = 0; i < count; ++i)
        mPairStart[i + 1] += mPairStart[i];
    mPairPartners.resize(mPairs.size());
    mPairFill.assign(mPairStart.begin(), mPairStart.end() - 1);
    for (const auto& pair : mPairs)
        mPairPartners[mPairFill[pair.first]++] = pair.second;
}

void CScenaricMgr::CollectCandidates(int index, CKEMSceneNode* node)
{
    mCandidates.clear();
    const int active = std::min<int>(mActiveCount, mCount);
    const OverlapRole role = OverlapRole(mRoles[index]);
    double lo, hi;
    OverlapSpan(node->GetOrientedBox(), lo, hi);
    const bool moved = lo != mLo[index] || hi != mHi[index];
    if (moved && !mMovedFlags[index]) {
        mMovedFlags[index] = 1;
        mMoved.push_back(index);
        if (role == ROLE_TRIGGER)
            mMovedTriggers.push_back(index);
    }

    if (role == ROLE_QUIET && mTriggers.empty())
        return;   // nobody to tell
    if (moved) {
        // Its span changed during the pass: against every partner it may have.
        if (role == ROLE_QUIET) {
            mCandidates = mTriggers;
        } else {
            for (int j = 0; j < active; ++j)
                mCandidates.push_back(j);
        }
        return;
    }
    mCandidates.assign(mPairPartners.begin() + mPairStart[index], mPairPartners.begin() + mPairStart[index + 1]);
    // Nodes that moved during the pass, after the spans were taken (a quiet
    // node has only the triggers among them to tell).
    for (int j : role == ROLE_QUIET ? mMovedTriggers : mMoved)
        if (j != index)
            mCandidates.push_back(j);
    // The partners whose overlap may have to end.
    for (const CKEMSceneNode* partner : node->GetOverlaps()) {
        const auto found = std::lower_bound(mOverlapped.begin(), mOverlapped.end(),
                                            std::make_pair(partner, std::numeric_limits<int>::min()));
        if (found != mOverlapped.end() && found->first == partner)
            mCandidates.push_back(found->second);
    }
    std::sort(mCandidates.begin(), mCandidates.end());
    mCandidates.erase(std::unique(mCandidates.begin(), mCandidates.end()), mCandidates.end());
}

void CScenaricMgr::TestOverlap(CKEMSceneNode* a, CKEMSceneNode* b)
{
    const bool aTrigger = a->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
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

// Every managed node meets the awake nodes its volume may touch, in array
// order, as an all-pairs pass would; pairs of quiet nodes (no trigger, no
// overlap handler) are skipped, their events having no one to reach. The
// candidates come from the volumes at the start of the pass; a node moved by
// its own Manage is checked against every partner, and is a partner of every
// later node.
void CScenaricMgr::ManageNodes()
{
    mCandidatesVersion = mLayoutVersion - 1;
    for (int i = 0; i < mCount; ++i) {
        if (mCandidatesVersion != mLayoutVersion)
            BuildOverlapCandidates();
        CKEMSceneNode* a = mNodes[i];
        if (!a || !IsNodeActive(a))
            continue;
        a->Manage();
        a->PostManage();
        if (mCandidatesVersion != mLayoutVersion)
            BuildOverlapCandidates();
        // Its Manage may have moved it in the array, or taken it out.
        const int at = (i < mCount && mNodes[i] == a) ? i : IndexOf(a);
        if (at < 0)
            continue;

        CollectCandidates(at, a);
        const bool aTrigger = a->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
        const bool aListens = mRoles[at] == ROLE_LISTENER;
        for (int j : mCandidates) {
            if (j == at || j >= mActiveCount || j >= mCount)
                continue;
            CKEMSceneNode* b = mNodes[j];
            if (!b || b->HasSleepBit())
                continue;
            const bool bTrigger = b->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
            if (aTrigger ? bTrigger : (!aListens && !bTrigger))
                continue;
            TestOverlap(a, b);
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
    ++mLayoutVersion;

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
