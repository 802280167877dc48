#include "CWrapOgreSystem.h"

#include "CWrapOgreCore.h"
#include "CWrapOgreWorld.h"
#include "KEMException.h"
#include "Platform.h"
#include "StringToBool.h"

#include <OgreStringConverter.h>

#include <cstdint>
#include <cstdlib>

namespace {

const std::string* findParam(const std::map<std::string, std::string>& params, const char* key)
{
    auto it = params.find(key);
    return it == params.end() ? nullptr : &it->second;
}

}  // namespace

CWrapOgreSystem::CWrapOgreSystem(const std::map<std::string, std::string>& params)
{
    bool windowAlreadyCreated = false;
    Ogre::RenderWindow* renderWindowPtr = nullptr;
    bool shutdownOgre = true;
    bool parseDefaultResourceFile = true;
    uintptr_t windowHandle = 0;
    std::string windowName = "Default Window";

    if (const std::string* value = findParam(params, "windowAlreadyCreated")) {
        windowAlreadyCreated = StringToBool(*value);
        // A pointer in decimal: read it at full width, not through an int.
        const std::string* pointer = findParam(params, "renderWindowPtr");
        if (pointer)
            renderWindowPtr = reinterpret_cast<Ogre::RenderWindow*>(
                static_cast<uintptr_t>(std::strtoull(pointer->c_str(), nullptr, 10)));
        else
            PlatLog("CWrapOgreSystem::CWrapOgreSystem() => \"windowAlreadyCreated\" without \"renderWindowPtr\"");
    }
    if (const std::string* value = findParam(params, "shutdownOgre"))
        shutdownOgre = StringToBool(*value);
    if (const std::string* value = findParam(params, "parseDefaultResourceFile"))
        parseDefaultResourceFile = StringToBool(*value);
    if (const std::string* value = findParam(params, "WindowHandler"))
        windowHandle = Ogre::StringConverter::parseSizeT(*value, 0);
    if (const std::string* value = findParam(params, "WindowName"))
        windowName = *value;

    CWrapOgreCore* core = new CWrapOgreCore();
    try {
        core->Start(windowHandle, windowName, windowAlreadyCreated, shutdownOgre, parseDefaultResourceFile,
                    renderWindowPtr);
    } catch (...) {
        delete core;
        throw;
    }
    m_core = core;
    CWrapOgreWorld::SetCore(m_core);
}

CWrapOgreSystem::~CWrapOgreSystem()
{
    try {
        DestroyCore();
    } catch (const CKEMException& e) {
        PlatLog("CWrapOgreSystem::~CWrapOgreSystem() => %s", e.GetReason().c_str());
    }
}

void CWrapOgreSystem::DestroyCore()
{
    if (!m_core)
        return;
    CWrapOgreCore* core = m_core;
    m_core = nullptr;
    // Nothing may reach a deleted core through the current-core pointer.
    if (CWrapOgreWorld::GetCore() == core)
        CWrapOgreWorld::SetCore(nullptr);
    try {
        core->Shutdown();
    } catch (...) {
        delete core;
        throw;
    }
    delete core;
}

CWrapOgreWorld* CWrapOgreSystem::CreateWorld()
{
    return new CWrapOgreWorld();
}
