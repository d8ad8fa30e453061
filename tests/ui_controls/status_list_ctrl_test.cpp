// The coloured status list (its colour table, then a live list on the test display) and the empty child
// dialog of the previews.
#include "empty_child_dialog.h"
#include "modal_script.h"
#include "status_list_ctrl.h"
#include "widget_host.h"

#include <gtest/gtest.h>
#include <map>

namespace {

const COLORREF kKeep = StatusCellColours::kKeepListColour;
const COLORREF kYellow = 0xB2F3F5;
const COLORREF kPink = 0xF3E9F8;
const COLORREF kMint = 0xE2F2DC;

TEST(StatusList, ColourTableByColumnAndStatusWord)
{
    struct Case
    {
        const wchar_t* status;
        COLORREF text;
        bool blackBackground;
    };
    const Case statuses[] = {
        {L"Pending", 0x000000, false}, {L"Pending 3 of 9", 0x000000, false},
        {L"Done", 0xFF0000, false},    {L"Failed", 0x0000FF, false},
        {L"Progress", 0x00FF00, true}, {L"Progress 40%", 0x00FF00, true},
        {L"Waiting", kKeep, false},    {L"pending", kKeep, false},
        {L"", kKeep, false},           {L" Done", kKeep, false},
    };
    const COLORREF columnBackground[] = {kYellow, kPink, kMint, kPink, kMint, kMint, kKeep};
    for (const Case& c : statuses) {
        for (int column = 0; column < 7; ++column) {
            SCOPED_TRACE(testing::Message() << "status #" << (&c - statuses) << ", column " << column);
            const StatusCellColours colours = StatusCellColoursFor(column, c.status);
            EXPECT_EQ(colours.text, c.text);
            EXPECT_EQ(colours.background, c.blackBackground ? 0x000000 : columnBackground[column]);
        }
    }
}

// The colour that most pixels of the cell have.
COLORREF CellColour(CListCtrl& list, int row, int column)
{
    CRect cell;
    ListView_GetSubItemRect(list.GetSafeHwnd(), row, column, LVIR_BOUNDS, &cell);
    if (column == 0) {
        // The first column's bounds cover the whole row.
        cell.right = cell.left + list.GetColumnWidth(0);
    }
    cell.DeflateRect(2, 1);
    const std::vector<COLORREF> pixels = ClientPixels(list.GetSafeHwnd(), cell);
    std::map<COLORREF, int> counts;
    for (const COLORREF pixel : pixels) {
        ++counts[pixel];
    }
    COLORREF most = 0;
    int mostCount = -1;
    for (const auto& [colour, count] : counts) {
        if (count > mostCount) {
            most = colour;
            mostCount = count;
        }
    }
    return most;
}

TEST(StatusList, LiveListColoursEveryCellAndAProgressRowIsBlackThroughout)
{
    CWidgetHost host;
    ASSERT_TRUE(host.Create(640, 240));
    CStatusListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 640, 240), &host, 1));
    for (int column = 0; column < 6; ++column) {
        list.InsertColumn(column, L"Column", LVCFMT_LEFT, 100);
    }
    const wchar_t* statuses[] = {L"Progress", L"Unknown", L"Done"};
    for (int row = 0; row < 3; ++row) {
        list.InsertItem(row, L"table");
        list.SetItemText(row, 1, statuses[row]);
    }
    list.UpdateWindow();

    const COLORREF listBackground = list.GetBkColor();
    const COLORREF columns[] = {kYellow, kPink, kMint, kPink, kMint, kMint};
    for (int column = 0; column < 6; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(CellColour(list, 0, column), RGB(0, 0, 0));
        EXPECT_EQ(CellColour(list, 1, column), columns[column]);
        EXPECT_EQ(CellColour(list, 2, column), columns[column]);
    }
    EXPECT_NE(listBackground, RGB(0, 0, 0));
}

TEST(EmptyChildDialog, IsATransparentChildThatClipsItsSiblingsAndChildren)
{
    CWidgetHost host;
    ASSERT_TRUE(host.Create(640, 240));
    CEmptyChildDlg dialog;
    ASSERT_TRUE(dialog.Create(&host));
    const DWORD style = dialog.GetStyle();
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(style & WS_POPUP, 0u);
    EXPECT_NE(dialog.GetExStyle() & WS_EX_TRANSPARENT, 0u);
    EXPECT_EQ(::GetParent(dialog.GetSafeHwnd()), host.GetSafeHwnd());
    EXPECT_EQ(::GetWindow(dialog.GetSafeHwnd(), GW_CHILD), nullptr);
    dialog.DestroyWindow();
}

} // namespace
