// The in-match head-up display: the overlay groups the match shows together,
// the throw gauges' shared values, and the phase switches (aiming, zoomed
// view, throw result, loading screen). Each phase hides every overlay, then
// shows its own group and the match layout's windows that go with it.
#pragma once

#include <OgreVector.h>

#include <string>

class CAimGuide;
class COverlayList;
class CHudGameSource;
class CPlayer;
class LaunchSet;
struct CHUDInfoPanel;
struct CHUDPlayerPanel;
struct CHUDRadar;

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

    // ---- match info panel -------------------------------------------------
    // A match: flags, score and next thrower, balls left, team names; a
    // training exercise: its score only.
    static void RefreshMatchInfos(CHUDInfoPanel& panel);
    static void HideMatchInfos();
    static void SetTeamFlag(CHUDInfoPanel& panel, int side);
    static void SetCurrentPlayer(CHUDInfoPanel& panel);
    static void SetCurrentGamerText(const std::string& text);
    static void SetRemainingBalls(int side, CHUDInfoPanel& panel);
    static void SetTeamNames(CHUDInfoPanel& panel);
    static void SetScore(CHUDInfoPanel& panel);

    // ---- radar --------------------------------------------------------------
    static void InitRadarPig(CHUDRadar& radar);
    static void ReleaseRadar(CHUDRadar& radar);
    // Per match and per throw: the orientation is chosen afresh at the next update.
    static void InitRadarBalls(CHUDRadar& radar, CHudGameSource* gameMaster);
    static void UpdateRadarZoomButtons(CHUDRadar& radar, float zoom);
    static void UpdateRadar(CHUDRadar& radar);
    static void HideRadarMarkers(CHUDRadar& radar);
    static void HideRadarAxis(CHUDRadar& radar);
    static void PlaceRadarElement(CHUDRadar& radar, const std::string& name, const Ogre::Vector2& point);
    static void SetRadarElementSize(const std::string& name, const CHUDRadar& radar, float zoom);
    // One aiming-axis segment from world A to world B, drawn over the radar.
    static void ProjectToRadar(CHUDRadar& radar, const Ogre::Vector3& from, const Ogre::Vector3& to,
                               const std::string& material, const std::string& lineName);

    // ---- throw gauges -----------------------------------------------------
    static void UpdateGauges(const LaunchSet& launchSet, const CPlayer& player, const CAimGuide& guide);
    // The names of the thrower's skill bars show while the player panel does.
    static void ShowBarLabels();
    static void SetPowerMarker(float power);
    static void UpdateBalanceGauge(const CPlayer& player, float balance, float halfRange);
    static void SizeBalanceGauge();
    static void UpdatePowerZones(const CAimGuide& guide);
    // The zones from the guide's maximum distance, its graduation distances
    // 0 to 3 with its reachable maximum, and its minimum distance.
    static void LayoutPowerZones(float maxDistance, const float graduations[5], float minDistance);

    // ---- player panel -----------------------------------------------------
    static void InitPlayerPanel(CHUDPlayerPanel& panel, CHudGameSource* gameMaster);
    static void RefreshPlayerPanel(CHUDPlayerPanel& panel);
    static void SetPlayerBalls(CHUDPlayerPanel& panel);
    static void SetTeamPlayersInfos(CHUDPlayerPanel& panel);
    static void SetPlayerPicture(CHUDPlayerPanel& panel);
    static void SetMentalBar(CHUDPlayerPanel& panel);
    static void SetPhysiqueBar(CHUDPlayerPanel& panel);
    static void SetBalanceBar(CHUDPlayerPanel& panel);

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
