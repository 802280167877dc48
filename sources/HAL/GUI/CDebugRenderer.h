// Developer aids drawn with the 3D engine: named line shapes in the world
// (aims, trajectories, bounding boxes), and debug text written to the 3D
// engine's log and, when asked, onto the debug text overlay.
#pragma once

#include <OgreRenderOperation.h>
#include <OgreVector.h>

#include <map>
#include <string>
#include <vector>

namespace Ogre {
class ManualObject;
}

class CWrapOgreNode;
struct CKEMOrientedBox;

class CDebugRenderer {
public:
    CDebugRenderer() = default;
    virtual ~CDebugRenderer();
    CDebugRenderer(const CDebugRenderer&) = delete;
    CDebugRenderer& operator=(const CDebugRenderer&) = delete;

    // Draws the named shape, or redraws it in place: a new name gets its own
    // node in the graphics world and a manual object named after it. An
    // empty point list leaves the shape registered and empty. Nothing (logged)
    // without a graphics world.
    void DrawShape(const std::string& name, const std::vector<Ogre::Vector3>& points,
                   Ogre::RenderOperation::OperationType operationType, const std::string& material);
    // The shape's object and node go; unknown names are ignored.
    void RemoveShape(const std::string& name);
    // The renderer's own object and node go.
    void Release();

    bool HasShape(const std::string& name) const { return mShapes.count(name) != 0; }
    // The shape's manual object, or null.
    Ogre::ManualObject* GetShapeObject(const std::string& name) const;

    // A line list of two points on the global renderer.
    static void AddLine(const std::string& name, const Ogre::Vector3& from, const Ogre::Vector3& to,
                        const std::string& material);
    // The box's twelve edges as one line strip of 16 corners, material
    // "debugMaterialB", on the global renderer.
    static void DrawBox(const CKEMOrientedBox& box, const std::string& name);
    // The 16 corners DrawBox draws, in order.
    static std::vector<Ogre::Vector3> BoxStrip(const CKEMOrientedBox& box);

private:
    struct Shape {
        CWrapOgreNode* node = nullptr;
        Ogre::ManualObject* object = nullptr;
        // Unique OGRE names: they tell whether the node and object still exist
        // (a world or a scene manager may have gone since).
        std::string nodeName;
        std::string objectName;
    };
    bool IsAlive(const Shape& shape) const;
    void Destroy(Shape& shape);

    CWrapOgreNode* mNode = nullptr;
    Ogre::ManualObject* mObject = nullptr;
    std::map<std::string, Shape> mShapes;
};

// The one debug renderer. While it is linked the scene nodes' debug boxes go
// through it.
// Never destroyed: the application object, which goes last at exit, may still
// hold a game mode whose objects remove their shapes as they go.
extern CDebugRenderer& gDebugRenderer;

// Logs the text to the 3D engine's log. With show, and when the overlay
// "Core/DebugOverlay" exists, shows it and puts the text into its element
// "Core/DebugText": replacing the caption, or appended on a new line.
void DebugPrintText(const std::string& text, bool append, bool show);
// Logs "label : value".
void DebugPrintf(const std::string& label, float value, bool append);
