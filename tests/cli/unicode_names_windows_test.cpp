// brevorn-roster started as Windows starts a program, with a UTF-16 command line: names that
// no ANSI code page holds reach the right file, and the messages show them as they were typed.
#include "roster_test_support.h"
#include "utf16.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

struct ProgramRun
{
    DWORD exitCode = DWORD(-1);
    std::string out; // as written, bytes
    std::string err; // as written, UTF-8 with CR LF line ends
};

// The \\?\ form: the test's own calls take names past MAX_PATH in it.
std::wstring extended(const fs::path& path)
{
    return L"\\\\?\\" + fs::absolute(path).native();
}

std::string readAll(const fs::path& path)
{
    const HANDLE file = ::CreateFileW(extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(cannot open: error " + std::to_string(::GetLastError()) + ")";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

void writeAll(const fs::path& path, const std::string& bytes)
{
    const HANDLE file = ::CreateFileW(extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "error " << ::GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    ::CloseHandle(file);
}

class UnicodeNames : public ScratchFolder
{
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        streams = dir / "streams";
        work = dir / "work";
        fs::create_directories(streams);
        fs::create_directories(work);
        // Five folders of 70 letters: a name of over 350 characters from the work folder,
        // more than 400 in full.
        for (wchar_t letter = L'a'; letter < L'f'; ++letter) {
            longFolder += std::wstring(70, letter) + L"\\";
            ASSERT_TRUE(::CreateDirectoryW(extended(work / longFolder).c_str(), nullptr));
        }
    }

    void TearDown() override
    {
        // Folder by folder to one-letter names, short enough for remove_all.
        fs::path shortened = work;
        for (std::size_t start = 0; start < longFolder.size(); start += 71) {
            const fs::path from = shortened / longFolder.substr(start, 70);
            shortened /= longFolder.substr(start, 1);
            ::MoveFileW(extended(from).c_str(), extended(shortened).c_str());
        }
        ScratchFolder::TearDown();
    }

    // Runs brevorn-roster with the arguments as one UTF-16 command line, in the work folder,
    // with standard output and error redirected to files. Without a console: one made for
    // it would hold the files open a moment after the program ended.
    ProgramRun run(const std::wstring& arguments)
    {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const auto streamFile = [&](const wchar_t* name) {
            return ::CreateFileW((streams / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherited, CREATE_ALWAYS, 0, nullptr);
        };
        const HANDLE out = streamFile(L"out");
        const HANDLE err = streamFile(L"err");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = out;
        startup.hStdError = err;
        const std::wstring program = toUtf16(BREVORN_CLI_PROGRAM);
        std::wstring line = L"\"" + program + L"\" " + arguments;
        PROCESS_INFORMATION process{};
        ProgramRun result;
        if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                             work.c_str(), &startup, &process)) {
            ::WaitForSingleObject(process.hProcess, 60000);
            ::GetExitCodeProcess(process.hProcess, &result.exitCode);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
        ::CloseHandle(out);
        ::CloseHandle(err);
        result.out = readAll(streams / "out");
        result.err = readAll(streams / "err");
        return result;
    }

    fs::path streams;
    fs::path work;
    std::wstring longFolder; // in work, ending in a backslash
};

// Typed names, in the form the test writes them on its command line and the UTF-8 the
// program's messages show them in.
struct TypedName
{
    std::wstring typed;
    std::string shown;
};

TEST_F(UnicodeNames, EachNameReadsAndWritesItsOwnFileByteForByte)
{
    const TypedName names[] = {
        {L"\u03a9mega", "\xce\xa9mega"},
        {L"\u6771\u4eac", "\xe6\x9d\xb1\xe4\xba\xac"},
        {longFolder + L"\u03a9mega", toUtf8(longFolder) + "\xce\xa9mega"},
    };
    // Each is named in the messages as typed, so a name the ANSI code page's best-fit letters
    // changed ("Omega", "??") would show.
    const std::string roster = fileBytes(dataFile("cli-loose-form.txt"));

    for (const auto& [typed, shown] : names) {
        SCOPED_TRACE(shown);
        const fs::path in = work / (typed + L".txt");
        writeAll(in, roster);

        const ProgramRun check = run(L"check \"" + typed + L".txt\"");
        EXPECT_EQ(check.exitCode, 0u) << check.err;
        EXPECT_EQ(check.out, shown + ".txt: 2 units; Day_Counter \"07\", Theatre \"Steppe\", Season (not given)\n");

        const ProgramRun normalize = run(L"normalize \"" + typed + L".txt\" \"" + typed + L"-normalized.txt\"");
        EXPECT_EQ(normalize.exitCode, 0u) << normalize.err;
        EXPECT_EQ(readAll(work / (typed + L"-normalized.txt")), fileBytes(dataFile("cli-loose-form.expected.txt")));

        const ProgramRun exported = run(L"export \"" + typed + L".txt\" -o \"" + typed + L"-table.csv\"");
        EXPECT_EQ(exported.exitCode, 0u) << exported.err;
        EXPECT_EQ(readAll(work / (typed + L"-table.csv")), fileBytes(dataFile("cli-loose-form.expected.csv")));

        // The table on standard output is the same bytes.
        EXPECT_EQ(run(L"export \"" + typed + L".txt\"").out, fileBytes(dataFile("cli-loose-form.expected.csv")));

        const ProgramRun missing = run(L"check \"" + typed + L"2.txt\"");
        EXPECT_EQ(missing.exitCode, 2u);
        EXPECT_EQ(missing.err, "cannot open \"" + shown + "2.txt\": No such file or directory\r\n");
        EXPECT_EQ(missing.out, "");

        EXPECT_EQ(readAll(in), roster);
    }
}

TEST_F(UnicodeNames, AnArgumentThatIsNotUnicodeIsRefusedWithAMessage)
{
    // NTFS allows a name with half a surrogate pair, but no UTF-8 text can hold it. (Wine
    // keeps its files under UTF-8 names, so the test cannot make one.)
    const ProgramRun run = this->run(L"check a\xd800.txt");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.err, "brevorn-roster: argument 2 \"a\xef\xbf\xbd.txt\" is not valid Unicode: its character 2 "
                       "(shown as \xef\xbf\xbd) is half of a UTF-16 surrogate pair without the other half\r\n");
    EXPECT_EQ(run.out, "");
}

} // namespace
} // namespace brevorn
