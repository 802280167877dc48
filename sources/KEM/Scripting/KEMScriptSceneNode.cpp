// The class "KEMSceneNode": what every node's base RegisterScriptClass binds.
#include "KEMScriptAPI.h"

#include "CKEMScript.h"

#include <CKEMSceneNode.h>
#include <CPhysicObject.h>

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <string>

namespace {

// getName hands back a reference into the node; Lua gets its own copy.
std::string NodeName(const CKEMSceneNode& node) { return node.getName(); }

}  // namespace

void RegisterScriptSceneNode(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CKEMSceneNode>("KEMSceneNode")
            .enum_("constants")[
                value("KEM_SCENEOBJECT_MESH", CKEMSceneNode::KEM_SCENEOBJECT_MESH),
                value("KEM_SCENEOBJECT_SCENE", CKEMSceneNode::KEM_SCENEOBJECT_SCENE),
                value("KEM_SCENE_LIGHT", CKEMSceneNode::KEM_SCENE_LIGHT),
                value("KEM_SCENE_CAMERA", CKEMSceneNode::KEM_SCENE_CAMERA),
                value("KEM_SCENE_PATH", CKEMSceneNode::KEM_SCENE_PATH),
                value("KEM_SCENE_TRIGGER", CKEMSceneNode::KEM_SCENE_TRIGGER)
            ]
            .def("getName", &NodeName)
            .def("setName", &CKEMSceneNode::setName)
            .def("getKEM_NodeType", &CKEMSceneNode::getKEM_NodeType)
            .def("attachChild", &CKEMSceneNode::ScriptAttachChild)
            .def("detachChild", &CKEMSceneNode::ScriptDetachChild)
            .def("getParent", &CKEMSceneNode::getParent)
            .def("setDebugMode", &CKEMSceneNode::setDebugMode)
            .def("getDebugMode", &CKEMSceneNode::getDebugMode)
            .def("setToVisible", &CKEMSceneNode::setToVisible)
            .def("translate", &CKEMSceneNode::translate)
            .def("setPosition", &CKEMSceneNode::setPosition)
            .def("rotate", &CKEMSceneNode::rotate)
            .def("attachScript", &CKEMSceneNode::attachScript)
            .def("removeScript", &CKEMSceneNode::removeScript)
            .def("attachPhysicObject", &CKEMSceneNode::attachPhysicObject)
            .def("removePhysicObject", &CKEMSceneNode::removePhysicObject)
            .def("detachPhysicObject", &CKEMSceneNode::detachPhysicObject)
            .def("getPhysicObject", &CKEMSceneNode::getPhysicObject)
            .def("getKEMScript", &CKEMSceneNode::getKEMScript)
            .def("VMSetLife", &CKEMSceneNode::VMSetLife)
            .def("VMCallFirstManageCall", &CKEMSceneNode::VMCallFirstManageCall)
            .def("VMCallLife", &CKEMSceneNode::VMCallLife)
            .def("VMCallTerm", &CKEMSceneNode::VMCallTerm)
            .def("VMOnEvent", &CKEMSceneNode::VMOnEvent)
            .def("VMLogMessage", &CKEMSceneNode::VMLogMessage)
            .def("VMLogWarning", &CKEMSceneNode::VMLogWarning)
            .def("VMLogError", &CKEMSceneNode::VMLogError)
    ];
}
