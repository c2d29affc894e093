// The window right after start: texts, item lists, geometry, focus and typing into combos.
#include "editor_window.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>

namespace brevorn::test {
namespace {

TEST(StartUp, TextsAndItemListsAreAsGiven)
{
    struct Case
    {
        const char* combo;
        int count;
        int inside;         // a position inside the list, where a slip would hide
        QStringList probes; // the first item, the one inside, the last
    };
    const Case cases[] = {
        {"Combo13", 31, 11, {"1", "12", "31"}},
        {"Combo14", 5, 3, {"Summer", "Fall", "Rainy Season"}},
        {"Combo15", 4, 2, {"Northern European", "Desert", "Tropical"}},
        {"Combo12", 4, 2, {"OK", "Captured", "Destroyed"}},
        {"Combo4", 5, 2, {"Elite", "Average", "Poor"}},
        {"Combo1", 26, 8, {"Infantry", "Towed Light AntiTank", "Airstrike"}},
        {"Combo5", 9, 6, {"Static Fire", "Captured", "Dismount & Maneuver"}},
        {"Combo6", 2, 1, {"No", "Yes", "Yes"}},
        {"Combo7", 10, 5, {"0", "5", "9"}},
        {"Combo2", 12, 1, {"N/A", "0", "10"}},
        {"Combo3", 12, 8, {"N/A", "7", "10"}},
        {"Combo8", 5, 2, {"None", "Medium", "Extra-Heavy"}},
        {"Combo9", 3, 1, {"None", "Infantry", "MG"}},
        {"Combo10", 5, 3, {"None", "Heavy", "Extra-Heavy"}},
        {"Combo11", 5, 1, {"None", "Light", "Extra-Heavy"}},
        {"Combo16", 5, 4, {"None", "Extra-Heavy", "Extra-Heavy"}},
    };
    EditorWindow w;
    EXPECT_EQ(w.window.windowTitle(), "Steelvane Brevorn Builder");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combo);
        auto* combo = w.control<QComboBox>(c.combo);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        ASSERT_EQ(items.size(), c.count);
        EXPECT_EQ(QStringList({items.first(), items[c.inside], items.last()}), c.probes);
        EXPECT_EQ(QSet<QString>(items.begin(), items.end()).size(), c.count) << "a duplicate";
        EXPECT_FALSE(items.contains(QString())) << "a blank item";
        EXPECT_EQ(combo->currentIndex(), -1) << "no item picked";
        EXPECT_EQ(combo->currentText(), QString(c.combo == QString("Combo12") ? "OK" : ""));
    }
    EXPECT_EQ(w.text("Text1") + w.text("Text2"), "");
    EXPECT_EQ(w.list()->count(), 0);
    for (auto* button : w.window.findChildren<QPushButton*>())
        EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
    EXPECT_TRUE(w.window.findChildren<QMenuBar*>().isEmpty());
}

TEST(StartUp, ControlsKeepTheirProportionsAndEveryCaptionCanBeRead)
{
    EditorWindow w;
    const double scale = w.window.layoutScale();
    EXPECT_GE(scale, 1.0);
    auto px = [scale](int twips) { return int(std::lround(twips / 15.0 * scale)); };
    auto rect = [&](int left, int top, int width, int height) {
        return QRect(QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1));
    };
    EXPECT_EQ(w.window.size(), QSize(px(7425), px(5955)));
    EXPECT_EQ(w.control("List1")->geometry(), rect(240, 1440, 2655, 4350));
    EXPECT_EQ(w.control("Command2")->geometry(), rect(6000, 5400, 1335, 495));
    EXPECT_EQ(w.control("Label4")->geometry(), rect(5160, 2040, 1575, 255));
    EXPECT_EQ(w.control("Combo12")->geometry(), rect(6360, 1320, 975, 315));
    w.window.resize(w.window.size() * 2);
    EXPECT_EQ(w.control("Combo12")->geometry(), rect(6360, 1320, 975, 315)) << "nothing follows a resize";

    // Every pixel of a label's caption lies on the label itself, not under a neighbour.
    for (QLabel* label : w.window.findChildren<QLabel*>()) {
        const QFontMetrics metrics = label->fontMetrics();
        const int start = label->x() + std::max(0, label->indent());
        const int end = start + metrics.horizontalAdvance(label->text());
        EXPECT_LE(metrics.height(), label->height()) << label->text().toStdString();
        for (int x = start; x < end; ++x) {
            if (w.window.childAt(x, label->y() + metrics.height() / 2) != label) {
                ADD_FAILURE() << label->text().toStdString() << " is cut at x=" << x;
                break;
            }
        }
    }
    for (QPushButton* button : w.window.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QSize caption(button->fontMetrics().horizontalAdvance(button->text()), button->fontMetrics().height());
        EXPECT_TRUE(room.width() >= caption.width() && room.height() >= caption.height())
            << button->text().toStdString();
    }
    // Where a label reaches under a control, the control is on top and takes the click.
    for (auto [label, combo] : {std::pair("Label4", "Combo2"),
                                {"Label4", "Combo4"},
                                {"Label5", "Combo3"},
                                {"Label6", "Combo4"},
                                {"Label15", "Combo6"},
                                {"Label18", "Combo14"}}) {
        const QRect shared = w.control(label)->geometry() & w.control(combo)->geometry();
        QWidget* hit = w.window.childAt(shared.center());
        EXPECT_TRUE(!shared.isEmpty() && (hit == w.control(combo) || w.control(combo)->isAncestorOf(hit)))
            << label << " over " << combo;
    }
}

struct ShownWindow : ::testing::Test
{
    EditorWindow w;
    void SetUp() override
    {
        w.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    }
};

TEST_F(ShownWindow, FocusStartsOnTheListAndTabFollowsTheTabIndices)
{
    const QStringList order{"List1",   "Command2", "Command3", "Command4", "Command5", "Text1",  "Combo1",
                            "Combo2",  "Combo3",   "Combo4",   "Combo5",   "Text2",    "Combo7", "Combo8",
                            "Combo9",  "Combo10",  "Combo11",  "Combo12",  "Command1", "Combo6", "Combo13",
                            "Combo14", "Combo15",  "Combo16",  "List1"};
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // An editable combo's text field belongs to the combo.
        visited << (qobject_cast<QComboBox*>(focus->parentWidget()) ? focus->parentWidget() : focus)->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, order);
}

TEST_F(ShownWindow, TypedComboTextIsNeitherCompletedNorRecasedNorAdded)
{
    // Enter, or else the focus moves away.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Combo1", "medium tank", true}, {"Combo1", "Infantr", true}, {"Combo5", "captured", false},
        {"Combo14", "Sum", false},       {"Combo2", "n/a", true},     {"Combo13", "40", true}};
    for (const auto& [name, typed, enter] : cases) {
        auto* combo = w.control<QComboBox>(name);
        const int items = combo->count();
        combo->setFocus();
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), typed);
        if (enter)
            QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        else
            w.list()->setFocus();
        EXPECT_EQ(combo->currentText(), typed) << name;
        EXPECT_EQ(combo->count(), items) << name;
    }
}

} // namespace
} // namespace brevorn::test
