// The engine's small state machine. A machine holds up to 64
// states by id (not owned) and switches between them: the leaving state's
// OnLeave(new id), then the entering state's OnEnter(old id), then
// previous = old, current = new. Update forwards to the current state.
// Match flow, training and the menu flows derive their machines and states
// from these two classes.
#pragma once

#include <cstdint>

class CKEMStateMachine;

class CKEMState {
public:
    CKEMState() : mStateMachine(nullptr) {}
    virtual ~CKEMState() {}

    // Called when the machine enters this state; previousStateId is -1 on
    // the machine's first change.
    virtual void OnEnter(int previousStateId) { (void)previousStateId; }
    // Called by CKEMStateMachine::Update while this state is current.
    virtual void Update() {}
    // Called when the machine leaves this state for nextStateId.
    virtual void OnLeave(int nextStateId) { (void)nextStateId; }

    // The owning machine, set by CKEMStateMachine::AddState.
    CKEMStateMachine* GetStateMachine() const { return mStateMachine; }
    void SetStateMachine(CKEMStateMachine* machine) { mStateMachine = machine; }

protected:
    CKEMStateMachine* mStateMachine;
};

class CKEMStateMachine {
public:
    enum { MAX_STATES = 64, NO_STATE = -1 };

    // Starts as after Reset, so a machine is usable before its owner's own
    // Reset call (which every owner still makes).
    CKEMStateMachine();
    virtual ~CKEMStateMachine() {}

    // Previous, current and next ids -1; count 0; all 64 slots null. Returns
    // 0. The states themselves are not touched (they are not owned).
    virtual int Reset();
    // The base's empty operation (the menu flows call it after entering their
    // last, dummy screen).
    virtual void Nop() {}
    // states[id] = state, the state's machine = this machine. Returns 1, or 0
    // (nothing stored) for an id outside 0..63 or a null state.
    virtual int AddState(int id, CKEMState* state);
    virtual int GetPreviousState() const { return mPreviousStateId; }
    virtual int GetCurrentState() const { return mCurrentStateId; }
    // Only Reset writes it in the base; derived machines keep a pending id.
    virtual int GetNextState() const { return mNextStateId; }
    // 1. when a state is current: states[current].OnLeave(id);
    // 2. states[id].OnEnter(current id, -1 on the first change);
    // 3. previous = current, current = id.
    // Changing to the current state runs its leave and enter again. Returns
    // true. An id outside 0..63 or an empty slot changes nothing (no leave,
    // no enter, ids unchanged), logs the fault and returns false.
    virtual bool ChangeState(int id);
    // The current state's Update; nothing when no state is current.
    virtual void Update();

    // Argument order used by some callers: (state, id).
    int AddState(CKEMState* state, int id) { return AddState(id, state); }
    // The state registered at id; null for an empty slot or an id outside 0..63.
    CKEMState* GetState(int id) const;
    // How many slots hold a state.
    int GetStateCount() const { return mStateCount; }

protected:
    int32_t mStateCount;
    int32_t mPreviousStateId;
    int32_t mCurrentStateId;
    int32_t mNextStateId;
    CKEMState* mStates[MAX_STATES];
};
