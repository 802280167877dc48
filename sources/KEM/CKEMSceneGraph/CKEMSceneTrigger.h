// The trigger node (class type 7): an invisible sphere or box volume that
// follows its node. The scripted-node manager reports other nodes entering and
// leaving it; the trigger passes each report to its script as
// "OnEnterTrigger" / "OnLeaveTrigger" with the other node's name.
#pragma once

#include "CKEMSceneNode.h"

#include <OgreVector.h>

#include <cstdint>
#include <string>

class CWrapOgreEntity;

class CKEMSceneTrigger : public CKEMSceneNode {
public:
    enum { GEOMETRY_SPHERE = 0, GEOMETRY_BOX = 1 };

    // The volume's part: its debug mesh and the local box the volume is built from.
    struct Part {
        explicit Part(CKEMSceneTrigger* owner);
        // Removes the debug mesh.
        ~Part();
        Part(const Part&) = delete;
        Part& operator=(const Part&) = delete;

        CKEMSceneTrigger* owner;
        CWrapOgreEntity* debugEntity = nullptr;   // null while hidden
        bool localBoxDirty = true;
        // The unit box the debug meshes are made to, so that the volume is
        // the same whether or not the debug display is on; a shown debug
        // mesh replaces it with its own bounding box.
        Ogre::Vector3 localMin = Ogre::Vector3(-0.5f, -0.5f, -0.5f);
        Ogre::Vector3 localMax = Ogre::Vector3(0.5f, 0.5f, 0.5f);
        std::string debugId;
    };

    // The factory makes triggers of type GEOMETRY_BOX.
    CKEMSceneTrigger(CKEMSceneNode* parent, int geometryType);
    ~CKEMSceneTrigger() override;

    int GetGeometryType() const { return mGeometryType; }
    // A new type is shown at once while the debug display is on.
    void SetGeometryType(int type);

    // The scripted-node manager's overlap pass: enter and leave reach the
    // script with the other node's name; any other id is ignored. Returns 0.
    int OnEvent(uint32_t id, CKEMSceneNode* other) override;

    // Shows or hides the debug mesh and the volume's debug box.
    void setDebugMode(bool debug) override;
    // The volume follows the node's world pose and scale.
    void UpdateBounds(bool scaleChanged, bool orientationChanged, bool recursive) override;
    void PostLoadInit() override;

    const Part& GetPart() const { return *mPart; }

private:
    void createDebugGeometry();
    void destroyDebugGeometry();
    void updateVolume(CKEMBoundingBox& aabb, CKEMOrientedBox& obb, bool recompute, bool axes);

    CKEMVarInt mGeometryTypeVar;
    int32_t mGeometryType = GEOMETRY_BOX;
    Part* mPart = nullptr;
};
