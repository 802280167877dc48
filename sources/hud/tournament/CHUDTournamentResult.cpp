#include "CHUDTournamentResult.h"

#include "TournamentScreenText.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <MenuBind.h>
#include <Platform.h>

using namespace TournamentScreen;

const char CHUDTournamentResult::kLayout[] = "tournamentResult.layout";

CHUDTournamentResult::CHUDTournamentResult() {
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CHUDTournamentResult => layout \"%s\" missing: the result tree shows nothing", kLayout);
    CHUDMgr::ShowLoadingScreen(false);
    gGUIMgr.ShowOverlay("Tournament");
    const struct {
        const char* window;
        const char* key;
    } titles[] = {{"FrameName", "ELIM"},        {"FrameHalfWinners", "CLASS"}, {"FrameQuarterFinal", "QUAT_F"},
                  {"FrameHalfFinal", "HALF_F"}, {"FrameFinal", "FINAL"},       {"FrameWinners", "WINNERS"}};
    for (const auto& title : titles)
        SetText(title.window, GetText(title.key));
    BindMenuButton("BtnValid", "CTN", &CHUDTournamentResult::OnValidClicked, this);
    gGUIMgr.Show("BtnBack", false);
    ClearTeamTexts();
}

CHUDTournamentResult::~CHUDTournamentResult() {
    StopBlinks("TeamText", kLineCount);
    gGUIMgr.HideOverlay();
    gGUIMgr.DestroyAllWindows();
}

void CHUDTournamentResult::ClearTeamTexts() {
    for (int n = 1; n <= kLineCount; ++n) {
        SetText(Numbered("TeamText", n), std::string());
        SetText(Numbered("TeamScore", n), std::string());
    }
}

void CHUDTournamentResult::SetTeamLine(int n, const TeamLine& line) {
    const std::string text = Numbered("TeamText", n);
    const std::string score = Numbered("TeamScore", n);
    SetTeamName(text, line.mName);
    if (!line.mComputer)
        Highlight(text, line.mPlayers, false);
    if (line.mScore >= 0 && line.mPlayerCount != 0) {
        SetText(score, ScoreText(line.mScore));
        SetTextColour(score, line.mScore >= kWinningScore ? kGreen : kRed);
    } else {
        SetText(score, std::string());
    }
}

bool CHUDTournamentResult::OnValidClicked(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = true;
    return true;
}
