// A scene node's script component: the owner node, the script file and the
// script machine holding the Lua state. Attaching it to a node starts the
// state and runs the file once, so that the node can later call the script's
// global functions.
#pragma once

#include <string>

class CKEMSceneNode;
class CScriptVM;

class CKEMScript {
public:
    // The script lives in "..\\..\\mediaDemo\\LUA\\": only the text after the
    // path's last backslash is kept (the whole path when it has none). A path
    // that leaves that folder is refused (see ResolvePath): the component
    // then runs no file.
    explicit CKEMScript(const std::string& path);
    ~CKEMScript();
    CKEMScript(const CKEMScript&) = delete;
    CKEMScript& operator=(const CKEMScript&) = delete;

    // Stores the owner, then creates the Lua state and runs the file.
    // Called by the node's attachScript.
    void SetOwner(CKEMSceneNode* node);
    CKEMSceneNode* getKEMSceneNode() const { return mOwner; }
    std::string GetPath() const { return mPath; }
    CScriptVM* GetVM() const { return mVM; }
    bool IsRefused() const { return mRefused; }

    // The file a script path names inside the media's script folder. Scene
    // files and scripts give these paths: one that climbs out of the folder
    // (a ".." component) or starts elsewhere (a root or a drive), with either
    // slash, is refused: false, and `resolved` is left empty.
    static bool ResolvePath(const std::string& path, std::string& resolved);

    // Plugs the script machine into the scene nodes (script creation, VMCall's
    // Lua side, the "KEMSceneNode" and "KEMSceneObject" classes). Idempotent;
    // the engine's start-up calls it before any scene is loaded, and every
    // script component's constructor makes sure of it.
    static void InstallHooks();

private:
    CKEMSceneNode* mOwner = nullptr;
    CScriptVM* mVM = nullptr;
    std::string mPath;
    bool mRefused = false;
};
