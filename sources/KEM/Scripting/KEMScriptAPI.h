// The script vocabulary a node's Lua state sees. Each class or kind has its
// own registration function; RegisterScriptAPI runs the engine's, then those
// that later subsystems added with AddScriptAPIRegistration. Node kinds bind
// their own classes from their RegisterScriptClass override, after the base.
#pragma once

struct lua_State;

typedef void (*KEMScriptRegistration)(lua_State* state);

// Module "script": the class "scriptVM" and the function "getThis".
void RegisterScriptModule(lua_State* state);

// Module "kem": every engine registration below, then the added ones.
void RegisterScriptAPI(lua_State* state);

// Adds a registration to RegisterScriptAPI (the GUI manager's "CGUIMgr" and
// "getGUIMgr", for instance). Added once: a second add of the same function
// is ignored. Call it before the states that should see the class start.
void AddScriptAPIRegistration(KEMScriptRegistration registration);

// The engine's registrations, one per class, all in module "kem".
void RegisterScriptString(lua_State* state);        // "String"
void RegisterScriptVector3(lua_State* state);       // "Vector3"
void RegisterScriptRadian(lua_State* state);        // "Radian"
void RegisterScriptQuaternion(lua_State* state);    // "Quaternion"
void RegisterScriptScenaricMgr(lua_State* state);   // "CScenaricMgr", "getScenaricMgr"
void RegisterScriptTimerTool(lua_State* state);     // "TimerTool", "getTimerTool"
void RegisterScriptSceneGraph(lua_State* state);    // "CKEMSceneGraph"
void RegisterScriptPhysicObject(lua_State* state);  // "CPhysicObject"
void RegisterScriptKEMScript(lua_State* state);     // "KEMScript"

// "KEMSceneNode": what the base node's RegisterScriptClass binds.
void RegisterScriptSceneNode(lua_State* state);
// "KEMSceneObject": what the object kind adds after the base.
void RegisterScriptSceneObject(lua_State* state);
// "KEMSceneSound": what the sound kind adds after the base.
void RegisterScriptSceneSound(lua_State* state);
