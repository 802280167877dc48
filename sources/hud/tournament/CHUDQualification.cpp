#include "CHUDQualification.h"

#include "TournamentScreenText.h"

#include <CGUIMgr.h>
#include <CHUDMgr.h>
#include <CLangDB.h>
#include <CWindowEffectMgr.h>
#include <MenuBind.h>
#include <Platform.h>

using namespace TournamentScreen;

const char CHUDQualification::kLayout[] = "qualifications.layout";
const char CHUDQualificationResult::kLayout[] = "qualificationsResults.layout";

namespace {
const int kLinesPerColumn = 8;

// Line n of column A or B.
std::string ColumnLine(char column, int n) {
    return std::string("Team") + column + "Text" + std::to_string(n);
}

void WriteLine(const std::string& window, const PairingTeam& team) {
    SetTeamName(window, team.mName);
    if (!team.mComputer)
        Highlight(window, team.mPlayers, true);
}

// The winner on line pool + 1, the other side on line pool + 5.
void WriteMatch(char column, int pool, const PairingMatch& match) {
    const PairingTeam& winner = match.mFirstWon ? match.mFirst : match.mSecond;
    const PairingTeam& loser = match.mFirstWon ? match.mSecond : match.mFirst;
    WriteLine(ColumnLine(column, pool + 1), winner);
    WriteLine(ColumnLine(column, pool + 5), loser);
}

// A play-off still to come decides the pool's second place: both its teams
// on the qualified line under the play-off's name, none on the eliminated one.
// A gamers' team in it shows red and blinking, without its players' names,
// for the line to keep to its box.
void WritePendingPlayOff(char column, int pool, const PairingMatch& match) {
    const std::string window = ColumnLine(column, pool + 1);
    SetText(window, std::string(GetText("PLAY_OFF")) + " : " + match.mFirst.mName + " / " + match.mSecond.mName);
    SetText(ColumnLine(column, pool + 5), std::string());
    if (!match.mFirst.mComputer || !match.mSecond.mComputer) {
        const std::string none[3];
        Highlight(window, none, true);
    }
}

bool Unplayed(const PairingMatch& match) { return match.mFirst.mScore < 0 && match.mSecond.mScore < 0; }
}  // namespace

CHUDQualification::CHUDQualification() : CHUDQualification(kLayout, "Qualifications", "QUALIFS", false) {}

CHUDQualification::CHUDQualification(const char* layout, const char* overlay, const char* title, bool labels)
    : mResults(labels) {
    if (!gGUIMgr.LoadLayout(layout))
        PlatLog("CHUDQualification => layout \"%s\" missing: the pools show nothing", layout);
    CHUDMgr::ShowLoadingScreen(false);
    gGUIMgr.ShowOverlay(overlay);
    SetText("FrameText", GetText(title));
    BindMenuButton("BtnValid", "CTN", &CHUDQualification::OnValidClicked, this);
    if (labels)
        for (int n = 1; n <= kLinesPerColumn; ++n)
            SetText(Numbered("Qualified", n), GetText(n <= kPoolCount ? "QUALIFIED" : "ELIMINATED"));
    for (int i = 1; i <= kPoolCount; ++i) {
        char text[128];
        PlatFormat(text, sizeof(text), "%s %i", GetText("POULE"), i);
        SetText(Numbered("TextPoule", i), text);
    }
}

CHUDQualificationResult::CHUDQualificationResult()
    : CHUDQualification(kLayout, "QualificationsResults", "QUAL_RESULTS", true) {}

CHUDQualification::~CHUDQualification() {
    // Every line: a blink left on a loser's line would carry over to the next
    // screen's window of the same name.
    for (int n = 1; n <= kLinesPerColumn; ++n) {
        CWindowEffectMgr::StopEffect(ColumnLine('A', n));
        CWindowEffectMgr::StopEffect(ColumnLine('B', n));
    }
    gGUIMgr.HideOverlay();
    gGUIMgr.DestroyAllWindows();
}

void CHUDQualification::Fill(int pool, const PairingLines& lines) {
    if (pool < 0 || pool >= kPoolCount)
        return;
    for (int m = 0; m < 2; ++m) {
        const char column = m == 0 ? 'A' : 'B';
        if (mResults && Unplayed(lines.mMatch[m]))
            WritePendingPlayOff(column, pool, lines.mMatch[m]);
        else
            WriteMatch(column, pool, lines.mMatch[m]);
    }
}

bool CHUDQualification::OnValidClicked(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    mValidated = true;
    return true;
}
