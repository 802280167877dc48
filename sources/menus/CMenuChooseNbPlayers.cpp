#include "CMenuChooseNbPlayers.h"

#include "CMenuGameMode.h"
#include "MenuBind.h"

#include <Platform.h>

#include <CEGUI/FontManager.h>
#include <CEGUI/PropertyHelper.h>
#include <CEGUI/widgets/Editbox.h>

#include <string>

const char CMenuChooseNbPlayers::kLayout[] = "CMenuChooseNbPlayers.layout";

namespace {
const char kQuickMatchParams[] = "QUICKMATCHPARAMS";
const char kEditName[] = "EditName";
const char kPrompt[] = "TextInfoEnterName";
const char kCountFont[] = "Dewsbury-60";
const float kDimmed = 0.5f;

std::string RowName(const char* prefix, int n, const char* suffix = "") {
    return prefix + std::to_string(n) + suffix;
}

void SetAlpha(const std::string& window, float alpha) {
    if (CEGUI::Window* w = gGUIMgr.GetWindow(window))
        w->setAlpha(alpha);
}

void Blink(const std::string& window, bool on) {
    if (on && MenuHudHooks().startWindowEffect)
        MenuHudHooks().startWindowEffect(window);
    if (!on && MenuHudHooks().stopWindowEffect)
        MenuHudHooks().stopWindowEffect(window);
}

// The player number of "BtnP" n or "BtnP" n "Mod": the digit after "BtnP";
// 0 for a window that does not follow the pattern.
int PlayerOfWindow(const CEGUI::EventArgs& args) {
    const auto* event = dynamic_cast<const CEGUI::WindowEventArgs*>(&args);
    if (!event || !event->window)
        return 0;
    const std::string name = event->window->getName().c_str();
    if (name.size() < 5)
        return 0;
    const int n = name[4] - '0';
    return (n >= 1 && n <= CMenuChooseNbPlayers::MAX_PLAYERS) ? n : 0;
}

void SetPrompt(int player) {
    char text[128];
    PlatFormat(text, sizeof text, "%s %i", GetText("ENTER_NAME"), player);
    SetWindowText(kPrompt, text);
}

void SetEditColour(CEGUI::Window* edit, const char* property, const CEGUI::Colour& colour) {
    if (edit->isPropertyPresent(property))
        edit->setProperty(property, CEGUI::PropertyHelper<CEGUI::ColourRect>::toString(CEGUI::ColourRect(colour)));
}
}  // namespace

bool CMenuChooseNbPlayers::IsOnePlayerForm() const {
    if (!mMenuGameMode)
        return false;
    const int type = mMenuGameMode->GetTournamentType();
    return type == CMenuGameMode::TOURNAMENT_CHAMPIONSHIP || type == CMenuGameMode::TOURNAMENT_CAREER;
}

void CMenuChooseNbPlayers::OnEnter(int) {
    mPlayerCount = 1;
    if (!gGUIMgr.LoadLayout(kLayout))
        PlatLog("CMenuChooseNbPlayers::OnEnter() => layout \"%s\" missing: the screen has no buttons", kLayout);
    gGUIMgr.ShowOverlay("CMenuChooseNbPlayers");
    if (mMenuGameMode)
        SetWindowText("FrameName", GetText(mMenuGameMode->GetName().c_str()));
    SetWindowText("MenuText", GetText("SELECT_NB_PLAYERS"));

    using M = CMenuChooseNbPlayers;
    const bool onePlayer = IsOnePlayerForm();
    const bool haveFont = CEGUI::FontManager::getSingletonPtr() &&
                          CEGUI::FontManager::getSingleton().isDefined(kCountFont);
    for (int n = 1; n <= MAX_PLAYERS; ++n) {
        const std::string count = RowName("BtnP", n);
        BindMenuButton<M>(count.c_str(), nullptr, &M::OnBtnCount, this);
        if (CEGUI::Window* w = gGUIMgr.GetWindow(count)) {
            if (haveFont)
                w->setFont(kCountFont);
            w->setAlpha(kDimmed);
            if (onePlayer && n > 1)
                w->setVisible(false);
        }
        MenuWriteInt(kQuickMatchParams, RowName("CONTROLER_", n).c_str(), 0);
        const std::string player = RowName("BtnP", n, "Mod");
        BindMenuButton<M>(player.c_str(), nullptr, &M::OnBtnPlayer, this);
        SetAlpha(player, kDimmed);
    }

    CEGUI::Window* edit = gGUIMgr.GetWindow(kEditName);
    if (edit)
        edit->subscribeEvent(CEGUI::Window::EventKeyUp, CEGUI::Event::Subscriber(&M::OnNameKeyUp, this));
    SetAlpha("BtnP1", 1.0f);
    BindMenuButton<CMenu>("BtnBack", "BK", &CMenu::OnBtnBack, this);
    BindMenuButton("BtnValid", "CTN", &M::OnBtnValid, this);
    Blink(kValidButton, true);
    gGUIMgr.Show("Root", true);

    if (edit) {
        SetEditColour(edit, "NormalTextColour", CEGUI::Colour(0.0f, 0.0f, 0.0f, 1.0f));
        SetEditColour(edit, "SelectedTextColour", CEGUI::Colour(0.7f, 0.0f, 0.0f, 1.0f));
    }

    ClearFlags();
    if (mMenuGameMode) {
        mMenuGameMode->SetNbPlayers(1);
        if (edit)
            edit->setText(mMenuGameMode->GetPlayerName(0));
    }
    if (edit)
        edit->setEnabled(true);
    mEditedPlayer = 0;
    SetPrompt(1);
    RefreshRows();
}

void CMenuChooseNbPlayers::Update() {
    UpdateValidBack(false);
}

void CMenuChooseNbPlayers::SelectPlayer(int n) {
    gGUIMgr.PlayMenuSound(0);
    if (auto* edit = dynamic_cast<CEGUI::Editbox*>(gGUIMgr.GetWindow(kEditName))) {
        if (mMenuGameMode)
            edit->setText(mMenuGameMode->GetPlayerName(n - 1));
        edit->setEnabled(true);
        const size_t length = edit->getText().length();
        edit->setCaretIndex(length);
        edit->setSelection(0, length);
        edit->activate();
    }
    SetPrompt(n);
    mEditedPlayer = n - 1;
    RefreshRows();
}

bool CMenuChooseNbPlayers::OnBtnCount(const CEGUI::EventArgs& args) {
    const int n = PlayerOfWindow(args);
    if (n == 0) {
        PlatLog("CMenuChooseNbPlayers::OnBtnCount() => not a count button, ignored");
        return true;
    }
    gGUIMgr.PlayMenuSound(0);
    mPlayerCount = n;
    SelectPlayer(n);
    return true;
}

bool CMenuChooseNbPlayers::OnBtnPlayer(const CEGUI::EventArgs& args) {
    const int n = PlayerOfWindow(args);
    if (n == 0) {
        PlatLog("CMenuChooseNbPlayers::OnBtnPlayer() => not a player button, ignored");
        return true;
    }
    SelectPlayer(n);
    return true;
}

bool CMenuChooseNbPlayers::OnNameKeyUp(const CEGUI::EventArgs&) {
    if (mEditedPlayer < 0)
        return true;
    CEGUI::Window* edit = gGUIMgr.GetWindow(kEditName);
    if (!edit)
        return true;
    CEGUI::String text = edit->getText();
    if (text.length() > MAX_NAME_LENGTH) {
        text = text.substr(0, MAX_NAME_LENGTH);
        edit->setText(text);
    }
    const std::string name = text.c_str();
    SetWindowText(RowName("TxtP", mEditedPlayer + 1), name);
    if (mMenuGameMode)
        mMenuGameMode->SetPlayerName(mEditedPlayer, name);
    return true;
}

bool CMenuChooseNbPlayers::OnBtnValid(const CEGUI::EventArgs&) {
    gGUIMgr.PlayMenuSound(0);
    if (mMenuGameMode) {
        // Each human player heads a team of his own.
        mMenuGameMode->SetNbPlayers(mPlayerCount);
        mMenuGameMode->SetNbGamersTeams(mPlayerCount);
    }
    mValidated = 1;
    return true;
}

void CMenuChooseNbPlayers::RefreshRows() {
    char label[64];
    if (IsOnePlayerForm()) {
        const std::string player = RowName("BtnP", 1, "Mod");
        PlatFormat(label, sizeof label, "%s%i", GetText("PLAYER_ABR"), 1);
        SetWindowText(player, label);
        gGUIMgr.Show(player, true);
        SetWindowText("TxtP1", mMenuGameMode->GetPlayerName(0));
        gGUIMgr.Show("TxtP1", true);
        SetWindowText("MenuText", GetText(mMenuGameMode->GetName().c_str()));
        SetWindowText(kPrompt, GetText("ENTER_NAME_ONE_P"));
        for (int n = 2; n <= MAX_PLAYERS; ++n) {
            gGUIMgr.Show(RowName("BtnP", n, "Mod"), false);
            gGUIMgr.Show(RowName("TxtP", n), false);
        }
        return;
    }
    for (int n = 1; n <= MAX_PLAYERS; ++n) {
        const std::string count = RowName("BtnP", n);
        const std::string player = RowName("BtnP", n, "Mod");
        const std::string name = RowName("TxtP", n);
        if (n == mPlayerCount) {
            Blink(count, true);
        } else {
            Blink(count, false);
            SetAlpha(count, kDimmed);
        }
        if (n <= mPlayerCount) {
            if (mMenuGameMode)
                SetWindowText(name, mMenuGameMode->GetPlayerName(n - 1));
            PlatFormat(label, sizeof label, "%s%i", GetText("PLAYER_ABR"), n);
            SetWindowText(player, label);
            gGUIMgr.Show(player, true);
            Blink(player, true);
            gGUIMgr.Show(name, true);
        } else {
            gGUIMgr.Show(player, false);
            Blink(player, false);
            gGUIMgr.Show(name, false);
        }
    }
}
