#include "CDebugSelection.h"

#include "CWrapOgreEntity.h"
#include "CWrapOgreNode.h"

namespace {
CDebugSelection::PointMarkerLookup g_pointMarkerLookup = nullptr;
CDebugSelection::PhysicMaterialSetter g_physicMaterialSetter = nullptr;
}

void CDebugSelection::SetPointMarkerLookup(PointMarkerLookup lookup) { g_pointMarkerLookup = lookup; }
void CDebugSelection::SetPhysicMaterialSetter(PhysicMaterialSetter setter) { g_physicMaterialSetter = setter; }

CDebugSelection::CDebugSelection()
{
    SetMode(MODE_NONE);
}

void CDebugSelection::SetMode(int mode)
{
    if (m_mode == MODE_PHYSIC_OBJECT && mode != MODE_PHYSIC_OBJECT)
        SelectPhysicObject(nullptr);
    if (m_mode == MODE_JOINT && mode != MODE_JOINT)
        SelectJoint(nullptr, 0);
    if (m_mode == MODE_PATH_POINT && mode != MODE_PATH_POINT)
        SelectPoint(NO_POINT);
    m_mode = mode;
}

void CDebugSelection::SetPointMaterial(uint32_t pointIndex, const char* material)
{
    if (!m_path || !g_pointMarkerLookup)
        return;
    CWrapOgreNode* marker = g_pointMarkerLookup(m_path, pointIndex);
    if (marker && !marker->getAttachedEntities().empty())
        marker->getAttachedEntities().front()->setMaterialName(material);
}

void CDebugSelection::SelectPoint(uint32_t pointIndex)
{
    if (m_selectedPoint != NO_POINT)
        SetPointMaterial(m_selectedPoint, "debugMaterialA");
    m_selectedPoint = pointIndex;
    if (m_selectedPoint != NO_POINT)
        SetPointMaterial(m_selectedPoint, "debugMaterialSelected");
}

void CDebugSelection::SelectPhysicObject(CPhysicObject* object)
{
    if (m_selectedObject && g_physicMaterialSetter)
        g_physicMaterialSetter(m_selectedObject, "physicObjectMaterial");
    m_selectedObject = object;
    if (m_selectedObject && g_physicMaterialSetter)
        g_physicMaterialSetter(m_selectedObject, "physicObjectMaterialSelected");
}

void CDebugSelection::SelectJoint(CPhysicJoint* joint, uint16_t part)
{
    m_selectedJoint = joint;
    m_selectedJointPart = part;
}

void CDebugSelection::SetPath(CKEMScenePath* path)
{
    m_path = path;
}
