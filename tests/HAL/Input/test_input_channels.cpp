// The input channels driven through the fake device backend: channel
// encoding of keys, mouse and joysticks, bindings, the focus rule, joystick
// product hashes and the "DInput Error" failure paths.
#include <CInputMgr.h>
#include <DInputFakeBackend.h>
#include <DInputSdlBackend.h>

#include <CMainApp.h>
#include <KEMCrc32.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;
void Capture(const char* line) { gLog.push_back(line); }

const PlatWindowHandle kWindow = 0x51;

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        gLog.clear();
        PlatSetLogSink(&Capture);
        PlatSetMessageBoxInteractive(false);
        auto fake = std::make_unique<CDInputFakeBackend>();
        mFake = fake.get();
        DInputSetBackend(std::move(fake));
        mFake->focusWindow = kWindow;
        g_pMainApp->SetWindowHandle(reinterpret_cast<KEMWindowHandle>(kWindow));
    }
    void TearDown() override {
        DInputSetBackend(nullptr);
        g_pMainApp->SetWindowHandle(nullptr);
        PlatSetLogSink(nullptr);
    }

    // The "DInput Error" message boxes shown so far, by text.
    std::vector<std::string> Boxes() const {
        const std::string prefix = "[DInput Error] ";
        std::vector<std::string> texts;
        for (const std::string& line : gLog)
            if (line.compare(0, prefix.size(), prefix) == 0)
                texts.push_back(line.substr(prefix.size()));
        return texts;
    }

    // One frame: the device state set so far is read into the channels.
    uint16_t Frame(int channel) {
        mInput.Update();
        return mInput.GetChannel(channel);
    }

    CDInputFakeBackend::Joystick& Attach(const std::string& name) {
        mFake->attached.emplace_back();
        mFake->attached.back().productName = name;
        return mFake->attached.back();
    }

    CDInputFakeBackend* mFake = nullptr;
    CInputMgr mInput;
};

}  // namespace

TEST_F(Input, KeyPressHoldReleaseAndPressRightAfterRelease) {
    mInput.Init();
    const int kReturn = 0x1C;
    mFake->PressKey(kReturn);
    EXPECT_EQ(Frame(kReturn), 0x80FF);
    EXPECT_TRUE(CInputMgr::IsPressed(mInput.GetChannel(kReturn)));
    EXPECT_EQ(Frame(kReturn), 0x00FF);
    EXPECT_EQ(Frame(kReturn), 0x00FF);
    mFake->ReleaseKey(kReturn);
    EXPECT_EQ(Frame(kReturn), 0x8000);
    EXPECT_TRUE(CInputMgr::IsReleased(mInput.GetChannel(kReturn)));
    EXPECT_EQ(Frame(kReturn), 0);

    // A press in the frame straight after a release is a new press.
    EXPECT_EQ(Frame(kReturn), 0);
    mFake->PressKey(kReturn);
    Frame(kReturn);
    mFake->ReleaseKey(kReturn);
    EXPECT_EQ(Frame(kReturn), 0x8000);
    mFake->PressKey(kReturn);
    EXPECT_EQ(Frame(kReturn), 0x80FF);
}

TEST_F(Input, KeyboardFillsOnlyChannelsUpTo237) {
    mInput.Init();
    mFake->PressKey(237);
    mFake->PressKey(238);
    mFake->PressKey(0xF0);   // key codes above 237 would land on joystick 0
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(237), 0x80FF);
    EXPECT_EQ(mInput.GetChannel(238), 0);
    EXPECT_EQ(mInput.GetChannel(0xF0), 0);
}

TEST_F(Input, KeyboardThatStopsDeliveringLetsGoOfItsKeys) {
    mInput.Init();
    mFake->PressKey(0x39);
    mInput.Update();
    mFake->failKeyboardRead = true;
    EXPECT_EQ(Frame(0x39), 0x8000);
    EXPECT_EQ(Frame(0x39), 0);
}

TEST_F(Input, MouseMovementAndButtons) {
    mInput.Init();
    struct Step {
        int dx, dy;
        uint16_t down, up, left, right;
    };
    const Step sequence[] = {
        {400, 0, 0, 0, 0, 0x80FF},   // clamped to 255
        {10, 0, 0, 0, 0, 10},        // still moving: no changed bit
        {-3, 0, 0, 0, 0x8003, 0x8000},
        {0, 0, 0, 0, 0x8000, 0},
        {0, 2, 0x8002, 0, 0, 0},
        {0, -700, 0x8000, 0x80FF, 0, 0},
        {0, 0, 0, 0x8000, 0, 0},
        {0, 0, 0, 0, 0, 0},
    };
    for (size_t i = 0; i < sizeof(sequence) / sizeof(sequence[0]); ++i) {
        const Step& s = sequence[i];
        mFake->MoveMouse(s.dx, s.dy);
        mInput.Update();
        SCOPED_TRACE("frame " + std::to_string(i));
        EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_DOWN), s.down);
        EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_UP), s.up);
        EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_LEFT), s.left);
        EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_RIGHT), s.right);
    }

    // The wheel drives no channel.
    mFake->MoveMouse(0, 0, 120);
    mInput.Update();
    for (int c = KEM_INPUT_MOUSE_DOWN; c < KEM_INPUT_CHANNEL_COUNT; ++c)
        EXPECT_EQ(mInput.GetChannel(c), 0) << c;

    // Buttons: 467 left, 468 right, 469 middle, up to 474.
    mFake->SetMouseButton(1, true);
    mFake->SetMouseButton(7, true);
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(468), 0x80FF);
    EXPECT_EQ(mInput.GetChannel(474), 0x80FF);
    EXPECT_EQ(mInput.GetChannel(467), 0);
    EXPECT_EQ(Frame(468), 0x00FF);
    mFake->SetMouseButton(1, false);
    EXPECT_EQ(Frame(468), 0x8000);
    EXPECT_EQ(Frame(468), 0);
}

TEST_F(Input, JoystickAxesDeadZoneAndDirections) {
    Attach("pad 0");
    Attach("pad 1");
    mInput.Init();
    ASSERT_EQ(DInputJoystickCount(), 2);
    struct Step {
        int value;
        uint16_t positive, negative;
    };
    const Step sequence[] = {
        {5, 0, 0},           // dead zone
        {6, 0x8006, 0},
        {6, 6, 0},
        {200, 200, 0},       // level changes, no changed bit
        {-6, 0x8000, 0x8006},
        {-5, 0, 0x8000},
        {-900, 0, 0x80FF},   // clamped
        {0, 0, 0x8000},
        {0, 0, 0},
    };
    // Axis 7 (slider 1) of joystick 1: offsets 14 and 15.
    const int positive = KemJoyChannel(1, 14), negative = KemJoyChannel(1, 15);
    EXPECT_EQ(positive, 239 + 56 + 14);
    for (size_t i = 0; i < sizeof(sequence) / sizeof(sequence[0]); ++i) {
        mFake->JoystickInSlot(1)->state.axes[7] = sequence[i].value;
        mInput.Update();
        SCOPED_TRACE("value " + std::to_string(sequence[i].value));
        EXPECT_EQ(mInput.GetChannel(positive), sequence[i].positive);
        EXPECT_EQ(mInput.GetChannel(negative), sequence[i].negative);
    }
    // X+ of joystick 0 untouched by joystick 1.
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 0)), 0);
}

TEST_F(Input, JoystickHatAndButtons) {
    Attach("pad");
    mInput.Init();
    CDInputFakeBackend::Joystick& joy = *mFake->JoystickInSlot(0);
    const int up = KemJoyChannel(0, 16), right = KemJoyChannel(0, 18), down = KemJoyChannel(0, 20),
              left = KemJoyChannel(0, 22);
    struct Case {
        uint32_t pov;
        bool up, right, down, left;
    };
    const Case cases[] = {
        {0, true, false, false, false},     {4500, true, true, false, false},
        {9000, false, true, false, false},  {13500, false, true, true, false},
        {18000, false, false, true, false}, {22500, false, false, true, true},
        {27000, false, false, false, true}, {31500, true, false, false, true},
        {DINPUT_POV_CENTRED, false, false, false, false},
    };
    for (const Case& c : cases) {
        joy.state.pov[0] = c.pov;
        mInput.Update();
        mInput.Update();   // settled: held directions 0xFF, others 0
        SCOPED_TRACE("pov " + std::to_string(c.pov));
        EXPECT_EQ(mInput.GetChannel(up), c.up ? 0xFF : 0);
        EXPECT_EQ(mInput.GetChannel(right), c.right ? 0xFF : 0);
        EXPECT_EQ(mInput.GetChannel(down), c.down ? 0xFF : 0);
        EXPECT_EQ(mInput.GetChannel(left), c.left ? 0xFF : 0);
    }
    // Up-right pressed, then a position the hat cannot have: nothing changes.
    joy.state.pov[0] = 4500;
    mInput.Update();
    joy.state.pov[0] = 1234;
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(up), 0x80FF);
    EXPECT_EQ(mInput.GetChannel(right), 0x80FF);
    // The unassigned offsets between the directions stay 0.
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 17)), 0);

    // Buttons 0-31 at offsets 24-55; button 32 has no channel.
    joy.state.buttons[0] = 0x80;
    joy.state.buttons[31] = 1;
    joy.state.buttons[32] = 0x80;
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 24)), 0x80FF);
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 55)), 0x80FF);
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(1, 0)), 0);
    joy.state.buttons[31] = 0;
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 55)), 0x8000);
}

TEST_F(Input, BindingsReadTheirChannels) {
    mInput.Init();
    EXPECT_EQ(mInput.SetKeyMapping(2, 0x1C), 2);
    EXPECT_EQ(mInput.SetKeyMapping(1, 467), 1);
    EXPECT_EQ(mInput.SetKeyMapping(474, 474), 474);
    mFake->PressKey(0x1C);
    mFake->SetMouseButton(0, true);
    mInput.Update();
    EXPECT_EQ(mInput.GetKeyMapping(2), 0x1C);
    EXPECT_EQ(mInput.GetAction(2), 0x80FF);
    EXPECT_EQ(mInput.GetAction(1), 0x80FF);
    EXPECT_EQ(mInput.GetAction(474), 0);
    EXPECT_EQ(mInput.GetAction(3), mInput.GetChannel(0));   // unbound: channel 0

    // Out of the tables: refused, logged, nothing changes; readers get 0.
    const struct {
        int action, channel;
    } refused[] = {{475, 1}, {-1, 1}, {2, 475}, {2, -1}, {2, 0x10000 + 1}};
    for (const auto& r : refused) {
        gLog.clear();
        EXPECT_EQ(mInput.SetKeyMapping(r.action, r.channel), r.action);
        EXPECT_FALSE(gLog.empty());
    }
    EXPECT_EQ(mInput.GetKeyMapping(2), 0x1C);
    EXPECT_EQ(mInput.GetAction(475), 0);
    EXPECT_EQ(mInput.GetChannel(-1), 0);
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_CHANNEL_COUNT), 0);

    // Init clears both tables.
    mInput.Init();
    EXPECT_EQ(mInput.GetKeyMapping(2), 0);
    EXPECT_EQ(mInput.GetChannel(0x1C), 0);
    EXPECT_EQ(mInput.GetChannel(467), 0);
}

TEST_F(Input, NothingIsReadWithoutTheMainWindowsKeyboardFocus) {
    Attach("pad");
    mInput.Init();
    EXPECT_EQ(mFake->keyboardWindow, kWindow);   // devices made on the app's window
    mFake->PressKey(0x10);
    mFake->SetMouseButton(0, true);
    mInput.Update();

    for (PlatWindowHandle elsewhere : {PlatWindowHandle(0), PlatWindowHandle(0x77)}) {
        mFake->focusWindow = kWindow;
        mFake->PressKey(0x10);
        mFake->SetMouseButton(0, true);
        mInput.Update();
        mFake->focusWindow = elsewhere;
        mFake->ReleaseKey(0x10);
        mFake->MoveMouse(50, 0);
        mFake->JoystickInSlot(0)->state.buttons[0] = 0x80;
        int reads = mFake->keyboardReads + mFake->mouseReads;
        // Every held channel is released once, then nothing is held or new.
        mInput.Update();
        EXPECT_EQ(mInput.GetChannel(0x10), 0x8000);
        EXPECT_EQ(mInput.GetChannel(467), 0x8000);
        mInput.Update();
        EXPECT_EQ(mFake->keyboardReads + mFake->mouseReads, reads);
        for (int channel = 0; channel < KEM_INPUT_CHANNEL_COUNT; ++channel)
            ASSERT_EQ(mInput.GetChannel(channel), 0) << channel;
    }

    mFake->focusWindow = kWindow;
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(0x10), 0);
    EXPECT_EQ(mInput.GetChannel(467), 0x80FF);                           // still held: pressed anew
    EXPECT_EQ(mInput.GetChannel(KEM_INPUT_MOUSE_RIGHT), 0x8000 + 50);   // the move made without the focus, kept by the device
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 24)), 0x80FF);

    // No application window at all: nothing is read either.
    g_pMainApp->SetWindowHandle(nullptr);
    mFake->PressKey(0x10);
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(0x10), 0);
    EXPECT_EQ(mInput.GetChannel(467), 0x8000);
}

TEST_F(Input, JoysticksHashTheirProductNamesAndAFifthIsIgnored) {
    Attach("123456789");
    Attach("Broken pad").failCreate = true;
    Attach("Gamepad F310");
    Attach("");
    Attach("Wheel");
    Attach("Fifth stick");
    mInput.Init();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Create Joy device"});
    ASSERT_EQ(DInputJoystickCount(), 4);
    EXPECT_EQ(DInputJoystickProductCrc(0), 0xCBF43926u);   // the CRC-32 check value
    EXPECT_EQ(DInputJoystickProductCrc(1), KEMCrc32String("Gamepad F310"));
    EXPECT_EQ(DInputJoystickProductCrc(2), 0u);
    EXPECT_EQ(DInputJoystickProductCrc(3), KEMCrc32String("Wheel"));
    EXPECT_EQ(DInputJoystickProductCrc(4), 0u);
    EXPECT_EQ(DInputJoystickProductCrc(-1), 0u);
    EXPECT_EQ(mFake->JoystickInSlot(3)->productName, "Wheel");

    // The fifth stick's button reaches no channel.
    mFake->attached[5].state.buttons[0] = 0x80;
    mInput.Update();
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(mInput.GetChannel(KemJoyChannel(j, 24)), 0);
}

TEST_F(Input, JoystickThatFailsSetUpIsDroppedAndTheOthersMoveUp) {
    Attach("first").setupFailure = DInputStep::AxisRange;
    Attach("second");
    mInput.Init();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Enum Joystick axes"});
    ASSERT_EQ(DInputJoystickCount(), 1);
    EXPECT_EQ(DInputJoystickProductCrc(0), KEMCrc32String("second"));
    mFake->attached[1].state.buttons[2] = 0x80;
    mInput.Update();
    EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 26)), 0x80FF);
    EXPECT_EQ(Boxes().size(), 1u);   // no read error every frame
}

TEST_F(Input, JoystickReadErrorsAreReportedEveryFrameAndKeepTheChannels) {
    struct Case {
        DInputReadResult result;
        const char* text;   // null: silent
    };
    const Case cases[] = {
        {DInputReadResult::InvalidParam, "DIERR_INVALIDPARAM"}, {DInputReadResult::InputLost, "DIERR_INPUTLOST"},
        {DInputReadResult::Pending, "E_PENDING"},               {DInputReadResult::NotAcquired, "DIERR_NOTACQUIRED"},
        {DInputReadResult::NotInitialized, "DIERR_NOTINITIALIZED"},
        {DInputReadResult::Unplugged, nullptr},                 {DInputReadResult::Other, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "silent");
        mFake->attached.clear();
        Attach("failing").state.buttons[0] = 0x80;
        Attach("working");
        mInput.Init();
        mInput.Update();
        gLog.clear();
        mFake->attached[0].readResult = c.result;
        mFake->attached[0].state.buttons[0] = 0;
        mFake->attached[1].state.buttons[0] = 0x80;
        mInput.Update();
        mInput.Update();
        std::vector<std::string> expected;
        if (c.text)
            expected = {c.text, c.text};
        EXPECT_EQ(Boxes(), expected);
        EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 24)), 0x80FF);   // as it was
        EXPECT_EQ(mInput.GetChannel(KemJoyChannel(1, 24)), 0x00FF);   // the next one is still read
    }
}

TEST_F(Input, DeviceCreationFailuresShowTheirMessageAndLeaveTheDeviceAbsent) {
    struct Case {
        const char* name;
        void (*configure)(CDInputFakeBackend&);
        std::vector<std::string> boxes;
        bool keyboard, mouse;
        int joysticks;
    };
    const Case cases[] = {
        {"interface", [](CDInputFakeBackend& f) { f.failInterface = true; }, {"Create DInput Interface"}, false,
         false, 0},
        {"keyboard create", [](CDInputFakeBackend& f) { f.keyboardFailure = DInputStep::Create; },
         {"Create keyboard device"}, false, false, 0},
        {"keyboard format", [](CDInputFakeBackend& f) { f.keyboardFailure = DInputStep::DataFormat; },
         {"Set keyboard data format"}, false, false, 0},
        {"keyboard cooperative", [](CDInputFakeBackend& f) { f.keyboardFailure = DInputStep::CooperativeLevel; },
         {"Set keyboard cooperative level"}, false, false, 0},
        {"keyboard acquire", [](CDInputFakeBackend& f) { f.keyboardFailure = DInputStep::Acquire; },
         {"keyboard acquire"}, false, false, 0},
        {"enumeration", [](CDInputFakeBackend& f) { f.failEnumerate = true; }, {"Enum joy devices"}, true, true, 0},
        {"joystick format", [](CDInputFakeBackend& f) { f.attached[0].setupFailure = DInputStep::DataFormat; },
         {"Set joystick data format"}, true, true, 0},
        {"joystick cooperative",
         [](CDInputFakeBackend& f) { f.attached[0].setupFailure = DInputStep::CooperativeLevel; },
         {"Set joystick cooperative format"}, true, true, 0},
        {"joystick caps", [](CDInputFakeBackend& f) { f.attached[0].setupFailure = DInputStep::Capabilities; },
         {"Get joystick capabilities"}, true, true, 0},
        {"joystick acquire", [](CDInputFakeBackend& f) { f.attached[0].setupFailure = DInputStep::Acquire; },
         {"Acquire Joystick"}, true, true, 0},
        {"mouse create", [](CDInputFakeBackend& f) { f.mouseFailure = DInputStep::Create; }, {"Create Mouse device"},
         true, false, 1},
        {"mouse format", [](CDInputFakeBackend& f) { f.mouseFailure = DInputStep::DataFormat; }, {"DInput Error"},
         true, false, 1},
        {"mouse cooperative", [](CDInputFakeBackend& f) { f.mouseFailure = DInputStep::CooperativeLevel; },
         {"DInput Error"}, true, false, 1},
        {"mouse acquire", [](CDInputFakeBackend& f) { f.mouseFailure = DInputStep::Acquire; }, {}, true, true, 1},
        {"none", [](CDInputFakeBackend&) {}, {}, true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto fake = std::make_unique<CDInputFakeBackend>();
        mFake = fake.get();
        DInputSetBackend(std::move(fake));
        mFake->focusWindow = kWindow;
        Attach("pad");
        c.configure(*mFake);
        gLog.clear();

        mInput.SetKeyMapping(2, 0x1C);
        bool mouse = DInputInit(kWindow);
        EXPECT_EQ(mouse, c.mouse);
        EXPECT_EQ(Boxes(), c.boxes);
        EXPECT_EQ(DInputHasKeyboard(), c.keyboard);
        EXPECT_EQ(DInputHasMouse(), c.mouse);
        EXPECT_EQ(DInputJoystickCount(), c.joysticks);

        // The manager's Init clears its tables whatever failed, and the poll
        // skips what is absent.
        mInput.Init();
        EXPECT_EQ(mInput.GetKeyMapping(2), 0);
        mFake->PressKey(0x1C);
        mFake->SetMouseButton(0, true);
        mFake->attached[0].state.buttons[0] = 0x80;
        mInput.Update();
        EXPECT_EQ(mInput.GetChannel(0x1C), c.keyboard ? 0x80FF : 0);
        EXPECT_EQ(mInput.GetChannel(467), c.mouse ? 0x80FF : 0);
        EXPECT_EQ(mInput.GetChannel(KemJoyChannel(0, 24)), c.joysticks ? 0x80FF : 0);
    }
}

TEST_F(Input, KeyCharactersComeFromTheLayoutTables) {
    mFake->charTables[0][0x10] = 'a';
    mFake->charTables[1][0x10] = 'A';
    mFake->charTables[2][0x10] = 0xE6;
    mFake->charTables[2][0x0B] = '@';
    mInput.Init();
    EXPECT_EQ(DInputKeyToChar(0x10, false, false), 'a');
    EXPECT_EQ(DInputKeyToChar(0x10, true, false), 'A');
    EXPECT_EQ(DInputKeyToChar(0x10, true, true), 0xE6);   // Alt Gr wins over Shift
    EXPECT_EQ(DInputKeyToChar(0x0B, false, true), '@');
    EXPECT_EQ(DInputKeyToChar(0x0B, false, false), 0);
    EXPECT_EQ(DInputKeyToChar(256, false, false), 0);
    EXPECT_EQ(DInputKeyToChar(0xFFFFFFFFu, false, true), 0);
    mInput.InjectChar('a');   // no GUI running: dropped
}

TEST(InputSdlBackend, AxisAndHatConversions) {
    const struct {
        int sdl;
        int32_t level;
    } axes[] = {{-32768, -255}, {32767, 255}, {0, 0}, {128, 0}, {-129, -1}, {16384, 127}};
    for (const auto& a : axes)
        EXPECT_EQ(CDInputSdlBackend::ScaleAxis(a.sdl), a.level) << a.sdl;
    // SDL hat bits: 1 up, 2 right, 4 down, 8 left.
    const struct {
        int hat;
        uint32_t pov;
    } hats[] = {{0, DINPUT_POV_CENTRED}, {1, 0},      {3, 4500},  {2, 9000},
                {6, 13500},              {4, 18000},  {12, 22500}, {8, 27000},
                {9, 31500},              {5, DINPUT_POV_CENTRED}};
    for (const auto& h : hats)
        EXPECT_EQ(CDInputSdlBackend::HatToPov(h.hat), h.pov) << h.hat;
}
