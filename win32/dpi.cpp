// Per-monitor density through the functions of Windows 10 (1607) when they are there.
#include "dpi.h"

namespace brevorn {

namespace {

template <class Function>
Function user32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

UINT systemDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// One of the fonts Windows draws windows' frames and messages with, at that density.
LOGFONTW nonClientFont(UINT dpi, LOGFONTW NONCLIENTMETRICSW::*font)
{
    using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = user32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi))
        return metrics.*font;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        // Given at the system's density.
        (metrics.*font).lfHeight = ::MulDiv((metrics.*font).lfHeight, int(dpi), int(systemDpi()));
        return metrics.*font;
    }
    LOGFONTW fallback{};
    fallback.lfHeight = -::MulDiv(9, int(dpi), 72);
    ::lstrcpynW(fallback.lfFaceName, L"Segoe UI", LF_FACESIZE);
    return fallback;
}

} // namespace

UINT windowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window)
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    return systemDpi();
}

LOGFONTW messageFont(UINT dpi)
{
    return nonClientFont(dpi, &NONCLIENTMETRICSW::lfMessageFont);
}

LOGFONTW captionFont(UINT dpi)
{
    return nonClientFont(dpi, &NONCLIENTMETRICSW::lfCaptionFont);
}

int systemMetric(int index, UINT dpi)
{
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    // Given at the system's density.
    return ::MulDiv(::GetSystemMetrics(index), int(dpi), int(systemDpi()));
}

SIZE windowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi)
{
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace brevorn
