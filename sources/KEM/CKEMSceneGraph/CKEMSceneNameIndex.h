// Nodes by name while a scene file's nodes are linked: each node finds its
// parent in constant time instead of searching the whole tree, which made a
// deep or wide file load in quadratic time. While an index exists, the
// nodes' parent lookups go through it.
#pragma once

#include <string>
#include <unordered_map>

class CKEMSceneNode;

class CKEMSceneNameIndex {
public:
    // Indexes the tree below `root` (pre-order: the first node of a name
    // wins, as in a search from the root) and becomes the current index.
    explicit CKEMSceneNameIndex(CKEMSceneNode* root);
    ~CKEMSceneNameIndex();
    CKEMSceneNameIndex(const CKEMSceneNameIndex&) = delete;
    CKEMSceneNameIndex& operator=(const CKEMSceneNameIndex&) = delete;

    static CKEMSceneNameIndex* Current();
    // The first node of that name below `root` in pre-order, searched node
    // by node (what the index saves); null for none.
    static CKEMSceneNode* SearchTree(CKEMSceneNode* root, const std::string& name);

    // A node named (or renamed) while the index exists; a name already
    // indexed keeps its first node.
    void Add(CKEMSceneNode* node);
    // A node going away.
    void Forget(const CKEMSceneNode* node);
    // The node of that name, null for none or the empty name.
    CKEMSceneNode* Find(const std::string& name);

private:
    std::unordered_map<std::string, CKEMSceneNode*> mByName;
    std::unordered_map<const CKEMSceneNode*, std::string> mNameOf;
    CKEMSceneNode* mRoot;
    CKEMSceneNameIndex* mPrevious;
};
