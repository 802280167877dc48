// Helpers shared by the tuning tests: scratch folders and log capture.
#pragma once

#include <Platform.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace tuning_test {

// A fresh folder under /tmp, removed when the object goes.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/tavirelo_tuning_XXXXXX";
        const char* made = mkdtemp(pattern);
        mPath = made ? made : "/tmp";
    }
    ~ScratchDir() {
        if (mPath.rfind("/tmp/tavirelo_tuning_", 0) == 0)
            std::system(("rm -rf '" + mPath + "'").c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return mPath; }
    std::string Folder() const { return mPath + "/"; }
    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = mPath + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << content;
        return path;
    }

private:
    std::string mPath;
};

// Collects PlatLog lines while alive.
class LogCapture {
public:
    LogCapture() {
        Lines().clear();
        PlatSetLogSink(&Sink);
    }
    ~LogCapture() { PlatSetLogSink(nullptr); }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
    static size_t CountContaining(const std::string& text) {
        size_t n = 0;
        for (const std::string& line : Lines())
            if (line.find(text) != std::string::npos)
                ++n;
        return n;
    }

private:
    static void Sink(const char* line) { Lines().push_back(line ? line : ""); }
};

inline std::string SourceMediaConfig() { return std::string(KEM_SOURCE_MEDIA) + "/Config/"; }

}  // namespace tuning_test
