// The editor's one window: its controls, the roster it owns, and the command handlers.
#pragma once

#include "dialogs.h"
#include "roster.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <functional>
#include <string_view>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace brevorn {

class BrevornBuild : public QWidget
{
    Q_OBJECT

public:
    using EndProgram = std::function<void()>;

    // Builds every control and fills the choice lists. Without an endProgram the
    // answer Yes to "Exit?" closes the window and quits the application.
    explicit BrevornBuild(Dialogs& dialogs, EndProgram endProgram = {});

    const Roster& roster() const { return m_roster; }
    // Logical pixels per (twips / 15), the same for every control and the window.
    double layoutScale() const { return m_scale; }

public slots:
    void Form_Load();
    void Command1_Click(); // Save Edit
    void Command2_Click(); // LOAD
    void Command3_Click(); // SAVE
    void Command4_Click(); // New Unit
    void Command5_Click(); // Delete
    void List1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void placeControls();
    void connectHandlers();

    // The selected entry of List1, -1 while none is selected.
    int ListIndex() const;
    QString listEntry(int slot) const;
    void rebuildList();
    void emptyUnitControls();

    // The text field of an editing control: the line edit itself or a combo's field.
    QLineEdit* textField(std::string_view name) const;
    QString text(std::string_view name) const;
    void setText(std::string_view name, const QString& text);

    Dialogs& m_dialogs;
    EndProgram m_endProgram;
    Roster m_roster;
    double m_scale = 1.0;
    bool m_listsFilled = false;

    QHash<QString, QWidget*> m_controls;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
};

} // namespace brevorn
