#include "CHUDMgr.h"
#include "HudOverlayElements.h"
#include "CHUDPanels.h"
#include "CHudGameSource.h"
#include "CWindowEffectMgr.h"
#include "HudTextFit.h"

#include <CAimGuide.h>
#include <CGUIMgr.h>
#include <CLangDB.h>
#include <CNetMgr.h>
#include <CaracDB.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <LaunchSet.h>
#include <Platform.h>
#include <Team.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/FontManager.h>
#include <CEGUI/Window.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <algorithm>

namespace {

const char* const kPlayerLines[3] = {"infosP1", "infosP2", "infosP3"};
const float kBarFullWidth = 0.0675f;
// The players' lines: the other players' alpha (the blink's low point) and
// the width of a line's rounded end caps, which the text must not run over.
const float kOtherLineAlpha = 0.5f;
// The narrowest span the balance gauge's "left" and "right" share.
const float kBalanceLabelSpan = 0.13f;
// The skill bars' left edge in the player panel, right of their names.
const float kBarLeft = 0.18f;
// The skill bars' names, shown with the player panel.
const char* const kBarLabels[3][2] = {
    {"TextBarPhysique", "BAR_PHYSIQUE"}, {"TextBarMental", "BAR_MENTAL"}, {"TextBarBalance", "BAR_BALANCE"}};
const float kLineCapWidth = 12.0f;
const char kThrowerTextColour[] = "FFFFD24A";

void SetElementPosition(const char* name, float left, float top) {
    if (Ogre::OverlayElement* element = FindHudElement(name))
        element->setPosition(left, top);
}

bool PlayerPanelShown() {
    Ogre::OverlayManager* manager = Ogre::OverlayManager::getSingletonPtr();
    Ogre::Overlay* overlay = manager ? manager->getByName("HUD/Hud_player_infos") : nullptr;
    return overlay && overlay->isVisible();
}

const ThrowProfile* CurrentProfile(const CPlayer& player) { return player.GetProfile(player.mThrowMode); }

// Balance with the stress malus, kept at 0 or above.
int32_t BalanceOf(const CPlayer& player) {
    return CurrentProfile(player) ? std::max(0, player.GetBalanceWithStress(player.mThrowMode)) : 0;
}

void SetBar(const char* name, float value, float full, const Ogre::ColourValue& colour) {
    Ogre::OverlayElement* bar = FindHudElement(name);
    if (!bar)
        return;
    const float width = std::max(0.0f, value) / full * kBarFullWidth;
    bar->setWidth(width);
    // Under a third of the bar the skill shows red.
    SetOverlayTint(name, width < kBarFullWidth / 3 ? Ogre::ColourValue(1.0f, 0.01f, 0.0f, 1.0f) : colour, 1.0f);
}

}  // namespace

// ---- gauges -------------------------------------------------------------

void CHUDMgr::ShowBarLabels() {
    const bool shown = PlayerPanelShown();
    for (const auto& label : kBarLabels) {
        CEGUI::Window* window = gGUIMgr.GetWindow(label[0]);
        if (!window || window->isVisible() == shown)
            continue;
        if (shown)
            window->setText(GetText(label[1]));
        window->setVisible(shown);
    }
}

void CHUDMgr::UpdateGauges(const LaunchSet& launchSet, const CPlayer& player, const CAimGuide& guide) {
    ShowBarLabels();
    sPowerMin = 0.0f;
    sPowerMax = guide.mAxisMax;
    SetPowerMarker(launchSet.mPower);
    UpdateBalanceGauge(player, launchSet.mBalance, 5.0f);
    UpdatePowerZones(guide);
}

void CHUDMgr::SetPowerMarker(float power) {
    float t = 0.0f;
    if (power > 0.0f && sPowerMax > sPowerMin)
        t = (power - sPowerMin) / (sPowerMax - sPowerMin);
    if (Ogre::OverlayElement* marker = FindHudElement("Hud_boule_puissance"))
        marker->setTop(sPowerMarkerSpan * (1.0f - t));
}

void CHUDMgr::UpdateBalanceGauge(const CPlayer& player, float balance, float halfRange) {
    const float b = static_cast<float>(BalanceOf(player)) / 10.0f;
    if (b != sLastBalanceShown) {
        sLastBalanceShown = b;
        SizeBalanceGauge();
    }
    if (halfRange <= 0.0f)
        return;
    const float s = sBalanceInnerSpan;
    if (Ogre::OverlayElement* marker = FindHudElement("Hud_boule_equilibre"))
        marker->setLeft(s - (s + sBalanceMarkerHalfWidth) * (balance + halfRange) / (2.0f * halfRange));
}

void CHUDMgr::SizeBalanceGauge() {
    const float width = sBalanceGaugeScale * sLastBalanceShown;
    sBalanceInnerSpan = width - sBalanceMarkerHalfWidth;
    if (Ogre::OverlayElement* gauge = FindHudElement("Hud_jauge_equilibre")) {
        gauge->setWidth(width);
        gauge->setLeft(sBalanceAreaLeft + (sBalanceGaugeScale - width) / 2.0f);
    }
    // "Left" and "right" above the gauge's two ends; a narrow gauge keeps
    // room for both words.
    const float span = std::min(sBalanceGaugeScale, std::max(width, kBalanceLabelSpan));
    const float left = sBalanceAreaLeft + (sBalanceGaugeScale - span) / 2.0f;
    const struct {
        const char* name;
        float x0, x1;
    } labels[] = {{"TextLeft", left, left + span / 2.0f}, {"TextRight", left + span / 2.0f, left + span}};
    for (const auto& label : labels)
        if (CEGUI::Window* window = gGUIMgr.GetWindow(label.name)) {
            const CEGUI::URect area = window->getArea();
            window->setArea(CEGUI::URect(CEGUI::UDim(label.x0, 0.0f), area.d_min.d_y, CEGUI::UDim(label.x1, 0.0f),
                                         area.d_max.d_y));
        }
}

void CHUDMgr::UpdatePowerZones(const CAimGuide& guide) {
    const float graduations[5] = {guide.GetGraduationDistance0(), guide.GetGraduationDistance1(),
                                  guide.GetGraduationDistance2(), guide.GetGraduationDistance3(),
                                  guide.GetMaxDistance()};
    LayoutPowerZones(guide.mAxisMax, graduations, guide.mAxisMin);
}

void CHUDMgr::LayoutPowerZones(float maxDistance, const float graduations[5], float minDistance) {
    const float D = maxDistance;
    Ogre::OverlayElement* gauge = FindHudElement("Hud_jauge_puissance");
    if (!gauge || D <= 0.0f)
        return;
    // Each boundary at most the one above it: a graduation beyond the reach
    // (a weak thrower's) leaves its band empty instead of giving it a
    // negative height that draws the zones over each other.
    float g[5];
    float above = D;
    for (int i = 4; i >= 0; --i)
        above = g[i] = std::min(graduations[i], above);
    const float gmin = std::min(minDistance, above);
    const float H = gauge->getHeight();
    const float scale = (H - 0.046f) / D;
    // From the top down: beyond the reachable maximum, then the bands down to
    // the minimum distance; the last zone takes the rest.
    const float heights[6] = {(D - g[4]) * scale, (g[4] - g[3]) * scale, (g[3] - g[2]) * scale,
                              (g[2] - g[1]) * scale, (g[1] - g[0]) * scale, (g[0] - gmin) * scale};
    float top = 0.023f;
    for (int zone = 0; zone < 7; ++zone) {
        char name[16];
        PlatFormat(name, sizeof(name), "zone_%d", zone);
        const float height = zone < 6 ? heights[zone] : H - top;
        if (Ogre::OverlayElement* element = FindHudElement(name)) {
            element->setPosition(0.0f, top);
            element->setDimensions(gauge->getWidth(), height);
        }
        top += height;
    }
}

// ---- player panel -------------------------------------------------------

std::string PlayerHeadMaterial(const CPlayer& player) {
    char name[64];
    PlatFormat(name, sizeof(name), "HUD/Head_%s_%s_%02d", CPlayer::GetBodyCode(player.mBodyCode),
               CPlayer::GetSkinCode(player.mSkinCode), static_cast<int>(player.mModelNumber));
    return name;
}

void CHUDMgr::InitPlayerPanel(CHUDPlayerPanel& panel, CHudGameSource* gameMaster) {
    panel.mGameMaster = gameMaster;
    panel.mLastPlayer = nullptr;
    SetElementPosition("Hud_boule1", 0.1f, 0.25f);
    SetElementPosition("Hud_boule2", 0.13f, 0.25f);
    SetElementPosition("Hud_boule3", 0.16f, 0.25f);
    SetElementPosition("Hud_playerType", 0.0f, 0.12f);
    SetElementPosition("Hud_physique", kBarLeft, 0.145f);
    SetElementPosition("Hud_mental", kBarLeft, 0.185f);
    SetElementPosition("Hud_balance", kBarLeft, 0.225f);
    for (const char* line : kPlayerLines)
        if (CEGUI::Window* window = gGUIMgr.GetWindow(line))
            window->setText("");
    panel.mLastPlayer = nullptr;
    panel.mLastThrowMode = 1;
    HideOverlayElement("Hud_boule1");
    HideOverlayElement("Hud_boule2");
    HideOverlayElement("Hud_boule3");
    SetTeamPlayersInfos(panel);
}

void CHUDMgr::RefreshPlayerPanel(CHUDPlayerPanel& panel) {
    CPlayer* player = panel.mGameMaster ? panel.mGameMaster->GetCurrentPlayer() : nullptr;
    if (!player)
        return;
    SetPlayerBalls(panel);
    // Once the panel was hidden (the result's view), the lines are written
    // again when it shows: the turn may have passed meanwhile, and showing
    // the launch view brings back all three lines.
    const bool shown = PlayerPanelShown();
    if (!shown)
        panel.mLinesWritten = false;
    if (player != panel.mLastPlayer || (shown && !panel.mLinesWritten)) {
        panel.mLastPlayer = player;
        panel.mLastThrowMode = player->mThrowMode;
        SetTeamPlayersInfos(panel);
    } else if (player->mThrowMode != panel.mLastThrowMode) {
        panel.mLastThrowMode = player->mThrowMode;
        SetBalanceBar(panel);
        SetPlayerPicture(panel);
        SetMentalBar(panel);
        SetPhysiqueBar(panel);
    }
    const LaunchSet* launch = panel.mGameMaster->GetLaunchSet();
    if (launch && (launch->mStep == 4 || launch->mStep == 5)) {
        SetPlayerPicture(panel);
        SetMentalBar(panel);
        SetPhysiqueBar(panel);
        SetBalanceBar(panel);
    }
}

void CHUDMgr::SetPlayerBalls(CHUDPlayerPanel& panel) {
    const CPlayer* player = panel.mGameMaster ? panel.mGameMaster->GetCurrentPlayer() : nullptr;
    if (!player)
        return;
    const int32_t balls = player->mBallsLeft >= 1 && player->mBallsLeft <= 3 ? player->mBallsLeft : 0;
    const char* names[3] = {"Hud_boule1", "Hud_boule2", "Hud_boule3"};
    for (int k = 0; k < 3; ++k) {
        if (k < balls)
            ShowOverlayElement(names[k]);
        else
            HideOverlayElement(names[k]);
    }
}

void CHUDMgr::SetTeamPlayersInfos(CHUDPlayerPanel& panel) {
    CEGUI::Window* lines[3];
    for (int i = 0; i < 3; ++i) {
        lines[i] = gGUIMgr.GetWindow(kPlayerLines[i]);
        if (lines[i])
            lines[i]->setEnabled(true);
    }
    Ogre::OverlayManager* manager = Ogre::OverlayManager::getSingletonPtr();
    Ogre::Overlay* overlay = manager ? manager->getByName("HUD/Hud_player_infos") : nullptr;
    CHudGameSource* gm = panel.mGameMaster;
    panel.mLinesWritten = overlay && overlay->isVisible();
    if (!panel.mLinesWritten) {
        for (CEGUI::Window* line : lines)
            if (line)
                line->hide();
    } else {
        for (const char* line : kPlayerLines)
            CWindowEffectMgr::StopEffect(line);
        // Between menes no side has the turn (-1): there is no team to show.
        const int32_t side = gm && gm->HasMatchState() ? gm->GetSideToPlay() : -1;
        const Team* team = side == 0 || side == 1 ? gm->GetTeam(side) : nullptr;
        const size_t count = team ? std::min<size_t>(team->mPlayers.size(), 3) : 0;
        // A side of fewer players offers no empty lines; a trainee has no one
        // to choose from.
        const bool match = gm && gm->GetKind() == CHudGameSource::KIND_MATCH;
        for (size_t i = 0; i < 3; ++i)
            if (lines[i])
                lines[i]->setVisible(match && i < count);
        if (team) {
            for (size_t i = 0; i < count; ++i) {
                const CPlayer* player = team->mPlayers[i];
                CEGUI::Window* line = lines[i];
                if (!player || !line)
                    continue;
                const char* role = player->mRole == CPlayer::ROLE_SHOOTER   ? "SHOOTER"
                                   : player->mRole == CPlayer::ROLE_POINTER ? "POINTER"
                                                                            : "MIDDLE";
                line->setText(player->GetName() + " - " + GetText(role));
                // The thrower's line blinks down to half transparency: the
                // others stand at that low point, so the thrower never reads
                // fainter than they do. A player without balls keeps the
                // others' size, greyed as a disabled line.
                line->setAlpha(kOtherLineAlpha);
                const bool thrower = player->mBallsLeft > 0 && player == panel.mLastPlayer;
                // The thrower's words in gold, also on the computer's turn
                // (when every line is disabled).
                for (const char* colour : {"NormalTextColour", "HoverTextColour", "PushedTextColour"})
                    if (line->isPropertyPresent(colour))
                        line->setProperty(colour, thrower ? kThrowerTextColour : "FFFFFFFF");
                // A disabled line (no balls left, the computer's turn) in a
                // light grey that stays readable at the others' alpha.
                if (line->isPropertyPresent("DisabledTextColour"))
                    line->setProperty("DisabledTextColour", thrower ? kThrowerTextColour : "FFC8C8C8");
                if (thrower) {
                    line->setAlpha(1.0f);
                    FitWindowFont(line, "lucida-10", kLineCapWidth);
                    CWindowEffectMgr::StartEffect(kPlayerLines[i]);
                } else {
                    FitWindowFont(line, "lucida-8", kLineCapWidth);
                }
                line->setEnabled(!team->mComputer && player->mBallsLeft > 0);
            }
        }
        // A LAN peer chooses its own thrower.
        if (gm && g_NetMgr.IsConnected() && !gm->IsLocalHumanTurn())
            for (CEGUI::Window* line : lines)
                if (line)
                    line->setEnabled(false);
    }
    SetPlayerPicture(panel);
    SetMentalBar(panel);
    SetPhysiqueBar(panel);
    SetBalanceBar(panel);
}

void CHUDMgr::SetPlayerPicture(CHUDPlayerPanel& panel) {
    if (!panel.mLastPlayer)
        return;
    SetOverlayMaterial("Hud_playerType", PlayerHeadMaterial(*panel.mLastPlayer));
}

void CHUDMgr::SetMentalBar(CHUDPlayerPanel& panel) {
    const CPlayer* player = panel.mGameMaster ? panel.mGameMaster->GetCurrentPlayer() : nullptr;
    const ThrowProfile* profile = player ? CurrentProfile(*player) : nullptr;
    if (!profile)
        return;
    const float value = static_cast<float>(std::min(profile->mMental - player->mStress, 100));
    SetBar("Hud_mental_bar", value, 100.0f, Ogre::ColourValue(0.0f, 0.01f, 1.0f, 1.0f));
}

void CHUDMgr::SetPhysiqueBar(CHUDPlayerPanel& panel) {
    const CPlayer* player = panel.mGameMaster ? panel.mGameMaster->GetCurrentPlayer() : nullptr;
    const ThrowProfile* profile = player ? CurrentProfile(*player) : nullptr;
    if (!profile)
        return;
    const float value = static_cast<float>(std::min(profile->mPhysique - player->mFatigue, 100));
    SetBar("Hud_physique_bar", value, 100.0f, Ogre::ColourValue(0.01f, 1.0f, 0.01f, 1.0f));
}

void CHUDMgr::SetBalanceBar(CHUDPlayerPanel& panel) {
    const CPlayer* player = panel.mGameMaster ? panel.mGameMaster->GetCurrentPlayer() : nullptr;
    if (!player || !CurrentProfile(*player))
        return;
    const float value = static_cast<float>(std::min(BalanceOf(*player), 10));
    SetBar("Hud_balance_bar", value, 10.0f, Ogre::ColourValue(1.0f, 1.0f, 1.0f, 1.0f));
}
