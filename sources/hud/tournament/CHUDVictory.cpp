#include "CHUDVictory.h"

#include "TournamentScreenText.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <COverlayHolder.h>
#include <DecorTable.h>
#include <MenuBind.h>
#include <Platform.h>
#include <Team.h>
#include <TeamDB.h>

#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlayElement.h>

using namespace TournamentScreen;

const char CHUDVictory::kLayout[] = "victory.layout";
const char CHUDVictory::kFlagMaterial[] = "MENU/Country/flag/";
const char CHUDVictory::kNoAward[] = "transp.tga";

namespace {
// By place: the GUI window and flag element, and the award element.
const char* const kPlaces[3] = {"FirstTeam", "SecondTeam", "ThirdTeam"};
const char* const kAwards[3] = {"FirstAward", "SecondAward", "ThirdAward"};

// The id's name in the map, or empty.
std::string NameOfId(const TeamNameMap& names, int32_t id) {
    for (const auto& entry : names)
        if (entry.second == id)
            return entry.first;
    return std::string();
}

// The award picture on the element's own material, see-through where the
// picture is.
void SetAwardPicture(const std::string& element, std::string picture) {
    Ogre::OverlayElement* overlayElement = FindOverlayElement(element);
    if (!overlayElement)
        return;
    const Ogre::MaterialPtr& material = overlayElement->getMaterial();
    if (!material || !material->getTechnique(0) || !material->getTechnique(0)->getPass(0))
        return;
    if (!Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(picture)) {
        PlatLog("CHUDVictory::ShowAwards() => picture \"%s\" missing: %s shows none", picture.c_str(),
                element.c_str());
        picture = CHUDVictory::kNoAward;
    }
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    Ogre::TextureUnitState* unit =
        pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0) : pass->createTextureUnitState();
    // The pictures carry their own alpha channel.
    unit->setTextureName(picture, Ogre::TEX_TYPE_2D);
    unit->setNumMipmaps(0);
}
}  // namespace

CHUDVictory::CHUDVictory() {
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CHUDVictory => layout \"%s\" missing: the podium shows no names", kLayout);
    CHUDMgr::ShowLoadingScreen(false);
    SetText("FrameText", GetText("RESULTS"));
    BindMenuButton("BtnValid", "CTN", &CHUDVictory::OnValidClicked, this);
    BindMenuButton("BtnBack", nullptr, &CHUDVictory::OnClicked, this);
    gGUIMgr.Show("BtnBack", false);
    gGUIMgr.ShowOverlay("CHUDVictory");
}

CHUDVictory::~CHUDVictory() {
    gGUIMgr.DestroyAllWindows();
    gGUIMgr.HideOverlay();
}

std::string CHUDVictory::GetTeamPictureName(const std::string& displayName, bool regional) {
    const TeamNameMap& names = regional ? TeamDB::GetRegionNames() : TeamDB::GetCountryNames();
    const TeamNameMap& pictures = regional ? TeamDB::GetSecondRegionNames() : TeamDB::GetSecondCountryNames();
    const auto found = names.find(displayName);
    if (found == names.end())
        return std::string();
    return NameOfId(pictures, found->second);
}

void CHUDVictory::ShowPodium(const Team* first, const Team* second, const Team* third) {
    const Team* const teams[3] = {first, second, third};
    ShowPlaces(teams, true);
}

void CHUDVictory::ShowPodiumOtherList(const Team* first, const Team* second, const Team* third) {
    const Team* const teams[3] = {first, second, third};
    ShowPlaces(teams, false);
}

void CHUDVictory::ShowPlaces(const Team* const teams[3], bool regional) {
    for (int place = 0; place < 3; ++place) {
        const Team* team = teams[place];
        if (!team) {
            gGUIMgr.Show(kPlaces[place], false);
            HideOverlayElement(kPlaces[place]);
            continue;
        }
        const std::string name = GetText(team->mName.c_str());
        std::string picture = GetTeamPictureName(name, regional);
        // The display text is the current language's: in another language
        // than the tables' the team's own id still finds its flag.
        if (picture.empty())
            picture = regional ? NameOfId(TeamDB::GetSecondRegionNames(), team->mRegionId)
                               : NameOfId(TeamDB::GetSecondCountryNames(), team->mCountryId);
        SetOverlayMaterial(kPlaces[place], kFlagMaterial + picture);
        SetTeamName(kPlaces[place], name);
    }
}

void CHUDVictory::ShowAwards(const Team* first, const Team* second, const Team* third) {
    const Team* const teams[3] = {first, second, third};
    for (int place = 0; place < 3; ++place) {
        if (!teams[place])
            continue;
        const std::string decor = SelectAwardDecor(teams[place]);
        SetAwardPicture(kAwards[place], decor.empty() ? std::string(kNoAward) : decor + ".tga");
    }
}

bool CHUDVictory::OnValidClicked(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = true;
    return true;
}

bool CHUDVictory::OnClicked(const CEGUI::EventArgs&) {
    mBack = true;
    return true;
}
