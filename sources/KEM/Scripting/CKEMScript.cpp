#include "CKEMScript.h"

#include "CScriptVM.h"
#include "KEMScriptAPI.h"

#include <CKEMSceneNode.h>
#include <CKEMSceneObject.h>
#include <CKEMSceneSound.h>

namespace {

const char kScriptFolder[] = "..\\..\\mediaDemo\\LUA\\";

CKEMScript* CreateScript(const std::string& path) { return new CKEMScript(path); }
void DestroyScript(CKEMScript* script) { delete script; }
void SetScriptOwner(CKEMScript* script, CKEMSceneNode* node) { script->SetOwner(node); }
std::string GetScriptPath(CKEMScript* script) { return script->GetPath(); }
bool HasLuaState(CKEMScript* script) { return script->GetVM() && script->GetVM()->GetState(); }

// VMCall's Lua side; the machine logs its errors.
int CallScript(CKEMSceneNode*, CKEMScript* script, const char* function,
               const CKEMVMArg* args, int count, bool wellFormed)
{
    if (!script || !script->GetVM())
        return 0;
    return script->GetVM()->Call(function, args, count, wellFormed);
}

// Linked into a program, the library plugs itself in before main.
const bool gScriptingInstalled = (CKEMScript::InstallHooks(), true);

}  // namespace

CKEMScript::CKEMScript(const std::string& path)
{
    InstallHooks();
    const size_t slash = path.rfind('\\');
    mPath = kScriptFolder + (slash == std::string::npos ? path : path.substr(slash + 1));
    mVM = new CScriptVM();
}

CKEMScript::~CKEMScript()
{
    delete mVM;
    mVM = nullptr;
}

void CKEMScript::SetOwner(CKEMSceneNode* node)
{
    mOwner = node;
    mVM->init(this);
}

void CKEMScript::InstallHooks()
{
    CKEMSceneNodeScriptHooks& hooks = CKEMSceneNode::ScriptHooks();
    hooks.create = CreateScript;
    hooks.destroy = DestroyScript;
    hooks.setOwner = SetScriptOwner;
    hooks.getPath = GetScriptPath;
    hooks.hasLuaState = HasLuaState;
    hooks.call = CallScript;
    hooks.registerNodeClass = RegisterScriptSceneNode;
    CKEMSceneObject::RegisterObjectClassHook() = RegisterScriptSceneObject;
    CKEMSceneSound::RegisterSoundClassHook() = RegisterScriptSceneSound;
}
