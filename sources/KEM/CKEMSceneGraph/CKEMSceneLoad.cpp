// Scene-file nodes: the node factory and the two node passes.
#include "CKEMSceneCamera.h"
#include "CKEMSceneCollisionMesh.h"
#include "CKEMSceneGraph.h"
#include "CKEMSceneLight.h"
#include "CKEMSceneNameIndex.h"
#include "CKEMSceneNode.h"
#include "CKEMSceneObject.h"
#include "CKEMScenePath.h"
#include "CKEMSceneTrigger.h"
#include "CKEMSceneSound.h"
#include "KEMSceneLog.h"

#include <CMarkup.h>
#include <KEMException.h>
#include <Platform.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <utility>
#include <vector>

namespace {

const char* const kNodeList = "KEM_SCENE_NODE_VARLIST";

bool IsInSubtree(const CKEMSceneNode* node, const CKEMSceneNode* top) {
    if (top->GetChildren().empty())
        return node == top;
    for (; node; node = node->getParent())
        if (node == top)
            return true;
    return false;
}

// Deepest first, each unlinked from its parent before it goes: a node never
// goes twice (with an ancestor, then on its own) and no parent keeps a
// pointer to it.
void DeleteNodes(const std::vector<CKEMSceneNode*>& nodes) {
    std::vector<std::pair<size_t, CKEMSceneNode*>> byDepth;
    byDepth.reserve(nodes.size());
    for (CKEMSceneNode* node : nodes) {
        size_t depth = 0;
        for (CKEMSceneNode* up = node->getParent(); up; up = up->getParent())
            ++depth;
        byDepth.emplace_back(depth, node);
    }
    std::stable_sort(byDepth.begin(), byDepth.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& entry : byDepth) {
        CKEMSceneNode* node = entry.second;
        if (CKEMSceneNode* parent = node->getParent())
            parent->detachChild(node);
        delete node;
    }
}

// Pass 1: one node per record with a class type, in file order; null where a
// record makes none (its record is passed over in pass 2).
void CreateNodes(const char* text, std::vector<CKEMSceneNode*>& records) {
    CMarkup markup(text);
    markup.FindElem("ROOT");
    markup.IntoElem();
    while (markup.FindElem(kNodeList)) {
        markup.IntoElem();
        CKEMSceneNode* node = nullptr;
        if (markup.FindElem("CKEMSCENENODE_CLASSTYPE")) {
            const int classType = std::atoi(markup.GetAttrib("value").GetBuffer());
            node = CKEMSceneGraph::CreateNodeByType(classType, nullptr, "");
        } else {
            PlatLog("CKEMSceneGraph::LoadNodes: a node record without class type is skipped");
        }
        records.push_back(node);
        markup.OutOfElem();
    }
}

// Pass 2: every node reads its record and is initialised. False at the first
// record that cannot be read.
bool ReadNodes(const char* text, const char* prefix, const std::vector<CKEMSceneNode*>& records) {
    CMarkup markup(text);
    markup.FindElem("ROOT");
    markup.IntoElem();
    for (size_t i = 0; i < records.size(); ++i) {
        CKEMSceneNode* node = records[i];
        if (!node) {
            markup.FindElem(kNodeList);
            continue;
        }
        if (!node->LoadFromXml(markup, kNodeList)) {
            const std::string attribute = KEMSceneLog::UnreadableAttribute(*node, text, kNodeList, i);
            KEMSceneLog::Value(node->getName(), attribute.empty() ? kNodeList : attribute.c_str(),
                               "node record %u cannot be read; the scene is not loaded", unsigned(i + 1));
            return false;
        }
        if (prefix && *prefix) {
            const std::string parent = node->GetParentName();
            node->SetNames(prefix + node->getName(), parent == "KEM_ROOT" ? parent : prefix + parent);
        }
        node->PostLoadInit();
    }
    return true;
}

// A node read before its parent found no parent of that name yet: it goes
// under it now, its initial conditions then taken relative to it as for a
// node listed after its parent.
void LinkLateChildren(const std::vector<CKEMSceneNode*>& nodes, CKEMSceneNameIndex& names) {
    for (CKEMSceneNode* node : nodes) {
        const std::string& parentName = node->GetParentName();
        if (parentName.empty() || (node->getParent() && node->getParent()->getName() == parentName))
            continue;
        CKEMSceneNode* parent = names.Find(parentName);
        if (!parent || parent == node->getParent())
            continue;
        if (IsInSubtree(parent, node)) {
            PlatLog("CKEMSceneGraph::LoadNodes: \"%s\" cannot hang under \"%s\"", node->getName().c_str(),
                    parentName.c_str());
            continue;
        }
        node->SetParent(parent);
        node->ApplyInitialConditions();
    }
}

}  // namespace

CKEMSceneNode* CKEMSceneGraph::CreateNodeByType(int classType, CKEMSceneNode* parent, const std::string& resource) {
    switch (classType) {
    case CKEMSceneNode::KEM_SCENENODE:
        return new CKEMSceneNode(parent);
    case CKEMSceneNode::KEM_SCENEOBJECT_MESH:
    case CKEMSceneNode::KEM_SCENEOBJECT_SCENE:
    case CKEMSceneNode::KEM_SCENEOBJECT_OSM:
        return new CKEMSceneObject(resource, "", parent);
    case CKEMSceneNode::KEM_SCENE_LIGHT:
        return new CKEMSceneLight(parent);
    case CKEMSceneNode::KEM_SCENE_CAMERA:
        return new CKEMSceneCamera(parent);
    case CKEMSceneNode::KEM_SCENE_PATH:
        return new CKEMScenePath(parent);
    case CKEMSceneNode::KEM_SCENE_TRIGGER:
        return new CKEMSceneTrigger(parent, CKEMSceneTrigger::GEOMETRY_BOX);
    case CKEMSceneNode::KEM_SCENE_COLLISIONMESH:
        return new CKEMSceneCollisionMesh(parent, resource);
    case CKEMSceneNode::KEM_SCENE_POINT:
        return new CKEMScenePoint(parent);
    case CKEMSceneNode::KEM_SCENE_SOUND:
        return new CKEMSceneSound(parent);
    default:
        break;
    }
    if (Hooks().createNode) {
        if (CKEMSceneNode* node = Hooks().createNode(classType, parent, resource))
            return node;
    }
    PlatLog("CKEMSceneGraph::CreateNodeByType: no node of class type %d", classType);
    return nullptr;
}

bool CKEMSceneGraph::LoadNodes(const char* text, const char* prefix) {
    {
        CMarkup markup(text);
        if (!markup.FindElem("ROOT")) {
            PlatLog("CKEMSceneGraph::LoadNodes: no ROOT element");
            return false;
        }
    }

    std::vector<CKEMSceneNode*> records;
    std::vector<CKEMSceneNode*> nodes;
    bool loaded = false;
    try {
        CreateNodes(text, records);
        for (CKEMSceneNode* node : records)
            if (node)
                nodes.push_back(node);
        // Parents by name in constant time while the nodes are linked.
        CKEMSceneNameIndex names(CKEMSceneGraph::GetRootNode());
        if (ReadNodes(text, prefix, records)) {
            LinkLateChildren(nodes, names);
            loaded = true;
        }
    } catch (const CKEMException& e) {
        PlatLog("CKEMSceneGraph::LoadNodes: %s (%s)", e.GetReason().c_str(), e.GetSource().c_str());
    } catch (const std::exception& e) {
        PlatLog("CKEMSceneGraph::LoadNodes: %s", e.what());
    }
    if (loaded)
        return true;
    // A throw in pass 1 leaves the nodes made so far in `records` only.
    if (nodes.empty())
        for (CKEMSceneNode* node : records)
            if (node)
                nodes.push_back(node);
    DeleteNodes(nodes);
    return false;
}
