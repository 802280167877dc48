#include "CGUIMgrScript.h"

#include "CGUIMgr.h"

#include <lua.hpp>
#include <luabind/luabind.hpp>

namespace {

// Lets a script check that it reached the GUI manager.
bool GUIMgrTest(CGUIMgr&) { return true; }
CGUIMgr* GetGUIMgr() { return &gGUIMgr; }

}  // namespace

void RegisterScriptGUIMgr(lua_State* L)
{
    using namespace luabind;
    module(L, "kem")[
        class_<CGUIMgr>("CGUIMgr")
            .def("TEST", &GUIMgrTest),
        def("getGUIMgr", &GetGUIMgr)
    ];
}
