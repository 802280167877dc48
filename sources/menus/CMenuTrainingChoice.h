// The exercise chosen on the training-type screen, held by the training
// flow: the training flow derives from this as well as from CMenuGameMode,
// and the training screens reach it through their owner.
#pragma once

class CMenuGameMode;

class CMenuTrainingChoice {
public:
    enum { POINT_1 = 0, POINT_2 = 1, SHOOT_1 = 2, SHOOT_2 = 3 };

    virtual ~CMenuTrainingChoice() = default;
    int GetTrainingType() const { return mTrainingType; }
    void SetTrainingType(int type) { mTrainingType = type; }

    // The flow's choice; null when the flow holds none.
    static CMenuTrainingChoice* Of(CMenuGameMode* flow);

protected:
    int mTrainingType = 0;
};
