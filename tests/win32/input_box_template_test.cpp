// The input box's in-memory dialog template, read back the way the dialog manager reads it.
#include "input_box_template.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>

namespace brevorn {
namespace {

struct Item
{
    std::uint32_t style = 0;
    short box[4] = {};
    std::uint16_t id = 0;
    std::uint16_t windowClass = 0;
    std::wstring caption;
};

struct Dialog
{
    std::uint32_t style = 0;
    std::wstring title;
    short width = 0;
    std::uint16_t points = 0;
    std::wstring font;
    std::vector<Item> items;
};

// A reader of the template's words, with the alignment rules of the format.
class TemplateReader
{
public:
    explicit TemplateReader(const std::vector<std::uint16_t>& words)
        : m_words(words)
    {
    }
    std::uint16_t word() { return m_at < m_words.size() ? m_words[m_at++] : 0xDEAD; }
    std::uint32_t dword()
    {
        const std::uint32_t low = word();
        return low | (std::uint32_t(word()) << 16);
    }
    std::wstring text()
    {
        std::wstring out;
        for (std::uint16_t c; (c = word()) != 0 && c != 0xDEAD;)
            out += wchar_t(c);
        return out;
    }
    void alignToDword()
    {
        if (m_at % 2)
            ++m_at;
    }
    bool atEnd() const { return m_at == m_words.size(); }

private:
    const std::vector<std::uint16_t>& m_words;
    std::size_t m_at = 0;
};

Dialog readTemplate(const std::vector<std::uint16_t>& words)
{
    TemplateReader in(words);
    Dialog dialog;
    dialog.style = in.dword();
    in.dword(); // extended style
    const std::uint16_t count = in.word();
    in.word(); // x
    in.word(); // y
    dialog.width = short(in.word());
    in.word(); // height
    EXPECT_EQ(in.word(), 0) << "menu";
    EXPECT_EQ(in.word(), 0) << "window class";
    dialog.title = in.text();
    dialog.points = in.word();
    dialog.font = in.text();
    for (int i = 0; i < count; ++i) {
        in.alignToDword();
        Item item;
        item.style = in.dword();
        in.dword();
        for (short& value : item.box)
            value = short(in.word());
        item.id = in.word();
        EXPECT_EQ(in.word(), 0xFFFF) << "class by ordinal";
        item.windowClass = in.word();
        item.caption = in.text();
        EXPECT_EQ(in.word(), 0) << "creation data";
        dialog.items.push_back(item);
    }
    EXPECT_TRUE(in.atEnd());
    return dialog;
}

TEST(InputBoxTemplate, PromptThenFieldThenOkAndCancelInTheMessageFont)
{
    const Dialog dialog = readTemplate(inputBoxTemplate(L"New Unit Name", L"Please enter unit name", L"Segoe UI", 9));
    EXPECT_EQ(dialog.title, L"New Unit Name");
    EXPECT_EQ(dialog.font, L"Segoe UI");
    EXPECT_EQ(dialog.points, 9);
    EXPECT_EQ(dialog.style & (DS_SETFONT | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU),
              std::uint32_t(DS_SETFONT | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
    ASSERT_EQ(dialog.items.size(), 4u);

    // The order is the tab order, and a screen reader names the field after the label before it.
    const Item& prompt = dialog.items[0];
    const Item& field = dialog.items[1];
    const Item& ok = dialog.items[2];
    const Item& cancel = dialog.items[3];
    EXPECT_EQ(prompt.windowClass, 0x0082); // static
    EXPECT_EQ(prompt.caption, L"Please enter unit name");
    EXPECT_EQ(prompt.style & WS_TABSTOP, 0u);
    EXPECT_EQ(field.windowClass, 0x0081); // edit
    EXPECT_EQ(field.id, InputBoxFieldId);
    EXPECT_EQ(field.caption, L"") << "the field starts empty";
    EXPECT_EQ(field.style & (WS_TABSTOP | ES_AUTOHSCROLL), std::uint32_t(WS_TABSTOP | ES_AUTOHSCROLL));
    EXPECT_EQ(ok.windowClass, 0x0080); // button
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.caption, L"OK");
    EXPECT_EQ(ok.style & 0xF, std::uint32_t(BS_DEFPUSHBUTTON));
    EXPECT_EQ(cancel.id, IDCANCEL);
    EXPECT_EQ(cancel.caption, L"Cancel");
    for (const Item& item : dialog.items)
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), std::uint32_t(WS_CHILD | WS_VISIBLE)) << item.caption;

    // Every item lies inside the box, and the prompt does not run into the buttons.
    for (const Item& item : dialog.items) {
        EXPECT_GE(item.box[0], 0);
        EXPECT_LE(item.box[0] + item.box[2], 220) << item.caption;
        EXPECT_LE(item.box[1] + item.box[3], 62) << item.caption;
    }
    EXPECT_LE(prompt.box[0] + prompt.box[2], ok.box[0]);
}

TEST(InputBoxTemplate, WideEnoughForTheTitleAndForThePromptBesideTheButtons)
{
    // Short texts keep the usual box.
    EXPECT_EQ(inputBoxWidth(80, 90), InputBoxNarrowest);
    // A long title widens the box to itself; a long prompt to itself, the margins and the buttons.
    EXPECT_EQ(inputBoxWidth(300, 90), 300);
    EXPECT_EQ(inputBoxWidth(80, 200), 7 + 200 + 6 + 50 + 7);
    EXPECT_EQ(inputBoxWidth(260, 200), 270);
    EXPECT_EQ(inputBoxWidth(290, 200), 290);
    // Never wider than the widest box: such a prompt wraps.
    EXPECT_EQ(inputBoxWidth(80, 2000), InputBoxWidest);

    // The items follow the width: the prompt stops before the buttons, which stand at the right.
    const short width = inputBoxWidth(80, 200);
    const Dialog dialog = readTemplate(inputBoxTemplate(L"Title", L"Prompt", L"Segoe UI", 9, width));
    ASSERT_EQ(dialog.items.size(), 4u);
    EXPECT_EQ(dialog.width, width);
    EXPECT_EQ(dialog.items[0].box[2], 200) << "the prompt's width";
    EXPECT_EQ(dialog.items[1].box[0] + dialog.items[1].box[2], width - 7) << "the field's right edge";
    EXPECT_EQ(dialog.items[2].box[0] + dialog.items[2].box[2], width - 7) << "OK's right edge";
    EXPECT_EQ(dialog.items[3].box[0], dialog.items[2].box[0]) << "Cancel under OK";
}

TEST(InputBoxTemplate, TextsOfAnyLengthAndOddCountsKeepTheItemsAligned)
{
    // Titles of odd and even length shift every later item; each must still start on a
    // four-byte boundary, or the dialog manager reads garbage.
    for (const wchar_t* title : {L"", L"A", L"AB", L"R\u00e9giment \u20ac"}) {
        const Dialog dialog = readTemplate(inputBoxTemplate(title, L"Prompt", L"Tahoma", 8));
        EXPECT_EQ(dialog.title, title);
        ASSERT_EQ(dialog.items.size(), 4u) << title;
        EXPECT_EQ(dialog.items[3].caption, L"Cancel") << title;
    }
}

} // namespace
} // namespace brevorn
