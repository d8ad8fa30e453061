// The control wrappers on real controls: what the Parts read and write through them.
#include <afxcmn.h>
#include <afxext.h>

#include <gtest/gtest.h>

#include "test_app.h"

namespace {

class Controls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, NULL, L"controls", WS_POPUP, 0, 0, 500, 400, NULL, NULL));
        ShowWithoutActivating(m_parent);
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        theApp.OnIdle(1);
    }
    CWnd m_parent;
};

TEST_F(Controls, ListControlItemsColumnsDataAndSelection)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &m_parent, 1));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.GetExtendedStyle() & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(list.InsertColumn(0, L"Name", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, L"Size", LVCFMT_RIGHT, 80), 1);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 2);
    EXPECT_EQ(list.GetColumnWidth(0), 120);

    const CString longName(L'x', 600); // longer than the first buffer the getter tries
    EXPECT_EQ(list.InsertItem(0, L"alpha"), 0);
    EXPECT_EQ(list.InsertItem(1, longName), 1);
    list.SetItemText(0, 1, L"12 KB");
    list.SetItemData(1, static_cast<DWORD_PTR>(0xDEADBEEF));
    EXPECT_EQ(list.GetItemText(0, 1), L"12 KB");
    EXPECT_EQ(list.GetItemText(1, 0), longName);
    EXPECT_EQ(list.GetItemData(1), static_cast<DWORD_PTR>(0xDEADBEEF));

    list.SetCheck(1, TRUE);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    POSITION pos = list.GetFirstSelectedItemPosition();
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(list.GetNextSelectedItem(pos), 1);
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
}

TEST_F(Controls, TreeControlItemsAndRelations)
{
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_CHECKBOXES, CRect(0, 0, 200, 200),
                            &m_parent, 2));
    HTREEITEM hRoot = tree.InsertItem(L"root");
    HTREEITEM hChild = tree.InsertItem(L"child", hRoot);
    HTREEITEM hSecond = tree.InsertItem(L"second", 1, 2, hRoot);
    tree.SetItemData(hSecond, 77);
    EXPECT_EQ(tree.GetRootItem(), hRoot);
    EXPECT_EQ(tree.GetChildItem(hRoot), hChild);
    EXPECT_EQ(tree.GetNextSiblingItem(hChild), hSecond);
    EXPECT_EQ(tree.GetParentItem(hSecond), hRoot);
    EXPECT_TRUE(tree.ItemHasChildren(hRoot));
    EXPECT_EQ(tree.GetItemText(hSecond), L"second");
    EXPECT_EQ(tree.GetItemData(hSecond), 77u);
    int nImage = 0;
    int nSelected = 0;
    EXPECT_TRUE(tree.GetItemImage(hSecond, nImage, nSelected));
    EXPECT_EQ(nImage, 1);
    EXPECT_EQ(nSelected, 2);
    EXPECT_TRUE(tree.SetItemText(hChild, L"renamed"));
    EXPECT_EQ(tree.GetItemText(hChild), L"renamed");
    tree.SetCheck(hChild, TRUE);
    EXPECT_TRUE(tree.GetCheck(hChild));
    EXPECT_TRUE(tree.Expand(hRoot, TVE_EXPAND));
    EXPECT_TRUE(tree.SelectItem(hSecond));
    EXPECT_EQ(tree.GetSelectedItem(), hSecond);
    EXPECT_EQ(tree.GetCount(), 3u);
}

TEST_F(Controls, ComboListEditAndRangeControls)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(0, 0, 150, 200), &m_parent, 3));
    combo.AddString(L"Apple");
    combo.AddString(L"Banana");
    combo.SetItemData(1, 5);
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.SelectString(-1, L"Ban"), 1);
    CString text;
    combo.GetLBText(1, text);
    EXPECT_EQ(text, L"Banana");
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 5u);
    EXPECT_EQ(combo.FindStringExact(-1, L"apple"), 0);

    CListBox listBox;
    ASSERT_TRUE(listBox.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(0, 210, 150, 300), &m_parent, 4));
    listBox.AddString(L"one");
    listBox.AddString(L"two");
    listBox.SetCurSel(1);
    listBox.GetText(listBox.GetCurSel(), text);
    EXPECT_EQ(text, L"two");

    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(160, 0, 300, 100), &m_parent, 5));
    edit.SetWindowText(L"first line\r\nsecond");
    EXPECT_EQ(edit.GetLineCount(), 2);
    wchar_t line[32] = {};
    EXPECT_EQ(edit.GetLine(1, line, 32), 6);
    EXPECT_STREQ(line, L"second");
    EXPECT_EQ(edit.GetLine(0, line, 5), 5); // cut to the buffer, not terminated past it
    edit.SetSel(0, 5);
    int nStart = 0;
    int nEnd = 0;
    edit.GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, 0);
    EXPECT_EQ(nEnd, 5);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(0, 310, 200, 330), &m_parent, 6));
    progress.SetRange32(0, 1000);
    progress.SetPos(250);
    int nLower = -1;
    int nUpper = -1;
    progress.GetRange(nLower, nUpper);
    EXPECT_EQ(nUpper, 1000);
    EXPECT_EQ(progress.GetPos(), 250);

    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE, CRect(0, 340, 200, 370), &m_parent, 7));
    slider.SetRange(10, 20, TRUE);
    slider.SetPos(25);
    EXPECT_EQ(slider.GetPos(), 20);

    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE, CRect(210, 340, 230, 370), &m_parent, 8));
    spin.SetRange32(-5, 100000);
    spin.SetPos(99999);
    EXPECT_EQ(spin.GetPos(), 99999);
    int nMin = 0;
    int nMax = 0;
    spin.GetRange32(nMin, nMax);
    EXPECT_EQ(nMin, -5);
    EXPECT_EQ(nMax, 100000);
}

TEST_F(Controls, TabsHeadersHotKeysTooltipsAndRichEdit)
{
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &m_parent, 9));
    EXPECT_EQ(tabs.InsertItem(0, L"First"), 0);
    EXPECT_EQ(tabs.InsertItem(1, L"Second"), 1);
    tabs.SetCurSel(1);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(tabs.GetItemCount(), 2);

    CHotKeyCtrl hotKey;
    ASSERT_TRUE(hotKey.Create(WS_CHILD | WS_VISIBLE, CRect(0, 110, 150, 130), &m_parent, 10));
    hotKey.SetHotKey('K', HOTKEYF_CONTROL);
    WORD wKey = 0;
    WORD wModifiers = 0;
    hotKey.GetHotKey(wKey, wModifiers);
    EXPECT_EQ(wKey, 'K');
    EXPECT_EQ(wModifiers, HOTKEYF_CONTROL);

    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&m_parent, TTS_ALWAYSTIP));
    CStatic label;
    ASSERT_TRUE(
        label.Create(L"label", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(0, 140, 80, 160), &m_parent, 11));
    ASSERT_TRUE(tip.AddTool(&label, L"the label"));
    EXPECT_EQ(tip.GetToolCount(), 1);
    CString tipText;
    tip.GetText(tipText, &label);
    EXPECT_EQ(tipText, L"the label");
    tip.UpdateTipText(L"changed", &label);
    tip.GetText(tipText, &label);
    EXPECT_EQ(tipText, L"changed");
    tip.DelTool(&label);
    EXPECT_EQ(tip.GetToolCount(), 0);

    CRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(160, 110, 480, 300), &m_parent, 12));
    rich.SetWindowText(L"Hello rich world");
    CString range;
    rich.GetTextRange(6, 10, range);
    EXPECT_EQ(range, L"rich");
    rich.SetSel(0, 5);
    EXPECT_EQ(rich.GetSelText(), L"Hello");
    EXPECT_EQ(rich.GetTextLength(), 16);
}

TEST_F(Controls, ImageListsAndBitmapButtons)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4));
    CBitmap bitmap;
    CClientDC screen(NULL);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 32, 16));
    EXPECT_EQ(images.Add(&bitmap, RGB(255, 0, 255)), 0); // a strip of two images
    EXPECT_EQ(images.GetImageCount(), 2);
    HICON hIcon = images.ExtractIcon(1);
    ASSERT_NE(hIcon, nullptr);
    EXPECT_EQ(images.Add(hIcon), 2);
    ::DestroyIcon(hIcon);
    EXPECT_EQ(CImageList::FromHandle(images), &images);
    int cx = 0;
    int cy = 0;
    EXPECT_TRUE(images.GetIconSize(&cx, &cy));
    EXPECT_EQ(cx, 16);

    CBitmapButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 10, 10), &m_parent, 13));
    ASSERT_TRUE(button.m_bitmap.CreateCompatibleBitmap(&screen, 24, 20));
    button.SizeToContent();
    CRect rect;
    button.GetWindowRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(24, 20));
    button.RedrawWindow(); // draws the face through the reflected WM_DRAWITEM
}

} // namespace
