// The window right after start: texts, item lists, geometry and captions, keyboard and screen reader names.
#include "editor/window_layout.h"
#include "editor_window.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>

namespace brevorn::test {
namespace {

// Which way one rectangle lies from another.
auto relation(const QRect& a, const QRect& b)
{
    return std::tuple(a.left() < b.left(), a.left() > b.left(), a.top() < b.top(), a.top() > b.top(), a.intersects(b));
}

// ctest runs this again at QT_SCALE_FACTOR 1.5 and 2 and with an 11 point default font.
TEST(StartUp, WindowIsAsGivenAndEveryCaptionCanBeRead)
{
    EditorWindow w;
    std::string items;
    for (auto* combo : w.window.findChildren<QComboBox*>()) {
        items += combo->objectName().toStdString() + (combo->currentIndex() < 0 ? "" : " picked");
        for (int i = 0; i < combo->count(); ++i)
            items += (i ? '|' : ' ') + combo->itemText(i).toStdString();
        items += '\n';
    }
    EXPECT_EQ(items, "Combo1 Infantry|Motorized Infantry|Armored Infantry|Armored Car/Tankette|Light Tank|Medium Tank|"
                     "Heavy Tank|Extra-Heavy Tank|Towed Light AntiTank|Towed Medium AntiTank|Towed Heavy AntiTank|"
                     "Towed Extra-Heavy AntiTank|Towed Light Artillery|Towed Medium Artillery|Towed Heavy Artillery|"
                     "Towed Extra-Heavy Artillery|SP Light Artillery|SP Medium Artillery|SP Heavy Artillery|"
                     "SP Extra-Heavy Artillery|SP Light AntiTank|SP Medium AntiTank|SP Heavy AntiTank|"
                     "SP Extra-Heavy AntiTank|Supply Transport|Airstrike\nCombo2 N/A|0|1|2|3|4|5|6|7|8|9|10\n"
                     "Combo3 N/A|0|1|2|3|4|5|6|7|8|9|10\nCombo4 Elite|Veteran|Average|Fair|Poor\nCombo5 Static Fire|"
                     "Moving Fire|Maneuver|March|Stand/Regroup|Resupply|Captured|Lay Smoke|Dismount & Maneuver\n"
                     "Combo7 0|1|2|3|4|5|6|7|8|9\nCombo8 None|Light|Medium|Heavy|Extra-Heavy\nCombo9 None|Infantry|"
                     "MG\nCombo10 None|Light|Medium|Heavy|Extra-Heavy\nCombo11 None|Light|Medium|Heavy|Extra-Heavy\n"
                     "Combo12 OK|Disordered|Captured|Destroyed\nCombo6 No|Yes\nCombo13 1|2|3|4|5|6|7|8|9|10|11|12|13|"
                     "14|15|16|17|18|19|20|21|22|23|24|25|26|27|28|29|30|31\nCombo14 Summer|Spring|Winter|Fall|"
                     "Rainy Season\nCombo15 Northern European|Mediterranean|Desert|Tropical\nCombo16 None|Light|"
                     "Medium|Heavy|Extra-Heavy\n");
    EXPECT_EQ(w.window.windowTitle().toStdString() + ' ' + w.shown() + ' ' + w.game() + ' ' + w.listed(),
              "Steelvane Brevorn Builder |||||OK||||||||| || ");
    EXPECT_EQ(w.window.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    auto px = [scale = w.window.layoutScale()](int twips) { return int(std::lround(twips / 15.0 * scale)); };
    EXPECT_EQ(w.window.size(), QSize(px(7425), px(5955)));
    w.window.resize(w.window.size() * 2); // nothing follows a resize
    // Edges are rounded, not sizes, and every control lies from every other as in twips. Where a
    // label reaches under a control, the control is on top and takes the click.
    for (const ControlRow& a : controlTable()) {
        const QRect twips(a.left, a.top, a.width, a.height), got = w.control(QString::fromUtf8(a.name))->geometry();
        EXPECT_EQ(got,
                  QRect(QPoint(px(a.left), px(a.top)), QPoint(px(a.left + a.width) - 1, px(a.top + a.height) - 1)));
        for (const ControlRow& b : controlTable()) {
            QWidget* other = w.control(QString::fromUtf8(b.name));
            const QRect otherTwips(b.left, b.top, b.width, b.height);
            EXPECT_EQ(relation(got, other->geometry()), relation(twips, otherTwips)) << a.name << " and " << b.name;
            QWidget* hit = w.window.childAt((got & other->geometry()).center());
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
            hidden += w.window.childAt(x, label->y() + metrics.height() / 2) != label;
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
    EditorWindow w;
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
    EXPECT_EQ(w.control<QLabel>("Label1")->buddy(), w.list());

    // LOAD by Space, after which the disabled button drops out of the chain, forwards and back.
    key(Qt::Key_Tab);
    w.answers << dataDir + "editor-three-units.txt";
    key(Qt::Key_Space);
    key(Qt::Key_Tab, 1, Qt::ShiftModifier);
    EXPECT_EQ(focusStop() + ' ' + w.listed(), "List1 Units/ 1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue");
    // The focus on the list selects no entry, so Save Edit and Delete do nothing yet.
    w.setText("Text1", "edited");
    const Roster loaded = w.window.roster();
    w.click("Command1");
    w.click("Command5");
    EXPECT_TRUE(w.window.roster() == loaded);
    EXPECT_EQ(w.listed() + ' ' + w.text("Text1"), "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue edited");
    key(Qt::Key_Down);
    EXPECT_EQ(w.listed() + ' ' + w.text("Text1"),
              "[1st Platoon - Blue]|Kampfgruppe Müller - Red|Recon - Blue 1st Platoon");
    key(Qt::Key_Tab, 3);
    key(Qt::Key_Space);
    EXPECT_EQ(focusStop() + ' ' + w.listed(), "Command5 Delete/ Kampfgruppe Müller - Red|Recon - Blue");
    // A clicked entry is where Down starts from.
    QListWidget* list = w.list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    key(Qt::Key_Down);
    EXPECT_EQ(w.listed() + ' ' + w.text("Text1"), "Kampfgruppe Müller - Red|[Recon - Blue] Recon");

    // Typed text is neither completed nor recased nor added as an item, on Enter or on leaving.
    const std::tuple<const char*, const char*, Qt::Key> typing[] = {{"Combo1", "medium tank", Qt::Key_Return},
                                                                    {"Combo1", "Infantr", Qt::Key_Return},
                                                                    {"Combo5", "captured", Qt::Key_Tab},
                                                                    {"Combo14", "Sum", Qt::Key_Tab},
                                                                    {"Combo13", "40", Qt::Key_Return}};
    for (const auto& [name, typed, leave] : typing) {
        auto* combo = w.control<QComboBox>(name);
        const int items = combo->count();
        combo->setFocus();
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), leave);
        EXPECT_EQ(w.text(name) + ' ' + std::to_string(combo->count()), typed + (' ' + std::to_string(items)));
    }
}

} // namespace
} // namespace brevorn::test
