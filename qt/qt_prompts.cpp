// Qt's own dialogs: file dialogs that start where the core says, with its type list; no
// icon on the yes/no question; input boxes wide enough for their title.
#include "qt_prompts.h"

#include "qt_text.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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

void QtPrompts::endProgram()
{
    m_window->close();
    QCoreApplication::quit();
}

} // namespace brevorn
