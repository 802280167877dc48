// The class "KEMSceneSound": the sound node's playback, bound after the base
// node's class by the sound kind's RegisterScriptClass.
#include "KEMScriptAPI.h"

#include <CKEMSceneSound.h>

#include <lua.hpp>
#include <luabind/luabind.hpp>

void RegisterScriptSceneSound(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CKEMSceneSound, bases<CKEMSceneNode> >("KEMSceneSound")
            .def("play", &CKEMSceneSound::play)
            .def("stop", &CKEMSceneSound::stop)
            .def("pause", &CKEMSceneSound::pause)
            .def("setResource", &CKEMSceneSound::setResource)
    ];
}
