#include "CMenuChooseActor.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"

#include <CDebugRenderer.h>
#include <CKEMSceneCamera.h>
#include <CKEMSceneGraph.h>
#include <CKEMSceneLight.h>
#include <CKEMSceneObject.h>
#include <COverlayHolder.h>
#include <CPlayer.h>
#include <CWrapOgreWorld.h>
#include <CaracDB.h>
#include <Platform.h>
#include <SkillBarColours.h>
#include <Team.h>
#include <TeamDB.h>

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <CEGUI/Window.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>

const char CMenuChooseActor::kLayout[] = "CMenuSelectActor.layout";
const char CMenuChooseActor::kCaracsOverlay[] = "CMenuChooseActor/Caracs";
const char CMenuChooseActor::kPreviewNode[] = "toto";

namespace {
const char kLightNode[] = "ChooseActorLight";
const Ogre::Vector3 kPreviewPosition(-1.1f, -1.2f, 0.0f);
const Ogre::Vector3 kParkingPosition(-10.4f, -0.5f, 0.0f);
// The scale and the bars stand right of their names ("TextSpeedScale",
// "TextPowerBars"), clear of the preview's border; a bar row is one line of
// its names' font high.
const float kScaleLeft = 0.58f;
const float kScaleWidth = 0.2539f;
const float kScaleTop = 0.44791f;
const float kScaleHeight = 0.04083f;
const float kCaracLeft = 0.58f;
const float kCaracWidth = 0.2246f;
const float kCaracTop = 0.49609f;
const float kCaracRowStep = 0.0234f;
const float kCaracHeight = 0.0156f;
// The scale's last bar marks its end: no value of the player sizes it.
const float kScaleEndWidth = 0.004f;

const char* RoleKey(int role) {
    return role == CPlayer::ROLE_SHOOTER ? "SHOOTER" : (role == CPlayer::ROLE_POINTER ? "POINTER" : "MIDDLE");
}

std::string Numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

Ogre::Overlay* CaracsOverlay() {
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    return overlays ? overlays->getByName(CMenuChooseActor::kCaracsOverlay) : nullptr;
}

void PlaceBar(const std::string& name, float left, float top, float width, float height) {
    Ogre::OverlayElement* element = FindOverlayElement(name);
    if (!element)
        return;
    element->setMetricsMode(Ogre::GMM_RELATIVE);
    element->setLeft(left);
    element->setTop(top);
    element->setWidth(width);
    element->setHeight(height);
}

void SetTextColour(const std::string& window, CEGUI::argb_t colour) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setProperty("TextColours", CEGUI::PropertyHelper<CEGUI::ColourRect>::toString(CEGUI::ColourRect(colour)));
}
}  // namespace

void CMenuChooseActor::ScaleBars(const float speeds[4], float lefts[6], float widths[6]) {
    const float bounds[6] = {0.0f, speeds[0], speeds[1], speeds[2], speeds[3], 16.0f};
    float left = kScaleLeft;
    for (int j = 0; j < 5; ++j) {
        const float fraction = (bounds[j + 1] - bounds[j]) * 0.0625f;
        widths[j] = fraction * kScaleWidth;
        lefts[j] = left;
        left += widths[j];
    }
    lefts[5] = left;
    widths[5] = kScaleEndWidth;
}

float CMenuChooseActor::CaracWidth(uint32_t value, uint32_t maximum) {
    // A value past its maximum (or a negative one read as unsigned) fills
    // the bar rather than running past it.
    if (maximum == 0)
        return 0.0f;
    const float width = float(value) / float(maximum) * 10.0f * 0.02246f;
    return std::min(width, kCaracWidth);
}

int CMenuChooseActor::Origin() const { return mMenuGameMode ? mMenuGameMode->GetTeamOrigin() : 1; }

CPlayer* CMenuChooseActor::SquadPlayer(int index) const {
    if (index < 0 || index >= MAX_SQUAD || index >= int(mSquad.size()))
        return nullptr;
    return mSquad[index];
}

Team* CMenuChooseActor::TeamOf(int teamIndex) const {
    if (teamIndex < 0 || teamIndex >= 6)
        return nullptr;
    return Origin() == 2 ? TeamDB::GetNationalTeam(mTeamCountries[teamIndex])
                         : TeamDB::GetRegionalTeam(mTeamRegions[teamIndex]);
}

void CMenuChooseActor::SetTeam(Team* team) {
    mCurrentTeam = team;
    mSquad.clear();
    if (!team) {
        PlatLog("CMenuChooseActor: no team for this id: the squad is empty");
        return;
    }
    if (PlayerList* players = PlayerDB::GetTeamPlayers(team))
        mSquad = *players;
    else
        PlatLog("CMenuChooseActor: team \"%s\" has no player list", team->mName.c_str());
}

bool CMenuChooseActor::AcceptClick(double minSeconds) {
    const std::time_t now = std::time(nullptr);
    if (std::difftime(now, mLastClick) < minSeconds)
        return false;
    mLastClick = now;
    return true;
}

void CMenuChooseActor::OnEnter(int) {
    std::fill(std::begin(mChosen), std::end(mChosen), 0);
    std::fill(std::begin(mSlotPlayers), std::end(mSlotPlayers), -1);
    std::fill(std::begin(mTeamRegions), std::end(mTeamRegions), 0);
    std::fill(std::begin(mTeamCountries), std::end(mTeamCountries), 0);
    mCurrentPlayer = nullptr;
    mPreview = nullptr;
    mPreviewPlayer = nullptr;
    mCurrentTeam = nullptr;
    mSquad.clear();
    mLastClick = std::time(nullptr);

    if (MenuHudHooks().showLoadingScreen)
        MenuHudHooks().showLoadingScreen(true);
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseActor::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    using M = CMenuChooseActor;
    BindMenuButton("BtnValid", "CTN", &M::OnBtnValid, this);
    BindMenuButton("BtnBack", "BK", &M::OnBtnBack, this);
    BindMenuButton("BtnPrevMesh", nullptr, &M::OnBtnPrevMesh, this);
    BindMenuButton("BtnNextMesh", nullptr, &M::OnBtnNextMesh, this);
    SetWindowText("FrameName", GetText("ACTOR_CHOICE"));
    SetWindowText("TextActor", GetText("ACTOR"));
    SetWindowText("TextCarac", GetText("CARAC"));
    SetWindowText("TextSel", GetText("SEL"));
    if (mMenuGameMode)
        SetWindowText("FrameText", mMenuGameMode->GetName());
    SetWindowText("TextPowerBars", GetText("POWER_BARS"));
    SetWindowText("TextSpeedScale", GetText("SPEED_SCALE"));
    gGUIMgr.Show("Root", true);
    // The slot buttons are bound once a team fills them.
    for (int s = 1; s <= MAX_SLOTS; ++s)
        if (CEGUI::Window* w = gGUIMgr.GetWindow(Numbered("BtnActor", s)))
            w->subscribeEvent(CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&M::OnBtnActor, this));

    ClearFlags();
    mCurrentTeamNumber = 0;
    mCurrentPlayerIndex = 0;

    const int tournament = mMenuGameMode ? mMenuGameMode->GetTournamentType() : CMenuGameMode::TOURNAMENT_QUICK_MATCH;
    if (tournament == CMenuGameMode::TOURNAMENT_CUP)
        LoadChosenTeams();
    else if (tournament == CMenuGameMode::TOURNAMENT_QUICK_MATCH || tournament == CMenuGameMode::TOURNAMENT_CHAMPIONSHIP)
        LoadChosenTeams2();
    BuildPowerBars();

    if (CWrapOgreWorld::GetCurrentWorld()) {
        try {
            CKEMSceneGraph::DeleteNode(kLightNode);
            mLight = new CKEMSceneLight(nullptr);
            mLight->setName(kLightNode);
            mLight->setPosition(Ogre::Vector3(0.0f, 0.0f, 5.0f), false);
            mLight->SetDiffuseColour(Ogre::ColourValue(247 / 255.0f, 232 / 255.0f, 180 / 255.0f, 1.0f));
        } catch (const std::exception& e) {
            PlatLog("CMenuChooseActor::OnEnter() => no light for the preview: %s", e.what());
            mLight = nullptr;
        }
        if (CKEMSceneCamera* camera = CKEMSceneGraph::GetCurrentCamera()) {
            camera->setPosition(Ogre::Vector3(0.0f, 0.0f, 5.0f), false);
            camera->SetNearClip(0.1f);
        }
    }

    if (mMenuGameMode && tournament == CMenuGameMode::TOURNAMENT_CAREER) {
        mPlayersPerTeam = mMenuGameMode->GetNbPlayersPerTeam();
        mCurrentSlot = 0;
        if (Origin() == 2)
            mTeamCountries[0] = mMenuGameMode->GetTeamCountry(0);
        else
            mTeamRegions[0] = mMenuGameMode->GetTeamRegion(0);
        ShowTeamName(0);
        SetTeam(TeamOf(0));
        FillActorButtons(mPlayersPerTeam);
        SetupActorSlots();
    }

    UpdatePowerBars(mCurrentPlayerIndex);
    RefreshActorTexts();
    gGUIMgr.ShowOverlay("CMenuChooseActor");
    if (Ogre::Overlay* caracs = CaracsOverlay())
        caracs->show();
    if (MenuHudHooks().showLoadingScreen)
        MenuHudHooks().showLoadingScreen(false);
}

void CMenuChooseActor::OnLeave(int) {
    DeletePreview();
    mCurrentPlayer = nullptr;
    for (int s = 1; s <= std::min<int>(mPlayersPerTeam, MAX_SLOTS); ++s)
        if (MenuHudHooks().stopWindowEffect)
            MenuHudHooks().stopWindowEffect(Numbered("BtnActor", s));
    if (Ogre::Overlay* caracs = CaracsOverlay())
        caracs->hide();
    // The preview's light goes with the screen: one more per visit would
    // brighten every later scene.
    if (mLight) {
        CKEMSceneGraph::DeleteNode(kLightNode);
        mLight = nullptr;
    }
    gGUIMgr.DestroyAllWindows();
    gGUIMgr.HideOverlay();
}

void CMenuChooseActor::LoadChosenTeams() {
    mTeamAComputer = mTeamBComputer = false;
    mPlayersPerTeam = mMenuGameMode->GetNbPlayersPerTeam();
    const int humans = std::min(mMenuGameMode->GetNbPlayers(), 6);
    for (int i = 0; i < humans; ++i) {
        if (Origin() == 2)
            mTeamCountries[i] = mMenuGameMode->GetTeamCountry(i);
        else
            mTeamRegions[i] = mMenuGameMode->GetTeamRegion(i);
    }
    mCurrentTeamNumber = 1;
    SetTeam(TeamOf(0));
    ShowTeamName(0);
    mCurrentSlot = 0;
    FillActorButtons(mPlayersPerTeam);
}

void CMenuChooseActor::LoadChosenTeams2() {
    mTeamAComputer = mMenuGameMode->IsTeamAAi();
    mTeamBComputer = mMenuGameMode->IsTeamBAi();
    mPlayersPerTeam = mMenuGameMode->GetNbPlayersPerTeam();
    for (int i = 0; i < 2; ++i) {
        if (Origin() == 2)
            mTeamCountries[i] = mMenuGameMode->GetTeamCountry(i);
        else
            mTeamRegions[i] = mMenuGameMode->GetTeamRegion(i);
    }
    mCurrentTeamNumber = mTeamAComputer ? 2 : 1;
    SetTeam(TeamOf(mCurrentTeamNumber - 1));
    ShowTeamName(mCurrentTeamNumber - 1);
    mCurrentSlot = 0;
    FillActorButtons(mPlayersPerTeam);
}

void CMenuChooseActor::ShowTeamName(int teamIndex) {
    const Team* team = TeamOf(teamIndex);
    SetWindowText("RegionText", std::string(GetText("TEAM")) + " : " + GetTeamScreenName(team));
}

void CMenuChooseActor::FillActorButtons(int slots) {
    // A game type the flow has not set yet shows one slot.
    if (slots < 1 || slots > MAX_SLOTS)
        slots = 1;
    for (int s = 1; s <= slots; ++s) {
        gGUIMgr.Show(Numbered("BtnActor", s), true);
        if (MenuHudHooks().startWindowEffect)
            MenuHudHooks().startWindowEffect(Numbered("BtnActor", s));
        gGUIMgr.Show(Numbered("TxtActor", s), true);
    }
    for (int s = slots + 1; s <= MAX_SLOTS; ++s) {
        gGUIMgr.Show(Numbered("BtnActor", s), false);
        gGUIMgr.Show(Numbered("TxtActor", s), false);
        mSlotPlayers[s - 1] = -1;
    }
    std::vector<CPlayer*> members;
    PlayerDB::CollectPlayers(mCurrentTeam, slots, members);
    int k = 0;
    for (int index = 0; index < MAX_SQUAD; ++index) {
        CPlayer* player = SquadPlayer(index);
        const bool member = player && std::find(members.begin(), members.end(), player) != members.end();
        if (member && k < MAX_SLOTS) {
            SetWindowText(Numbered("TxtActor", k + 1), player->GetName());
            DebugPrintText("default player " + std::to_string(k + 1) + " " + player->GetName(), true, false);
            mChosen[index] = 1;
            mSlotPlayers[k] = index;
            if (k == 0)
                mCurrentPlayerIndex = index;
            ++k;
        } else {
            mChosen[index] = 0;
        }
    }
    ShowRoleTexts(slots);
}

void CMenuChooseActor::ShowRoleTexts(int slots) {
    for (int s = 0; s < std::min(slots, int(MAX_SLOTS)); ++s) {
        if (mSlotPlayers[s] == -1)
            break;
        const CPlayer* player = SquadPlayer(mSlotPlayers[s]);
        SetWindowText(Numbered("BtnActor", s + 1), GetText(RoleKey(player ? player->mRole : 0)));
    }
}

void CMenuChooseActor::RefreshActorTexts() {
    SetWindowText("TextActor",
                  std::string(GetText("ACTOR_CHOICE")) + " (" + std::to_string(mCurrentPlayerIndex + 1) + "/" + "6" + ")");
    for (int s = 0; s < MAX_SLOTS; ++s) {
        const std::string window = Numbered("TxtActor", s + 1);
        if (s == mCurrentSlot) {
            SetTextColour(window, 0xFFFF0000);
            if (mCurrentPlayer)
                SetWindowText(window, mCurrentPlayer->GetName());
        } else {
            SetTextColour(window, 0xFF000000);
        }
    }
    if (mCurrentPlayer)
        SetWindowText("CurPlayer", mCurrentPlayer->GetName());
    ShowRoleTexts(mPlayersPerTeam);
}

bool CMenuChooseActor::OnBtnActor(const CEGUI::EventArgs& args) {
    gGUIMgr.PlayMenuSound(0);
    if (!AcceptClick(0.1))
        return true;
    const auto* windowArgs = dynamic_cast<const CEGUI::WindowEventArgs*>(&args);
    const std::string name = windowArgs && windowArgs->window ? windowArgs->window->getName().c_str() : "";
    int slot = -1;
    for (int s = 0; s < MAX_SLOTS; ++s)
        if (name == Numbered("BtnActor", s + 1))
            slot = s;
    if (slot < 0)
        return true;
    mCurrentSlot = slot;
    mCurrentPlayerIndex = mSlotPlayers[mCurrentSlot];
    if (!UpdatePowerBars(mCurrentPlayerIndex))
        SetWindowText("TextCarac", "erreur");
    RefreshActorTexts();
    return true;
}

bool CMenuChooseActor::OnBtnPrevMesh(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (!AcceptClick(0.1))
        return true;
    // An empty slot (a squad short of a role) takes the last free player.
    int index = mCurrentPlayerIndex < 0 ? std::min<int>(MAX_SQUAD, int(mSquad.size())) - 1 : mCurrentPlayerIndex;
    while (index >= 0 && IsChosen(index))
        --index;
    if (index < 0)
        index = mCurrentPlayerIndex;
    if (index != mCurrentPlayerIndex && SquadPlayer(index)) {
        if (mCurrentPlayerIndex >= 0 && mCurrentPlayerIndex < MAX_SQUAD)
            mChosen[mCurrentPlayerIndex] = 0;
        mChosen[index] = 1;
        mCurrentPlayerIndex = index;
        if (!UpdatePowerBars(index))
            SetWindowText("TextCarac", "erreur");
    }
    mSlotPlayers[mCurrentSlot] = mCurrentPlayerIndex;
    RefreshActorTexts();
    return true;
}

bool CMenuChooseActor::OnBtnNextMesh(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (!AcceptClick(0.1))
        return true;
    // A squad shorter than six ends the search at its last player.
    const int squad = std::min<int>(MAX_SQUAD, int(mSquad.size()));
    // An empty slot (a squad short of a role) takes the first free player.
    int index = mCurrentPlayerIndex < 0 ? 0 : mCurrentPlayerIndex;
    while (index >= 0 && index < squad && IsChosen(index))
        ++index;
    if (index >= squad || index < 0)
        index = mCurrentPlayerIndex;
    if (index != mCurrentPlayerIndex && SquadPlayer(index)) {
        if (mCurrentPlayerIndex >= 0 && mCurrentPlayerIndex < MAX_SQUAD)
            mChosen[mCurrentPlayerIndex] = 0;
        mChosen[index] = 1;
        mCurrentPlayerIndex = index;
        if (!UpdatePowerBars(index))
            SetWindowText("TextCarac", "erreur");
    }
    mSlotPlayers[mCurrentSlot] = mCurrentPlayerIndex;
    RefreshActorTexts();
    return true;
}

namespace {

// The four rows share one picture: each bar gets a material of its own, so
// that each row keeps its own colour.
void GiveOwnMaterial(const std::string& name) {
    Ogre::OverlayElement* element = FindOverlayElement(name);
    Ogre::MaterialManager* materials = Ogre::MaterialManager::getSingletonPtr();
    if (!element || !materials || !element->getMaterial())
        return;
    const std::string suffix = "/" + name;
    const std::string& current = element->getMaterialName();
    if (current.size() > suffix.size() && current.compare(current.size() - suffix.size(), suffix.size(), suffix) == 0)
        return;
    Ogre::MaterialPtr own = materials->getByName(current + suffix);
    if (!own)
        own = element->getMaterial()->clone(current + suffix);
    element->setMaterial(own);
}

}  // namespace

void CMenuChooseActor::BuildPowerBars() {
    static const Ogre::ColourValue kScaleTints[6] = {Ogre::ColourValue(1, 1, 0), Ogre::ColourValue(0, 1, 0), Ogre::ColourValue(1, 1, 0),
                                                     Ogre::ColourValue(1, 0.5f, 0), Ogre::ColourValue(1, 0, 0), Ogre::ColourValue(1, 1, 1)};
    for (int j = 0; j < 6; ++j) {
        const std::string name = Numbered("MainActorPowerBar", j);
        SetOverlayTint(name, kScaleTints[j], 1.0f);
        if (Ogre::OverlayElement* element = FindOverlayElement(name)) {
            element->setMetricsMode(Ogre::GMM_RELATIVE);
            element->setTop(kScaleTop);
            element->setHeight(kScaleHeight);
        }
    }
    // Rows: balance, spin, mental, stamina, in the match panel's colours.
    static const Ogre::ColourValue kSkillTints[4] = {skillbar::kBalance, skillbar::kSpin, skillbar::kMental,
                                                     skillbar::kPhysique};
    for (int r = 0; r < 4; ++r) {
        GiveOwnMaterial("ActorPowerBar" + std::to_string(r) + "0");
        SetOverlayTint("ActorPowerBar" + std::to_string(r) + "0", kSkillTints[r], 1.0f);
        SetOverlayTint("ActorPowerBar" + std::to_string(r) + "1", skillbar::kEmpty, 1.0f);
    }
}

bool CMenuChooseActor::UpdatePowerBars(int index) {
    if (index < 0 || index >= MAX_SQUAD)
        return false;
    CPlayer* player = SquadPlayer(index);
    mCurrentPlayer = player;
    if (!player)
        return false;
    SetWindowText("CurPlayer", player->GetName());
    if (!ShowActorPreview())
        return false;

    const int kind = player->mRole == CPlayer::ROLE_SHOOTER ? CPlayer::THROW_SHOOTING : CPlayer::THROW_POINTING;
    const float speeds[4] = {player->GetProfileSpeed0(kind), player->GetProfileSpeed1(kind),
                             player->GetProfileSpeed2(kind), player->GetProfileSpeed3(kind)};
    float lefts[6], widths[6];
    ScaleBars(speeds, lefts, widths);
    for (int j = 0; j < 6; ++j)
        PlaceBar(Numbered("MainActorPowerBar", j), lefts[j], kScaleTop, widths[j], kScaleHeight);

    const ThrowProfile* profile = player->GetProfile(kind);
    const uint32_t values[4] = {uint32_t(player->GetBalanceWithStress(kind)), uint32_t(player->GetEffectsWithMalus(kind)),
                                uint32_t(profile ? profile->mMental : 0), uint32_t(profile ? profile->mPhysique : 0)};
    const uint32_t maxima[4] = {10, 10, 100, 100};
    for (int r = 0; r < 4; ++r) {
        const float filled = CaracWidth(values[r], maxima[r]);
        const float top = kCaracTop + r * kCaracRowStep;
        PlaceBar("ActorPowerBar" + std::to_string(r) + "0", kCaracLeft, top, filled, kCaracHeight);
        PlaceBar("ActorPowerBar" + std::to_string(r) + "1", kCaracLeft + filled, top, kCaracWidth - filled, kCaracHeight);
    }
    return true;
}

void CMenuChooseActor::DeletePreview() {
    if (!mPreview)
        return;
    // A node the scene graph does not hold (no root) is this screen's own.
    if (!CKEMSceneGraph::DeleteNode(kPreviewNode))
        delete mPreview;
    mPreview = nullptr;
    if (mPreviewPlayer)
        mPreviewPlayer->SetNode(nullptr);
    mPreviewPlayer = nullptr;
}

bool CMenuChooseActor::ShowActorPreview() {
    CPlayer* player = mCurrentPlayer;
    if (!player)
        return false;
    const std::string mesh = player->GetMeshName();
    DeletePreview();
    if (mesh.empty())
        return false;
    SetWindowText("TextCarac", GetText(RoleKey(player->mRole)));

    // Without a 3D world (or the player's model) the screen still works,
    // without its preview.
    if (!CWrapOgreWorld::GetCurrentWorld())
        return true;
    if (!Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(mesh)) {
        PlatLog("CMenuChooseActor::ShowActorPreview() => model \"%s\" missing: no preview", mesh.c_str());
        return true;
    }
    try {
        mPreview = new CKEMSceneObject(mesh, "", nullptr);
        mPreview->setName(kPreviewNode);
        mPreviewPlayer = player;
        player->SetNode(mPreview);
        mPreview->setPosition(kPreviewPosition, false);
        mPreview->rotate(Ogre::Quaternion(Ogre::Degree(180.0f), Ogre::Vector3::UNIT_Y), 0);
        mPreview->setToVisible(true);
        player->ApplyClothes(GetTeamDisplayName(mCurrentTeam));
        player->ApplySkin(CPlayer::PART_SKIN);
        player->ApplySkin(CPlayer::PART_SHOES);
        int pose = int(std::rand() / 32767.0 * 10.0);
        pose = std::max(1, std::min(9, pose));
        char animation[32];
        PlatFormat(animation, sizeof animation, "%s%i", "AP_POZ_0", pose);
        mPreview->playAnimBlending(animation, 0.0f, 0.0f, true);
    } catch (const std::exception& e) {
        PlatLog("CMenuChooseActor::ShowActorPreview() => no preview of \"%s\": %s", mesh.c_str(), e.what());
        DeletePreview();
    }
    return true;
}

void CMenuChooseActor::StoreSlots(int teamIndex) {
    if (!mMenuGameMode)
        return;
    for (int s = 0; s < MAX_SLOTS; ++s)
        mMenuGameMode->SetActorChoice(teamIndex, s, mSlotPlayers[s]);
}

bool CMenuChooseActor::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (!AcceptClick(0.2) || !mMenuGameMode || mValidated)
        return true;
    gGUIMgr.PlayMenuSound(0);
    const int tournament = mMenuGameMode->GetTournamentType();
    int& t = mCurrentTeamNumber;

    if (tournament == CMenuGameMode::TOURNAMENT_CUP) {
        for (;;) {
            bool repeat = false;
            if (t < 6) {
                if (Origin() == 2) {
                    for (int j = 0; j < t && !repeat; ++j)
                        repeat = mTeamCountries[t] != 0 && mTeamCountries[j] == mTeamCountries[t];
                } else if (t != 1 && mTeamRegions[t] != 0) {
                    for (int j = 0; j < t && !repeat; ++j)
                        repeat = mTeamRegions[j] == mTeamRegions[t];
                }
            }
            if (!repeat)
                break;
            ++t;
            StoreSlots(t - 2);
        }
        SetWindowText("BtnValid", GetText("CTN"));
        ShowTeamName(t - 1);
        SetTeam(TeamOf(t - 1));
    }

    const int teams = mMenuGameMode->GetNbTeams();
    if (tournament == CMenuGameMode::TOURNAMENT_CAREER) {
        StoreSlots(0);
        mValidated = 1;
        return true;
    }
    if (t >= teams) {
        ++t;
        SetWindowText("BtnValid", GetText("CTN"));
        mValidated = 1;
        StoreSlots(t - 2);
        return true;
    }
    StoreSlots(t - 1);
    ++t;
    SetWindowText("BtnValid", GetText("CTN"));
    if (mCurrentPlayer && mCurrentPlayer->GetNode())
        mCurrentPlayer->GetNode()->setPosition(kParkingPosition, false);

    if (tournament == CMenuGameMode::TOURNAMENT_QUICK_MATCH && mTeamBComputer && t == 2) {
        // The computer's team always plays squad players 0, 2 and 4.
        SetTeam(TeamOf(1));
        mMenuGameMode->SetPlayerTeam(0, 0);
        mSlotPlayers[0] = 0;
        mSlotPlayers[1] = 2;
        mSlotPlayers[2] = 4;
        StoreSlots(1);
        mValidated = 1;
        return true;
    }
    SetTeam(TeamOf(t - 1));
    mCurrentSlot = 0;
    FillActorButtons(mPlayersPerTeam);
    UpdatePowerBars(mCurrentPlayerIndex);
    RefreshActorTexts();
    ShowTeamName(t - 1);
    return true;
}

void CMenuChooseActor::SetupActorSlots() {
    const int stage = mMenuGameMode ? mMenuGameMode->GetCareerType() : 1;
    auto lockSlot = [this](int slot) {
        int p = mMenuGameMode->GetActorChoice(0, slot);
        // The player the previous stage opened this slot with leaves it: he
        // is free again for the slot opened now.
        const int opened = mSlotPlayers[slot];
        if (opened >= 0 && opened < MAX_SQUAD && opened != p)
            mChosen[opened] = 0;
        mSlotPlayers[slot] = p;
        if (p >= 0 && p < MAX_SQUAD)
            mChosen[p] = 1;
        if (CEGUI::Window* button = gGUIMgr.GetWindow(Numbered("BtnActor", slot + 1)))
            button->setEnabled(false);
        if (const CPlayer* player = SquadPlayer(p))
            SetWindowText(Numbered("TxtActor", slot + 1), player->GetName());
    };
    auto openSlot = [this](int slot) {
        for (int i = 0; i < std::min<int>(MAX_SQUAD, int(mSquad.size())); ++i)
            if (!mChosen[i]) {
                mSlotPlayers[slot] = i;
                mCurrentPlayerIndex = i;
                mChosen[i] = 1;
                return;
            }
    };
    if (stage > 1) {
        std::fill(std::begin(mChosen), std::end(mChosen), 0);
        std::fill(std::begin(mSlotPlayers), std::end(mSlotPlayers), -1);
        lockSlot(0);
        mCurrentSlot = 1;
        openSlot(1);
    }
    if (stage > 2) {
        lockSlot(1);
        mCurrentSlot = 2;
        openSlot(2);
    }
    if (stage > 3) {
        if (mSlotPlayers[2] >= 0 && mSlotPlayers[2] < MAX_SQUAD)
            mChosen[mSlotPlayers[2]] = 0;
        lockSlot(2);
        mCurrentPlayerIndex = mSlotPlayers[2];
    }
    if (CEGUI::Window* back = gGUIMgr.GetWindow("BtnBack"))
        back->setEnabled(false);
}
