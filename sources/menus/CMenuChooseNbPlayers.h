// How many humans play (1 to 6) and each one's name. In the championship and
// the career only one human plays: the screen reduces to entering that name.
#pragma once

#include "CMenu.h"

class CMenuChooseNbPlayers : public CMenu {
public:
    enum { MAX_PLAYERS = 6, MAX_NAME_LENGTH = 9 };

    void OnEnter(int previousStateId) override;
    // Validated gives the flow's Next, back its Back; the cheat key does not
    // skip the names.
    void Update() override;
    void OnLeave(int nextStateId) override { LeaveValidBlink(nextStateId); }

    // "BtnP" n: the count becomes n and player n is selected for editing.
    bool OnBtnCount(const CEGUI::EventArgs& args);
    // "BtnP" n "Mod": player n is selected for editing.
    bool OnBtnPlayer(const CEGUI::EventArgs& args);
    // Key released in "EditName".
    bool OnNameKeyUp(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);

    int GetPlayerCount() const { return mPlayerCount; }
    int GetEditedPlayer() const { return mEditedPlayer; }

    static const char kLayout[];   // "CMenuChooseNbPlayers.layout"

private:
    bool IsOnePlayerForm() const;
    void SelectPlayer(int n);
    void RefreshRows();

    int mPlayerCount = 1;
    int mEditedPlayer = 0;
};
