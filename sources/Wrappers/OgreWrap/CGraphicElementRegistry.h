// The engine framework's graphic-element registry: which wrapper node carries
// which graphic element, and which light node, physic object or joint part a
// debug node belongs to (picking and debug display lead back through it).
#pragma once

#include <cstdint>
#include <map>
#include <utility>

class CKEMFrameWork;
class CKEMSceneLight;
class CPhysicJoint;
class CPhysicObject;
class CWrapOgreGraphicElement;
class CWrapOgreNode;

class CGraphicElementRegistry {
public:
    // The registry most recently constructed and not yet deleted: the engine
    // framework's, used by the graphics world's picking and the graphic handles.
    static CGraphicElementRegistry* GetCurrent();

    explicit CGraphicElementRegistry(CKEMFrameWork* owner);
    ~CGraphicElementRegistry();
    CGraphicElementRegistry(const CGraphicElementRegistry&) = delete;
    CGraphicElementRegistry& operator=(const CGraphicElementRegistry&) = delete;

    // Registering a key that is already present keeps the first entry.
    void RegisterElement(CWrapOgreGraphicElement* element, CWrapOgreNode* node);
    void UnregisterElement(CWrapOgreGraphicElement* element);
    // Removes the first element entry (in key order) whose node is `node`.
    void UnregisterNode(CWrapOgreNode* node);
    CWrapOgreNode* GetElementNode(CWrapOgreGraphicElement* element) const;

    void RegisterLightNode(CWrapOgreNode* node, CKEMSceneLight* light);
    void UnregisterLightNode(CWrapOgreNode* node);
    CKEMSceneLight* GetLightNode(CWrapOgreNode* node) const;

    void RegisterPhysicNode(CWrapOgreNode* node, CPhysicObject* object);
    void UnregisterPhysicNode(CWrapOgreNode* node);
    CPhysicObject* GetPhysicNode(CWrapOgreNode* node) const;

    // part: 1 or 2.
    void RegisterJointNode(CWrapOgreNode* node, CPhysicJoint* joint, uint16_t part);
    void UnregisterJointNode(CWrapOgreNode* node);
    // False when the node is not registered.
    bool GetJointNode(CWrapOgreNode* node, CPhysicJoint*& joint, uint16_t& part) const;

    CKEMFrameWork* GetOwner() const { return m_owner; }

private:
    CKEMFrameWork* m_owner;
    std::map<CWrapOgreGraphicElement*, CWrapOgreNode*> m_elements;
    std::map<CWrapOgreNode*, CKEMSceneLight*> m_lights;
    std::map<CWrapOgreNode*, CPhysicObject*> m_physics;
    std::map<CWrapOgreNode*, std::pair<CPhysicJoint*, uint16_t>> m_joints;
};
