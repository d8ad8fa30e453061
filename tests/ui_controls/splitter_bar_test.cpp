// The splitter bar on the display with two child windows as panes: its layouts, drags by messages,
// the one-pane state, the minimum sizes, and the sizes it keeps in the registry (read back raw).
#include "splitter_bar.h"

#include <gtest/gtest.h>

#include "support/screenshot.h"
#include "test_window.h"

#include <optional>
#include <ostream>
#include <string>

// Rectangles show their four sides when a comparison fails.
static void PrintTo(const CRect& rect, std::ostream* os)
{
    *os << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace {

constexpr wchar_t kRegistryKey[] = L"Corvane VMDK Recovery";
constexpr int kBarWidth = 6;

std::wstring SectionPath(const wchar_t* kind, UINT id)
{
    return std::wstring(L"Software\\") + kRegistryKey + L"\\" + AfxGetApp()->m_pszProfileName + L"\\splt\\" +
           kind + std::to_wstring(id);
}

// The raw DWORD under the program's key, or nothing when the value is missing.
std::optional<DWORD> ReadRaw(const wchar_t* kind, UINT id, const wchar_t* entry)
{
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(kind, id).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const LONG status = RegQueryValueExW(key, entry, NULL, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

void WriteRaw(const wchar_t* kind, UINT id, const wchar_t* entry, DWORD value)
{
    HKEY key = NULL;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(kind, id).c_str(), 0, NULL, 0, KEY_WRITE, NULL,
                              &key, NULL),
              ERROR_SUCCESS);
    RegSetValueExW(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void ForgetSplitters()
{
    const std::wstring root =
        std::wstring(L"Software\\") + kRegistryKey + L"\\" + AfxGetApp()->m_pszProfileName + L"\\splt";
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
}

// A pane's rectangle in the bar's client coordinates.
CRect PaneRect(const CWnd& pane, const CWnd& bar)
{
    CRect rect;
    pane.GetWindowRect(&rect);
    bar.ScreenToClient(&rect);
    return rect;
}

class SplitterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxGetApp()->SetRegistryKey(kRegistryKey);
        ForgetSplitters();
    }
    void TearDown() override { ForgetSplitters(); }

    void MakePanes()
    {
        for (CStatic* pane : {&first, &second}) {
            ASSERT_TRUE(
                pane->Create(L"", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 10, 10), &parent, 0xFFFF));
        }
    }
    void Make(DWORD flags, UINT id, int width, int height, int firstMinimum = 90, int secondMinimum = 110)
    {
        MakePanes();
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | flags, &parent, &first, &second, id,
                               CRect(0, 0, width, height), firstMinimum, secondMinimum));
    }
    void Drag(CPoint from, CPoint to)
    {
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((from.x + to.x) / 2, (from.y + to.y) / 2));
        bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    CTestWindow& parent = SharedTestWindow();
    CStatic first;
    CStatic second;
    CSplitterBar bar;
};

TEST_F(SplitterTest, PanesBecomeChildrenOfTheBarAndKeepTheParentAsOwner)
{
    Make(CSplitterBar::kVerticalBar, 157, 800, 600);
    for (CStatic* pane : {&first, &second}) {
        EXPECT_EQ(::GetParent(pane->GetSafeHwnd()), bar.GetSafeHwnd());
        EXPECT_EQ(pane->GetOwner(), &parent);
    }
    EXPECT_EQ(::GetParent(bar.GetSafeHwnd()), parent.GetSafeHwnd());
    EXPECT_EQ(bar.GetDlgCtrlID(), 157);
    EXPECT_TRUE(bar.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(bar.GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
}

TEST_F(SplitterTest, AHorizontalBarStartsWithTheStoredBottomHeightOrTwiceItsMinimum)
{
    struct Case
    {
        const char* name;
        std::optional<DWORD> stored;
        int bottom;
    };
    const Case cases[] = {
        {"nothing stored: twice the minimum", std::nullopt, 220},
        {"stored", 300, 300},
        {"stored below the minimum", 20, 110},
        {"stored negative", 0xFFFFFFF0u, 110},
        {"stored beyond the client: the top pane keeps its minimum", 100000, 600 - kBarWidth - 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetSplitters();
        if (c.stored) {
            WriteRaw(L"init_h", 164, L"HorizSplitPos", *c.stored);
        }
        Make(CSplitterBar::kHorizontalBar, 164, 800, 600);
        const CRect top = PaneRect(first, bar);
        const CRect bottom = PaneRect(second, bar);
        EXPECT_EQ(bottom, CRect(0, 600 - c.bottom, 800, 600));
        EXPECT_EQ(top, CRect(0, 0, 800, 600 - c.bottom - kBarWidth));
        bar.DestroyWindow();
        first.DestroyWindow();
        second.DestroyWindow();
    }
}

TEST_F(SplitterTest, AVerticalBarStartsAtItsFixedWidthWhateverIsStored)
{
    struct Case
    {
        UINT id;
        int left;
    };
    for (const Case& c : {Case{164, 850}, Case{157, 200}}) {
        SCOPED_TRACE(c.id);
        WriteRaw(L"init_v", c.id, L"VertSplitPos", 333);
        Make(CSplitterBar::kVerticalBar, c.id, 1200, 500);
        EXPECT_EQ(PaneRect(first, bar), CRect(0, 0, c.left, 500));
        EXPECT_EQ(PaneRect(second, bar), CRect(c.left + kBarWidth, 0, 1200, 500));
        bar.DestroyWindow();
        first.DestroyWindow();
        second.DestroyWindow();
    }
}

TEST_F(SplitterTest, DraggingTheBarMovesThePanesWithinTheirMinimums)
{
    struct Case
    {
        const char* name;
        DWORD flags;
        BOOL live;
        CPoint from;
        CPoint to;
        CRect firstRect;
    };
    // Vertical: the bar's centre is at 3 + 200; horizontal: at 600 - 3 - 220.
    const Case cases[] = {
        {"50 pixels right", CSplitterBar::kVerticalBar, FALSE, {203, 100}, {253, 100}, {0, 0, 250, 600}},
        {"50 pixels right, live", CSplitterBar::kVerticalBar, TRUE, {203, 100}, {253, 100}, {0, 0, 250, 600}},
        {"grabbed off-centre", CSplitterBar::kVerticalBar, FALSE, {207, 100}, {257, 100}, {0, 0, 254, 600}},
        {"far left: the first minimum",
         CSplitterBar::kVerticalBar,
         FALSE,
         {203, 100},
         {5, 100},
         {0, 0, 90, 600}},
        {"past the right edge: the second minimum",
         CSplitterBar::kVerticalBar,
         FALSE,
         {203, 100},
         {2000, 100},
         {0, 0, 800 - kBarWidth - 110, 600}},
        {"40 pixels up", CSplitterBar::kHorizontalBar, FALSE, {100, 377}, {100, 337}, {0, 0, 800, 334}},
        {"far up: the first minimum",
         CSplitterBar::kHorizontalBar,
         TRUE,
         {100, 377},
         {100, -50},
         {0, 0, 800, 90}},
        {"outside the bar: nothing",
         CSplitterBar::kVerticalBar,
         FALSE,
         {400, 100},
         {450, 100},
         {0, 0, 200, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetSplitters();
        Make(c.flags, 157, 800, 600);
        bar.SetLiveDrag(c.live);
        Drag(c.from, c.to);
        EXPECT_EQ(PaneRect(first, bar), c.firstRect);
        EXPECT_EQ(::GetCapture(), static_cast<HWND>(NULL));
        bar.DestroyWindow();
        first.DestroyWindow();
        second.DestroyWindow();
    }
}

TEST_F(SplitterTest, DestroyingWritesTheSizesOfTheLayoutsThatWereMade)
{
    Make(CSplitterBar::kVerticalBar, 171, 800, 600);
    Drag({203, 100}, {253, 100});
    bar.DestroyWindow();
    EXPECT_EQ(ReadRaw(L"init_v", 171, L"VertSplitPos"), std::optional<DWORD>(250));
    EXPECT_EQ(ReadRaw(L"init_h", 171, L"HorizSplitPos"), std::nullopt);
    first.DestroyWindow();
    second.DestroyWindow();

    Make(CSplitterBar::kHorizontalBar, 172, 800, 600);
    Drag({100, 377}, {100, 337});
    bar.DestroyWindow();
    EXPECT_EQ(ReadRaw(L"init_h", 172, L"HorizSplitPos"), std::optional<DWORD>(260));
    EXPECT_EQ(ReadRaw(L"init_v", 172, L"VertSplitPos"), std::nullopt);
    first.DestroyWindow();
    second.DestroyWindow();

    // Neither layout: no flags, or an area that never held a pane.
    Make(0, 173, 800, 600);
    bar.DestroyWindow();
    first.DestroyWindow();
    second.DestroyWindow();
    Make(CSplitterBar::kVerticalBar, 174, 0, 0);
    bar.DestroyWindow();
    for (const UINT id : {173u, 174u}) {
        EXPECT_EQ(ReadRaw(L"init_v", id, L"VertSplitPos"), std::nullopt);
        EXPECT_EQ(ReadRaw(L"init_h", id, L"HorizSplitPos"), std::nullopt);
    }
}

TEST_F(SplitterTest, HidingTheFirstPaneTwiceEqualsOnceAndShowingBothRestoresTheWidth)
{
    Make(CSplitterBar::kVerticalBar, 157, 800, 600);
    Drag({203, 100}, {303, 100});
    const CRect left = PaneRect(first, bar);
    const CRect right = PaneRect(second, bar);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        bar.HideFirstPane();
        EXPECT_TRUE(bar.IsFirstPaneHidden());
        EXPECT_FALSE(first.IsWindowVisible());
        EXPECT_EQ(PaneRect(second, bar), CRect(0, 0, 800, 600));
    }
    // No bar to drag while one pane fills the area; resizing keeps the one pane filling it.
    Drag({303, 100}, {403, 100});
    bar.MoveWindow(0, 0, 700, 500);
    EXPECT_EQ(PaneRect(second, bar), CRect(0, 0, 700, 500));
    bar.MoveWindow(0, 0, 800, 600);

    bar.ShowBothPanes();
    EXPECT_FALSE(bar.IsFirstPaneHidden());
    EXPECT_TRUE(first.IsWindowVisible());
    EXPECT_EQ(PaneRect(first, bar), left);
    EXPECT_EQ(PaneRect(second, bar), right);
    EXPECT_EQ(bar.GetLeftWidth(), 300);

    // Without a layout there is nothing to hide.
    CStatic third;
    CStatic fourth;
    CSplitterBar unlaid;
    ASSERT_TRUE(third.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 0xFFFF));
    ASSERT_TRUE(fourth.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 0xFFFF));
    ASSERT_TRUE(
        unlaid.Create(WS_CHILD | WS_VISIBLE, &parent, &third, &fourth, 175, CRect(0, 0, 300, 300), 10, 10));
    unlaid.HideFirstPane();
    EXPECT_FALSE(unlaid.IsFirstPaneHidden());
    EXPECT_TRUE(third.IsWindowVisible());
}

TEST_F(SplitterTest, SizingKeepsTheKeptSizeWithinTheMinimumsAndNeverNegative)
{
    struct Case
    {
        const char* name;
        DWORD flags;
        int width;
        int height;
        CRect firstRect;
        CRect secondRect;
    };
    const Case cases[] = {
        {"vertical, roomy", CSplitterBar::kVerticalBar, 800, 600, {0, 0, 200, 600}, {206, 0, 800, 600}},
        {"vertical, the second pane at its minimum",
         CSplitterBar::kVerticalBar,
         250,
         600,
         {0, 0, 134, 600},
         {140, 0, 250, 600}},
        {"vertical, too small for both: the first keeps its minimum",
         CSplitterBar::kVerticalBar,
         150,
         600,
         {0, 0, 90, 600},
         {96, 0, 150, 600}},
        {"vertical, smaller than a minimum",
         CSplitterBar::kVerticalBar,
         50,
         600,
         {0, 0, 44, 600},
         {50, 0, 50, 600}},
        {"vertical, back to roomy",
         CSplitterBar::kVerticalBar,
         900,
         600,
         {0, 0, 200, 600},
         {206, 0, 900, 600}},
        {"horizontal, roomy", CSplitterBar::kHorizontalBar, 800, 600, {0, 0, 800, 374}, {0, 380, 800, 600}},
        {"horizontal, the top pane at its minimum",
         CSplitterBar::kHorizontalBar,
         800,
         250,
         {0, 0, 800, 90},
         {0, 96, 800, 250}},
        {"horizontal, too small for both",
         CSplitterBar::kHorizontalBar,
         800,
         150,
         {0, 0, 800, 34},
         {0, 40, 800, 150}},
        {"horizontal, back to roomy",
         CSplitterBar::kHorizontalBar,
         800,
         700,
         {0, 0, 800, 474},
         {0, 480, 800, 700}},
    };
    DWORD madeFlags = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.flags != madeFlags) {
            if (bar.GetSafeHwnd() != NULL) {
                bar.DestroyWindow();
                first.DestroyWindow();
                second.DestroyWindow();
            }
            Make(c.flags, 157, 800, 600);
            madeFlags = c.flags;
        }
        bar.MoveWindow(0, 0, c.width, c.height);
        EXPECT_EQ(PaneRect(first, bar), c.firstRect);
        EXPECT_EQ(PaneRect(second, bar), c.secondRect);
    }
}

TEST(SplitterScreenshot, TreeBesideAListAbovePreview)
{
    AfxGetApp()->SetRegistryKey(kRegistryKey);
    CTestWindow window(900, 560, L"Splitter bars");
    CRect client;
    window.GetClientRect(&client);
    CListBox tree;
    CListBox list;
    CEdit preview;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, CRect(0, 0, 10, 10), &window, 1));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, CRect(0, 0, 10, 10), &window, 2));
    ASSERT_TRUE(
        preview.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(0, 0, 10, 10), &window, 3));
    for (const wchar_t* folder :
         {L"Partition 1 (NTFS)", L"  Documents", L"  Pictures", L"  $Deleted", L"Lost Files"}) {
        tree.AddString(folder);
    }
    for (const wchar_t* file :
         {L"report.docx      24 KB", L"budget.xlsx      11 KB", L"holiday.jpg     2.1 MB"}) {
        list.AddString(file);
    }
    preview.SetWindowText(L"Preview of the selected file");
    CSplitterBar inner;
    CSplitterBar outer;
    ASSERT_TRUE(inner.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CSplitterBar::kHorizontalBar, &window,
                             &list, &preview, 164, client, 90, 110));
    ASSERT_TRUE(outer.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CSplitterBar::kVerticalBar, &window,
                             &tree, &inner, 157, client, 90, 110));
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(window.GetSafeHwnd(), L"splitter_panes"));
    outer.DestroyWindow();
    ForgetSplitters();
}

} // namespace
