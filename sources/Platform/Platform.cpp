#include "Platform.h"

#include <SDL.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <deque>

void PlatInit() {
    setlocale(LC_NUMERIC, "C");
}

uint32_t PlatGetTimeMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms);
}

double PlatGetTimeSeconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void PlatSleep(uint32_t ms) {
    timespec ts;
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = long(ms % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}

uint32_t PlatCurrentThreadId() {
    return uint32_t(syscall(SYS_gettid));
}

// ---- log ---------------------------------------------------------------------
static std::atomic<PlatLogSink> gLogSink{nullptr};

static std::atomic<bool> gLogSilent{false};

void PlatSetLogSink(PlatLogSink sink) { gLogSink = sink; }
void PlatSetLogSilent(bool silent) { gLogSilent = silent; }

void PlatLogV(const char* format, va_list args) {
    if (gLogSilent.load())
        return;
    char line[2048];
    vsnprintf(line, sizeof(line), format, args);
    fprintf(stderr, "%s\n", line);
    if (PlatLogSink sink = gLogSink.load())
        sink(line);
}

void PlatLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    PlatLogV(format, args);
    va_end(args);
}

void PlatDebugOutput(const char* text) {
    fputs(text ? text : "(null)", stderr);
}

int PlatFormat(char* buffer, size_t size, const char* format, ...) {
    if (!buffer || size == 0)
        return 0;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0) {
        buffer[0] = 0;
        return 0;
    }
    return n < int(size) ? n : int(size) - 1;
}

// ---- message box ----------------------------------------------------------
static std::atomic<int> gMessageBoxAllowed{-1};   // -1: decide from environment

void PlatSetMessageBoxInteractive(bool allowed) { gMessageBoxAllowed = allowed ? 1 : 0; }

bool PlatMessageBoxIsInteractive() {
    int allowed = gMessageBoxAllowed.load();
    if (allowed == 0)
        return false;
    if (getenv("CI") || getenv("TAVIRELO_NO_MESSAGEBOX"))
        return false;
    const char* display = getenv("DISPLAY");
    return display && *display;
}

void PlatMessageBox(const char* caption, const char* text) {
    PlatLog("[%s] %s", caption ? caption : "", text ? text : "");
    if (!PlatMessageBoxIsInteractive())
        return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption ? caption : "", text ? text : "", nullptr);
}

// ---- random numbers --------------------------------------------------------
static uint32_t gRandState = 1;

int KemRand() {
    gRandState = gRandState * 214013u + 2531011u;
    return int((gRandState >> 16) & 0x7FFF);
}

void KemSrand(unsigned int seed) { gRandState = seed; }

// ---- paths ------------------------------------------------------------------
std::string PlatFixPath(const std::string& path) {
    std::string fixed = path;
    for (char& c : fixed)
        if (c == '\\')
            c = '/';
    return fixed;
}

bool PlatFileExists(const std::string& path) {
    struct stat st;
    return stat(PlatFixPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// ---- window messages --------------------------------------------------------
static std::deque<PlatEvent> gEvents;
static PlatEventFeeder gFeeder = nullptr;
static PlatEventDispatcher gDispatcher = nullptr;

void PlatSetEventFeeder(PlatEventFeeder feeder) { gFeeder = feeder; }
void PlatSetEventDispatcher(PlatEventDispatcher dispatcher) { gDispatcher = dispatcher; }

void PlatFeedEvents() {
    if (gFeeder)
        gFeeder();
}

void PlatPushEvent(const PlatEvent& ev) { gEvents.push_back(ev); }

bool PlatPeekEvent(PlatEvent& ev) {
    if (gEvents.empty())
        return false;
    ev = gEvents.front();
    gEvents.pop_front();
    return true;
}

void PlatDispatchEvent(const PlatEvent& ev) {
    if (gDispatcher)
        gDispatcher(ev);
}

void PlatClearEvents() { gEvents.clear(); }
