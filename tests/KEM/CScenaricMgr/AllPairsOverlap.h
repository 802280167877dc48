// The scripted-node manager's frame with its overlap pass done the plain way:
// every managed node against every awake node. The broad phase must send the
// same events as this; the benchmark times both.
#pragma once

#include <CKEMSceneNode.h>
#include <CScenaricMgr.h>
#include <KEMOverlapTests.h>

#include <algorithm>

class AllPairsFrame {
public:
    // skipQuietPairs: leave out the pairs of two non-triggers where the
    // managed one has no overlap handler and no overlap to end, as the
    // registry does.
    explicit AllPairsFrame(CScenaricMgr& registry, bool skipQuietPairs)
        : mRegistry(registry), mSkipQuietPairs(skipQuietPairs) {}

    void Update()
    {
        if (mFirst) {
            mRegistry.FirstManageAll();
            mRegistry.RemoveKilledNodes();
            mRegistry.Compact();
            mFirst = false;
        }
        ManageNodes();
        mRegistry.RemoveKilledNodes();
        if (mRegistry.IsCompactionNeeded())
            mRegistry.Compact();
    }

private:
    static bool Listens(const CKEMSceneNode* node)
    {
        return node->HasOverlaps() || node->FindEventHandler(CKEMSceneNode::EVENT_OVERLAP_BEGIN) >= 0 ||
               node->FindEventHandler(CKEMSceneNode::EVENT_OVERLAP_END) >= 0;
    }

    void ManageNodes()
    {
        for (int i = 0; i < mRegistry.GetCount(); ++i) {
            CKEMSceneNode* a = mRegistry.GetNode(i);
            if (!a || !mRegistry.IsNodeActive(a))
                continue;
            a->Manage();
            a->PostManage();
            const bool aTrigger = a->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
            const bool aListens = Listens(a);
            const int active = std::min(mRegistry.GetActiveCount(), mRegistry.GetCount());
            for (int j = 0; j < active; ++j) {
                CKEMSceneNode* b = mRegistry.GetNode(j);
                if (j == i || !b || b->HasSleepBit())
                    continue;
                const bool bTrigger = b->getKEM_NodeType() == CKEMSceneNode::KEM_SCENE_TRIGGER;
                if (mSkipQuietPairs && !aTrigger && !bTrigger && !aListens)
                    continue;
                if (intersectOBBOBB(a->GetOrientedBox(), b->GetOrientedBox())) {
                    if (aTrigger != bTrigger) {
                        CKEMSceneNode* trigger = aTrigger ? a : b;
                        CKEMSceneNode* other = aTrigger ? b : a;
                        if (!trigger->IsOverlapping(other)) {
                            trigger->OnEvent(CKEMSceneNode::EVENT_TRIGGER_ENTER, other);
                            trigger->AddOverlap(other);
                        }
                    } else if (!aTrigger && !a->IsOverlapping(b)) {
                        a->SendEvent(CKEMSceneNode::EVENT_OVERLAP_BEGIN, b, 0);
                        a->AddOverlap(b);
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
    }

    CScenaricMgr& mRegistry;
    bool mSkipQuietPairs;
    bool mFirst = true;
};
