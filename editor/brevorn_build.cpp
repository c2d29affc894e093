// The editor window: controls built from the layout table, and one handler per command,
// each following the steps of its command in order.
#include "brevorn_build.h"

#include "choice_lists.h"
#include "layout_scale.h"
#include "roster_reader.h"
#include "roster_writer.h"
#include "save_report.h"
#include "unit_fields.h"
#include "window_layout.h"

#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>

#include <cassert>
#include <optional>

namespace brevorn {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString caption()
{
    return fromUtf8(WindowCaption);
}

// The path as the file system spells it.
std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

const UnitField& unitField(std::string_view key)
{
    const UnitField* field = findUnitField(key);
    assert(field && "the layout pairs controls with known field keys only");
    return *field;
}

// standIn is lent to each combo's field while the field is attached, and taken back.
QWidget* createControl(const ControlRow& row, QWidget* window, QCompleter& standIn)
{
    const QString text = fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(text, window);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::TextBox:
        return new QLineEdit(text, window);
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(window);
        // Giving the combo a field makes it editable. Unlike setEditable, this leaves the
        // drop-down list to be made when it is first opened, and a field that already has
        // a completer gets no completer made for it: both would cost most of the start-up
        // time of the window.
        auto* field = new QLineEdit(combo);
        field->setCompleter(&standIn);
        combo->setLineEdit(field);
        // Typed text stays exactly as typed: no completion from the items and no item
        // added on Enter. Without a completer the combo's own lookup on Enter and on
        // leaving the field matches case-sensitively, so it can only find the very text
        // typed and never swaps in an item's spelling ("medium tank" stays as it is).
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setEditText(text);
        return combo;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(window);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        return list;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(text, window);
        button->setAutoDefault(false);
        return button;
    }
    }
    return nullptr;
}

} // namespace

BrevornBuild::BrevornBuild(Dialogs& dialogs, EndProgram endProgram)
    : m_dialogs(dialogs)
    , m_endProgram(std::move(endProgram))
{
    if (!m_endProgram) {
        m_endProgram = [this] {
            close();
            QCoreApplication::quit();
        };
    }
    setObjectName(QStringLiteral("BrevornBuild"));
    setWindowTitle(caption());
    createControls();
    placeControls();
    connectHandlers();
    Form_Load();
    // The control with the lowest tab index; it takes the focus when the window is shown.
    List1->setFocus();
}

void BrevornBuild::createControls()
{
    QCompleter standIn;
    QWidget* previous = nullptr;
    for (const ControlRow& row : controlTable()) {
        QWidget* control = createControl(row, this, standIn);
        const QString name = fromUtf8(row.name);
        control->setObjectName(name);
        m_controls.insert(name, control);
        // The table is in tab-index order; labels hold a tab index but never the focus.
        if (row.kind != ControlKind::Label) {
            if (previous)
                setTabOrder(previous, control);
            previous = control;
        }
    }
    // Each label is the buddy of the control it names, so that assistive technology reads
    // the two together. No caption holds an "&", so no buddy gains a shortcut key.
    for (const ControlRow& row : controlTable()) {
        QWidget* control = m_controls.value(fromUtf8(row.name));
        if (auto* label = qobject_cast<QLabel*>(m_controls.value(fromUtf8(labelOf(row.name)))))
            label->setBuddy(control);
        if (row.kind != ControlKind::Label)
            control->setAccessibleName(fromUtf8(brevorn::accessibleName(row.name)));
    }
    List1 = findChild<QListWidget*>(QStringLiteral("List1"));
    Command1 = findChild<QPushButton*>(QStringLiteral("Command1"));
    Command2 = findChild<QPushButton*>(QStringLiteral("Command2"));
    Command3 = findChild<QPushButton*>(QStringLiteral("Command3"));
    Command4 = findChild<QPushButton*>(QStringLiteral("Command4"));
    Command5 = findChild<QPushButton*>(QStringLiteral("Command5"));
}

void BrevornBuild::placeControls()
{
    // Each caption is measured with the font and style its own control uses.
    auto measure = [this](const ControlRow& row) {
        QWidget* control = m_controls.value(fromUtf8(row.name));
        const QFontMetrics metrics = control->fontMetrics();
        const QSize text(metrics.horizontalAdvance(fromUtf8(row.caption)), metrics.height());
        if (row.kind != ControlKind::PushButton)
            return text;
        // The caption stays out of the option: some styles give any captioned button a
        // minimum width that has nothing to do with reading the caption.
        QStyleOptionButton option;
        option.initFrom(control);
        return control->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, control);
    };
    m_scale = brevorn::layoutScale(controlTable(), measure);

    for (const ControlRow& row : controlTable()) {
        QWidget* control = m_controls.value(fromUtf8(row.name));
        control->setGeometry(scaledRect(row, m_scale));
        if (row.kind == ControlKind::Label) {
            // Where a control reaches over the label's left edge, the caption starts
            // after it so that it can be read in full.
            const int covered =
                scaledPixels(uncoveredSpan(controlTable(), row).start, m_scale) - scaledPixels(row.left, m_scale);
            if (covered > 0)
                static_cast<QLabel*>(control)->setIndent(covered);
        } else {
            // Drawn over any label it overlaps, and so taking the clicks there.
            control->raise();
        }
    }
    resize(scaledPixels(ClientWidthTwips, m_scale), scaledPixels(ClientHeightTwips, m_scale));
}

void BrevornBuild::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &BrevornBuild::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BrevornBuild::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &BrevornBuild::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &BrevornBuild::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &BrevornBuild::Command5_Click);
    // Every change of the selection, also one the program makes ("New Unit" relies on it).
    connect(List1, &QListWidget::itemSelectionChanged, this, &BrevornBuild::List1_Click);
    List1->installEventFilter(this);
}

bool BrevornBuild::eventFilter(QObject* watched, QEvent* event)
{
    // Taking the focus makes the first entry current without selecting it, and the first
    // Down would then skip it. A key pressed while nothing is selected starts from no
    // current entry, so that Down selects the first entry.
    if (watched == List1 && event->type() == QEvent::KeyPress && ListIndex() < 0)
        List1->selectionModel()->clearCurrentIndex();
    return QWidget::eventFilter(watched, event);
}

void BrevornBuild::Form_Load()
{
    // The lists are filled once and never change afterwards.
    if (m_listsFilled)
        return;
    m_listsFilled = true;
    for (const ChoiceList& list : choiceLists()) {
        auto* combo = static_cast<QComboBox*>(m_controls.value(list.combo));
        // Adding the first item would put its text into the field; the field keeps its own.
        const QString shown = combo->currentText();
        combo->addItems(list.items);
        combo->setCurrentIndex(-1);
        combo->setEditText(shown);
    }
}

void BrevornBuild::Command1_Click()
{
    // The selected unit; with none selected nothing is stored.
    const int slot = ListIndex() + 1;
    if (slot == 0)
        return;
    // Every control's text, verbatim; a count field becomes set, even to empty text.
    UnitRecord& unit = m_roster.UnitTable[slot];
    for (const FieldControl& pair : commitOrder())
        setFieldText(unit, unitField(pair.fieldKey), text(pair.control).toStdString());
    // The list entry keeps its old text until "Delete" rebuilds the list.
}

void BrevornBuild::Command2_Click()
{
    // The file to read; a cancelled dialog leaves everything as it was.
    const std::optional<QString> path = m_dialogs.openPath(this);
    if (!path)
        return;
    // The reading is all or nothing, so after a failure the roster is as it was.
    const Expected<RosterReadResult> read = ReadRosterFile(localPath(*path), m_roster);
    if (!read) {
        m_dialogs.showError(this, caption(), fromUtf8(read.error().message));
        return;
    }
    // Only the settings the file gave.
    const RosterReadResult& result = read.value();
    if (result.Day_Counter)
        setText("Combo13", fromUtf8(*result.Day_Counter));
    if (result.Theatre)
        setText("Combo15", fromUtf8(*result.Theatre));
    if (result.Season)
        setText("Combo14", fromUtf8(*result.Season));
    // One entry per unit, none selected. The list is rebuilt from the table rather
    // than appended to, so that entry p still stands for slot p + 1 when units were
    // added before the file was read over them.
    rebuildList();
    // A roster is loaded once per run.
    Command2->setEnabled(false);
}

void BrevornBuild::Command3_Click()
{
    // The file to write; a cancelled dialog writes nothing and asks nothing.
    const std::optional<QString> path = m_dialogs.savePath(this);
    if (!path)
        return;
    // The game texts as the boxes show them now, picked or typed.
    const std::string day = text("Combo13").toStdString();
    const std::string theatre = text("Combo15").toStdString();
    const std::string season = text("Combo14").toStdString();
    // A refused save leaves the file on disk as it was and the editor as it is.
    if (const Expected<void> saved = WriteRosterFile(localPath(*path), m_roster, day, theatre, season); !saved) {
        m_dialogs.showError(this, caption(), describeSaveRefusal(saved.error()));
        return;
    }
    if (m_dialogs.askYesNo(this, QStringLiteral("Exit?"), QStringLiteral("Exit?")))
        m_endProgram();
}

void BrevornBuild::Command4_Click()
{
    // The table has no slot past the 500th unit: refuse before anything changes.
    if (m_roster.UnitCount >= MaxUnits) {
        m_dialogs.showError(this, caption(),
                            QStringLiteral("The roster holds %1 units, the most it can hold.").arg(MaxUnits));
        return;
    }
    emptyUnitControls();
    // The second question is asked whatever the first answer was.
    setText("Text1",
            m_dialogs.inputText(this, QStringLiteral("Please enter unit name"), QStringLiteral("New Unit Name")));
    setText("Text2",
            m_dialogs.inputText(this, QStringLiteral("Please enter unit side"), QStringLiteral("New Unit Side")));
    // An empty answer adds nothing; blanks count as an answer.
    const QString name = text("Text1");
    const QString side = text("Text2");
    if (name.isEmpty() || side.isEmpty())
        return;
    // The slot keeps whatever else it holds.
    ++m_roster.UnitCount;
    UnitRecord& unit = m_roster.UnitTable[m_roster.UnitCount];
    unit.unit_name = name.toStdString();
    unit.unit_side = side.toStdString();
    List1->addItem(listEntry(m_roster.UnitCount));
    // Selecting the entry shows the new unit through List1_Click.
    List1->setCurrentRow(m_roster.UnitCount - 1);
}

void BrevornBuild::Command5_Click()
{
    // With no entry selected nothing changes, not even the controls.
    const int slot = ListIndex() + 1;
    if (slot == 0)
        return;
    emptyUnitControls();
    // The count fields become the empty text, not unset.
    for (const UnitField& field : unitFields)
        setFieldText(m_roster.UnitTable[slot], field, std::string());
    // Close the gap; each unit moves with all its fields, unset counts included. The
    // slot of the former last unit keeps a copy of it.
    for (int j = slot; j < m_roster.UnitCount; ++j)
        m_roster.UnitTable[j] = m_roster.UnitTable[j + 1];
    --m_roster.UnitCount;
    // Rebuilt with nothing selected, so nothing is shown.
    rebuildList();
}

void BrevornBuild::List1_Click()
{
    // With nothing selected this is slot 0, which never holds a unit.
    const UnitRecord& unit = m_roster.UnitTable[ListIndex() + 1];
    // Texts as stored; an unset count shows as empty text.
    for (const FieldControl& pair : showOrder())
        setText(pair.control, fromUtf8(fieldText(unit, unitField(pair.fieldKey))));
}

int BrevornBuild::ListIndex() const
{
    // A list can hold a current row that is not selected (Ctrl+click takes the selection
    // away and leaves the row current); only a selected entry counts.
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    return selected.isEmpty() ? -1 : List1->row(selected.first());
}

QString BrevornBuild::listEntry(int slot) const
{
    const UnitRecord& unit = m_roster.UnitTable[slot];
    return fromUtf8(unit.unit_name) + QStringLiteral(" - ") + fromUtf8(unit.unit_side);
}

void BrevornBuild::rebuildList()
{
    // The rebuild is no change of selection the user made: nothing is shown for it.
    const QSignalBlocker blocker(List1);
    List1->clear();
    for (int slot = 1; slot <= m_roster.UnitCount; ++slot)
        List1->addItem(listEntry(slot));
}

void BrevornBuild::emptyUnitControls()
{
    for (const FieldControl& pair : clearOrder())
        setText(pair.control, QString());
}

QLineEdit* BrevornBuild::textField(std::string_view name) const
{
    QWidget* control = m_controls.value(fromUtf8(name));
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(control);
}

QString BrevornBuild::text(std::string_view name) const
{
    return textField(name)->text();
}

void BrevornBuild::setText(std::string_view name, const QString& text)
{
    textField(name)->setText(text);
}

} // namespace brevorn
