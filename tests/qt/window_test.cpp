// The Qt window: placement and readable captions at any scale, the tab chain with its
// accessible names, combos that keep typed text, and clicks reaching the core.
#include "qt_window_under_test.h"

#include "choice_lists.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>

#include <map>

namespace brevorn::test {
namespace {

// Which way one rectangle lies from another.
auto relation(const QRect& a, const QRect& b)
{
    return std::tuple(a.left() < b.left(), a.left() > b.left(), a.top() < b.top(), a.top() > b.top(), a.intersects(b));
}

// ctest runs this again at QT_SCALE_FACTOR 1.5 and 2 and with an 11 point default font.
TEST(StartUp, ControlsLieAsInTheLayoutAndEveryCaptionCanBeRead)
{
    QtWindowUnderTest w;
    EXPECT_EQ(w.window.windowTitle().toStdString(), "Steelvane Brevorn Builder");
    for (const ChoiceList& choices : choiceLists())
        EXPECT_EQ(w.control<QComboBox>(choices.combo)->currentIndex(), -1) << "no item is picked";
    w.window.resize(w.window.size() * 2); // nothing follows a resize
    QWidget* surface = w.window.surface();
    const QRect client = surface->rect();
    // Every control lies from every other as in twips, and on the surface. Where a label
    // reaches under a control, the control is on top and takes the click.
    for (const ControlRow& a : controlTable()) {
        const QRect twips(a.left, a.top, a.width, a.height), got = w.window.control(a.control)->geometry();
        EXPECT_EQ(client.united(got), client) << a.name;
        for (const ControlRow& b : controlTable()) {
            QWidget* other = w.window.control(b.control);
            const QRect otherTwips(b.left, b.top, b.width, b.height);
            EXPECT_EQ(relation(got, other->geometry()), relation(twips, otherTwips)) << a.name << " and " << b.name;
            QWidget* hit = surface->childAt((got & other->geometry()).center());
            if (a.kind == ControlKind::Label && b.kind != ControlKind::Label && twips.intersects(otherTwips)) {
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
        EXPECT_TRUE(button->isEnabled());
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
        const QSize caption(button->fontMetrics().horizontalAdvance(button->text()), button->fontMetrics().height());
        EXPECT_EQ(room.expandedTo(caption), room) << button->text().toStdString();
        EXPECT_EQ(QKeySequence::mnemonic(button->text()).count(), 0);
    }
}

std::string rectText(const QRect& r)
{
    return QString("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()).toStdString();
}

// Where the surface is scrolled to and which scroll bars show.
std::string scrolling(QScrollArea* area)
{
    auto bar = [](QScrollBar* b) { return b->isVisible() ? std::to_string(b->value()) : std::string("-"); };
    return bar(area->horizontalScrollBar()) + ',' + bar(area->verticalScrollBar());
}

// Where each control lies on the surface.
std::map<Control, QRect> placement(BrevornBuildWindow& window)
{
    std::map<Control, QRect> places;
    for (const ControlRow& row : controlTable())
        places[row.control] = window.control(row.control)->geometry();
    return places;
}

// Each control, scrolled to, has its middle in sight, so it can be clicked; and none has
// moved or shrunk on the surface since it was placed.
void expectEveryControlReachable(BrevornBuildWindow& window, const std::map<Control, QRect>& placed)
{
    QScrollArea* area = window.scrollArea();
    for (const ControlRow& row : controlTable()) {
        QWidget* widget = window.control(row.control);
        EXPECT_EQ(widget->geometry(), placed.at(row.control)) << row.name;
        // As far as the view allows, the whole control comes into sight.
        const QPoint centre = widget->geometry().center();
        area->ensureVisible(centre.x(), centre.y(), widget->width() / 2, widget->height() / 2);
        const QPoint middle = widget->mapTo(area->viewport(), widget->rect().center());
        EXPECT_TRUE(area->viewport()->rect().contains(middle)) << row.name << " scrolled to " << scrolling(area);
    }
}

// ctest runs this at the other scales too; at 2, the offscreen screen of 800 x 600 pixels
// is smaller than the window.
TEST(StartUp, AWindowLargerThanTheScreenOpensAtItsFreeAreaAndScrollsToEveryControl)
{
    QtWindowUnderTest w;
    const QSize layout = w.window.surface()->size();
    const std::map<Control, QRect> placed = placement(w.window);
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    const QRect available = w.window.screen()->availableGeometry();
    const QSize frame = w.window.frameGeometry().size() - w.window.size();
    QScrollArea* area = w.window.scrollArea();
    if (available.width() >= layout.width() + frame.width() && available.height() >= layout.height() + frame.height()) {
        EXPECT_EQ(w.window.size(), layout) << "a window that fits keeps its size";
        EXPECT_EQ(scrolling(area), "-,-");
    } else {
        EXPECT_EQ(rectText(available.united(w.window.frameGeometry())), rectText(available))
            << "the whole window is on the screen";
        EXPECT_NE(scrolling(area), "-,-");
        expectEveryControlReachable(w.window, placed);
    }
    // Made smaller by hand, it scrolls instead of cropping or squeezing the controls.
    w.window.resize(layout / 2);
    QApplication::processEvents();
    EXPECT_EQ(scrolling(area).find('-'), std::string::npos) << scrolling(area);
    expectEveryControlReachable(w.window, placed);
}

void key(Qt::Key key, int times = 1, Qt::KeyboardModifiers modifiers = {})
{
    for (int i = 0; i < times; ++i)
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

TEST(Keyboard, TabFollowsTheTabOrderAndKeysWorkTheCommandsAndTheCombos)
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

    // LOAD by Space, after which the disabled button drops out of the chain, forwards and back.
    key(Qt::Key_Tab);
    w.prompts.answers.push_back(dataFile("editor-three-units.txt"));
    key(Qt::Key_Space);
    key(Qt::Key_Tab, 1, Qt::ShiftModifier);
    EXPECT_EQ(focusStop() + ' ' + w.listed(), "List1 Units/ 1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue");
    // The focus on the list selects no entry; Down selects the first, which is shown.
    key(Qt::Key_Down);
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1),
              "[1st Platoon - Blue]|Kampfgruppe Müller - Red|Recon - Blue 1st Platoon");
    key(Qt::Key_Tab, 3);
    key(Qt::Key_Space);
    EXPECT_EQ(focusStop() + ' ' + w.listed(), "Command5 Delete/ Kampfgruppe Müller - Red|Recon - Blue");
    // A clicked entry is where Down starts from.
    QListWidget* list = w.list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    key(Qt::Key_Down);
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1), "Kampfgruppe Müller - Red|[Recon - Blue] Recon");

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
    EXPECT_EQ(openAndStep("N/A", Qt::Key_Up), "N/A|N/A -> N/A");
    // Neither a text that is no item nor one that only differs in case marks the item
    // picked last; Down starts at the first.
    EXPECT_EQ(openAndStep("two", Qt::Key_Down), "|two -> N/A");
    EXPECT_EQ(openAndStep("n/a", Qt::Key_Down), "|n/a -> N/A");
}

TEST(Wiring, EachButtonAndAClickOnAnEntryReachTheCore)
{
    QtWindowUnderTest w;
    w.click(Control::Command4, {std::string("Alpha"), std::string("Blue")});
    w.click(Control::Command4, {std::string("Bravo"), std::string("Red")});
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1), "Alpha - Blue|[Bravo - Red] Bravo");
    QListWidget* list = w.list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(w.text(Control::Text1) + ' ' + w.text(Control::Text2), "Alpha Blue");
    w.control<QLineEdit>(Control::Text1)->setText("Alpha edited");
    w.click(Control::Command1);
    EXPECT_EQ(w.window.roster().units()[0].unit_name, "Alpha edited");
    w.click(Control::Command5);
    EXPECT_EQ(w.listed() + ' ' + std::to_string(w.window.roster().UnitCount), "Bravo - Red 1");
    w.control<QComboBox>(Control::Combo13)->setEditText("1"); // the day is checked before the dialog opens
    w.click(Control::Command3, {Cancel{}});
    w.click(Control::Command2, {Cancel{}});
    EXPECT_EQ(w.prompts.asked,
              std::vector<std::string>({"input New Unit Name|Please enter unit name",
                                        "input New Unit Side|Please enter unit side",
                                        "input New Unit Name|Please enter unit name",
                                        "input New Unit Side|Please enter unit side", "save", "open"}));
}

TEST(Wiring, AClickWhoseCommandFailsIsToldAndTheWindowGoesOnInStep)
{
    QtWindowUnderTest w;
    w.click(Control::Command4, {std::string("Alpha"), std::string("Blue")});
    // The failure reaches the click's slot only through the core, which stops it there.
    w.prompts.fault.set({"input", 2, [] { throw std::bad_alloc(); }});
    w.click(Control::Command4, {std::string("Bravo")});
    EXPECT_EQ(w.prompts.asked.back(), "error Steelvane Brevorn Builder|\"New Unit\" did not finish: there was not "
                                      "enough memory.\n\nThe roster is still in the editor. Save it with SAVE "
                                      "before you go on.");
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1) + ' ' + std::to_string(w.window.roster().UnitCount),
              "Alpha - Blue  1");
    // The window goes on: the entry can be picked and shown.
    QListWidget* list = w.list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(w.listed() + ' ' + w.text(Control::Text1), "[Alpha - Blue] Alpha");
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

class Fields : public ScratchFolder
{
};

TEST_F(Fields, HoldTextsOfAnyLengthFromTheFileToTheFileAgain)
{
    const std::string name(40000, 'n'), type(33000, 't');
    const std::string source = path("long.txt"), target = path("saved.txt");
    const std::string unit = "unit_name=" + name + "\r\nunit_type=" + type +
                             "\r\nunit_ammo=1\r\nunit_fuel=1\r\nunit_side=Blue\r\nunit_losses=0\r\nunit_used=no\r\n";
    writeBytes(source, "GAME:\r\nDay_Counter=1\r\n\r\nUNITS:\r\n" + unit);
    QtWindowUnderTest w;
    w.click(Control::Command2, {source});
    w.list()->setCurrentRow(0);
    EXPECT_EQ(w.text(Control::Text1).size() + w.text(Control::Combo1).size(), name.size() + type.size());
    w.click(Control::Command1);
    w.click(Control::Command3, {target, false});
    const std::string saved = fileBytes(target);
    EXPECT_NE(saved.find("unit_name=" + name + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("unit_type=" + type + "\r\n"), std::string::npos);
}

TEST(Hints, CountAndDayBoxesSayWhatSaveTakesAndTheFileButtonsNameTheirShortcuts)
{
    QtWindowUnderTest w;
    const std::string counts = "A whole number from 0 to 10; N/A and empty are refused on SAVE";
    const std::map<Control, std::string> hints = {
        {Control::Combo2, counts},
        {Control::Combo3, counts},
        {Control::Combo7, counts},
        {Control::Combo13, "A whole number from 0 to 37; empty is refused on SAVE"},
        {Control::Command2, "Open a roster file; once per run (Ctrl+O)"},
        {Control::Command3, "Save the roster to a file (Ctrl+S)"},
    };
    for (const ControlRow& row : controlTable()) {
        const std::string want = hints.contains(row.control) ? hints.at(row.control) : "";
        EXPECT_EQ(w.window.control(row.control)->toolTip().toStdString(), want) << row.name;
    }
}

// Presses Ctrl with a letter where the focus is and lets the button's click follow.
void pressCtrl(Qt::Key letter)
{
    QTest::keyClick(QApplication::focusWidget(), letter, Qt::ControlModifier);
    // A shortcut clicks its button visibly, which takes a moment.
    QTest::qWait(250);
}

TEST(Keyboard, CtrlOLoadsOnceAndCtrlSSavesFromAnyControl)
{
    QtWindowUnderTest w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.control(Control::Text1)->setFocus();
    w.prompts.answers.push_back(dataFile("editor-three-units.txt"));
    pressCtrl(Qt::Key_O);
    EXPECT_EQ(w.listed(), "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue");
    // LOAD is used up: its shortcut does nothing.
    pressCtrl(Qt::Key_O);
    w.control<QComboBox>(Control::Combo13)->setFocus();
    w.prompts.answers.push_back(Cancel{});
    pressCtrl(Qt::Key_S);
    EXPECT_EQ(w.prompts.asked, std::vector<std::string>({"open", "save"}));
    EXPECT_EQ(w.control<QPushButton>(Control::Command2)->text().toStdString() + ' ' +
                  w.control<QPushButton>(Control::Command3)->text().toStdString(),
              "LOAD SAVE");
}

TEST_F(Fields, ShowTheStartOfATextTheProgramPutsInThem)
{
    QtWindowUnderTest w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    w.click(Control::Command2, {dataFile("editor-three-units.txt")});
    const QString status = "Disordered and falling back behind the river";
    w.list()->setCurrentRow(1);
    w.control<QComboBox>(Control::Combo12)->setEditText(status);
    w.control<QLineEdit>(Control::Text1)->setText("Kampfgruppe Müller of the Second Armoured Division");
    w.click(Control::Command1);
    w.list()->setCurrentRow(0);
    w.list()->setCurrentRow(1);
    for (Control control : {Control::Combo12, Control::Text1}) {
        QLineEdit* field =
            control == Control::Text1 ? w.control<QLineEdit>(control) : w.control<QComboBox>(control)->lineEdit();
        field->grab(); // scrolls the text as painting does
        // The character at the field's left edge is the text's first.
        EXPECT_EQ(field->cursorPositionAt(field->contentsRect().topLeft() + QPoint(1, field->height() / 2)), 0)
            << controlRow(control).name << ' ' << field->text().toStdString();
    }
    EXPECT_EQ(w.text(Control::Combo12), status.toStdString());
}

} // namespace
} // namespace brevorn::test
