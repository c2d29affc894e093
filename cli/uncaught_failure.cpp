// The one line for a failure nothing else caught: which command, and what stopped it in plain words.
#include "uncaught_failure.h"

#include "path_text.h"
#include "roster_commands.h"

#include <exception>
#include <filesystem>
#include <new>
#include <string>

namespace brevorn {

namespace {

// A file system error as "cannot get file status: Permission denied: "a.txt"". Its what()
// holds the same, but with the paths in a narrow form that Windows may have garbled.
std::string describe(const std::filesystem::filesystem_error& error)
{
    std::string what = error.what();
    const std::string prefix = "filesystem error: ";
    if (what.starts_with(prefix))
        what.erase(0, prefix.size());
    const std::size_t paths = what.find(" [");
    if (paths != std::string::npos)
        what.erase(paths);
    for (const std::filesystem::path* path : {&error.path1(), &error.path2()}) {
        if (!path->empty())
            what += (path == &error.path1() ? ": " : " and ") + quotedPath(*path);
    }
    return what;
}

std::string reasonOfCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "there was not enough memory";
    } catch (const std::filesystem::filesystem_error& error) {
        return describe(error);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an error of a kind the program does not know";
    }
}

} // namespace

int reportUncaughtFailure(std::string_view command, std::ostream& err) noexcept
{
    try {
        const std::string what = command.empty() ? "stopped" : std::string(command) + " did not finish";
        err << "brevorn-roster: " << what << ": " << reasonOfCurrentException() << '\n' << std::flush;
    } catch (...) {
        // Not even the line could be made: say what can be said without memory.
        err << "brevorn-roster: stopped: there was not enough memory\n" << std::flush;
    }
    return ExitTrouble;
}

} // namespace brevorn
