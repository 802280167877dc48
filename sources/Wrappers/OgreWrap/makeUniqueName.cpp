#include "makeUniqueName.h"

#include <atomic>
#include <cstdint>

namespace {
std::atomic<uint32_t> g_uniqueNameCounter{0};
}

std::string makeUniqueName(const std::string& prefix, const std::string& suffix)
{
    const uint32_t value = g_uniqueNameCounter.fetch_add(1);
    return prefix + std::to_string(value) + suffix;
}
