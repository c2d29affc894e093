// Qt's own dialogs: file dialogs that start where the core says, with its type list; no
// icon on the yes/no question; input boxes wide enough for their title; long messages in a
// box of selectable text as wide as their longest line.
#include "qt_prompts.h"

#include "qt_text.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtMath>

#include <algorithm>

namespace brevorn {

namespace {

// The folder and the name the dialog starts with, when the core gives them.
QString startingPoint(const FileRequest& request)
{
    if (request.folder.empty())
        return fromPath(request.fileName);
    return fromPath(request.folder / request.fileName);
}

// "Roster files (*.txt);;All files (*)"
QString typeList(const FileRequest& request)
{
    QStringList types;
    for (const FileFilter& filter : request.filters)
        types << fromUtf8(filter.name) + " (" + fromUtf8(filter.patterns).replace(';', ' ') + ')';
    return types.join(QStringLiteral(";;"));
}

std::optional<std::filesystem::path> chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return toPath(path);
}

// A fair allowance for what a title bar holds beside its title: an icon, the minimise,
// maximise and close buttons and their margins, each about two lines of text wide.
int titleBarButtonsWidth(const QFontMetrics& metrics)
{
    return 10 * metrics.height();
}

// Sizes a report box so that its text area shows every line of its text whole where the
// screen has room (no line breaks, so the width is the longest line's); where it has not,
// the box takes what there is and the text scrolls that way.
void fitReport(QDialog& box, QPlainTextEdit& text, const QWidget& buttons)
{
    // Each line laid out as the text area lays it out, which may be a pixel taller than the
    // font's line spacing.
    qreal longest = 0;
    int height = 0;
    for (const QString& line : text.toPlainText().split('\n')) {
        QTextLayout layout(line, text.font());
        layout.beginLayout();
        const QTextLine row = layout.createLine();
        layout.endLayout();
        longest = std::max(longest, row.naturalTextWidth());
        height += qCeil(row.height());
    }
    // Around the lines: the document's margins and the frame on both sides; across, a letter
    // of slack for the text cursor; down, the pixel the text area keeps under the last line.
    const QFontMetrics metrics(text.font());
    const int around = 2 * int(text.document()->documentMargin()) + 2 * text.frameWidth();
    QSize area(qCeil(longest) + metrics.averageCharWidth() + around, height + around + 1);

    // The room on the screen, less the window's frame and title bar.
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const QMargins margins = box.layout()->contentsMargins();
    const QSize besides(margins.left() + margins.right(),
                        margins.top() + margins.bottom() + box.layout()->spacing() + buttons.sizeHint().height());
    const QSize room = screen->availableGeometry().size() - QSize(2, 3) * metrics.height() - besides;
    // A scroll bar only where the text does not fit, so that none hides a line that would.
    const int scrollBar = text.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &text);
    bool down = area.height() > room.height(), across = false;
    if (down)
        area.rwidth() += scrollBar;
    if (area.width() > room.width()) {
        across = true;
        area.rheight() += scrollBar;
        if (!down && area.height() > room.height()) {
            down = true;
            area.rwidth() += scrollBar;
        }
    }
    text.setVerticalScrollBarPolicy(down ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    text.setHorizontalScrollBarPolicy(across ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);

    QSize size = area.boundedTo(room) + besides;
    // The title whole beside the title bar's buttons.
    size.setWidth(std::max(size.width(), QFontMetrics(box.font()).horizontalAdvance(box.windowTitle()) +
                                             titleBarButtonsWidth(metrics)));
    box.resize(size);
}

} // namespace

QtPrompts::QtPrompts(QWidget* window)
    : m_window(window)
{
}

std::optional<std::filesystem::path> QtPrompts::openPath(const FileRequest& request)
{
    return chosen(QFileDialog::getOpenFileName(m_window, QString(), startingPoint(request), typeList(request)));
}

std::optional<std::filesystem::path> QtPrompts::savePath(const FileRequest& request)
{
    return chosen(QFileDialog::getSaveFileName(m_window, QString(), startingPoint(request), typeList(request)));
}

bool QtPrompts::askYesNo(const Question& question)
{
    // Built by hand: QMessageBox::question always shows a question-mark icon.
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(question.title), fromUtf8(question.text),
                    QMessageBox::Yes | QMessageBox::No, m_window);
    return box.exec() == QMessageBox::Yes;
}

std::string QtPrompts::inputText(const InputRequest& request)
{
    QInputDialog box(m_window);
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(fromUtf8(request.title));
    box.setLabelText(fromUtf8(request.prompt));
    // The window manager draws the title beside an icon and three buttons and shortens it
    // where the box is too narrow ("New U… Name"): leave room for all of them, and for
    // the prompt, which the box itself makes room for.
    const QFontMetrics metrics(box.font());
    const int titleBar = metrics.horizontalAdvance(box.windowTitle()) + titleBarButtonsWidth(metrics);
    // The box's layout sets its own minimum size, so the width is given as its size.
    const QSize natural = box.sizeHint();
    box.resize(std::max(natural.width(), titleBar), natural.height());
    return box.exec() == QDialog::Accepted ? box.textValue().toStdString() : std::string();
}

void QtPrompts::showError(const ErrorMessage& message)
{
    QMessageBox box(QMessageBox::Warning, fromUtf8(message.title), fromUtf8(message.text), QMessageBox::Ok, m_window);
    box.exec();
}

void QtPrompts::showReport(const ErrorMessage& message)
{
    QDialog box(m_window);
    box.setWindowTitle(fromUtf8(message.title));
    auto* text = new QPlainTextEdit(fromUtf8(message.text), &box);
    // Read, selected and copied, never changed; a long line scrolls instead of breaking in
    // the middle of a name.
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Enter presses OK as in any dialog: read-only text leaves the key to its box.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(text);
    layout->addWidget(buttons);
    fitReport(box, *text, *buttons);
    text->setFocus();
    box.exec();
}

void QtPrompts::endProgram()
{
    m_window->close();
    QCoreApplication::quit();
}

} // namespace brevorn
