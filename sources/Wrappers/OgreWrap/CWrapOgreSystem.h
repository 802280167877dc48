// The engine's entrance to OGRE: starts the 3D-engine core from a text
// parameter map and publishes it as the current core.
#pragma once

#include <map>
#include <string>

class CWrapOgreCore;
class CWrapOgreWorld;

class CWrapOgreSystem {
public:
    // Keys (each optional): "windowAlreadyCreated" (bool text, false),
    // "renderWindowPtr" (decimal pointer, read only with "windowAlreadyCreated"),
    // "shutdownOgre" (true), "parseDefaultResourceFile" (true),
    // "WindowHandler" (unsigned decimal window id, 0), "WindowName"
    // ("Default Window"). Start-up errors of the core propagate as CKEMException.
    explicit CWrapOgreSystem(const std::map<std::string, std::string>& params);
    ~CWrapOgreSystem();
    CWrapOgreSystem(const CWrapOgreSystem&) = delete;
    CWrapOgreSystem& operator=(const CWrapOgreSystem&) = delete;

    // Shuts the core down and deletes it; a second call does nothing. When it
    // was the current core, there is no current core afterwards.
    void DestroyCore();
    static CWrapOgreWorld* CreateWorld();

    CWrapOgreCore* GetCore() const { return m_core; }

private:
    CWrapOgreCore* m_core = nullptr;
};
