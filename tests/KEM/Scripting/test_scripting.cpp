// The script machine against plain scene nodes: scripts run from the media
// folder two levels above the working directory, as in the game.
#include "ScriptingTestUtil.h"

#include <CKEMScript.h>
#include <CScriptVM.h>
#include <KEMScriptAPI.h>

#include <CKEMSceneNode.h>
#include <COdeWorld.h>
#include <CPhysicMgr.h>
#include <CPhysicObject.h>
#include <CScenaricMgr.h>
#include <HalTimer.h>
#include <KEMCrc32.h>
#include <KEMException.h>
#include <Platform.h>

#include <gtest/gtest.h>
#include <lua.hpp>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace scripting_test;

class ScriptingTest : public ::testing::Test {
protected:
    void TearDown() override { mNodes.clear(); }

    // A named node (under no parent) carrying the given script.
    CKEMSceneNode* Node(const std::string& name, const std::string& script)
    {
        mNodes.emplace_back(new CKEMSceneNode(nullptr));
        CKEMSceneNode* node = mNodes.back().get();
        node->setName(name);
        if (!script.empty())
            node->attachScript(new CKEMScript(script));
        return node;
    }

    static lua_State* State(CKEMSceneNode* node) { return node->getKEMScript()->GetVM()->GetState(); }

    ScriptMedia mMedia;
    std::vector<std::unique_ptr<CKEMSceneNode>> mNodes;
};

// Inside the folder only the text after the last backslash follows it; a path
// that climbs out of the folder or starts elsewhere, with either slash, is
// refused and runs nothing.
TEST(ScriptPath, PathsResolveInsideTheScriptFolderOrAreRefused)
{
    const struct {
        const char* given;
        const char* expected;   // null: refused
    } cases[] = {
        {"awardScript.lua", "..\\..\\mediaDemo\\LUA\\awardScript.lua"},
        {"scripts\\spectatorScript.lua", "..\\..\\mediaDemo\\LUA\\spectatorScript.lua"},
        {"dir/x.lua", "..\\..\\mediaDemo\\LUA\\dir/x.lua"},
        {"trailing\\", "..\\..\\mediaDemo\\LUA\\"},
        {"...lua", "..\\..\\mediaDemo\\LUA\\...lua"},
        {"../../../../elsewhere/x.lua", nullptr},
        {"..\\..\\..\\elsewhere\\x.lua", nullptr},
        {"dir/../../x.lua", nullptr},
        {"dir\\..", nullptr},
        {"..", nullptr},
        {"/etc/passwd", nullptr},
        {"\\\\server\\share\\x.lua", nullptr},
        {"C:\\work\\scripts\\spectatorScript.lua", nullptr},
        {"c:x.lua", nullptr},
    };
    ScriptMedia media;
    for (const auto& c : cases) {
        LogLines().clear();
        CKEMScript script(c.given);
        EXPECT_EQ(script.IsRefused(), c.expected == nullptr) << c.given;
        EXPECT_EQ(script.GetPath(), c.expected ? c.expected : "") << c.given;
        EXPECT_EQ(LogCount("REFUSED"), c.expected ? 0u : 1u) << c.given << "\n" << LogText();
        EXPECT_EQ(script.getKEMSceneNode(), nullptr);
        EXPECT_EQ(script.GetVM()->GetState(), nullptr);   // no state before an owner
        // A scene file's path that is refused gives its node no script.
        CKEMScript* made = CKEMSceneNode::ScriptHooks().create(c.given);
        EXPECT_EQ(made == nullptr, c.expected == nullptr) << c.given;
        delete made;
    }
}

TEST_F(ScriptingTest, GetThisAnswersForTheNodeWhoseScriptRuns)
{
    CKEMSceneNode* first = Node("first", "identity.lua");
    CKEMSceneNode* second = Node("second", "identity.lua");
    CKEMSceneNode* bare = Node("bare", "");
    (void)bare;

    // Each script renames its own node only.
    EXPECT_EQ(CallInt(first, "Rename"), CKEMSceneNode::KEM_SCENENODE);
    EXPECT_EQ(first->getName(), "first_");
    EXPECT_EQ(second->getName(), "second");
    int type = -1;
    EXPECT_EQ(second->VMCall("Rename", KEMVM_STRING, "b", KEMVM_RESULT_INT, &type, KEMVM_END), 0);
    EXPECT_EQ(second->getName(), "second_b");
    EXPECT_EQ(first->getName(), "first_");
    EXPECT_EQ(CScriptVM::getThis(), second->getKEMScript()->GetVM());
    EXPECT_EQ(CScriptVM::getThis()->getKEMSceneNode(), second);

    // A script calling into another node's script gets its own machine back.
    CKEMSceneNode* visitor = Node("visitor", "identity.lua");
    CKEMSceneNode* other = Node("other", "identity.lua");
    EXPECT_EQ(CallInt(visitor, "Visit"), 1) << LogText();
    EXPECT_EQ(other->getName(), "terminated");
    EXPECT_EQ(visitor->getName(), "visitor");
    EXPECT_EQ(LogCount("ERROR"), 0u) << LogText();
}

TEST_F(ScriptingTest, TwoNodesHaveSeparateGlobals)
{
    CKEMSceneNode* a = Node("a", "globals.lua");
    CKEMSceneNode* b = Node("b", "globals.lua");
    ASSERT_NE(State(a), State(b));
    EXPECT_EQ(a->VMCall("SetValue", KEMVM_INT, 5, KEMVM_END), 0);
    EXPECT_EQ(CallInt(b, "GetValue"), -1);
    EXPECT_EQ(CallInt(a, "GetValue"), 5);
}

TEST_F(ScriptingTest, SyntaxErrorIsLoggedAndLeavesAStateWithoutScriptFunctions)
{
    CKEMSceneNode* node = Node("broken", "syntax_error.lua");
    EXPECT_EQ(LogCount("syntax_error.lua:6:"), 1u) << LogText();
    ASSERT_NE(State(node), nullptr);
    // Nothing of the file ran; the bindings are there.
    EXPECT_EQ(CallInt(node, "Fine", 7), 7);
    EXPECT_EQ(lua_gettop(State(node)), 0);
    luaL_dostring(State(node), "return kem.KEMSceneNode.KEM_SCENE_CAMERA");
    EXPECT_EQ(lua_tointeger(State(node), -1), 5);
}

TEST_F(ScriptingTest, RuntimeErrorsAreLoggedWithFileAndLineAndReturnMinusOne)
{
    CKEMSceneNode* node = Node("faulty", "runtime_error.lua");
    // The top level stopped at line 25: what came before it stands.
    EXPECT_EQ(LogCount("runtime_error.lua:25:"), 1u) << LogText();
    EXPECT_EQ(CallInt(node, "StillAlive"), 1);
    EXPECT_EQ(CallInt(node, "NeverDefined", 3), 3);

    const struct {
        const char* function;
        const char* logged;
    } cases[] = {
        {"Nil", "runtime_error.lua:5:"},
        {"Raise", "runtime_error.lua:9: raised on purpose"},
        {"RaiseTable", "(error object is a table value)"},
        {"BadArgument", "runtime_error.lua:17:"},   // an error raised by a bound method
    };
    for (const auto& c : cases) {
        LogLines().clear();
        int result = 42;
        EXPECT_EQ(node->VMCall(c.function, KEMVM_RESULT_INT, &result, KEMVM_END), -1) << c.function;
        EXPECT_EQ(result, 42) << c.function;
        EXPECT_EQ(LogCount(c.logged), 1u) << c.function << "\n" << LogText();
        EXPECT_EQ(lua_gettop(State(node)), 0) << c.function;
    }
    // The state keeps working after its errors.
    EXPECT_EQ(CallInt(node, "StillAlive"), 1);
}

TEST_F(ScriptingTest, MissingFileIsLoggedAndCallsDoNothing)
{
    CKEMSceneNode* node = Node("lost", "no_such_script.lua");
    EXPECT_EQ(LogCount("no_such_script.lua"), 1u) << LogText();
    ASSERT_NE(State(node), nullptr);
    EXPECT_EQ(node->VMCall("FirstManageCall", KEMVM_STRING, "x", KEMVM_END), 0);
}

TEST_F(ScriptingTest, MissingFunctionIsANoOpWithTheStackBalanced)
{
    CKEMSceneNode* node = Node("calls", "calls.lua");
    lua_State* L = State(node);
    lua_pushinteger(L, 11);   // something of the caller's on the stack
    int result = 9;
    EXPECT_EQ(node->VMCall("Missing", KEMVM_INT, 1, KEMVM_STRING, "s", KEMVM_RESULT_INT, &result, KEMVM_END), 0);
    EXPECT_EQ(node->VMCall("calls", KEMVM_END), 0);   // a global that is not a function
    EXPECT_EQ(result, 9);
    ASSERT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(lua_tointeger(L, 1), 11);
    lua_settop(L, 0);

    // A malformed list calls nothing.
    int a = 0, b = 0;
    EXPECT_EQ(node->VMCall("Sum", KEMVM_RESULT_INT, &a, KEMVM_RESULT_INT, &b, KEMVM_END), -1);
    EXPECT_EQ(node->VMCall("Sum", 9, KEMVM_END), -1);
    EXPECT_EQ(CallInt(node, "Calls"), 0);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptingTest, ArgumentsAndResultsCrossAsTheirTypes)
{
    CKEMSceneNode* node = Node("calls", "calls.lua");
    int sum = 0;
    EXPECT_EQ(node->VMCall("Sum", KEMVM_INT, 1, KEMVM_DOUBLE, 2.75, KEMVM_STRING, "abc", KEMVM_RESULT_INT, &sum,
                           KEMVM_END), 0);
    EXPECT_EQ(sum, 6);   // 6.75 truncated
    int isFloat = -1;
    EXPECT_EQ(node->VMCall("IsFloat", KEMVM_DOUBLE, 0.1, KEMVM_RESULT_BOOL, &isFloat, KEMVM_END), 0);
    EXPECT_EQ(isFloat, 1);   // pushed in single precision
    // A result of another type leaves the target as it was; a bool is not a number.
    EXPECT_EQ(CallInt(node, "Text", 77), 77);
    EXPECT_EQ(CallInt(node, "Yes", 78), 78);
    int none = 5;
    EXPECT_EQ(node->VMCall("Calls", KEMVM_RESULT_NONE, &none, KEMVM_END), 0);
    EXPECT_EQ(none, 5);
    EXPECT_EQ(CallInt(node, "Calls"), 1);
}

TEST_F(ScriptingTest, LifeEventsWakeAndSleepReachTheScript)
{
    CKEMSceneNode* node = Node("calls", "calls.lua");
    CKEMSceneNode* sender = Node("sender", "");
    EXPECT_EQ(node->VMCall("Register", KEMVM_END), 0);
    ASSERT_STREQ(node->GetLifeFunction(), "Life");

    node->VMCallLife();
    int frame = -1;
    node->VMCall("Check", KEMVM_INT, 1, KEMVM_RESULT_INT, &frame, KEMVM_END);
    EXPECT_EQ(frame, static_cast<int>(node->GetFrameCounter()));

    EXPECT_EQ(node->OnScriptEvent(KEMCrc32String("Goal"), 4), 0);
    EXPECT_EQ(node->OnScriptEvent(KEMCrc32String("Other"), 4), -1);
    int goal = -1;
    node->VMCall("Check", KEMVM_INT, 2, KEMVM_RESULT_INT, &goal, KEMVM_END);
    EXPECT_EQ(goal, 4);

    node->SendEvent(CKEMSceneNode::EVENT_WAKEUP, sender, 3);
    EXPECT_TRUE(CallBool(node, "Check", 3));
    node->SendEvent(CKEMSceneNode::EVENT_SLEEP, sender, 4);
    EXPECT_TRUE(CallBool(node, "Check", 4));
    EXPECT_EQ(LogCount("ERROR"), 0u) << LogText();
}

TEST_F(ScriptingTest, ScriptVocabulary)
{
    gTimer.mGameTime = 123456;
    CKEMSceneNode* node = Node("api", "api.lua");
    Node("unscripted", "");
    for (const char* check : {"Libraries", "Constants", "Maths", "ScriptOwner", "Move"})
        EXPECT_TRUE(CallBool(node, check)) << check << "\n" << LogText();
    EXPECT_EQ(CallInt(node, "Clock"), 123456);
    // The registry knows scripted nodes only.
    int found = -1;
    node->VMCall("Find", KEMVM_STRING, "api", KEMVM_RESULT_BOOL, &found, KEMVM_END);
    EXPECT_EQ(found, 1);
    node->VMCall("Find", KEMVM_STRING, "unscripted", KEMVM_RESULT_BOOL, &found, KEMVM_END);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(LogCount("ERROR"), 0u) << LogText();
    gTimer.mGameTime = 0;
}

// A script of the folder reaching for files and programs: io, os, package
// and debug are not there, dofile and loadfile stop at the folder, and a
// compiled chunk does not load. The file outside sets a global when it runs.
TEST_F(ScriptingTest, AScriptCannotReachFilesOrProgramsOutsideItsFolder)
{
    const fs::path elsewhere = fs::current_path() / ".." / ".." / "elsewhere";
    fs::create_directories(elsewhere);
    {
        std::ofstream(elsewhere / "x.lua") << "escaped = true\nfunction Escaped() return 1 end\n";
    }
    CKEMSceneNode* node = Node("escape", "escape.lua");
    EXPECT_TRUE(CallBool(node, "NoFilesOrPrograms")) << LogText();
    EXPECT_TRUE(CallBool(node, "FolderScripts")) << LogText();
    EXPECT_TRUE(CallBool(node, "NoCompiledChunks")) << LogText();
    const std::string absolute = (elsewhere / "x.lua").string();
    for (const std::string& path : {std::string("../../elsewhere/x.lua"), std::string("..\\..\\elsewhere\\x.lua"),
                                    absolute, std::string("dir/../../../elsewhere/x.lua")}) {
        for (const char* check : {"NoDofile", "NoLoadfile"}) {
            int shut = -1;
            EXPECT_EQ(node->VMCall(check, KEMVM_STRING, path.c_str(), KEMVM_RESULT_BOOL, &shut, KEMVM_END), 0);
            EXPECT_EQ(shut, 1) << check << " " << path << "\n" << LogText();
        }
    }

    // A node given that file as its script runs nothing of it.
    LogLines().clear();
    CKEMSceneNode* intruder = Node("intruder", "../../elsewhere/x.lua");
    EXPECT_EQ(CallInt(intruder, "Escaped", 0), 0);
    EXPECT_EQ(LogCount("REFUSED"), 1u) << LogText();
    EXPECT_EQ(LogCount("ERROR"), 0u) << LogText();
}

TEST_F(ScriptingTest, ScriptsMoveTheNodesPhysicObject)
{
    COdeWorld world;
    gPhysicMgr.CreateWorld(&world);
    CKEMSceneNode* node = Node("ball", "api.lua");
    node->attachPhysicObject(new CPhysicObject(CPhysicObject::MOVABLE_ACTOR));
    ASSERT_NE(node->getPhysicObject(), nullptr);
    EXPECT_TRUE(CallBool(node, "Velocity")) << LogText();
    EXPECT_EQ(node->getPhysicObject()->getLinearVelocity(), Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(node->getPhysicObject()->getAngularVelocity(), Ogre::Vector3(0, 0, 4));
    mNodes.clear();
    gPhysicMgr.Clear();
    gPhysicMgr.CreateWorld(nullptr);
}

TEST_F(ScriptingTest, AScriptRemovingItsOwnScriptKeepsTheProgramRunning)
{
    // Directly (the script then asks for its machine: a script error), and
    // from a call nested in another one on the same state.
    const struct {
        const char* function;
        size_t errors;
    } cases[] = {{"RemoveSelf", 1}, {"RemoveThroughTerm", 0}};
    for (const auto& c : cases) {
        LogLines().clear();
        CKEMSceneNode* node = Node(c.function, "api.lua");
        EXPECT_EQ(node->VMCall(c.function, KEMVM_END), -1) << c.function;
        EXPECT_EQ(node->getKEMScript(), nullptr) << c.function;
        EXPECT_EQ(gScenaricMgr.IndexOf(node), -1) << c.function;
        // The machine that went is no longer current.
        EXPECT_THROW(CScriptVM::getThis(), CKEMException) << c.function;
        EXPECT_EQ(LogCount("Object not created"), c.errors) << c.function << "\n" << LogText();
    }
}

TEST_F(ScriptingTest, GetThisWithoutACurrentMachineThrows)
{
    CKEMSceneNode* node = Node("gone", "globals.lua");
    node->VMCall("GetValue", KEMVM_END);
    ASSERT_EQ(CScriptVM::GetCurrent(), node->getKEMScript()->GetVM());
    node->removeScript();
    try {
        CScriptVM::getThis();
        FAIL() << "no exception";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetReason(), "Object not created");
        EXPECT_EQ(e.GetSource(), "CScriptVM");
    }
}

TEST_F(ScriptingTest, TheGameScriptsLoadAndAnswerTheEngineCalls)
{
    for (const char* file : {"awardScript.lua", "spectatorScript.lua"}) {
        LogLines().clear();
        CKEMSceneNode* node = Node(file, file);
        CKEMSceneNode* sender = Node("sender", "");
        node->VMCallFirstManageCall();
        node->SendEvent(CKEMSceneNode::EVENT_WAKEUP, sender, 1);
        node->VMCallLife();
        node->SendEvent(CKEMSceneNode::EVENT_SLEEP, sender, 0);
        node->VMCallTerm();
        EXPECT_EQ(LogCount("CScriptVM"), 0u) << file << "\n" << LogText();
        EXPECT_EQ(lua_gettop(State(node)), 0);
    }
}

TEST(FormatString, CountsWhatItStoresAndCutsLongTexts)
{
    EXPECT_EQ(FormatString(nullptr), 0);
    EXPECT_EQ(FormatString("%s=%d", "a", 12), 4);
    const std::string longText(5000, 'x');
    EXPECT_EQ(FormatString("%s", longText.c_str()), 1023);
}

}  // namespace
