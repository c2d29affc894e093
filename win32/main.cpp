// Starts the editor on Windows: one window, Windows' own dialogs, and the message loop.
#include "brevorn_build_window.h"
#include "resource_ids.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    brevorn::BrevornBuildWindow window(instance);
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
