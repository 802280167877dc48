#include "CKEMScript.h"

#include "CScriptVM.h"
#include "KEMScriptAPI.h"

#include <CKEMSceneNode.h>
#include <CKEMSceneObject.h>
#include <CKEMSceneSound.h>
#include <Platform.h>

namespace {

const char kScriptFolder[] = "..\\..\\mediaDemo\\LUA\\";

// A scene file's script path that leaves the script folder gives its node no
// script at all.
CKEMScript* CreateScript(const std::string& path)
{
    CKEMScript* script = new CKEMScript(path);
    if (script->IsRefused()) {
        delete script;
        return nullptr;
    }
    return script;
}
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

bool CKEMScript::ResolvePath(const std::string& path, std::string& resolved)
{
    resolved.clear();
    const bool rooted = !path.empty() && (path[0] == '/' || path[0] == '\\');
    const bool drive = path.size() >= 2 && path[1] == ':';
    bool climbs = false;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find_first_of("/\\", start);
        const size_t stop = end == std::string::npos ? path.size() : end;
        if (path.compare(start, stop - start, "..") == 0)
            climbs = true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (rooted || drive || climbs)
        return false;
    const size_t slash = path.rfind('\\');
    resolved = kScriptFolder + (slash == std::string::npos ? path : path.substr(slash + 1));
    return true;
}

CKEMScript::CKEMScript(const std::string& path)
{
    InstallHooks();
    if (!ResolvePath(path, mPath)) {
        mRefused = true;
        PlatLog("CKEMScript(%s) => REFUSED: a script path stays inside the script folder %s", path.c_str(),
                kScriptFolder);
    }
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
