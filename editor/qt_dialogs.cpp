// Qt's own dialogs, set up plainly: no filter, title or preset name for files, no icon
// on the yes/no question, an empty input field.
#include "qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace brevorn {

namespace {

std::optional<QString> chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<QString> QtDialogs::openPath(QWidget* parent)
{
    return chosen(QFileDialog::getOpenFileName(parent));
}

std::optional<QString> QtDialogs::savePath(QWidget* parent)
{
    return chosen(QFileDialog::getSaveFileName(parent));
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& text, const QString& title)
{
    // Built by hand: QMessageBox::question always shows a question-mark icon.
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::inputText(QWidget* parent, const QString& prompt, const QString& title)
{
    bool confirmed = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &confirmed);
    return confirmed ? text : QString();
}

void QtDialogs::showError(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace brevorn
