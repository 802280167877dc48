// The class "KEMSceneObject": the object node's animations, bound after the
// base node's class by the object kind's RegisterScriptClass.
#include "KEMScriptAPI.h"

#include <CKEMSceneObject.h>

#include <lua.hpp>
#include <luabind/luabind.hpp>

void RegisterScriptSceneObject(lua_State* L)
{
    using namespace luabind;
    // luabind hands a node to Lua as its most derived bound class, so an
    // object node reached through getKEMSceneNode is a "KEMSceneObject": the
    // base is declared for it to keep the node's methods.
    module(L, "kem")[
        class_<CKEMSceneObject, bases<CKEMSceneNode> >("KEMSceneObject")
            .def("playAnimBlending", &CKEMSceneObject::playAnimBlending)
            .def("playAnim", &CKEMSceneObject::playAnim)
            .def("pauseAnim", &CKEMSceneObject::pauseAnim)
            .def("stopAnim", &CKEMSceneObject::stopAnim)
            .def("resetAnim", &CKEMSceneObject::resetAnim)
            .def("isAnimOver", &CKEMSceneObject::isAnimOver)
            .def("setLoopAnim", &CKEMSceneObject::setLoopAnim)
            .def("isAnimLooping", &CKEMSceneObject::isAnimLooping)
            .def("getAnimLength", &CKEMSceneObject::getAnimLength)
            .def("setAnimTimePosition", &CKEMSceneObject::setAnimTimePosition)
            .def("getAnimTimePosition", &CKEMSceneObject::getAnimTimePosition)
            .def("getCurrentAnimIndex", &CKEMSceneObject::getCurrentAnimIndex)
            .def("getCurrentAnimName", &CKEMSceneObject::getCurrentAnimName)
    ];
}
