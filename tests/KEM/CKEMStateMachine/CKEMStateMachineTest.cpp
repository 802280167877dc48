// CKEMStateMachine / CKEMState.
#include "CKEMStateMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Log;

// Records every call with the ids it got and what the machine said then.
class RecordingState : public CKEMState {
public:
    RecordingState(const char* name, Log* log) : mName(name), mLog(log) {}

    void OnEnter(int previousStateId) override {
        mLog->push_back(mName + ".enter(" + std::to_string(previousStateId) + ") cur=" +
                        std::to_string(mStateMachine->GetCurrentState()));
    }
    void Update() override {
        mLog->push_back(mName + ".update");
        if (mJumpTo >= 0) {
            const int to = mJumpTo;
            mJumpTo = -1;
            mStateMachine->ChangeState(to);
        }
    }
    void OnLeave(int nextStateId) override {
        mLog->push_back(mName + ".leave(" + std::to_string(nextStateId) + ") cur=" +
                        std::to_string(mStateMachine->GetCurrentState()));
    }

    int mJumpTo = -1;   // ChangeState to this id from the next Update

private:
    std::string mName;
    Log* mLog;
};

// A derived machine keeping a pending id in the next-state field, as the
// game's machines do.
class PendingMachine : public CKEMStateMachine {
public:
    void Request(int id) { mNextStateId = id; }
    void Update() override {
        if (mNextStateId >= 0) {
            const int id = mNextStateId;
            mNextStateId = -1;
            ChangeState(id);
        }
        CKEMStateMachine::Update();
    }
};

} // namespace

TEST(CKEMStateMachine, ResetClearsIdsAndSlots) {
    Log log;
    RecordingState a("a", &log);
    CKEMStateMachine m;
    EXPECT_EQ(0, m.Reset());
    EXPECT_EQ(-1, m.GetPreviousState());
    EXPECT_EQ(-1, m.GetCurrentState());
    EXPECT_EQ(-1, m.GetNextState());
    EXPECT_EQ(0, m.GetStateCount());
    EXPECT_EQ(1, m.AddState(3, &a));
    ASSERT_TRUE(m.ChangeState(3));
    EXPECT_EQ(0, m.Reset());
    EXPECT_EQ(-1, m.GetCurrentState());
    EXPECT_EQ(-1, m.GetPreviousState());
    EXPECT_EQ(nullptr, m.GetState(3));
    EXPECT_EQ(0, m.GetStateCount());
    // Reset neither leaves the state nor touches it.
    EXPECT_EQ((Log{"a.enter(-1) cur=-1"}), log);
    EXPECT_EQ(&m, a.GetStateMachine());
}

TEST(CKEMStateMachine, FreshMachineIsLikeAfterReset) {
    CKEMStateMachine m;
    EXPECT_EQ(-1, m.GetCurrentState());
    EXPECT_EQ(-1, m.GetPreviousState());
    EXPECT_EQ(-1, m.GetNextState());
    m.Update();   // nothing current: nothing happens
}

TEST(CKEMStateMachine, AddStateSetsTheMachine) {
    Log log;
    RecordingState a("a", &log), b("b", &log);
    CKEMStateMachine m;
    m.Reset();
    EXPECT_EQ(nullptr, a.GetStateMachine());
    EXPECT_EQ(1, m.AddState(0, &a));
    EXPECT_EQ(1, m.AddState(&b, 63));   // (state, id) order too
    EXPECT_EQ(&m, a.GetStateMachine());
    EXPECT_EQ(&m, b.GetStateMachine());
    EXPECT_EQ(&a, m.GetState(0));
    EXPECT_EQ(&b, m.GetState(63));
    EXPECT_EQ(2, m.GetStateCount());
    EXPECT_TRUE(log.empty());   // adding enters nothing
    EXPECT_EQ(-1, m.GetCurrentState());
}

TEST(CKEMStateMachine, FirstChangeEntersWithMinusOneAndLeavesNothing) {
    Log log;
    RecordingState a("a", &log);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(7, &a);
    EXPECT_TRUE(m.ChangeState(7));
    EXPECT_EQ((Log{"a.enter(-1) cur=-1"}), log);
    EXPECT_EQ(7, m.GetCurrentState());
    EXPECT_EQ(-1, m.GetPreviousState());
}

TEST(CKEMStateMachine, LeaveThenEnterThenIds) {
    Log log;
    RecordingState a("a", &log), b("b", &log), c("c", &log);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(0, &a);
    m.AddState(1, &b);
    m.AddState(2, &c);
    m.ChangeState(0);
    m.ChangeState(2);
    EXPECT_EQ(0, m.GetPreviousState());
    EXPECT_EQ(2, m.GetCurrentState());
    m.ChangeState(1);
    EXPECT_EQ(2, m.GetPreviousState());
    EXPECT_EQ(1, m.GetCurrentState());
    // The leaving state gets the new id, the entering one the old id; both
    // run before the machine's ids change.
    EXPECT_EQ((Log{"a.enter(-1) cur=-1",
                   "a.leave(2) cur=0", "c.enter(0) cur=0",
                   "c.leave(1) cur=2", "b.enter(2) cur=2"}),
              log);
    EXPECT_EQ(-1, m.GetNextState());   // the base never writes it
}

TEST(CKEMStateMachine, ChangeToTheCurrentStateLeavesAndEntersAgain) {
    Log log;
    RecordingState a("a", &log), b("b", &log);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(4, &a);
    m.AddState(5, &b);
    m.ChangeState(5);
    m.ChangeState(4);
    log.clear();
    EXPECT_TRUE(m.ChangeState(4));
    EXPECT_EQ((Log{"a.leave(4) cur=4", "a.enter(4) cur=4"}), log);
    EXPECT_EQ(4, m.GetPreviousState());
    EXPECT_EQ(4, m.GetCurrentState());
}

TEST(CKEMStateMachine, UpdateForwardsToTheCurrentStateOnly) {
    Log log;
    RecordingState a("a", &log), b("b", &log);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(0, &a);
    m.AddState(1, &b);
    m.Update();
    EXPECT_TRUE(log.empty());
    m.ChangeState(1);
    log.clear();
    m.Update();
    m.Update();
    EXPECT_EQ((Log{"b.update", "b.update"}), log);
}

TEST(CKEMStateMachine, StateChangingFromItsUpdateRunsTheNewUpdateNextFrame) {
    Log log;
    RecordingState launch("launch", &log), result("result", &log);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(3, &launch);
    m.AddState(4, &result);
    m.ChangeState(3);
    launch.mJumpTo = 4;
    log.clear();
    m.Update();   // frame 1: launch moves on; result's enter runs inside the call
    EXPECT_EQ((Log{"launch.update", "launch.leave(4) cur=3", "result.enter(3) cur=3"}), log);
    EXPECT_EQ(4, m.GetCurrentState());
    log.clear();
    m.Update();   // frame 2: result's first update
    EXPECT_EQ((Log{"result.update"}), log);
}

TEST(CKEMStateMachine, MenuFlowDummyRunsTheLastScreensLeave) {
    // A menu flow's last state is an empty dummy: entering it leaves the last
    // real screen; the base's empty operation is then called.
    Log log;
    RecordingState s0("s0", &log), s1("s1", &log);
    CKEMState dummy;
    CKEMStateMachine m;
    m.Reset();
    m.AddState(0, &s0);
    m.AddState(1, &s1);
    m.AddState(2, &dummy);
    m.ChangeState(0);
    m.ChangeState(1);
    log.clear();
    EXPECT_TRUE(m.ChangeState(2));
    m.Nop();
    m.Update();   // the dummy's update does nothing
    EXPECT_EQ((Log{"s1.leave(2) cur=1"}), log);
    EXPECT_EQ(1, m.GetPreviousState());
    EXPECT_EQ(2, m.GetCurrentState());
}

TEST(CKEMStateMachine, MachinesAreIndependent) {
    Log log;
    RecordingState a("a", &log), b("b", &log);
    CKEMStateMachine m1, m2;
    m1.Reset();
    m2.Reset();
    m1.AddState(0, &a);
    m2.AddState(0, &b);
    m1.ChangeState(0);
    EXPECT_EQ(0, m1.GetCurrentState());
    EXPECT_EQ(-1, m2.GetCurrentState());
    EXPECT_EQ(&m1, a.GetStateMachine());
    EXPECT_EQ(&m2, b.GetStateMachine());
}

TEST(CKEMStateMachine, DerivedMachineKeepsAPendingId) {
    Log log;
    RecordingState a("a", &log), b("b", &log);
    PendingMachine m;
    m.Reset();
    m.AddState(0, &a);
    m.AddState(9, &b);
    m.ChangeState(0);
    m.Request(9);
    EXPECT_EQ(9, m.GetNextState());
    log.clear();
    m.Update();
    EXPECT_EQ((Log{"a.leave(9) cur=0", "b.enter(0) cur=0", "b.update"}), log);
    EXPECT_EQ(-1, m.GetNextState());
    m.Reset();
    EXPECT_EQ(-1, m.GetNextState());
}

TEST(CKEMStateMachine, ReplacingAStateKeepsTheCount) {
    Log log;
    RecordingState a("a", &log), b("b", &log);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(2, &a);
    m.AddState(2, &b);
    EXPECT_EQ(1, m.GetStateCount());
    EXPECT_EQ(&b, m.GetState(2));
    m.ChangeState(2);
    EXPECT_EQ((Log{"b.enter(-1) cur=-1"}), log);
}

// Left to the implementer: ids outside 0..63 and empty slots.
TEST(CKEMStateMachine, BadIdsChangeNothing) {
    Log log;
    RecordingState a("a", &log);
    CKEMStateMachine m;
    m.Reset();
    EXPECT_EQ(0, m.AddState(-1, &a));
    EXPECT_EQ(0, m.AddState(64, &a));
    EXPECT_EQ(0, m.AddState(5, nullptr));
    EXPECT_EQ(nullptr, a.GetStateMachine());
    EXPECT_EQ(0, m.GetStateCount());
    EXPECT_EQ(nullptr, m.GetState(-1));
    EXPECT_EQ(nullptr, m.GetState(64));

    m.AddState(0, &a);
    m.ChangeState(0);
    log.clear();
    EXPECT_FALSE(m.ChangeState(1));     // empty slot
    EXPECT_FALSE(m.ChangeState(-1));
    EXPECT_FALSE(m.ChangeState(64));
    EXPECT_FALSE(m.ChangeState(1000000));
    EXPECT_TRUE(log.empty());           // not even a leave
    EXPECT_EQ(0, m.GetCurrentState());
    EXPECT_EQ(-1, m.GetPreviousState());
    m.Update();
    EXPECT_EQ((Log{"a.update"}), log);
}

TEST(CKEMState, BaseOperationsDoNothing) {
    CKEMState s;
    EXPECT_EQ(nullptr, s.GetStateMachine());
    s.OnEnter(-1);
    s.Update();
    s.OnLeave(3);
    CKEMStateMachine m;
    m.Reset();
    m.AddState(0, &s);
    EXPECT_TRUE(m.ChangeState(0));
    m.Update();
    EXPECT_TRUE(m.ChangeState(0));
    EXPECT_EQ(0, m.GetPreviousState());
}
