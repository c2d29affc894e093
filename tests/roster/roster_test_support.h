// Shared by the roster and command-line tests: test data paths, whole-file reads and writes, a scratch folder.
#pragma once

#include "expected.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <stdlib.h>

namespace brevorn {

inline std::string dataFile(const std::string& name)
{
    return BREVORN_TEST_DATA_DIR "/" + name;
}

inline std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The error's message, or "" when there was none: a failing check then shows why.
inline std::string messageOf(const Expected<void>& outcome)
{
    return outcome ? std::string() : outcome.error().message;
}

// A fresh, empty folder per test, removed afterwards.
class ScratchFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "brevorn-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;
};

} // namespace brevorn
