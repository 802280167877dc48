// The base of the training states: a machine state that knows its training
// mode. The training runs one series of ten throws as a machine of five
// states: init (turn the thrower to the exercise), main (aim and throw),
// result (score the throw, wait for a click), outro (end frame: retry or
// back to the training menu) and begin (a new series).
#pragma once

#include <CKEMStateMachine.h>

#include <OgreVector.h>

class CTrainingGameMode;
class CTrainingGameMaster;

// Ids of the training machine's states.
enum TrainingStateId {
    TRAINING_STATE_INIT = 0,
    TRAINING_STATE_MAIN = 1,
    TRAINING_STATE_RESULT = 2,
    TRAINING_STATE_OUTRO = 3,
    TRAINING_STATE_BEGIN = 4,
    TRAINING_STATE_COUNT = 5,
};

class CTrainingGMState : public CKEMState {
public:
    void SetOwner(CTrainingGameMode* owner) { mOwner = owner; }
    CTrainingGameMode* GetOwner() const { return mOwner; }

protected:
    // Changes the owner's training machine to `id`.
    void ChangeTo(int id);
    // The owner's referee; null without an owner or a referee.
    CTrainingGameMaster* Referee() const;
    // For the test channel: "<label> x y ahead a hidden h", where the
    // exercise's object stands in the picture (fractions of the width and
    // height from the top left), whether it is before the camera and whether
    // the trainee's body lies on the line of sight to it.
    void ReportView(const char* label) const;
    // The same for a point of the scene (a ball), whose line of sight the
    // trainee's body or the wall may cut.
    void ReportPointView(const char* label, const Ogre::Vector3& point) const;

    CTrainingGameMode* mOwner = nullptr;
};
