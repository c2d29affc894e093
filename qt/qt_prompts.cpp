// Qt's own dialogs, set up plainly: no filter or title for files, no icon on the yes/no
// question, an empty input field.
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

std::optional<std::filesystem::path> chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return toPath(path);
}

} // namespace

QtPrompts::QtPrompts(QWidget* window)
    : m_window(window)
{
}

std::optional<std::filesystem::path> QtPrompts::openPath(const FileRequest& request)
{
    return chosen(QFileDialog::getOpenFileName(m_window, QString(), startingPoint(request)));
}

std::optional<std::filesystem::path> QtPrompts::savePath(const FileRequest& request)
{
    return chosen(QFileDialog::getSaveFileName(m_window, QString(), startingPoint(request)));
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
    bool confirmed = false;
    const QString text = QInputDialog::getText(m_window, fromUtf8(request.title), fromUtf8(request.prompt),
                                               QLineEdit::Normal, QString(), &confirmed);
    return confirmed ? text.toStdString() : std::string();
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
