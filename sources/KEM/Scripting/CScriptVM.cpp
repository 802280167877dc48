#include "CScriptVM.h"

#include "CKEMScript.h"
#include "KEMScriptAPI.h"

#include <CKEMSceneNode.h>
#include <KEMException.h>
#include <Platform.h>

#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <string>

// One running call into Lua. The chain lets a machine deleted by its own
// script (a script removing its node's script) leave its state open until the
// outermost call on that state returns, and lets a nested call give the
// current machine back to the script that made it.
struct CScriptVM::CallFrame {
    CScriptVM* vm;       // null once the machine was deleted or closed meanwhile
    lua_State* state;
    CallFrame* outer;
};

CScriptVM::CallFrame* CScriptVM::sTopFrame = nullptr;
CScriptVM* CScriptVM::sCurrent = nullptr;

namespace {

// Message handler of every protected call: the message with a traceback, so
// the log shows the file and line of each level.
int ErrorHandler(lua_State* L)
{
    const char* message = lua_tostring(L, 1);
    if (!message) {
        if (luaL_callmeta(L, 1, "__tostring") && lua_type(L, -1) == LUA_TSTRING)
            return 1;
        message = lua_pushfstring(L, "(error object is a %s value)", luaL_typename(L, 1));
    }
    luaL_traceback(L, L, message, 1);
    return 1;
}

const char* ErrorText(lua_State* L, int index)
{
    const char* text = lua_tostring(L, index);
    return text ? text : "(no message)";
}

struct CallContext {
    const char* function;
    const CKEMVMArg* args;
    int count;
    bool wellFormed;
    int status;
};

// Runs under lua_pcall: nothing here may raise past it. No C++ object with a
// destructor lives in this frame, so a Lua error unwinding it is harmless.
int ProtectedCall(lua_State* L)
{
    CallContext* ctx = static_cast<CallContext*>(lua_touserdata(L, 1));
    // Raw lookup: a script's metatable on _G cannot raise here.
    lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    lua_pushstring(L, ctx->function);
    lua_rawget(L, -2);
    if (!lua_isfunction(L, -1)) {
        ctx->status = 0;
        return 0;
    }
    if (!ctx->wellFormed) {
        ctx->status = -1;
        return 0;
    }
    int pushed = 0;
    const CKEMVMArg* request = nullptr;
    for (int i = 0; i < ctx->count; ++i) {
        const CKEMVMArg& arg = ctx->args[i];
        switch (arg.type) {
        case KEMVM_INT:
            lua_pushnumber(L, static_cast<lua_Number>(arg.intValue));
            ++pushed;
            break;
        case KEMVM_DOUBLE:
            lua_pushnumber(L, static_cast<lua_Number>(static_cast<float>(arg.doubleValue)));
            ++pushed;
            break;
        case KEMVM_STRING:
            lua_pushstring(L, arg.text ? arg.text : "");
            ++pushed;
            break;
        default:
            request = &arg;
            break;
        }
    }
    lua_call(L, pushed, request ? 1 : 0);
    if (request && request->result) {
        if (request->type == KEMVM_RESULT_INT && lua_type(L, -1) == LUA_TNUMBER) {
            *static_cast<int*>(request->result) = static_cast<int>(lua_tonumber(L, -1));
        } else if (request->type == KEMVM_RESULT_BOOL && lua_type(L, -1) == LUA_TBOOLEAN) {
            *static_cast<int*>(request->result) = lua_toboolean(L, -1) ? 1 : 0;
        }
    }
    ctx->status = 0;
    return 0;
}

// load(chunk [, name [, mode [, env]]]) with text chunks only: a compiled
// chunk can break the machine it runs on.
int LoadText(lua_State* L)
{
    const int top = lua_gettop(L);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushvalue(L, 1);
    if (top >= 2)
        lua_pushvalue(L, 2);
    else
        lua_pushnil(L);
    lua_pushliteral(L, "t");
    int arguments = 3;
    if (top >= 4) {
        lua_pushvalue(L, 4);
        ++arguments;
    }
    lua_call(L, arguments, LUA_MULTRET);
    return lua_gettop(L) - top;
}

// Loads a script of the script folder as a text chunk; on failure leaves nil
// and the message, as loadfile does.
int LoadScriptFile(lua_State* L, const char* name)
{
    std::string resolved;
    if (!CKEMScript::ResolvePath(name, resolved)) {
        lua_pushnil(L);
        lua_pushfstring(L, "%s: outside the script folder", name);
        return 2;
    }
    if (luaL_loadfilex(L, PlatFixPath(resolved).c_str(), "t") != LUA_OK) {
        lua_pushnil(L);
        lua_insert(L, -2);
        return 2;
    }
    return 1;
}

// loadfile(name [, mode [, env]]) inside the script folder.
int LoadFileInFolder(lua_State* L)
{
    const char* name = luaL_checkstring(L, 1);
    const bool withEnv = !lua_isnone(L, 3);
    if (LoadScriptFile(L, name) != 1)
        return 2;
    if (withEnv) {
        lua_pushvalue(L, 3);
        if (!lua_setupvalue(L, -2, 1))
            lua_pop(L, 1);
    }
    return 1;
}

// dofile(name) inside the script folder.
int DoFileInFolder(lua_State* L)
{
    const char* name = luaL_checkstring(L, 1);
    lua_settop(L, 1);
    if (LoadScriptFile(L, name) != 1)
        return lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - 1;
}

void RestrictLoading(lua_State* L)
{
    lua_getglobal(L, "load");
    lua_pushcclosure(L, LoadText, 1);
    lua_pushvalue(L, -1);
    lua_setglobal(L, "load");
    lua_setglobal(L, "loadstring");   // Lua 5.1's name for it
    lua_pushcfunction(L, LoadFileInFolder);
    lua_setglobal(L, "loadfile");
    lua_pushcfunction(L, DoFileInFolder);
    lua_setglobal(L, "dofile");
}

// Opens one standard library as require would, leaving the stack as it was.
void OpenLibrary(lua_State* L, const char* name, lua_CFunction opener)
{
    luaL_requiref(L, name, opener, 1);
    lua_pop(L, 1);
}

}  // namespace

bool CScriptVM::StateRunning(const lua_State* state)
{
    for (const CallFrame* frame = sTopFrame; frame; frame = frame->outer)
        if (frame->state == state)
            return true;
    return false;
}

int CScriptVM::RunProtected(CScriptVM* vm, lua_State* L, int argumentCount, int resultCount,
                            int handler, const char* what, const char* name)
{
    CallFrame frame{vm, L, sTopFrame};
    sTopFrame = &frame;
    sCurrent = vm;
    const int status = lua_pcall(L, argumentCount, resultCount, handler);
    sTopFrame = frame.outer;
    if (status != LUA_OK)
        PlatLog("CScriptVM::%s(%s) => ERROR %s", what, name, ErrorText(L, -1));
    // A nested call hands the current machine back to the script that made it;
    // the outermost call leaves it on this machine.
    if (sTopFrame)
        sCurrent = sTopFrame->vm;
    if (!frame.vm) {
        // The machine went while its script ran (the script removed its own
        // node's script): the last call running on the state closes it.
        if (!StateRunning(L))
            lua_close(L);
        return kOrphaned;
    }
    return status;
}

CScriptVM::~CScriptVM()
{
    Close();
    if (sCurrent == this)
        sCurrent = nullptr;
}

void CScriptVM::init(CKEMScript* owner)
{
    mOwner = owner;
    Init();
}

void CScriptVM::Close()
{
    if (!mState)
        return;
    if (StateRunning(mState)) {
        // Running below us: the outermost call on it closes it.
        for (CallFrame* frame = sTopFrame; frame; frame = frame->outer)
            if (frame->vm == this)
                frame->vm = nullptr;
    } else {
        lua_settop(mState, 0);
        lua_close(mState);
    }
    mState = nullptr;
}

void CScriptVM::Init()
{
    Close();
    const std::string path = mOwner ? mOwner->GetPath() : std::string();
    mState = luaL_newstate();
    if (!mState) {
        PlatLog("CScriptVM::Init(%s) => FAILED no Lua state (out of memory)", path.c_str());
        return;
    }
    lua_State* L = mState;

    // Only what scripts of scene nodes need: no files, programs or
    // introspection (io, os, package and debug stay closed), and loading
    // limited to text from the script folder.
    OpenLibrary(L, "_G", luaopen_base);
    OpenLibrary(L, "table", luaopen_table);
    OpenLibrary(L, "string", luaopen_string);
    OpenLibrary(L, "math", luaopen_math);
    // Lua 5.1's base library carried the coroutine functions.
    OpenLibrary(L, "coroutine", luaopen_coroutine);
    RestrictLoading(L);

    try {
        luabind::open(L);
        RegisterScriptModule(L);
        RegisterScriptAPI(L);
        CKEMSceneNode* node = getKEMSceneNode();
        if (node)
            node->RegisterScriptClass(L);
    } catch (const std::exception& e) {
        PlatLog("CScriptVM::Init(%s) => FAILED binding the script API: %s", path.c_str(), e.what());
    }
    lua_settop(L, 0);

    if (!mOwner || mOwner->IsRefused())
        return;
    lua_pushcfunction(L, ErrorHandler);
    if (luaL_loadfile(L, PlatFixPath(path).c_str()) != LUA_OK) {
        PlatLog("CScriptVM::Init(%s) => FAILED %s", path.c_str(), ErrorText(L, -1));
        lua_settop(L, 0);
        return;
    }
    // The file's top level may already ask for its machine.
    if (RunProtected(this, L, 0, LUA_MULTRET, 1, "Init", path.c_str()) == kOrphaned)
        return;
    lua_settop(L, 0);
}

void CScriptVM::setCurrent()
{
    sCurrent = this;
}

CScriptVM* CScriptVM::getThis()
{
    if (!sCurrent)
        KEM_THROW_SRC("Object not created", "CScriptVM");
    return sCurrent;
}

CScriptVM* CScriptVM::GetCurrent()
{
    return sCurrent;
}

CKEMSceneNode* CScriptVM::getKEMSceneNode() const
{
    return mOwner ? mOwner->getKEMSceneNode() : nullptr;
}

int CScriptVM::Call(const char* function, const CKEMVMArg* args, int count, bool wellFormed)
{
    setCurrent();
    if (!function)
        return 0;
    if (!mState) {
        PlatLog("CScriptVM::Call(%s) => FAILED No LUA state avalaible!", function);
        return -1;
    }
    lua_State* L = mState;
    const int top = lua_gettop(L);
    CallContext ctx{function, args, args ? count : 0, wellFormed, -1};
    lua_pushcfunction(L, ErrorHandler);
    const int handler = lua_gettop(L);
    lua_pushcfunction(L, ProtectedCall);
    lua_pushlightuserdata(L, &ctx);
    const int status = RunProtected(this, L, 1, 0, handler, "Call", function);
    if (status == kOrphaned) {
        // Still open when an outer call runs on it: leave its stack as found.
        if (StateRunning(L))
            lua_settop(L, top);
        return -1;
    }
    lua_settop(L, top);
    if (status != LUA_OK)
        return -1;
    if (!wellFormed && ctx.status == -1)
        PlatLog("CScriptVM::Call(%s) => FAILED malformed argument list", function);
    return ctx.status;
}

int FormatString(const char* format, ...)
{
    static char buffer[1024];
    if (!format)
        return 0;
    va_list args;
    va_start(args, format);
    const int wanted = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (wanted < 0)
        return 0;
    return wanted < static_cast<int>(sizeof(buffer)) ? wanted : static_cast<int>(sizeof(buffer)) - 1;
}
