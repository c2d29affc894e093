// What brevorn-roster says when something no command handles was thrown.
#include "roster_commands.h"
#include "uncaught_failure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace brevorn {
namespace {

// The exit code and standard error after throw_ was caught at the top.
std::pair<int, std::string> reportOf(std::string_view command, const std::function<void()>& throw_)
{
    std::ostringstream err;
    try {
        throw_();
    } catch (...) {
        const int code = reportUncaughtFailure(command, err);
        return {code, err.str()};
    }
    return {-1, "nothing was thrown"};
}

TEST(UncaughtFailure, OneLineNamesTheCommandAndWhatStoppedIt)
{
    namespace fs = std::filesystem;
    const fs::path omega(u"\u03a9mega.txt");
    const fs::path tokyo(u"\u6771\u4eac.txt");
    const std::error_code denied = std::make_error_code(std::errc::permission_denied);
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw std::bad_alloc(); }, "check did not finish: there was not enough memory"},
        {[&] { throw fs::filesystem_error("cannot get file status", omega, denied); },
         "check did not finish: cannot get file status: " + denied.message() + ": \"\xce\xa9mega.txt\""},
        {[&] { throw fs::filesystem_error("cannot copy", omega, tokyo, denied); },
         "check did not finish: cannot copy: " + denied.message() +
             ": \"\xce\xa9mega.txt\" and \"\xe6\x9d\xb1\xe4\xba\xac.txt\""},
        {[] { throw std::out_of_range("slot 501"); }, "check did not finish: slot 501"},
        {[] { throw 42; }, "check did not finish: an error of a kind the program does not know"},
    };
    for (const auto& [throw_, message] : cases)
        EXPECT_EQ(reportOf("check", throw_), std::make_pair(ExitTrouble, "brevorn-roster: " + message + "\n"));

    // Before a command was known.
    EXPECT_EQ(reportOf("", [] { throw std::bad_alloc(); }),
              std::make_pair(ExitTrouble, std::string("brevorn-roster: stopped: there was not enough memory\n")));
}

} // namespace
} // namespace brevorn
