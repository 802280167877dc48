// Hands the blink effects and the HUD block to the application's start-up,
// frame and shutdown, and to the menu screens.
#include "CHUDMgr.h"
#include "CWindowEffectMgr.h"

#include <CMainApp.h>
#include <MenuServices.h>

namespace {

bool InstallHudAppHooks() {
    CMainAppHooks& hooks = CMainApp::Hooks();
    hooks.createWindowEffects = &CWindowEffectMgr::Create;
    hooks.updateWindowEffects = &CWindowEffectMgr::Update;
    hooks.freeWindowEffects = &CWindowEffectMgr::Free;
    hooks.destroyHud = &CHUDMgr::Destroy;

    // The menus sit below the HUD in the link order, so they reach it here.
    CMenuHudHooks& menus = MenuHudHooks();
    menus.initOverlayStates = &CHUDMgr::InitOverlayStates;
    menus.showLoadingScreen = &CHUDMgr::ShowLoadingScreen;
    menus.startWindowEffect = [](const std::string& window) {
        CWindowEffectMgr::StartEffect(window);
        MarkChosenButton(window, true);
    };
    menus.stopWindowEffect = [](const std::string& window) {
        CWindowEffectMgr::StopEffect(window);
        MarkChosenButton(window, false);
    };
    return true;
}

}  // namespace

// Referenced by the link options of the library so that this file is kept.
extern const bool gHudAppHooksInstalled;
const bool gHudAppHooksInstalled = InstallHudAppHooks();
