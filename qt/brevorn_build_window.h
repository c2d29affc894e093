// The editor's one window in Qt: widgets built from the core's control table, shown and
// read for the core through the view, every click handed to the core.
#pragma once

#include "brevorn_build.h"
#include "editor_view.h"

#include <QWidget>

#include <array>
#include <memory>

class QLineEdit;
class QListWidget;
class QScrollArea;

namespace brevorn {

class QtPrompts;

class BrevornBuildWindow final : public QWidget, public EditorView
{
    Q_OBJECT

public:
    // Builds every control and runs Form_Load. Without prompts the window asks through
    // Qt's own dialogs, and the answer Yes to "Exit?" closes it and quits the application.
    explicit BrevornBuildWindow(EditorPrompts* prompts = nullptr);
    ~BrevornBuildWindow() override;

    BrevornBuild& core() { return m_core; }
    const Roster& roster() const { return m_core.roster(); }
    QWidget* control(Control control) const;
    // Logical pixels per (twips / 15), the same for every control and the window.
    double layoutScale() const { return m_scale; }

    // The view the core works through.
    std::string text(Control control) const override;
    void setText(Control control, std::string_view text) override;
    void setItems(Control combo, std::span<const std::string_view> items) override;
    int selectedIndex() const override;
    void setListEntries(const std::vector<std::string>& entries) override;
    void appendAndSelect(std::string_view entry) override;
    void setLoadEnabled(bool enabled) override;

    // Where the controls lie: a surface of the layout's size, scrolled within the window.
    QWidget* surface() const;
    QScrollArea* scrollArea() const { return m_scrollArea; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void createControls();
    void placeControls();
    // A window larger than the screen's free area opens at that area's size, in its
    // corner, and scrolls; one that fits keeps its size and place.
    void fitToScreen();
    // Resizes the window to a size the window manager keeps as it is.
    void requestSize(QSize size);
    void connectHandlers();
    // The text field of an editing control: the line edit itself or a combo's field.
    QLineEdit* textField(Control control) const;
    QListWidget* list() const;

    std::unique_ptr<QtPrompts> m_qtPrompts;
    BrevornBuild m_core;
    QScrollArea* m_scrollArea = nullptr;
    std::array<QWidget*, ControlCount> m_controls{};
    double m_scale = 1.0;
    // Fitted when first shown, and again once the window manager's frame is known.
    enum class ScreenFit { NotYet, AwaitingFrame, Done };
    ScreenFit m_screenFit = ScreenFit::NotYet;
};

} // namespace brevorn
