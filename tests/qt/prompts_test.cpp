// Qt's dialogs as the core asks for them: where the file dialogs start, what they offer,
// and input boxes that show their title and prompt whole.
#include "messages.h"
#include "qt_prompts.h"
#include "roster_test_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
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

class FileDialogs : public ScratchFolder
{
};

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

} // namespace
} // namespace brevorn::test
