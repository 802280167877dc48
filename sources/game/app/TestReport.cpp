#include "TestReport.h"

#include <Platform.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

struct Channel {
    bool read = false;
    std::string dir;
    FILE* file = nullptr;
    std::mutex mutex;
};

Channel& TheChannel() {
    static Channel channel;
    return channel;
}

// Opened on first use, kept for the whole run (the stream is flushed per line).
FILE* ReportFile(Channel& channel) {
    if (!channel.read) {
        channel.read = true;
        const char* dir = std::getenv("TAVIRELO_TEST_CONTROL");
        if (dir && *dir) {
            channel.dir = dir;
            const std::string path = channel.dir + "/report.txt";
            channel.file = std::fopen(path.c_str(), "a");
            if (!channel.file)
                PlatLog("TestReport: cannot open \"%s\": no test report", path.c_str());
        }
    }
    return channel.file;
}

}  // namespace

bool TestReportEnabled() {
    Channel& channel = TheChannel();
    std::lock_guard<std::mutex> lock(channel.mutex);
    return ReportFile(channel) != nullptr;
}

void TestReport(const char* format, ...) {
    Channel& channel = TheChannel();
    std::lock_guard<std::mutex> lock(channel.mutex);
    FILE* file = ReportFile(channel);
    if (!file)
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // One event a line whatever the caller formatted.
    for (char* c = line; *c; ++c)
        if (*c == '\n' || *c == '\r')
            *c = ' ';
    std::fprintf(file, "%s\n", line);
    std::fflush(file);
}

int TestToss() {
    const char* toss = std::getenv("TAVIRELO_TEST_TOSS");
    if (!toss)
        return -1;
    if (std::strcmp(toss, "0") == 0)
        return 0;
    if (std::strcmp(toss, "1") == 0)
        return 1;
    return -1;
}

int TestTargetScore(int normal) {
    const char* target = std::getenv("TAVIRELO_TEST_TARGET");
    if (!target)
        return normal;
    char* end = nullptr;
    const long value = std::strtol(target, &end, 10);
    return (end != target && *end == '\0' && value >= 1 && value <= 13) ? static_cast<int>(value) : normal;
}

bool TestFixedSeed(unsigned& seed) {
    const char* text = std::getenv("TAVIRELO_TEST_SEED");
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*end != '\0')
        return false;
    seed = static_cast<unsigned>(value);
    return true;
}

bool TestAutoplay() {
    const char* autoplay = std::getenv("TAVIRELO_TEST_AUTOPLAY");
    return autoplay && std::strcmp(autoplay, "1") == 0;
}

const char* TestLanName() {
    const char* name = std::getenv("TAVIRELO_TEST_LAN_NAME");
    return name && *name ? name : nullptr;
}

namespace {

// Level and angle of TAVIRELO_TEST_TRAINING_THROW, read once.
struct TrainingThrow {
    int level = kTestThrowOff;
    int angle = 2;
};

const TrainingThrow& TheTrainingThrow() {
    static const TrainingThrow setting = [] {
        TrainingThrow read;
        const char* text = std::getenv("TAVIRELO_TEST_TRAINING_THROW");
        if (!text || !*text)
            return read;
        char* end = nullptr;
        const long level = std::strtol(text, &end, 10);
        long angle = 2;
        bool good = end != text && level >= -1 && level <= 10;
        if (good && *end == ',') {
            const char* next = end + 1;
            angle = std::strtol(next, &end, 10);
            good = end != next && angle >= 1 && angle <= 3;
        }
        if (!good || *end != '\0') {
            PlatLog("TestReport: TAVIRELO_TEST_TRAINING_THROW \"%s\" is not <level>[,<angle>]: ignored", text);
            return read;
        }
        read.level = static_cast<int>(level);
        read.angle = static_cast<int>(angle);
        return read;
    }();
    return setting;
}

}  // namespace

int TestTrainingThrowLevel() { return TheTrainingThrow().level; }

int TestTrainingThrowAngle() { return TheTrainingThrow().angle; }

const char* TestControlDir() {
    Channel& channel = TheChannel();
    std::lock_guard<std::mutex> lock(channel.mutex);
    ReportFile(channel);
    return channel.file ? channel.dir.c_str() : "";
}
