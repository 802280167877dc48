#include "CKEMSceneNameIndex.h"

#include "CKEMSceneNode.h"

#include <vector>

namespace {

CKEMSceneNameIndex* gCurrent = nullptr;

}  // namespace

// Pre-order with an explicit stack: a scene file decides the depth.
CKEMSceneNode* CKEMSceneNameIndex::SearchTree(CKEMSceneNode* root, const std::string& name)
{
    if (!root)
        return nullptr;
    std::vector<CKEMSceneNode*> pending{root};
    while (!pending.empty()) {
        CKEMSceneNode* node = pending.back();
        pending.pop_back();
        if (node->getName() == name)
            return node;
        const auto& children = node->GetChildren();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back(*child);
    }
    return nullptr;
}

CKEMSceneNameIndex::CKEMSceneNameIndex(CKEMSceneNode* root) : mRoot(root), mPrevious(gCurrent)
{
    if (root) {
        std::vector<CKEMSceneNode*> pending{root};
        while (!pending.empty()) {
            CKEMSceneNode* node = pending.back();
            pending.pop_back();
            Add(node);
            const auto& children = node->GetChildren();
            for (auto child = children.rbegin(); child != children.rend(); ++child)
                pending.push_back(*child);
        }
    }
    gCurrent = this;
}

CKEMSceneNameIndex::~CKEMSceneNameIndex()
{
    gCurrent = mPrevious;
}

CKEMSceneNameIndex* CKEMSceneNameIndex::Current()
{
    return gCurrent;
}

void CKEMSceneNameIndex::Add(CKEMSceneNode* node)
{
    const std::string& name = node->getName();
    if (name.empty())
        return;
    if (mByName.emplace(name, node).second) {
        // A node renamed again: its old name no longer leads to it.
        auto old = mNameOf.find(node);
        if (old != mNameOf.end() && old->second != name) {
            mByName.erase(old->second);
            old->second = name;
        } else {
            mNameOf.emplace(node, name);
        }
    }
}

void CKEMSceneNameIndex::Forget(const CKEMSceneNode* node)
{
    auto named = mNameOf.find(node);
    if (named == mNameOf.end())
        return;
    auto entry = mByName.find(named->second);
    if (entry != mByName.end() && entry->second == node)
        mByName.erase(entry);
    mNameOf.erase(named);
}

CKEMSceneNode* CKEMSceneNameIndex::Find(const std::string& name)
{
    if (name.empty())
        return nullptr;
    auto entry = mByName.find(name);
    if (entry == mByName.end())
        return nullptr;
    CKEMSceneNode* node = entry->second;
    if (node->getName() == name)
        return node;
    // Renamed since it was indexed without the index hearing of it: search
    // once and remember the answer.
    mByName.erase(entry);
    mNameOf.erase(node);
    CKEMSceneNode* found = SearchTree(mRoot, name);
    if (found)
        Add(found);
    return found;
}
