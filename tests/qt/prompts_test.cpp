// Qt's dialogs as the core asks for them: where the file dialogs start, what they offer,
// input boxes that show their title and prompt whole, and reports shown whole and copyable.
#include "messages.h"
#include "qt_prompts.h"
#include "roster_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace brevorn::test {
namespace {

// Runs look on the dialog once it is open and waiting for the user.
void whenOpen(std::function<void(QDialog&)> look)
{
    QTimer::singleShot(0, [look] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no dialog opened";
        look(*dialog);
    });
}

using FileDialogs = ScratchFolder;

TEST_F(FileDialogs, StartInTheFolderGivenOfferTheNameGivenAndListRosterFilesFirst)
{
    QWidget window;
    QtPrompts prompts(&window);
    const FileRequest request{.folder = dir, .fileName = "roster.txt", .filters = rosterFileFilters()};
    std::string seen;
    // What the dialog shows, then OK (or Cancel).
    auto answer = [&seen](bool ok) {
        return [&seen, ok](QDialog& dialog) {
            const auto& files = static_cast<const QFileDialog&>(dialog);
            seen = (files.directory().absolutePath() + '|' + files.selectedFiles().join(',') + '|' +
                    files.nameFilters().join(',') + '|' + files.selectedNameFilter())
                       .toStdString();
            ok ? dialog.accept() : dialog.reject();
        };
    };
    const std::string folder = dir.string(), types = "Roster files (*.txt),All files (*)|Roster files (*.txt)";

    whenOpen(answer(true));
    EXPECT_EQ(prompts.savePath(request), std::optional(dir / "roster.txt"));
    EXPECT_EQ(seen, folder + '|' + folder + "/roster.txt|" + types);

    whenOpen(answer(false));
    EXPECT_EQ(prompts.openPath({.folder = dir, .fileName = {}, .filters = rosterFileFilters()}), std::nullopt);
    EXPECT_EQ(seen, folder + "||" + types);
}

TEST(InputBox, ShowsItsTitleAndPromptWholeAndGivesTheTextTypedOrNothing)
{
    QWidget window;
    QtPrompts prompts(&window);
    for (const InputRequest& request : {unitNameRequest(), unitSideRequest()}) {
        whenOpen([&request](QDialog& dialog) {
            const QFontMetrics metrics(dialog.font());
            // Beside its title a title bar holds an icon and three buttons, each about two lines wide.
            EXPECT_GE(dialog.width(),
                      metrics.horizontalAdvance(QString::fromStdString(request.title)) + 8 * metrics.height());
            auto* prompt = dialog.findChild<QLabel*>();
            ASSERT_NE(prompt, nullptr);
            EXPECT_EQ(prompt->text().toStdString(), request.prompt);
            EXPECT_GE(prompt->width(), prompt->fontMetrics().horizontalAdvance(prompt->text()));
            auto* field = dialog.findChild<QLineEdit*>();
            EXPECT_EQ(field->text().toStdString(), "") << "the field starts empty";
            field->setText("Kampfgruppe Müller");
            static_cast<QInputDialog&>(dialog).accept();
        });
        EXPECT_EQ(prompts.inputText(request), "Kampfgruppe Müller");
    }
    whenOpen([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>()->setText("typed, then cancelled");
        dialog.reject();
    });
    EXPECT_EQ(prompts.inputText(unitNameRequest()), "");
}

// The text area of the report box that is open now.
QPlainTextEdit& reportText(QDialog& dialog)
{
    auto* text = dialog.findChild<QPlainTextEdit*>();
    EXPECT_NE(text, nullptr) << "no text in the report box";
    return *text;
}

TEST(ReportBox, ShowsEveryLineWholeAsSelectableTextThatEnterCloses)
{
    QWidget window;
    QtPrompts prompts(&window);
    // Short enough to fit whole on the smallest screen the tests run on (400 by 300 at scale 2).
    const ErrorMessage message{"Steelvane Brevorn Builder", "Nothing was saved.\n\nunit 2 \"KG Müller - Red\"\n"
                                                            "    \"Ammo Used (x10%):\" is \"N/A\"\n"
                                                            "    \"Fuel Used (x10%):\" is \"\""};
    bool looked = false;
    whenOpen([&](QDialog& dialog) {
        QPlainTextEdit& text = reportText(dialog);
        EXPECT_EQ(dialog.windowTitle().toStdString(), message.title);
        EXPECT_EQ(text.toPlainText().toStdString(), message.text);
        EXPECT_TRUE(text.isReadOnly());
        EXPECT_EQ(text.textInteractionFlags(), Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        EXPECT_EQ(dialog.focusWidget(), &text) << "the keys select and copy the text at once";
        // Every line fits across, by the font's own measure: nothing to scroll.
        int longest = 0;
        for (const QString& line : text.toPlainText().split('\n'))
            longest = std::max(longest, text.fontMetrics().horizontalAdvance(line));
        EXPECT_GE(text.viewport()->width(), longest);
        EXPECT_EQ(text.horizontalScrollBar()->maximum(), 0) << "a line is cut off";
        EXPECT_EQ(text.verticalScrollBar()->maximum(), 0) << "a line is hidden";
        // Copied whole, line ends included.
        QTest::keyClick(&text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&text, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), message.text);
        looked = true;
        QTest::keyClick(&text, Qt::Key_Return);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Enter left the report box open";
            dialog.reject();
        }
    });
    prompts.showReport(message);
    EXPECT_TRUE(looked);
}

TEST(ReportBox, StaysOnTheScreenAndScrollsWhenTooLongOrTooWide)
{
    QWidget window;
    QtPrompts prompts(&window);
    const QSize screen = window.screen()->availableGeometry().size();
    bool looked = false;
    whenOpen([&](QDialog& dialog) {
        QPlainTextEdit& text = reportText(dialog);
        EXPECT_LE(dialog.width(), screen.width());
        EXPECT_LE(dialog.height(), screen.height());
        EXPECT_GT(text.horizontalScrollBar()->maximum(), 0);
        EXPECT_GT(text.verticalScrollBar()->maximum(), 0);
        looked = true;
        dialog.accept();
    });
    std::string tooLong;
    for (int line = 0; line < 200; ++line)
        tooLong += std::string(std::size_t(screen.width() / 4), 'W') + '\n';
    prompts.showReport({"Steelvane Brevorn Builder", tooLong});
    EXPECT_TRUE(looked);
}

} // namespace
} // namespace brevorn::test
