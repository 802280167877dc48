// Hands the blink effects and the HUD block to the application's start-up,
// frame and shutdown.
#include "CHUDMgr.h"
#include "CWindowEffectMgr.h"

#include <CMainApp.h>

namespace {

bool InstallHudAppHooks() {
    CMainAppHooks& hooks = CMainApp::Hooks();
    hooks.createWindowEffects = &CWindowEffectMgr::Create;
    hooks.updateWindowEffects = &CWindowEffectMgr::Update;
    hooks.freeWindowEffects = &CWindowEffectMgr::Free;
    hooks.destroyHud = &CHUDMgr::Destroy;
    return true;
}

}  // namespace

// Referenced by the link options of the library so that this file is kept.
extern const bool gHudAppHooksInstalled;
const bool gHudAppHooksInstalled = InstallHudAppHooks();
