// The venue of the match among four stages, browsed one at a time with its
// name and picture. Every entry starts at the first stage.
#pragma once

#include "CMenu.h"

class CMenuChooseStage : public CMenu {
public:
    enum { NB_STAGES = 4 };

    void OnEnter(int previousStateId) override;
    void Update() override { UpdateValidBack(); }
    void OnLeave(int nextStateId) override;

    bool OnBtnNext(const CEGUI::EventArgs& args);
    bool OnBtnPrev(const CEGUI::EventArgs& args);
    bool OnBtnValid(const CEGUI::EventArgs& args);

    int GetStageIndex() const { return mStageIndex; }
    // "MENU/Terrain/" and the stage's picture name; the name key of the stage.
    static std::string StageMaterial(int index);
    static const char* StageNameKey(int index);

    static const char kLayout[];   // "CMenuSelectStage.layout"

private:
    void ShowStage();

    int mStageIndex = 0;
};
