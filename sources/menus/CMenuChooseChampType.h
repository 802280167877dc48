// Where the teams come from: France (regions, team origin 1) or the world
// (nations, team origin 2). Two buttons switch the map picture; the France
// picture is two thirds as wide as the world one.
#pragma once

#include "CMenu.h"

class CMenuChooseChampType : public CMenu {
public:
    enum { CHOICE_NONE = 0, CHOICE_FRANCE = 1, CHOICE_WORLD = 2 };

    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override;

    bool OnBtnFrance(const CEGUI::EventArgs& args);
    bool OnBtnWorld(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);
    bool OnBtnBack(const CEGUI::EventArgs& args) { return CMenu::OnBtnBack(args); }

    int GetChoice() const { return mChoice; }
    float GetSavedMapWidth() const { return mSavedMapWidth; }

    static const char kLayout[];        // "CMenuSelectChampType.layout"
    static const char kMapElement[];    // "FranceWorldMap"

private:
    void ShowFranceMap();
    void ShowWorldMap();

    float mSavedMapWidth = 0.0f;
    int mChoice = CHOICE_NONE;
};
