// The Qt window: controls made from the table, placed at one scale, wired to the core.
#include "brevorn_build_window.h"

#include "layout_scale.h"
#include "messages.h"
#include "qt_prompts.h"
#include "qt_text.h"
#include "window_layout.h"

#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>
#include <QWindow>

#include <limits>

namespace brevorn {

namespace {

// A native text box holds any length; Qt's fields stop at 32,767 characters unless told.
QLineEdit* unlimited(QLineEdit* field)
{
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}

// A list box whose selection changes only when the user picks an entry or the program
// selects one: a click on its empty part or a Ctrl+click keeps the selection, as a native
// single-selection list box does.
class UnitList final : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override
    {
        if (!index.isValid())
            return QItemSelectionModel::NoUpdate;
        const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
        return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : command;
    }
};

// An editable combo whose list opens at the item the field shows, so that Down moves on
// from the value and not from the top. The field keeps its text: only the list's highlight
// moves.
class ChoiceCombo final : public QComboBox
{
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        QComboBox::showPopup();
        // Without an item equal to the text, no item is highlighted (not the one last
        // picked), and Down starts at the first.
        const int shown = findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        const QModelIndex item = model()->index(shown, modelColumn(), rootModelIndex());
        QAbstractItemView* list = view();
        list->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        if (item.isValid())
            list->scrollTo(item);
    }
};

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
        return unlimited(new QLineEdit(text, window));
    case ControlKind::ComboBox: {
        auto* combo = new ChoiceCombo(window);
        // Giving the combo a field makes it editable. Unlike setEditable, this leaves the
        // drop-down list to be made when it is first opened, and a field that already has
        // a completer gets no completer made for it: both would cost most of the start-up
        // time of the window.
        auto* field = unlimited(new QLineEdit(combo));
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
        auto* list = new UnitList(window);
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

BrevornBuildWindow::BrevornBuildWindow(EditorPrompts* prompts)
    : m_qtPrompts(prompts ? nullptr : std::make_unique<QtPrompts>(this))
    , m_core(*this, prompts ? *prompts : *m_qtPrompts)
{
    setObjectName(QStringLiteral("BrevornBuild"));
    setWindowTitle(fromUtf8(WindowCaption));
    // The controls lie on a surface of the layout's size that scrolls when the window is
    // smaller, so that they are never cropped or squeezed. Without a frame, and without
    // scroll bars while it fits, the surface looks like the window itself.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setFocusPolicy(Qt::NoFocus); // not a stop of the tab order
    m_scrollArea->setWidget(new QWidget);
    layout->addWidget(m_scrollArea);
    createControls();
    placeControls();
    connectHandlers();
    m_core.handle(WindowEvent::Form_Load);
    // The control with the lowest tab index; it takes the focus when the window is shown.
    control(Control::List1)->setFocus();
}

BrevornBuildWindow::~BrevornBuildWindow() = default;

QWidget* BrevornBuildWindow::control(Control control) const
{
    return m_controls.at(static_cast<std::size_t>(control));
}

void BrevornBuildWindow::createControls()
{
    QCompleter standIn;
    QWidget* previous = nullptr;
    for (const ControlRow& row : controlTable()) {
        QWidget* widget = createControl(row, surface(), standIn);
        widget->setObjectName(fromUtf8(row.name));
        m_controls.at(static_cast<std::size_t>(row.control)) = widget;
        // The table is in tab-index order; labels hold a tab index but never the focus.
        if (row.kind != ControlKind::Label) {
            if (previous)
                setTabOrder(previous, widget);
            previous = widget;
        }
    }
    // Each label is the buddy of the control it names, so that assistive technology reads
    // the two together. No caption holds an "&", so no buddy gains a shortcut key.
    for (const ControlRow& row : controlTable()) {
        if (const std::optional<Control> label = labelOf(row.control))
            static_cast<QLabel*>(control(*label))->setBuddy(control(row.control));
        if (row.kind != ControlKind::Label)
            control(row.control)->setAccessibleName(fromUtf8(brevorn::accessibleName(row.control)));
        control(row.control)->setToolTip(fromUtf8(brevorn::toolTip(row.control)));
    }
    // Taken anywhere in the window; a disabled button ignores its shortcut.
    for (const ButtonShortcut& shortcut : buttonShortcuts)
        static_cast<QPushButton*>(control(shortcut.button))
            ->setShortcut(QKeySequence(fromUtf8(shortcutText(shortcut))));
}

void BrevornBuildWindow::placeControls()
{
    // A caption keeps a pixel clear of the controls beside it: one that meets a box reads
    // as part of it.
    constexpr int clearance = 1;
    // Each caption and value is measured with the font and style its own control uses.
    auto measure = [this](const ControlRow& row, std::string_view text) {
        QWidget* widget = control(row.control);
        const QFontMetrics metrics = widget->fontMetrics();
        QSize size(metrics.horizontalAdvance(fromUtf8(text)), metrics.height());
        QStyle* style = widget->style();
        switch (row.kind) {
        case ControlKind::Label:
            size.rwidth() += 2 * clearance;
            break;
        case ControlKind::PushButton: {
            // The caption stays out of the option: some styles give any captioned button a
            // minimum width that has nothing to do with reading the caption.
            QStyleOptionButton option;
            option.initFrom(widget);
            size = style->sizeFromContents(QStyle::CT_PushButton, &option, size, widget);
            break;
        }
        case ControlKind::ComboBox: {
            // The field's frame and margins and the drop-down button, as the style draws them;
            // a pixel more for the caret after the last character.
            QStyleOptionComboBox option;
            option.initFrom(widget);
            option.editable = true;
            // The height stays the table's: only the text has to fit it.
            size.rwidth() += 1;
            size.rwidth() = style->sizeFromContents(QStyle::CT_ComboBox, &option, size, widget).width();
            break;
        }
        case ControlKind::ListBox: {
            // The frame, the vertical scroll bar and the item's margins on both sides.
            const auto* list = static_cast<QListWidget*>(widget);
            const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
            size.rwidth() +=
                2 * list->frameWidth() + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget) + 2 * margin;
            size.rheight() = 0;
            break;
        }
        case ControlKind::TextBox:
            break;
        }
        return PixelSize{size.width(), size.height()};
    };
    m_scale = brevorn::layoutScale(controlTable(), measure);

    for (const ControlRow& row : controlTable()) {
        QWidget* widget = control(row.control);
        const PixelRect rect = scaledRect(row, m_scale);
        widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
        if (row.kind == ControlKind::Label) {
            // Where a control reaches over the label's left edge, the caption starts
            // after it so that it can be read in full.
            if (const int indent = captionIndent(controlTable(), row, m_scale); indent > 0)
                static_cast<QLabel*>(widget)->setIndent(indent + clearance);
        } else {
            // Drawn over any label it overlaps, and so taking the clicks there.
            widget->raise();
        }
    }
    surface()->resize(scaledPixels(ClientWidthTwips, m_scale), scaledPixels(ClientHeightTwips, m_scale));
    requestSize(surface()->size());
}

QWidget* BrevornBuildWindow::surface() const
{
    return m_scrollArea->widget();
}

void BrevornBuildWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_screenFit == ScreenFit::NotYet) {
        m_screenFit = ScreenFit::AwaitingFrame;
        fitToScreen();
    }
}

void BrevornBuildWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // A window manager frames the window only once it is mapped and then moves it into
    // the frame: fitted again, the frame is on the screen as well.
    if (m_screenFit == ScreenFit::AwaitingFrame && windowHandle() && !windowHandle()->frameMargins().isNull()) {
        m_screenFit = ScreenFit::Done;
        fitToScreen();
    }
}

void BrevornBuildWindow::fitToScreen()
{
    // Room on the screen for the window's inside: what the window manager's frame leaves,
    // where it is known before the window is mapped.
    const QRect available = screen()->availableGeometry();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize room = available.size().shrunkBy(frame);
    QSize wanted = surface()->size();
    if (wanted.width() <= room.width() && wanted.height() <= room.height())
        return;
    // A scroll bar along one side takes room from the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollArea);
    if (wanted.width() > room.width())
        wanted.rheight() += bar;
    if (wanted.height() > room.height())
        wanted.rwidth() += bar;
    requestSize(wanted.boundedTo(room));
    move(available.topLeft());
}

void BrevornBuildWindow::requestSize(QSize size)
{
    // Under a scale factor Qt asks the window manager to size the window in steps of a
    // logical pixel rounded to whole device pixels, counted from a base size of none: two
    // pixels at 1.5. A window manager that keeps to the steps takes an odd width down by
    // one, a pixel short of the layout, and both scroll bars show. Steps counted from the
    // size asked for keep that size exact.
    setBaseSize(size);
    resize(size);
}

void BrevornBuildWindow::connectHandlers()
{
    auto onClick = [this](Control button, WindowEvent event) {
        connect(static_cast<QPushButton*>(control(button)), &QPushButton::clicked, this,
                [this, event] { m_core.handle(event); });
    };
    onClick(Control::Command1, WindowEvent::Command1_Click);
    onClick(Control::Command2, WindowEvent::Command2_Click);
    onClick(Control::Command3, WindowEvent::Command3_Click);
    onClick(Control::Command4, WindowEvent::Command4_Click);
    onClick(Control::Command5, WindowEvent::Command5_Click);
    // The changes the program makes itself are made with the list's signals blocked.
    connect(list(), &QListWidget::itemSelectionChanged, this, [this] { m_core.handle(WindowEvent::List1_Click); });
    list()->installEventFilter(this);
}

bool BrevornBuildWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Taking the focus makes the first entry current without selecting it, and the first
    // Down would then skip it. A key pressed while nothing is selected starts from no
    // current entry, so that Down selects the first entry.
    if (watched == list() && event->type() == QEvent::KeyPress && selectedIndex() < 0)
        list()->selectionModel()->clearCurrentIndex();
    return QWidget::eventFilter(watched, event);
}

QLineEdit* BrevornBuildWindow::textField(Control c) const
{
    QWidget* widget = control(c);
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(widget);
}

QListWidget* BrevornBuildWindow::list() const
{
    return static_cast<QListWidget*>(control(Control::List1));
}

std::string BrevornBuildWindow::text(Control control) const
{
    return textField(control)->text().toStdString();
}

void BrevornBuildWindow::setText(Control control, std::string_view text)
{
    QLineEdit* field = textField(control);
    field->setText(fromUtf8(text));
    // A text longer than the field shows its beginning, as a native text box does.
    field->setCursorPosition(0);
}

void BrevornBuildWindow::setItems(Control combo, std::span<const std::string_view> items)
{
    auto* box = static_cast<QComboBox*>(control(combo));
    QStringList texts;
    texts.reserve(qsizetype(items.size()));
    for (std::string_view item : items)
        texts << fromUtf8(item);
    // Adding the first item would put its text into the field; the field keeps its own.
    const QString shown = box->currentText();
    box->clear();
    box->addItems(texts);
    box->setCurrentIndex(-1);
    box->setEditText(shown);
    box->lineEdit()->setCursorPosition(0);
}

int BrevornBuildWindow::selectedIndex() const
{
    // A list can hold a current row that is not selected (after LOAD or Delete, or when it
    // takes the focus); only a selected entry counts.
    const QList<QListWidgetItem*> selected = list()->selectedItems();
    return selected.isEmpty() ? -1 : list()->row(selected.first());
}

void BrevornBuildWindow::setListEntries(const std::vector<std::string>& entries)
{
    const QSignalBlocker blocker(list());
    list()->clear();
    for (const std::string& entry : entries)
        list()->addItem(fromUtf8(entry));
}

void BrevornBuildWindow::appendAndSelect(std::string_view entry)
{
    const QSignalBlocker blocker(list());
    list()->addItem(fromUtf8(entry));
    list()->setCurrentRow(list()->count() - 1);
}

void BrevornBuildWindow::setLoadEnabled(bool enabled)
{
    control(Control::Command2)->setEnabled(enabled);
}

} // namespace brevorn
