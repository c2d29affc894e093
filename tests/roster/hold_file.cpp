// Test helper for the Windows file replacement tests: holds a file open as another program (a
// virus scanner, an indexer, a sync client) may, letting others read it but not replace it.
// usage: hold_file PATH [MILLISECONDS]
// Prints "held" once the file is open, then keeps it open for MILLISECONDS, or until its
// standard input ends. Prints why and ends with 1 when the file cannot be opened.
#include <cwchar>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Written as it is: the C library would turn a line end into CR LF.
void say(const std::string& text)
{
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || argc > 3) {
        say("usage: hold_file PATH [MILLISECONDS]\n");
        return 2;
    }
    const HANDLE file =
        ::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        say("cannot open: error " + std::to_string(::GetLastError()) + "\n");
        return 1;
    }
    say("held\n");
    if (argc == 3) {
        ::Sleep(DWORD(std::wcstoul(argv[2], nullptr, 10)));
    } else {
        char buffer[64];
        DWORD got = 0;
        while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        }
    }
    ::CloseHandle(file);
    return 0;
}
