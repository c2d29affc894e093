// The common file dialogs keep the process's current folder (OFN_NOCHANGEDIR): the program
// never relies on it, but a dialog that moved it would surprise whatever does.
#include "win32_prompts.h"

#include "file_dialog_filter.h"
#include "input_box.h"
#include "report_box.h"
#include "utf16.h"

#include <commdlg.h>

#include <vector>

namespace brevorn {

namespace {

// Long enough for any path Windows takes.
constexpr std::size_t PathBufferLength = 32768;

enum class FileDialog { Open, SaveAs };

// The common dialogs' library is loaded when a file is first asked for, not at start-up,
// where it (and what it loads in turn) would make the window take longer to show.
using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
FileDialogFunction fileDialogFunction(FileDialog kind)
{
    static HMODULE library = ::LoadLibraryW(L"comdlg32.dll");
    if (!library)
        return nullptr;
    FARPROC function = ::GetProcAddress(library, kind == FileDialog::Open ? "GetOpenFileNameW" : "GetSaveFileNameW");
    return reinterpret_cast<FileDialogFunction>(reinterpret_cast<void*>(function));
}

std::optional<std::filesystem::path> askForFile(HWND owner, const FileRequest& request, FileDialog kind)
{
    std::vector<wchar_t> file(PathBufferLength, L'\0');
    request.fileName.native().copy(file.data(), PathBufferLength - 1);
    const std::wstring folder = request.folder.native();
    const std::wstring filter = fileDialogFilter(request.filters);
    const std::wstring extension = defaultExtension(request.filters);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (kind == FileDialog::Open) {
        dialog.Flags |= OFN_FILEMUSTEXIST;
    } else {
        // A name typed without an ending gets the first type's (".txt"); an existing file
        // is replaced only after the dialog has asked.
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    }
    // Cancelled, or a dialog that could not be shown.
    const FileDialogFunction show = fileDialogFunction(kind);
    if (!show || !show(&dialog))
        return std::nullopt;
    return std::filesystem::path(std::wstring(file.data()));
}

} // namespace

std::optional<std::filesystem::path> Win32Prompts::openPath(const FileRequest& request)
{
    return askForFile(m_owner, request, FileDialog::Open);
}

std::optional<std::filesystem::path> Win32Prompts::savePath(const FileRequest& request)
{
    return askForFile(m_owner, request, FileDialog::SaveAs);
}

bool Win32Prompts::askYesNo(const Question& question)
{
    return ::MessageBoxW(m_owner, toUtf16(question.text).c_str(), toUtf16(question.title).c_str(), MB_YESNO) == IDYES;
}

std::string Win32Prompts::inputText(const InputRequest& request)
{
    return toUtf8(showInputBox(m_owner, toUtf16(request.title), toUtf16(request.prompt)));
}

void Win32Prompts::showError(const ErrorMessage& message)
{
    ::MessageBoxW(m_owner, toUtf16(message.text).c_str(), toUtf16(message.title).c_str(), MB_OK | MB_ICONWARNING);
}

void Win32Prompts::showReport(const ErrorMessage& message)
{
    showReportBox(m_owner, toUtf16(message.title), toUtf16(message.text));
}

void Win32Prompts::endProgram()
{
    // Destroying the window ends the message loop; the core runs nothing after this call.
    ::DestroyWindow(m_owner);
}

} // namespace brevorn
