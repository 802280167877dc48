// Scene nodes for the node-base and scripted-node manager tests: they count
// the life calls they get and place their volumes by hand (no graphic object).
#pragma once

#include <CKEMSceneNode.h>
#include <CScenaricMgr.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ReceivedEvent {
    uint32_t id;
    std::string sender;
    bool operator==(const ReceivedEvent& other) const { return id == other.id && sender == other.sender; }
};

class TestNode : public CKEMSceneNode {
public:
    explicit TestNode(const std::string& name, CKEMSceneNode* parent = nullptr, int classType = KEM_SCENENODE)
        : CKEMSceneNode(parent)
    {
        setName(name);
        SetClassType(classType);
        SetLifeCallback(static_cast<LifeCallback>(&TestNode::Life));
    }
    ~TestNode() override
    {
        if (deleted)
            *deleted = true;
    }

    void FirstManage() override
    {
        ++firstManageCalls;
        CKEMSceneNode::FirstManage();
    }
    void VMCallFirstManageCall() override
    {
        ++firstManageScriptCalls;
        CKEMSceneNode::VMCallFirstManageCall();
    }
    void Term() override
    {
        ++termCalls;
        if (termed)
            ++*termed;
        CKEMSceneNode::Term();
    }
    void RegisterEvents() override
    {
        CKEMSceneNode::RegisterEvents();
        AddScriptEvent(EVENT_OVERLAP_BEGIN, static_cast<EventHandler>(&TestNode::OnOverlap));
        AddScriptEvent(EVENT_OVERLAP_END, static_cast<EventHandler>(&TestNode::OnOverlap));
    }
    int OnEvent(uint32_t id, CKEMSceneNode* other) override
    {
        triggerEvents.push_back({id, other ? other->getName() : ""});
        return 0;
    }

    // A box of edge `size` at `centre`, both as the oriented and the world box.
    void PlaceAt(const Ogre::Vector3& centre, float size = 1.0f)
    {
        GetOrientedBox().SetSize(Ogre::Vector3(size, size, size));
        GetOrientedBox().center = centre;
        GetAxisAlignedBox().min = centre - size * 0.5f;
        GetAxisAlignedBox().max = centre + size * 0.5f;
    }

    int OnOverlap(uint32_t id, CKEMSceneNode* sender, int)
    {
        overlapEvents.push_back({id, sender ? sender->getName() : ""});
        return 0;
    }
    void Life() { lifeFrames.push_back(GetFrameCounter()); }

    int firstManageCalls = 0;
    int firstManageScriptCalls = 0;
    int termCalls = 0;
    std::vector<uint32_t> lifeFrames;   // frame counter at each run of the life body
    std::vector<ReceivedEvent> overlapEvents;
    std::vector<ReceivedEvent> triggerEvents;
    bool* deleted = nullptr;
    int* termed = nullptr;   // outlives the node
};

// A scene root for the duration of a test; deleting it deletes the tree.
class ScopedSceneRoot {
public:
    ScopedSceneRoot()
    {
        mRoot = new CKEMSceneNode(nullptr);
        mRoot->setName("KEM_ROOT");
        CKEMSceneNode::SetSceneRoot(mRoot);
    }
    ~ScopedSceneRoot()
    {
        delete mRoot;
        CKEMSceneNode::SetSceneRoot(nullptr);
        gScenaricMgr.ResetAll();
    }
    CKEMSceneNode* get() const { return mRoot; }

private:
    CKEMSceneNode* mRoot;
};
