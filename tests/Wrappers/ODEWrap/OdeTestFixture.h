// A fresh ODE world per test and a contact receiver that records what it gets.
#pragma once

#include "COdeWorld.h"
#include "CPhysicsSystemODE.h"
#include "OdeTestScene.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class OdeWorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.reset(system.CreateWorld());
        odetest::SetUpWorld(*world);
    }
    void TearDown() override
    {
        world.reset();
        system.Shutdown();
    }

    CPhysicsSystemODE system;
    std::unique_ptr<COdeWorld> world;
};

struct RecordingReceiver : IOdeContactReceiver {
    enum Kind { BEGIN, CONTINUE, END };
    struct Event {
        Kind kind;
        IOdeContactReceiver* other;
        ContactInfo info;
    };

    void OnContactBegin(IOdeContactReceiver* other, ContactInfo& info) override { Record(BEGIN, other, &info); }
    void OnContactContinue(IOdeContactReceiver* other, ContactInfo& info) override { Record(CONTINUE, other, &info); }
    void OnContactEnd(IOdeContactReceiver* other) override { Record(END, other, nullptr); }

    int Count(Kind kind) const
    {
        int n = 0;
        for (const Event& e : events)
            n += e.kind == kind;
        return n;
    }

    std::vector<Event> events;
    std::function<void(Kind, ContactInfo*)> hook;

private:
    void Record(Kind kind, IOdeContactReceiver* other, ContactInfo* info)
    {
        events.push_back(Event{kind, other, info ? *info : ContactInfo()});
        if (hook)
            hook(kind, info);
    }
};
