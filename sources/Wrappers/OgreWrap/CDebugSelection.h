// The debug selection highlighter: what the editor-style debug display has
// selected (a path point, a physic object or a joint part) and the materials
// that show it.
#pragma once

#include <cstdint>
#include <string>

class CKEMScenePath;
class CPhysicJoint;
class CPhysicObject;
class CWrapOgreNode;

class CDebugSelection {
public:
    enum Mode { MODE_NONE = 0, MODE_PATH_POINT = 1, MODE_PHYSIC_OBJECT = 2, MODE_JOINT = 3 };
    static constexpr uint32_t NO_POINT = 0xFFFFFFFFu;

    // The path and physics layers supply these: the marker node of a path's
    // point (null when none), and the debug-material setter of a physic object.
    typedef CWrapOgreNode* (*PointMarkerLookup)(CKEMScenePath* path, uint32_t pointIndex);
    typedef void (*PhysicMaterialSetter)(CPhysicObject* object, const std::string& material);
    static void SetPointMarkerLookup(PointMarkerLookup lookup);
    static void SetPhysicMaterialSetter(PhysicMaterialSetter setter);

    CDebugSelection();

    // Leaving a mode drops that mode's selection (and its highlight).
    void SetMode(int mode);
    // The previous point's marker gets "debugMaterialA" back, the new one
    // "debugMaterialSelected"; NO_POINT selects nothing.
    void SelectPoint(uint32_t pointIndex);
    // The previous object gets "physicObjectMaterial" back, the new one
    // "physicObjectMaterialSelected"; null selects nothing.
    void SelectPhysicObject(CPhysicObject* object);
    void SelectJoint(CPhysicJoint* joint, uint16_t part);
    void SetPath(CKEMScenePath* path);

    int GetMode() const { return m_mode; }
    CKEMScenePath* GetPath() const { return m_path; }
    uint32_t GetSelectedPoint() const { return m_selectedPoint; }
    CPhysicObject* GetSelectedPhysicObject() const { return m_selectedObject; }
    CPhysicJoint* GetSelectedJoint() const { return m_selectedJoint; }
    uint16_t GetSelectedJointPart() const { return m_selectedJointPart; }

private:
    void SetPointMaterial(uint32_t pointIndex, const char* material);

    int m_mode = MODE_NONE;
    CKEMScenePath* m_path = nullptr;
    uint32_t m_selectedPoint = NO_POINT;
    CPhysicObject* m_selectedObject = nullptr;
    CPhysicJoint* m_selectedJoint = nullptr;
    uint16_t m_selectedJointPart = 0;
};
