// The Lua state of one script component. Init opens the libraries, binds the
// engine's script vocabulary and runs the script file once; Call runs one of
// the script's global functions (the Lua side of CKEMSceneNode::VMCall).
// Every call into Lua is protected: a script error is logged with its file
// and line and never reaches the engine.
#pragma once

struct lua_State;
struct CKEMVMArg;
class CKEMScript;
class CKEMSceneNode;

class CScriptVM {
public:
    CScriptVM() = default;
    ~CScriptVM();
    CScriptVM(const CScriptVM&) = delete;
    CScriptVM& operator=(const CScriptVM&) = delete;

    // Stores the owner script, then Init.
    void init(CKEMScript* owner);
    // New state: libraries (base, table, io, string, math, debug; not os nor
    // package), luabind, the module "script", the engine API, the owner
    // node's classes, then the script file. A missing or faulty file is
    // logged and leaves a state with the bindings and no script globals.
    void Init();
    // Closes the state (deferred to the end of the call when it is running).
    void Close();

    // The process-wide current machine, switched by each call into Lua.
    void setCurrent();
    // The current machine; throws CKEMException "Object not created" when none.
    static CScriptVM* getThis();
    static CScriptVM* GetCurrent();

    // The node that owns this machine's script component (null when none).
    CKEMSceneNode* getKEMSceneNode() const;
    CKEMScript* GetOwner() const { return mOwner; }
    lua_State* GetState() const { return mState; }

    // Calls the global function `function` with `args` (result requests are
    // not pushed; at most one, see CKEMVMArg). Makes this machine current.
    // 0 when done or when there is no such function; -1 for a malformed list
    // (`wellFormed` false), a missing state or a Lua error (logged). The Lua
    // stack is left as it was found.
    int Call(const char* function, const CKEMVMArg* args, int count, bool wellFormed);

private:
    struct CallFrame;
    static CallFrame* sTopFrame;   // innermost running call, any machine
    static CScriptVM* sCurrent;

    // RunProtected's result when the machine went during the call (its script
    // removed its own node's script): neither it nor its state may be touched.
    static const int kOrphaned = -1000;
    static bool StateRunning(const lua_State* state);
    // lua_pcall with the message handler at `handler`, keeping the chain of
    // running calls and the current machine; logs an error.
    static int RunProtected(CScriptVM* vm, lua_State* state, int argumentCount, int resultCount,
                            int handler, const char* what, const char* name);

    CKEMScript* mOwner = nullptr;
    lua_State* mState = nullptr;
};

// printf-style formatting into a 1024-character buffer of its own; returns the
// number of characters stored (a longer text is cut), 0 for a null format.
int FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
