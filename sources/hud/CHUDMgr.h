// The in-match head-up display: the overlay groups the match shows together,
// the throw gauges' shared values, and the phase switches (aiming, zoomed
// view, throw result, loading screen). Each phase hides every overlay, then
// shows its own group and the match layout's windows that go with it.
#pragma once

class COverlayList;

class CHUDMgr {
public:
    // Builds the six groups from the overlays the overlay scripts define (an
    // unknown overlay name adds nothing); earlier groups are released first.
    // Also measures the balance marker.
    static void InitOverlayStates();
    // Releases the groups and hides the overlay holder's current overlay.
    static void Destroy();

    static void ShowLaunchHUD(bool show);
    static void ShowZoomHUD(bool show);
    static void ShowLaunchResultHUD(bool show);
    // Showing renders one frame at once so the screen is up before the long
    // work that follows; hiding hides the loading group only.
    static void ShowLoadingScreen(bool show);

    // The groups; null before InitOverlayStates and after Destroy.
    static COverlayList* sLaunchGroup;        // "overlayLaunchState"
    static COverlayList* sZoomGroup;          // "overlayZoomState"
    static COverlayList* sLaunchResultGroup;  // "overlayLaunchResultState"
    static COverlayList* sPauseGroup;         // "overlayPause"
    static COverlayList* sLoadingGroup;       // "overlayLoadingState"
    static COverlayList* sAwardsGroup;        // "overlayTitleScreenState", empty

    // Throw gauges (relative overlay units).
    static float sPowerMin;
    static float sPowerMax;
    static float sPowerMarkerSpan;
    static float sBalanceInnerSpan;
    static float sBalanceGaugeScale;
    static float sBalanceAreaLeft;
    static float sBalanceMarkerHalfWidth;
    static float sLastBalanceShown;
};
