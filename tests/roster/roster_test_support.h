// Shared by the roster and command-line tests: test data paths, whole-file reads and writes, a scratch folder.
#pragma once

#include "expected.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The cases of a golden folder under tests/data: every file but the NAME.expected* ones, each
// of which holds what its case must give. At least `fewest`, so that a folder that went
// missing or empty fails rather than passes.
inline std::vector<std::filesystem::path> goldenCases(const std::string& folder, std::size_t fewest)
{
    std::vector<std::filesystem::path> cases;
    for (const auto& entry : std::filesystem::directory_iterator(dataFile(folder)))
        if (entry.path().filename().string().find(".expected") == std::string::npos)
            cases.push_back(entry.path());
    EXPECT_GE(cases.size(), fewest) << "cases in " << folder;
    return cases;
}

// What a golden case must give: the NAME.expected.txt beside it.
inline std::string expectedOf(const std::filesystem::path& goldenCase)
{
    return fileBytes((goldenCase.parent_path() / goldenCase.stem()).string() + ".expected.txt");
}

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The text with every occurrence of part taken out, so that expected messages name files by their names alone.
inline std::string without(std::string text, const std::string& part)
{
    for (std::size_t at; !part.empty() && (at = text.find(part)) != std::string::npos;)
        text.erase(at, part.size());
    return text;
}

// The error's message, or "" when there was none: a failing check then shows why.
template <class T>
std::string messageOf(const Expected<T>& outcome)
{
    return outcome ? std::string() : outcome.error().message;
}

// What a save tells its user: "" for a plain success, the warnings of a success, or the error.
inline std::string saveReport(const Expected<SaveOutcome>& outcome, const std::filesystem::path& path)
{
    return outcome ? outcome.value().describe(path) : outcome.error().message;
}

#ifndef _WIN32
// Runs body in a child process and hands back the text it returned, or what ended the child.
inline std::string inChild(const std::function<std::string()>& body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const std::string text = body();
        [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return text + "(killed by signal " + std::to_string(WTERMSIG(status)) + ")";
    return text;
}

// Lets the calling process map only extraMiB more than it has mapped now, so that a larger
// allocation throws std::bad_alloc. Meant for a child process (see inChild).
inline bool capMemory(long extraMiB)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) {
            const rlim_t bytes = static_cast<rlim_t>(std::stol(line.substr(7)) + extraMiB * 1024) * 1024;
            const struct rlimit limit = {bytes, bytes};
            return ::setrlimit(RLIMIT_AS, &limit) == 0;
        }
    }
    return false;
}

// Checks that run out of memory on purpose need an allocator that throws rather than one
// that reports and stops, which the AddressSanitizer's is.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool MemoryCapWorks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool MemoryCapWorks = false;
#else
inline constexpr bool MemoryCapWorks = true;
#endif
#else
inline constexpr bool MemoryCapWorks = true;
#endif
#endif // !_WIN32

// A fresh, empty folder per test, removed afterwards.
class ScratchFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A name nobody else holds: create_directory reports whether it made the folder.
        std::random_device random;
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && dir.empty(); ++attempt) {
            const std::filesystem::path candidate = temp / ("brevorn-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                dir = candidate;
        }
        ASSERT_FALSE(dir.empty()) << "no scratch folder could be made in " << temp;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;
};

} // namespace brevorn
