#include "Dialog.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace platform;

constexpr int kSortedList = 10;
constexpr int kPlainList = 11;
constexpr int kCombo = 12;
constexpr int kCheck = 13;
constexpr int kEdit = 14;
constexpr int kRadioA = 20;
constexpr int kRadioB = 21;
constexpr int kRadioC = 22;

constexpr DialogControlTemplate kControls[] = {
    { kSortedList, kListBoxClass, LBS_SORT | WS_TABSTOP, u"", {} },
    { kPlainList, kListBoxClass, 0, u"", {} },
    { kCombo, kComboBoxClass, CBS_DROPDOWNLIST, u"", {} },
    { kCheck, kButtonClass, BS_AUTOCHECKBOX, u"Bold", {} },
    { kEdit, kEditClass, ES_READONLY | WS_DISABLED, u"start", {} },
    { kRadioA, kButtonClass, BS_AUTORADIOBUTTON | WS_GROUP, u"A", {} },
    { kRadioB, kButtonClass, BS_AUTORADIOBUTTON, u"B", {} },
    { kRadioC, kButtonClass, BS_AUTORADIOBUTTON, u"C", {} },
};
constexpr DialogTemplate kTemplate { 1, u"Test", 0, 0, { 0, 0, 80, 40 }, u"Tahoma", 8, kControls,
    std::size(kControls) };

std::intptr_t Text(const char16_t* text)
{
    return reinterpret_cast<std::intptr_t>(text);
}

TEST(DialogControlsTest, ListsKeepTheirOrderOrSortAndFindStringExactMatchesWholeItemsFromAfterStart)
{
    Dialog dialog(kTemplate, nullptr, nullptr, 0);
    // A sorted list inserts without regard to case, keeping the selected item.
    SendDlgItemMessageW(&dialog, kSortedList, LB_ADDSTRING, 0, Text(u"m"));
    SendDlgItemMessageW(&dialog, kSortedList, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kSortedList, LB_ADDSTRING, 0, Text(u"Courier")), 0);
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kSortedList, LB_ADDSTRING, 0, Text(u"arial")), 0);
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kSortedList, LB_ADDSTRING, 0, Text(u"Zapf")), 3);
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kSortedList, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(
        dialog.Control(kSortedList)->Items, (std::vector<std::u16string> { u"arial", u"Courier", u"m", u"Zapf" }));

    for (const char16_t* item : { u"Arial", u"Arial Black", u"Courier", u"arial" })
        SendDlgItemMessageW(&dialog, kPlainList, LB_ADDSTRING, 0, Text(item));
    // A list without LBS_SORT keeps the order of adding.
    EXPECT_EQ(dialog.Control(kPlainList)->Items,
        (std::vector<std::u16string> { u"Arial", u"Arial Black", u"Courier", u"arial" }));
    struct Row {
        std::intptr_t start;
        const char16_t* text;
        std::intptr_t found;
    };
    const Row rows[] = {
        { -1, u"Arial", 0 },
        { 0, u"Arial", 3 },
        { 3, u"ARIAL", 0 },
        { -1, u"Courier", 2 },
        { -1, u"Cour", LB_ERR },
        { -1, u"", LB_ERR },
        { 99, u"Courier", 2 },
    };
    for (const Row& row : rows)
        EXPECT_EQ(SendDlgItemMessageW(
                      &dialog, kPlainList, LB_FINDSTRINGEXACT, static_cast<std::uintptr_t>(row.start), Text(row.text)),
            row.found)
            << row.start;
    Dialog empty(kTemplate, nullptr, nullptr, 0);
    EXPECT_EQ(SendDlgItemMessageW(&empty, kPlainList, LB_FINDSTRINGEXACT, static_cast<std::uintptr_t>(-1), Text(u"x")),
        LB_ERR);
}

TEST(DialogControlsTest, SelectionStaysInsideTheItemsTheTemplateGivesTheStateAndUnknownIdsChangeNothing)
{
    Dialog dialog(kTemplate, nullptr, nullptr, 0);
    for (const char16_t* item : { u"4", u"5", u"12" })
        SendDlgItemMessageW(&dialog, kCombo, CB_ADDSTRING, 0, Text(item));
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kCombo, CB_GETCURSEL, 0, 0), CB_ERR);
    struct Row {
        std::intptr_t set;
        std::intptr_t result;
        std::intptr_t selected;
    };
    const Row rows[] = { { 2, 2, 2 }, { 0, 0, 0 }, { 3, CB_ERR, -1 }, { 1, 1, 1 }, { -1, 0, -1 }, { -7, CB_ERR, -1 } };
    for (const Row& row : rows) {
        EXPECT_EQ(
            SendDlgItemMessageW(&dialog, kCombo, CB_SETCURSEL, static_cast<std::uintptr_t>(row.set), 0), row.result)
            << row.set;
        EXPECT_EQ(SendDlgItemMessageW(&dialog, kCombo, CB_GETCURSEL, 0, 0), row.selected) << row.set;
    }
    SendDlgItemMessageW(&dialog, kCombo, CB_RESETCONTENT, 0, 0);
    EXPECT_TRUE(dialog.Control(kCombo)->Items.empty());
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kCombo, CB_GETCURSEL, 0, 0), CB_ERR);

    EXPECT_EQ(dialog.Title, u"Test");
    EXPECT_EQ(GetDlgItemTextW(&dialog, kEdit), u"start");
    EXPECT_TRUE(dialog.Control(kEdit)->ReadOnly);
    EXPECT_FALSE(dialog.Control(kEdit)->Enabled);
    EXPECT_TRUE(dialog.Control(kCheck)->Enabled);
    EXPECT_EQ(dialog.Focus, kSortedList);
    EXPECT_EQ(dialog.DefaultButton(), nullptr);

    CheckDlgButton(&dialog, kCheck, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, kCheck), BST_CHECKED);
    CheckRadioButton(&dialog, kRadioA, kRadioC, kRadioA);
    CheckRadioButton(&dialog, kRadioA, kRadioC, kRadioB);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, kRadioA), BST_UNCHECKED);

    // Unknown ids, and messages a control does not take, do nothing.
    constexpr int kNone = 999;
    CheckDlgButton(&dialog, kNone, BST_CHECKED);
    SetDlgItemTextW(&dialog, kNone, u"x");
    EXPECT_EQ(IsDlgButtonChecked(&dialog, kNone), BST_UNCHECKED);
    EXPECT_EQ(GetDlgItemTextW(&dialog, kNone), u"");
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kNone, LB_ADDSTRING, 0, Text(u"x")), LB_ERR);
    EXPECT_EQ(SendDlgItemMessageW(&dialog, kCheck, LB_ADDSTRING, 0, Text(u"x")), LB_ERR);
    EXPECT_EQ(SendDlgItemMessageW(nullptr, kCheck, LB_GETCURSEL, 0, 0), LB_ERR);

    // The first end keeps its result.
    EndDialog(&dialog, 8);
    EndDialog(&dialog, 2);
    EXPECT_TRUE(dialog.Ended);
    EXPECT_EQ(dialog.Result, 8);
}

} // namespace
