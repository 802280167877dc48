// Scratch files for the data-table and save-slot tests: one fresh folder per
// test under the test binary directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tables_test {

inline std::string FreshFolder(const std::string& leaf) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::path(KEM_TEST_BINARY_DIR) / "tables_scratch" /
                                (std::string(info->test_suite_name()) + "." + info->name()) / leaf;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

inline std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string SourceData(const std::string& file) { return std::string(KEM_SOURCE_MEDIA) + "/Data/" + file; }

}  // namespace tables_test
