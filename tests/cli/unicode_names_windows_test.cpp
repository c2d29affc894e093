// brevorn-roster started as Windows starts a program, with a UTF-16 command line: names that
// no ANSI code page holds reach the right file, and the messages show them as they were typed.
#include "utf16.h"
#include "windows_file_test_support.h"

namespace brevorn {
namespace {

namespace fs = std::filesystem;

class UnicodeNames : public LongScratchFolder
{
protected:
    void SetUp() override
    {
        LongScratchFolder::SetUp();
        streams = dir / "streams";
        work = dir / "work";
        fs::create_directories(streams);
        fs::create_directories(work);
        // Five folders of 70 letters: a name of over 350 characters from the work folder,
        // more than 400 in full.
        for (wchar_t letter = L'a'; letter < L'f'; ++letter) {
            longFolder += std::wstring(70, letter) + L"\\";
            makeFolder(work / longFolder);
        }
    }

    // Runs brevorn-roster with the arguments as one UTF-16 command line, in the work folder,
    // with standard output and error redirected to files. Without a console: one made for
    // it would hold the files open a moment after the program ended. Gives the exit code,
    // standard output as written, "--" and standard error (UTF-8 with CR LF line ends).
    std::string run(const std::wstring& arguments)
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
        startup.hStdOutput = out;
        startup.hStdError = err;
        const std::wstring program = toUtf16(BREVORN_CLI_PROGRAM);
        std::wstring line = L"\"" + program + L"\" " + arguments;
        PROCESS_INFORMATION process{};
        DWORD exitCode = DWORD(-1);
        if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                             work.c_str(), &startup, &process)) {
            ::WaitForSingleObject(process.hProcess, 60000);
            ::GetExitCodeProcess(process.hProcess, &exitCode);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
        ::CloseHandle(out);
        ::CloseHandle(err);
        return std::to_string(exitCode) + " " + readFile(streams / "out") + "--\n" + readFile(streams / "err");
    }

    fs::path streams;
    fs::path work;
    std::wstring longFolder; // in work, ending in a backslash
};

TEST_F(UnicodeNames, EachNameReadsAndWritesItsOwnFileByteForByte)
{
    // Typed names, in the form the test writes them on its command line and the UTF-8 the
    // program's messages show them in.
    const std::pair<std::wstring, std::string> names[] = {
        {L"\u03a9mega", "\xce\xa9mega"},
        {L"\u6771\u4eac", "\xe6\x9d\xb1\xe4\xba\xac"},
        {longFolder + L"\u03a9mega", toUtf8(longFolder) + "\xce\xa9mega"},
    };
    // Each is named in the messages as typed, so a name the ANSI code page's best-fit letters
    // changed ("Omega", "??") would show.
    const std::string roster = fileBytes(dataFile("cli-loose-form.txt"));
    const std::string csv = fileBytes(dataFile("cli-loose-form.expected.csv"));
    for (const auto& [typed, shown] : names) {
        SCOPED_TRACE(shown);
        const fs::path in = work / (typed + L".txt");
        const std::wstring given = L"\"" + typed + L".txt\"";
        writeFile(in, roster);
        EXPECT_EQ(run(L"check " + given),
                  "0 " + shown + ".txt: 2 units; Day_Counter \"07\", Theatre \"Steppe\", Season (not given)\n--\n");
        EXPECT_EQ(run(L"normalize " + given + L" \"" + typed + L"-normalized.txt\""), "0 --\n");
        EXPECT_EQ(readFile(work / (typed + L"-normalized.txt")), fileBytes(dataFile("cli-loose-form.expected.txt")));
        EXPECT_EQ(run(L"export " + given + L" -o \"" + typed + L"-table.csv\""), "0 --\n");
        EXPECT_EQ(readFile(work / (typed + L"-table.csv")), csv);
        // The table on standard output is the same bytes.
        EXPECT_EQ(run(L"export " + given), "0 " + csv + "--\n");
        EXPECT_EQ(run(L"check \"" + typed + L"2.txt\""),
                  "2 --\ncannot open \"" + shown + "2.txt\": No such file or directory\r\n");
        EXPECT_EQ(readFile(in), roster);
    }
}

TEST_F(UnicodeNames, AnArgumentThatIsNotUnicodeIsRefusedWithAMessage)
{
    // NTFS allows a name with half a surrogate pair, but no UTF-8 text can hold it. (Wine
    // keeps its files under UTF-8 names, so the test cannot make one.)
    EXPECT_EQ(run(L"check a\xd800.txt"),
              "2 --\nbrevorn-roster: argument 2 \"a\xef\xbf\xbd.txt\" is not valid Unicode: its character 2 "
              "(shown as \xef\xbf\xbd) is half of a UTF-16 surrogate pair without the other half\r\n");
}

} // namespace
} // namespace brevorn
