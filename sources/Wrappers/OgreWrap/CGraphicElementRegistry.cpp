#include "CGraphicElementRegistry.h"

namespace {
CGraphicElementRegistry* g_currentRegistry = nullptr;

template <class Map>
typename Map::mapped_type findOrNull(const Map& map, typename Map::key_type key)
{
    auto it = map.find(key);
    return it == map.end() ? typename Map::mapped_type() : it->second;
}
}  // namespace

CGraphicElementRegistry* CGraphicElementRegistry::GetCurrent() { return g_currentRegistry; }

CGraphicElementRegistry::CGraphicElementRegistry(CKEMFrameWork* owner)
    : m_owner(owner)
{
    g_currentRegistry = this;
}

CGraphicElementRegistry::~CGraphicElementRegistry()
{
    if (g_currentRegistry == this)
        g_currentRegistry = nullptr;
}

void CGraphicElementRegistry::RegisterElement(CWrapOgreGraphicElement* element, CWrapOgreNode* node)
{
    m_elements.emplace(element, node);
}

void CGraphicElementRegistry::UnregisterElement(CWrapOgreGraphicElement* element)
{
    m_elements.erase(element);
}

void CGraphicElementRegistry::UnregisterNode(CWrapOgreNode* node)
{
    for (auto it = m_elements.begin(); it != m_elements.end(); ++it) {
        if (it->second == node) {
            m_elements.erase(it);
            return;
        }
    }
}

CWrapOgreNode* CGraphicElementRegistry::GetElementNode(CWrapOgreGraphicElement* element) const
{
    return findOrNull(m_elements, element);
}

void CGraphicElementRegistry::RegisterLightNode(CWrapOgreNode* node, CKEMSceneLight* light)
{
    m_lights.emplace(node, light);
}

void CGraphicElementRegistry::UnregisterLightNode(CWrapOgreNode* node) { m_lights.erase(node); }
CKEMSceneLight* CGraphicElementRegistry::GetLightNode(CWrapOgreNode* node) const { return findOrNull(m_lights, node); }

void CGraphicElementRegistry::RegisterPhysicNode(CWrapOgreNode* node, CPhysicObject* object)
{
    m_physics.emplace(node, object);
}

void CGraphicElementRegistry::UnregisterPhysicNode(CWrapOgreNode* node) { m_physics.erase(node); }
CPhysicObject* CGraphicElementRegistry::GetPhysicNode(CWrapOgreNode* node) const { return findOrNull(m_physics, node); }

void CGraphicElementRegistry::RegisterJointNode(CWrapOgreNode* node, CPhysicJoint* joint, uint16_t part)
{
    m_joints.emplace(node, std::make_pair(joint, part));
}

void CGraphicElementRegistry::UnregisterJointNode(CWrapOgreNode* node) { m_joints.erase(node); }

bool CGraphicElementRegistry::GetJointNode(CWrapOgreNode* node, CPhysicJoint*& joint, uint16_t& part) const
{
    auto it = m_joints.find(node);
    if (it == m_joints.end())
        return false;
    joint = it->second.first;
    part = it->second.second;
    return true;
}
