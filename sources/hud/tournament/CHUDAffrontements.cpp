#include "CHUDAffrontements.h"

#include "TournamentScreenText.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <MenuBind.h>
#include <Platform.h>

using namespace TournamentScreen;

const char CHUDAffrontements::kLayout[] = "affrontements.layout";
const char CHUDAffrontementsStep16Finale::kLayout[] = "tournoi16eme.layout";

namespace {
const int kPoolLineCount = 16;
const int kPoolCount = 4;

void LoadLayout(const char* layout) {
    if (!gGUIMgr.LoadLayout(layout))
        PlatLog("CHUDAffrontements => layout \"%s\" missing: the bracket shows nothing", layout);
}
}  // namespace

CHUDAffrontements::CHUDAffrontements() {
    LoadLayout(kLayout);
    // The tournament information opens on the loading screen, which lies
    // over every screen: the last sixteen of a cup come first, before any
    // screen that would hide it.
    CHUDMgr::ShowLoadingScreen(false);
    for (int i = 1; i <= kPoolCount; ++i) {
        char title[128];
        PlatFormat(title, sizeof(title), "%s %i", GetText("POULE"), i);
        SetText(Numbered("TextPoule", i), title);
    }
    SetText("FrameName", GetText("VERSUS"));
    SetText("FrameText", GetText("MATCH_POULE"));
    BindMenuButton("BtnValid", nullptr, &CHUDAffrontements::OnValidClicked, this);
    BindMenuButton("BtnBack", nullptr, &CHUDAffrontements::OnBackClicked, this);
    gGUIMgr.Show("BtnBack", false);
    gGUIMgr.Show("BtnShuffle", false);
    ClearTeamTexts(kPoolLineCount);
}

CHUDAffrontements::~CHUDAffrontements() {
    StopBlinks("TeamText", kPoolLineCount);
    gGUIMgr.DestroyAllWindows();
    gGUIMgr.HideOverlay();
}

void CHUDAffrontements::ClearTeamTexts(int last) {
    for (int n = 1; n <= last; ++n) {
        SetText(Numbered("TeamScore", n), std::string());
        SetText(Numbered("TeamText", n), std::string());
    }
}

bool CHUDAffrontements::OnValidClicked(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = true;
    return true;
}

bool CHUDAffrontements::OnBackClicked(const CEGUI::EventArgs&) {
    mBack = true;
    return true;
}

void CHUDAffrontements::SetTeamLine(int n, const std::string& name, bool highlight, const std::string players[3],
                                    int score) {
    const std::string text = Numbered("TeamText", n);
    const std::string scoreWindow = Numbered("TeamScore", n);
    SetTeamName(text, name);
    SetText(scoreWindow, ScoreText(score));
    SetTextColour(scoreWindow, score >= kWinningScore ? kGreen : kRed);
    if (highlight)
        SetTeamLineHighlighted(text, players);
}

void CHUDAffrontements::SetTeamLine(int n, const TeamLine& line) {
    SetTeamLine(n, line.mName, !line.mComputer, line.mPlayers, line.mScore);
}

void CHUDAffrontements::SetTeamLineHighlighted(const std::string& window, const std::string players[3]) {
    Highlight(window, players, false);
}

void CHUDAffrontements::ShowTeam(int n, const PairingTeam& team) {
    SetTeamLine(n, team.mName, !team.mComputer, team.mPlayers, team.mScore);
}

// ---- pools --------------------------------------------------------------------

CHUDAffrontementsStepOne::CHUDAffrontementsStepOne() {
    gGUIMgr.ShowOverlay("CHUDAffrontementsStepOne");
    SetText("BtnValid", GetText("CTN"));
}

CHUDAffrontementsStepOne::~CHUDAffrontementsStepOne() {
    StopBlinks("TeamText", kPoolLineCount);
}

void CHUDAffrontementsStepOne::ShowMatch(const PairingLines& lines, int group) {
    for (int slot = 0; slot < 4; ++slot)
        ShowTeam(4 * group + 1 + slot, lines.Team(slot));
}

// ---- single matches -----------------------------------------------------------

CHUDAffrontementsStepTwo::CHUDAffrontementsStepTwo() {
    gGUIMgr.ShowOverlay("CHUDAffrontementsStepTwo");
    SetText("BtnValid", GetText("CTN"));
    // A group holds one match: the first two lines of each group stay.
    for (int n = 1; n <= kPoolLineCount; ++n) {
        const int inGroup = (n - 1) % 4;
        gGUIMgr.Show(Numbered("TeamBox", n), inGroup < 2);
    }
}

CHUDAffrontementsStepTwo::~CHUDAffrontementsStepTwo() {
    StopBlinks("TeamText", kPoolLineCount);
}

void CHUDAffrontementsStepTwo::ShowMatch(const PairingLines& lines, int group) {
    ShowTeam(4 * group + 1, lines.Team(0));
    ShowTeam(4 * group + 2, lines.Team(1));
}

// ---- last sixteen ---------------------------------------------------------------

CHUDAffrontementsStep16Finale::CHUDAffrontementsStep16Finale() {
    gGUIMgr.HideOverlay();
    LoadLayout(kLayout);
    gGUIMgr.ShowOverlay("CHUDAffrontementsStep16Finale");
    BindMenuButton("BtnValid", nullptr, &CHUDAffrontementsStep16Finale::OnValid16Clicked, this);
    BindMenuButton<CHUDAffrontements>("BtnBack", nullptr, &CHUDAffrontements::OnBackClicked, this);
    gGUIMgr.Show("BtnBack", false);
    SetText("FrameName", GetText("HEIGHT_F"));
    SetText("BtnValid", GetText("CTN"));
    ClearTeamTexts(kLineCount);
}

CHUDAffrontementsStep16Finale::~CHUDAffrontementsStep16Finale() {
    StopBlinks("TeamText", kLineCount);
}

void CHUDAffrontementsStep16Finale::ShowMatch(const PairingLines& lines, int group) {
    for (int slot = 0; slot < 4; ++slot)
        ShowTeam(4 * group + 1 + slot, lines.Team(slot));
}

bool CHUDAffrontementsStep16Finale::OnValid16Clicked(const CEGUI::EventArgs&) {
    mValidated = true;
    return true;
}
