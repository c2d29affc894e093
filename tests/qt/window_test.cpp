// What the Qt window does itself: readable captions at any font, the tab chain with its
// accessible names, combos that keep typed text, the list's selection, long texts, hints
// and shortcuts. The real-window suite drives the clicks through to the core.
#include "qt_window_under_test.h"

#include "choice_lists.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStyleOptionButton>
#include <QTest>

namespace brevorn::test {
namespace {

// ctest runs this again with an 11 point default font, which makes the layout grow.
TEST(StartUp, EveryCaptionCanBeReadAndEveryControlTakesItsClicks)
{
    QtWindowUnderTest w;
    EXPECT_EQ(w.window.windowTitle().toStdString(), "Steelvane Brevorn Builder");
    for (const ChoiceList& choices : choiceLists())
        EXPECT_EQ(w.control<QComboBox>(choices.combo)->currentIndex(), -1) << "no item is picked";
    QWidget* surface = w.window.surface();
    // Every control lies on the surface; where a label reaches under a control, the control is
    // on top and takes the click.
    for (const ControlRow& a : controlTable()) {
        EXPECT_TRUE(surface->rect().contains(w.window.control(a.control)->geometry())) << a.name;
        for (const ControlRow& b : controlTable()) {
            const QRect label = w.window.control(a.control)->geometry();
            QWidget* other = w.window.control(b.control);
            if (a.kind == ControlKind::Label && b.kind != ControlKind::Label && label.intersects(other->geometry())) {
                QWidget* hit = surface->childAt((label & other->geometry()).center());
                EXPECT_TRUE(hit == other || other->isAncestorOf(hit)) << b.name << " under " << a.name;
            }
        }
    }
    // Every pixel of a caption lies on its label, not under a neighbour, and no caption has a shortcut.
    for (QLabel* label : w.window.findChildren<QLabel*>()) {
        const QFontMetrics metrics = label->fontMetrics();
        const int start = label->x() + std::max(0, label->indent());
        int hidden = metrics.height() > label->height();
        for (int x = start; x < start + metrics.horizontalAdvance(label->text()); ++x)
            hidden += surface->childAt(x, label->y() + metrics.height() / 2) != label;
        EXPECT_EQ(hidden + QKeySequence::mnemonic(label->text()).count(), 0) << label->text().toStdString();
    }
    for (QPushButton* button : w.window.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
        const QSize caption(button->fontMetrics().horizontalAdvance(button->text()), button->fontMetrics().height());
        EXPECT_EQ(room.expandedTo(caption), room) << button->text().toStdString();
        EXPECT_EQ(QKeySequence::mnemonic(button->text()).count(), 0);
    }
}

void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The control with the focus, what assistive technology calls it, and the label it reads with it.
std::string focusStop()
{
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    const auto labels = control->relations(QAccessible::Label);
    const QString label = labels.isEmpty() ? "" : labels[0].first->text(QAccessible::Name);
    return (control->object()->objectName() + ' ' + control->text(QAccessible::Name) + '/' + label).toStdString();
}

// Presses Ctrl with a letter where the focus is and lets the button's click follow.
void pressCtrl(Qt::Key letter)
{
    key(letter, Qt::ControlModifier);
    // A shortcut clicks its button visibly, which takes a moment.
    QTest::qWait(250);
}

TEST(Keyboard, TabFollowsTheTabOrderShortcutsWorkFromAnyControlDownSelectsAndCombosKeepTypedText)
{
    QtWindowUnderTest w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    std::string visited = focusStop();
    for (int i = 0; i < 24; ++i, visited += ", " + focusStop())
        key(Qt::Key_Tab);
    // On this desktop a combo that shows a text is announced by it, with its label beside; the
    // list is announced by its name alone, though its label is its buddy as well.
    EXPECT_EQ(visited,
              "List1 Units/, Command2 LOAD/, Command3 SAVE/, Command4 New Unit/, Command5 Delete/, "
              "Text1 Unit Name/Unit Name:, Combo1 Unit Type/Unit Type:, "
              "Combo2 Ammo Used (x10%)/Ammo Used (x10%):, Combo3 Fuel Used (x10%)/Fuel Used (x10%):, "
              "Combo4 Unit Quality/Unit Quality:, Combo5 Starting Orders/Starting Orders:, "
              "Text2 Unit Side/Unit Side:, Combo7 Losses (x10%)/Losses (x10%):, Combo8 Armor Type/Armor Type:, "
              "Combo9 Small Arms/Small Arms:, Combo10 High Explosive/High Explosive:, "
              "Combo11 Armor Piercing/Armor Piercing:, Combo12 OK/Status:, Command1 Save Edit/, "
              "Combo6 Smoke Capable?/Smoke Capable?, Combo13 Day Counter/Day Counter:, Combo14 Season/Season:, "
              "Combo15 Theatre/Climate/Theatre/Climate:, Combo16 Anti-Aircraft/Anti-Aircraft:, List1 Units/");
    EXPECT_EQ(w.control<QLabel>(Control::Label1)->buddy(), w.list());

    // Ctrl+O loads once: LOAD is used up, and its shortcut then does nothing.
    w.control(Control::Text1)->setFocus();
    w.prompts.answers.assign({dataFile("editor-three-units.txt"), Cancel{}});
    pressCtrl(Qt::Key_O);
    pressCtrl(Qt::Key_O);
    w.control(Control::Combo13)->setFocus();
    pressCtrl(Qt::Key_S);
    EXPECT_EQ(w.prompts.asked, std::vector<std::string>({"open", "save"}));

    // After LOAD the focus on the list selects no entry; Down selects the first, which is shown.
    w.list()->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Down);
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1),
              "[1st Platoon - Blue]|Kampfgruppe Müller - Red|Recon - Blue 1st Platoon");

    // Typed text is neither completed nor recased nor added as an item, on Enter or on leaving.
    const std::tuple<Control, const char*, Qt::Key> typing[] = {{Control::Combo1, "medium tank", Qt::Key_Return},
                                                                {Control::Combo1, "Infantr", Qt::Key_Return},
                                                                {Control::Combo5, "captured", Qt::Key_Tab},
                                                                {Control::Combo14, "Sum", Qt::Key_Tab},
                                                                {Control::Combo13, "40", Qt::Key_Return}};
    for (const auto& [control, typed, leave] : typing) {
        auto* combo = w.control<QComboBox>(control);
        const int items = combo->count();
        combo->setFocus();
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), leave);
        EXPECT_EQ(w.text(control) + ' ' + std::to_string(combo->count()), typed + (' ' + std::to_string(items)));
    }
}

TEST(Combos, AListOpensAtTheShownValueAndDownMovesOnFromThere)
{
    QtWindowUnderTest w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    auto* ammo = w.control<QComboBox>(Control::Combo2);
    QAbstractItemView* list = ammo->view();
    auto openAndStep = [&](std::string_view shown, Qt::Key step) {
        w.window.setText(Control::Combo2, shown);
        ammo->showPopup();
        const std::string opened = list->currentIndex().data().toString().toStdString() + '|' + w.text(Control::Combo2);
        QTest::keyClick(list, step);
        QTest::keyClick(list, Qt::Key_Return);
        return opened + " -> " + w.text(Control::Combo2);
    };
    EXPECT_EQ(openAndStep("2", Qt::Key_Down), "2|2 -> 3");
    // A text that only differs from an item in case marks neither it nor the item picked
    // last; Down starts at the first.
    EXPECT_EQ(openAndStep("n/a", Qt::Key_Down), "|n/a -> N/A");
}

TEST(List1, AClickOnItsEmptyPartOrACtrlClickKeepsTheSelectionAndTheUnitShown)
{
    QtWindowUnderTest w;
    w.click(Control::Command2, {dataFile("editor-three-units.txt")});
    QListWidget* list = w.list();
    const QPoint entry = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
    w.control<QLineEdit>(Control::Text1)->setText("Renamed");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(entry.x(), list->viewport()->height() - 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, entry);
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1) + '|' + w.text(Control::Text2),
              "1st Platoon - Blue|[Kampfgruppe Müller - Red]|Recon - Blue Renamed|Red");
    w.click(Control::Command1);
    EXPECT_EQ(w.window.roster().units()[1].unit_name, "Renamed");
}

TEST(Hints, CountAndDayBoxesSayWhatSaveTakesAndTheFileButtonsNameTheirShortcuts)
{
    QtWindowUnderTest w;
    std::string hints;
    for (const ControlRow& row : controlTable())
        if (const QString hint = w.window.control(row.control)->toolTip(); !hint.isEmpty())
            hints += std::string(row.name) + ": " + hint.toStdString() + '\n';
    const std::string counts = "A whole number from 0 to 10; N/A and empty are refused on SAVE\n";
    EXPECT_EQ(hints, "Command2: Open a roster file; once per run (Ctrl+O)\n"
                     "Command3: Save the roster to a file (Ctrl+S)\n"
                     "Combo2: " +
                         counts + "Combo3: " + counts + "Combo7: " + counts +
                         "Combo13: A whole number from 0 to 37; empty is refused on SAVE\n");
}

using Fields = ScratchFolder;

TEST_F(Fields, HoldTextsOfAnyLengthFromTheFileToTheFileAgainAndShowTheirStart)
{
    const std::string name(40000, 'n'), type(33000, 't'), status = "Disordered and falling back behind the river";
    const std::string source = path("long.txt"), target = path("saved.txt");
    writeBytes(source, "GAME:\r\nDay_Counter=1\r\n\r\nUNITS:\r\nunit_name=" + name + "\r\nunit_type=" + type +
                           "\r\nunit_status=" + status +
                           "\r\nunit_ammo=1\r\nunit_fuel=1\r\nunit_side=Blue\r\nunit_losses=0\r\nunit_used=no\r\n");
    QtWindowUnderTest w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    w.click(Control::Command2, {source});
    w.list()->setCurrentRow(0);
    for (Control control : {Control::Combo12, Control::Text1}) {
        QLineEdit* field =
            control == Control::Text1 ? w.control<QLineEdit>(control) : w.control<QComboBox>(control)->lineEdit();
        field->grab(); // scrolls the text as painting does
        // The character at the field's left edge is the text's first.
        EXPECT_EQ(field->cursorPositionAt(field->contentsRect().topLeft() + QPoint(1, field->height() / 2)), 0)
            << controlRow(control).name;
    }
    EXPECT_EQ(w.text(Control::Combo12), status);
    w.click(Control::Command1);
    w.click(Control::Command3, {target, false});
    const std::string saved = fileBytes(target);
    EXPECT_NE(saved.find("unit_name=" + name + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("unit_type=" + type + "\r\n"), std::string::npos);
}

} // namespace
} // namespace brevorn::test
