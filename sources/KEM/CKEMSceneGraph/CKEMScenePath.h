// Nodes that mark places in a scene:
// - CKEMScenePath (class type 6): an ordered list of points, offsets from the
//   node's world position (its rotation and scale do not apply), along which
//   a closed uniform Catmull-Rom curve is interpolated; the match camera
//   travels along paths.
// - CKEMScenePoint (class type 9): a bare marker whose content is its transform.
#pragma once

#include "CKEMSceneNode.h"

#include <OgreVector.h>

#include <string>
#include <vector>

namespace Ogre {
class ManualObject;
}

class CWrapOgreEntity;
class CWrapOgreNode;
class CKEMScenePath;

class CKEMScenePath : public CKEMSceneNode {
public:
    // The path's debug display: a line strip through the points and, on
    // request, a marker per point.
    class DebugDraw {
    public:
        DebugDraw(CKEMScenePath* owner);
        ~DebugDraw();
        DebugDraw(const DebugDraw&) = delete;
        DebugDraw& operator=(const DebugDraw&) = delete;

        void buildDebugLines(const std::vector<Ogre::Vector3>& points, bool markers);
        // Removes the strip and every marker.
        void destroyDebug();
        void SetMarkerMaterial(size_t index, const std::string& material);

        Ogre::ManualObject* GetLines() const { return mLines; }
        const std::vector<CWrapOgreNode*>& GetMarkers() const { return mMarkers; }

    private:
        void removeMarkers();

        CKEMScenePath* mOwner;
        Ogre::ManualObject* mLines = nullptr;
        std::vector<CWrapOgreNode*> mMarkers;
    };

    explicit CKEMScenePath(CKEMSceneNode* parent);
    ~CKEMScenePath() override;

    // The point of that index (below GetPointCount), as stored or, with
    // `world`, moved by the node's world position.
    void GetPoint(Ogre::Vector3& out, int index, bool world) const;
    void GetWorldPoint(Ogre::Vector3& out, int index) const;
    // The points taken at the last PostLoadInit.
    int GetPointCount() const { return mPointCount; }
    // Position `step` of `steps` along the closed curve, in the points' offset
    // space; returns the segment index. Step 0 is point 0; steps wrap.
    int GetPositionAt(unsigned steps, unsigned step, Ogre::Vector3& out) const;

    std::vector<Ogre::Vector3>& GetPoints() { return mPoints; }
    const std::vector<Ogre::Vector3>& GetPoints() const { return mPoints; }
    bool IsClosed() const { return mClosed; }
    DebugDraw* GetDebugDraw() const { return mDebugDraw; }

    // Redraws the strip, with markers when on.
    void setDebugMode(bool debug) override;
    // Takes the point count; redraws the strip (no markers) in debug mode.
    void PostLoadInit() override;

private:
    CKEMVarVectorPointRef mPointsVar;
    int32_t mPointCount = 0;
    bool mClosed = true;
    std::vector<Ogre::Vector3> mPoints;
    DebugDraw* mDebugDraw = nullptr;
};

class CKEMScenePoint : public CKEMSceneNode {
public:
    explicit CKEMScenePoint(CKEMSceneNode* parent);
    ~CKEMScenePoint() override;

    // Shows "helper_point.mesh" while on.
    void setDebugMode(bool debug) override;

    CWrapOgreEntity* GetDebugEntity() const { return mDebugEntity; }

private:
    CWrapOgreEntity* mDebugEntity = nullptr;
};
