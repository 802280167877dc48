// The engine API bound into every node's Lua state: the 3D engine's math
// types, the scripted-node registry, the timer, the scene graph switch and the
// script component. Each class has its own registration function.
#include "KEMScriptAPI.h"

#include "CKEMScript.h"
#include "CScriptVM.h"

#include <CKEMSceneGraph.h>
#include <CKEMSceneNode.h>
#include <CPhysicObject.h>
#include <CScenaricMgr.h>
#include <HalTimer.h>

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<KEMScriptRegistration>& AddedRegistrations()
{
    static std::vector<KEMScriptRegistration> registrations;
    return registrations;
}

// Ogre's vector operations live in its vector templates' bases; luabind wants
// members of the bound class itself, so they are forwarded.
float Vec3Length(const Ogre::Vector3& v) { return v.length(); }
float Vec3Normalise(Ogre::Vector3& v) { return v.normalise(); }
Ogre::Vector3 Vec3Cross(const Ogre::Vector3& a, const Ogre::Vector3& b) { return a.crossProduct(b); }
float Vec3Dot(const Ogre::Vector3& a, const Ogre::Vector3& b) { return a.dotProduct(b); }
Ogre::Vector3 Vec3Reflect(const Ogre::Vector3& v, const Ogre::Vector3& normal) { return v.reflect(normal); }
Ogre::Vector3 Vec3Perpendicular(const Ogre::Vector3& v) { return v.perpendicular(); }
Ogre::Quaternion Vec3RotationTo(const Ogre::Vector3& from, const Ogre::Vector3& to) { return from.getRotationTo(to); }
Ogre::Quaternion Vec3RotationToFallback(const Ogre::Vector3& from, const Ogre::Vector3& to,
                                        const Ogre::Vector3& fallbackAxis)
{
    return from.getRotationTo(to, fallbackAxis);
}

CTimerTool* GetTimerTool() { return &gTimer; }
CScenaricMgr* GetScenaricMgr() { return &gScenaricMgr; }

// The scene graph is all static; scripts get no instance of it (no accessor
// is bound), the methods forward to the one scene graph.
void SceneGraphSetDebugMode(CKEMSceneGraph&, bool debug) { CKEMSceneGraph::SetDebugMode(debug); }
bool SceneGraphGetDebugMode(const CKEMSceneGraph&) { return CKEMSceneGraph::getDebugMode(); }

// The same node, three ways: luabind hands Lua the node as its most derived
// bound class, so an object or sound node comes with its kind's methods.
CKEMSceneNode* VMSceneNode(const CScriptVM& vm) { return vm.getKEMSceneNode(); }

}  // namespace

void AddScriptAPIRegistration(KEMScriptRegistration registration)
{
    std::vector<KEMScriptRegistration>& list = AddedRegistrations();
    if (registration && std::find(list.begin(), list.end(), registration) == list.end())
        list.push_back(registration);
}

void RegisterScriptModule(lua_State* L)
{
    using namespace luabind;
    module(L, "script")[
        class_<CScriptVM>("scriptVM")
            .def("getKEMSceneNode", &VMSceneNode)
            .def("getKEMSceneObject", &VMSceneNode)
            .def("getKEMSceneSound", &VMSceneNode),
        def("getThis", &CScriptVM::getThis)
    ];
}

void RegisterScriptString(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[class_<std::string>("String")];
}

void RegisterScriptVector3(lua_State* L)
{
    using namespace luabind;
    typedef float Ogre::Vector3::*Field;
    module(L, "kem")[
        class_<Ogre::Vector3>("Vector3")
            .def(constructor<float, float, float>())
            .def(constructor<float>())
            .def(constructor<const Ogre::Vector3&>())
            .def_readwrite("x", static_cast<Field>(&Ogre::Vector3::x))
            .def_readwrite("y", static_cast<Field>(&Ogre::Vector3::y))
            .def_readwrite("z", static_cast<Field>(&Ogre::Vector3::z))
            .def("length", &Vec3Length)
            .def("normalise", &Vec3Normalise)
            .def("crossProduct", &Vec3Cross)
            .def("dotProduct", &Vec3Dot)
            .def("reflect", &Vec3Reflect)
            .def("perpendicular", &Vec3Perpendicular)
            .def("getRotationTo", &Vec3RotationTo)
            .def("getRotationTo", &Vec3RotationToFallback)
    ];
}

void RegisterScriptRadian(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<Ogre::Radian>("Radian")
            .def(constructor<float>())
    ];
}

void RegisterScriptQuaternion(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<Ogre::Quaternion>("Quaternion")
            .def(constructor<float, float, float, float>())
            .def(constructor<const Ogre::Radian&, const Ogre::Vector3&>())
            .def(constructor<const Ogre::Quaternion&>())
            .def_readwrite("x", &Ogre::Quaternion::x)
            .def_readwrite("y", &Ogre::Quaternion::y)
            .def_readwrite("z", &Ogre::Quaternion::z)
            .def_readwrite("w", &Ogre::Quaternion::w)
    ];
}

void RegisterScriptScenaricMgr(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CScenaricMgr>("CScenaricMgr")
            .def("getObjectByName", &CScenaricMgr::getObjectByName),
        def("getScenaricMgr", &GetScenaricMgr)
    ];
}

void RegisterScriptTimerTool(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        def("getTimerTool", &GetTimerTool),
        class_<CTimerTool>("TimerTool")
            .def("getFDeltaMs", &CTimerTool::getFDeltaMs)
            .def("getTimeMs", &CTimerTool::getTimeMs)
    ];
}

void RegisterScriptSceneGraph(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CKEMSceneGraph>("CKEMSceneGraph")
            .def("setDebugMode", &SceneGraphSetDebugMode)
            .def("getDebugMode", &SceneGraphGetDebugMode)
    ];
}

void RegisterScriptPhysicObject(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CPhysicObject>("CPhysicObject")
            .enum_("constants")[
                value("STATIC_ACTOR", CPhysicObject::STATIC_ACTOR),
                value("MOVABLE_ACTOR", CPhysicObject::MOVABLE_ACTOR)
            ]
            .def("setLinearVelocity", &CPhysicObject::setLinearVelocity)
            .def("getLinearVelocity", &CPhysicObject::getLinearVelocity)
            .def("setAngularVelocity", &CPhysicObject::setAngularVelocity)
            .def("getAngularVelocity", &CPhysicObject::getAngularVelocity)
            .def("addForce", &CPhysicObject::addForce)
            .def("addTorque", &CPhysicObject::addTorque)
    ];
}

void RegisterScriptKEMScript(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CKEMScript>("KEMScript")
            .def("getKEMSceneNode", &CKEMScript::getKEMSceneNode)
    ];
}

void RegisterScriptAPI(lua_State* L)
{
    RegisterScriptString(L);
    RegisterScriptVector3(L);
    RegisterScriptRadian(L);
    RegisterScriptQuaternion(L);
    RegisterScriptScenaricMgr(L);
    RegisterScriptTimerTool(L);
    RegisterScriptSceneGraph(L);
    RegisterScriptPhysicObject(L);
    RegisterScriptKEMScript(L);
    for (KEMScriptRegistration registration : AddedRegistrations())
        registration(L);
}
