// What the editor's behaviour needs from a window: a passive view of the controls and the
// modal prompts. Each front end (Qt, Win32) implements both; the tests use a fake.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

// Every control of the window, in tab-index order: the value is the control's row in the
// control table, so a misspelt control does not compile.
enum class Control {
    List1,
    Command2,
    Command3,
    Label1,
    Command4,
    Command5,
    Label2,
    Text1,
    Label3,
    Combo1,
    Label4,
    Combo2,
    Label5,
    Combo3,
    Label6,
    Combo4,
    Label7,
    Combo5,
    Label8,
    Text2,
    Label9,
    Combo7,
    Label11,
    Combo8,
    Label12,
    Combo9,
    Label13,
    Combo10,
    Label14,
    Combo11,
    Label15,
    Label16,
    Combo12,
    Command1,
    Combo6,
    Label10,
    Label17,
    Combo13,
    Combo14,
    Combo15,
    Label18,
    Label19,
    Label20,
    Combo16,
};

inline constexpr int ControlCount = 44;

// The events of the window that reach the core, each named after the handler it runs.
enum class WindowEvent {
    Form_Load,
    List1_Click,
    Command1_Click, // Save Edit
    Command2_Click, // LOAD
    Command3_Click, // SAVE
    Command4_Click, // New Unit
    Command5_Click, // Delete
};

// The controls as the core sees them. Texts are UTF-8. Nothing here reports back to the
// core: the front end reports the user's clicks only, as window events. A call may throw
// (a text that cannot be converted, memory running out): the command stops there, and the
// core tells the user.
class EditorView
{
public:
    virtual ~EditorView() = default;

    // The text of a text box or of a combo's field, exactly as shown.
    virtual std::string text(Control control) const = 0;
    // Sets a text box's or a combo field's text, shown from its start.
    virtual void setText(Control control, std::string_view text) = 0;
    // Fills a combo's drop-down items in order; the field keeps the text it shows.
    virtual void setItems(Control combo, std::span<const std::string_view> items) = 0;

    // The selected entry of List1, -1 while none is selected.
    virtual int selectedIndex() const = 0;
    // Replaces List1's entries with none selected, without reporting a selection.
    virtual void setListEntries(const std::vector<std::string>& entries) = 0;
    // Appends an entry to List1 and selects it, without reporting a selection: the core
    // shows the unit itself, as a native list box does not report a selection the program
    // makes.
    virtual void appendAndSelect(std::string_view entry) = 0;

    // Enables or disables the LOAD button (Command2).
    virtual void setLoadEnabled(bool enabled) = 0;
};

// One entry of a file dialog's type list: its name and the patterns it shows, separated
// by ";" ("*.txt"). A front end writes it in its platform's form, e.g. "Roster files (*.txt)".
struct FileFilter
{
    std::string_view name;
    std::string_view patterns;
};

// What a file dialog starts with: the folder it opens in, the file name it offers (either
// may be empty for the platform's default) and its type list, the first one chosen.
struct FileRequest
{
    std::filesystem::path folder;
    std::filesystem::path fileName;
    std::span<const FileFilter> filters;
};

// The named fields keep a title and a text from being passed the wrong way round.
struct Question
{
    std::string title;
    std::string text;
};

struct InputRequest
{
    std::string title;
    std::string prompt;
};

struct ErrorMessage
{
    std::string title;
    std::string text;
};

// Everything modal the core asks of the user. Its calls may throw as the view's may.
class EditorPrompts
{
public:
    virtual ~EditorPrompts() = default;

    // The platform's open and save dialogs; nullopt when the user cancels.
    virtual std::optional<std::filesystem::path> openPath(const FileRequest& request) = 0;
    virtual std::optional<std::filesystem::path> savePath(const FileRequest& request) = 0;

    // A message box with Yes and No and no icon; true for Yes.
    virtual bool askYesNo(const Question& question) = 0;

    // An input box whose field starts empty; the empty text on Cancel or close.
    virtual std::string inputText(const InputRequest& request) = 0;

    // A short message the user has to acknowledge.
    virtual void showError(const ErrorMessage& message) = 0;

    // A message of many lines the user has to acknowledge, e.g. every value a save refused:
    // a dialog as wide as its longest line (up to the screen's width), scrolling when long,
    // its text selectable and copyable, with OK, which Enter and Escape press too.
    virtual void showReport(const ErrorMessage& message) = 0;

    // Ends the program at once: the window closes and nothing further runs.
    virtual void endProgram() = 0;
};

} // namespace brevorn
