// Shows the editor's window on the display and at the scale it is started with, waits until
// the window manager has framed and placed it, and reports what only the inside can tell:
// the layout's size in device pixels, which scroll bars show, and every label whose caption,
// measured with the fonts the platform draws with, is cut or touches a control (one line
// each, and the status 1).
#include "brevorn_build_window.h"
#include "window_layout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using brevorn::BrevornBuildWindow;
using brevorn::ControlKind;
using brevorn::ControlRow;

std::string rectText(const QRect& r)
{
    return QString("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()).toStdString();
}

// Runs the event loop until the window has a frame and has kept its place and size for a
// while: a window manager frames a window a moment after it shows, and the window then
// fits itself again.
bool waitUntilFramedAndSettled(BrevornBuildWindow& window)
{
    QElapsedTimer clock, still;
    clock.start();
    QRect last;
    while (clock.elapsed() < 10000) {
        QApplication::processEvents();
        const QRect now = window.frameGeometry();
        const bool framed = window.windowHandle() && !window.windowHandle()->frameMargins().isNull();
        if (!framed || now != last || !still.isValid())
            still.start();
        else if (still.elapsed() >= 500)
            return true;
        last = now;
        QThread::msleep(20);
    }
    return false;
}

// Where a label draws its caption: from its indent on, as wide and as high as the font
// makes the text.
QRect captionRect(const QLabel& label)
{
    const QFontMetrics metrics = label.fontMetrics();
    return QRect(label.x() + std::max(0, label.indent()), label.y(), metrics.horizontalAdvance(label.text()),
                 metrics.height());
}

std::vector<std::string> captionFaults(const BrevornBuildWindow& window)
{
    std::vector<std::string> faults;
    for (const ControlRow& row : brevorn::controlTable()) {
        if (row.kind != ControlKind::Label)
            continue;
        const auto& label = static_cast<const QLabel&>(*window.control(row.control));
        const QRect caption = captionRect(label);
        const std::string what =
            std::string(row.name) + " \"" + label.text().toStdString() + "\" drawn at " + rectText(caption);
        if (!label.geometry().contains(caption))
            faults.push_back(what + " is cut by its own edges " + rectText(label.geometry()));
        // A pixel of space all round: a caption that meets a box reads as part of it.
        const QRect clearance = caption.adjusted(-1, -1, 1, 1);
        for (const ControlRow& other : brevorn::controlTable()) {
            const QRect place = window.control(other.control)->geometry();
            if (other.kind != ControlKind::Label && clearance.intersects(place))
                faults.push_back(what + " touches or overlaps " + std::string(other.name) + " at " + rectText(place));
        }
    }
    return faults;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BrevornBuildWindow window;
    window.show();
    if (!waitUntilFramedAndSettled(window)) {
        std::printf("the window got no frame, or did not keep still, within 10 s\n");
        return 1;
    }
    const double ratio = window.devicePixelRatioF();
    const QSize layout = window.surface()->size();
    std::printf("layout %dx%d\n", qRound(layout.width() * ratio), qRound(layout.height() * ratio));
    QScrollArea* area = window.scrollArea();
    const bool across = area->horizontalScrollBar()->isVisible(), down = area->verticalScrollBar()->isVisible();
    std::printf("scroll bars %s\n", across && down ? "horizontal and vertical"
                                    : across       ? "horizontal"
                                    : down         ? "vertical"
                                                   : "none");
    const std::vector<std::string> faults = captionFaults(window);
    for (const std::string& fault : faults)
        std::printf("%s\n", fault.c_str());
    return faults.empty() ? 0 : 1;
}
