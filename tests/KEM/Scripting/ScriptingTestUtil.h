// Shared by the scripting tests: the media tree scripts run from, the log,
// and calls that return a script's result.
#pragma once

#include <CKEMSceneNode.h>
#include <Platform.h>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace scripting_test {

namespace fs = std::filesystem;

inline std::vector<std::string>& LogLines()
{
    static std::vector<std::string> lines;
    return lines;
}

inline void CaptureLog(const char* line) { LogLines().push_back(line ? line : ""); }

inline size_t LogCount(const std::string& text)
{
    size_t n = 0;
    for (const std::string& line : LogLines())
        if (line.find(text) != std::string::npos)
            ++n;
    return n;
}

inline std::string LogText()
{
    std::string all;
    for (const std::string& line : LogLines())
        all += line + "\n";
    return all;
}

// While alive: a scratch tree whose <root>/game/bin is the working directory
// and whose <root>/mediaDemo/LUA holds the test scripts and the game's own,
// and the log captured.
class ScriptMedia {
public:
    ScriptMedia()
    {
        char pattern[] = "/tmp/tavirelo_scripting_XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        mRoot = made ? made : "/tmp/tavirelo_scripting_failed";
        const fs::path lua = mRoot / "mediaDemo" / "LUA";
        fs::create_directories(lua);
        fs::create_directories(mRoot / "game" / "bin");
        for (const fs::path& folder : {fs::path(KEM_TEST_SOURCE_DIR) / "lua", fs::path(KEM_SOURCE_MEDIA) / "LUA"})
            for (const auto& entry : fs::directory_iterator(folder))
                fs::copy_file(entry.path(), lua / entry.path().filename());
        mPreviousDir = fs::current_path();
        fs::current_path(mRoot / "game" / "bin");
        LogLines().clear();
        PlatSetLogSink(&CaptureLog);
    }
    ~ScriptMedia()
    {
        PlatSetLogSink(nullptr);
        fs::current_path(mPreviousDir);
        fs::remove_all(mRoot);
    }
    ScriptMedia(const ScriptMedia&) = delete;
    ScriptMedia& operator=(const ScriptMedia&) = delete;

private:
    fs::path mRoot;
    fs::path mPreviousDir;
};

// A script function's numeric result (`initial` when it gives none).
inline int CallInt(CKEMSceneNode* node, const char* function, int initial = -99)
{
    int result = initial;
    EXPECT_EQ(node->VMCall(function, KEMVM_RESULT_INT, &result, KEMVM_END), 0) << function << "\n" << LogText();
    return result;
}

// A script function's boolean result for one int argument.
inline bool CallBool(CKEMSceneNode* node, const char* function, int argument = 0)
{
    int result = -1;
    EXPECT_EQ(node->VMCall(function, KEMVM_INT, argument, KEMVM_RESULT_BOOL, &result, KEMVM_END), 0)
        << function << "\n" << LogText();
    return result == 1;
}

}  // namespace scripting_test
