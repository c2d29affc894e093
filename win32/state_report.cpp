// The window's state for the real-window tests, written on request.
#include "state_report.h"

#include "brevorn_build_window.h"
#include "utf16.h"
#include "window_layout.h"

#include <cstdint>
#include <fstream>
#include <tuple>

namespace brevorn {

namespace {

std::string windowTitle(HWND window)
{
    std::wstring text(std::size_t(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(window, text.data(), int(text.size()))));
    return toUtf8(text);
}

std::string focusName(const BrevornBuildWindow& window)
{
    HWND focused = ::GetFocus();
    if (!focused)
        return "none";
    for (const ControlRow& row : controlTable()) {
        HWND made = window.control(row.control);
        if (focused == made || ::IsChild(made, focused))
            return std::string(row.name);
    }
    return "other";
}

} // namespace

std::string describeState(const BrevornBuildWindow& window)
{
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };
    auto place = [](const RECT& r) {
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
               std::to_string(r.bottom - r.top);
    };

    RECT client{};
    ::GetClientRect(window.handle(), &client);
    ::MapWindowPoints(window.handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    line("window " + place(client));
    RECT frame{};
    ::GetWindowRect(window.handle(), &frame);
    line("frame " + place(frame));
    // Each scroll bar: shown or not, where it is on the screen, and how far it is scrolled.
    for (const auto& [name, object, bar] : {std::tuple{"horizontal", LONG(OBJID_HSCROLL), SB_HORZ},
                                            std::tuple{"vertical", LONG(OBJID_VSCROLL), SB_VERT}}) {
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        ::GetScrollBarInfo(window.handle(), object, &info);
        const bool shown = (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0;
        line("scrollbar " + std::string(name) + " " + place(info.rcScrollBar) + " " + (shown ? "1" : "0") + " " +
             std::to_string(::GetScrollPos(window.handle(), bar)));
    }
    HWND active = ::GetActiveWindow();
    line("active " + std::to_string(reinterpret_cast<std::uintptr_t>(active)) + " " +
         (active ? windowTitle(active) : std::string()));
    line("focus " + focusName(window));
    for (const ControlRow& row : controlTable()) {
        HWND made = window.control(row.control);
        RECT shown{};
        ::GetWindowRect(made, &shown);
        line("control " + std::string(row.name) + " " + place(shown) + " " + (::IsWindowEnabled(made) ? "1" : "0"));
    }
    for (const ControlRow& row : controlTable()) {
        if (row.kind == ControlKind::TextBox || row.kind == ControlKind::ComboBox)
            line("text " + std::string(row.name) + " " + window.text(row.control));
        HWND made = window.control(row.control);
        if (row.kind == ControlKind::ComboBox && ::SendMessageW(made, CB_GETDROPPEDSTATE, 0, 0))
            line("dropped " + std::string(row.name) + " " + std::to_string(::SendMessageW(made, CB_GETCURSEL, 0, 0)));
    }
    HWND list = window.control(Control::List1);
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring entry(std::size_t(::SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        entry.resize(std::size_t(::SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(entry.data()))));
        line("entry " + std::to_string(i) + " " + toUtf8(entry));
    }
    line("selected " + std::to_string(window.selectedIndex()));
    line("end");
    return out;
}

StateReport::StateReport(std::filesystem::path file)
    : m_file(std::move(file))
    , m_request(m_file.native() + L".request")
    , m_temporary(m_file.native() + L".tmp")
{
}

void StateReport::serviceRequest(const BrevornBuildWindow& window)
{
    if (::GetFileAttributesW(m_request.c_str()) == INVALID_FILE_ATTRIBUTES || !window.handle())
        return;
    {
        std::ofstream out(m_temporary, std::ios::binary | std::ios::trunc);
        out << describeState(window);
        if (!out.flush())
            return; // asked again on the next tick
    }
    if (::MoveFileExW(m_temporary.c_str(), m_file.c_str(), MOVEFILE_REPLACE_EXISTING))
        ::DeleteFileW(m_request.c_str());
}

} // namespace brevorn
