// The GUI manager as scripts see it: the class "CGUIMgr" (method "TEST") and
// the function "getGUIMgr" in module "kem". The GUI adds it to the script API
// when it starts.
#pragma once

struct lua_State;

void RegisterScriptGUIMgr(lua_State* state);
