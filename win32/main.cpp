// Starts the editor on Windows: one window, Windows' own dialogs, and the message loop.
#include "brevorn_build_window.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    brevorn::BrevornBuildWindow window(instance);
    // The real-window tests' switch; nothing else reads the environment.
    if (const wchar_t* stateFile = ::_wgetenv(L"BREVORN_TEST_STATE_FILE"); stateFile && *stateFile)
        window.reportStateTo(stateFile);
    ::ShowWindow(window.handle(), showCommand);
    ::UpdateWindow(window.handle());

    HACCEL shortcuts = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_SHORTCUTS));
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Ctrl+O and Ctrl+S anywhere in the window; Tab and Shift+Tab between the controls,
        // as in a dialog.
        if (window.handle() && (::TranslateAcceleratorW(window.handle(), shortcuts, &message) ||
                                ::IsDialogMessageW(window.handle(), &message)))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return int(message.wParam);
}
