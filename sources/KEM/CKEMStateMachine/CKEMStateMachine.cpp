#include "CKEMStateMachine.h"

#include "Platform.h"

CKEMStateMachine::CKEMStateMachine() {
    CKEMStateMachine::Reset();
}

int CKEMStateMachine::Reset() {
    mPreviousStateId = NO_STATE;
    mCurrentStateId = NO_STATE;
    mNextStateId = NO_STATE;
    mStateCount = 0;
    for (int i = 0; i < MAX_STATES; ++i)
        mStates[i] = nullptr;
    return 0;
}

int CKEMStateMachine::AddState(int id, CKEMState* state) {
    if (id < 0 || id >= MAX_STATES || state == nullptr) {
        PlatLog("CKEMStateMachine::AddState(%d) => FAILED, invalid id or null state", id);
        return 0;
    }
    if (mStates[id] == nullptr)
        ++mStateCount;
    mStates[id] = state;
    state->SetStateMachine(this);
    return 1;
}

CKEMState* CKEMStateMachine::GetState(int id) const {
    if (id < 0 || id >= MAX_STATES)
        return nullptr;
    return mStates[id];
}

bool CKEMStateMachine::ChangeState(int id) {
    CKEMState* next = GetState(id);
    if (next == nullptr) {
        PlatLog("CKEMStateMachine::ChangeState(%d) => FAILED, no state with this id", id);
        return false;
    }
    const int current = mCurrentStateId;
    if (CKEMState* leaving = GetState(current))
        leaving->OnLeave(id);
    next->OnEnter(current);
    mPreviousStateId = current;
    mCurrentStateId = id;
    return true;
}

void CKEMStateMachine::Update() {
    if (CKEMState* state = GetState(mCurrentStateId))
        state->Update();
}
