// Themes, the header control and the report list on real windows: sort arrows of each header theme,
// frozen columns, fitted widths, the header's right-click menu, widths kept in the registry, custom
// drawing and the list view made by class name.
#include "color_table.h"
#include "command_bars.h"
#include "common_controls_version.h"
#include "header_ctrl.h"
#include "list_ctrl.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

namespace {

const wchar_t kRegistryKey[] = L"Corvane Toolkit Controls Tests";

void Pump()
{
    MSG msg;
    for (int i = 0; i < 50 && ::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

// Whether a visible window above hWndTop in the z-order covers part of it.
bool CoveredByAnotherWindow(HWND hWndTop)
{
    CRect rectTop;
    ::GetWindowRect(hWndTop, &rectTop);
    for (HWND hWnd = ::GetWindow(hWndTop, GW_HWNDPREV); hWnd != NULL; hWnd = ::GetWindow(hWnd, GW_HWNDPREV)) {
        CRect rect;
        CRect rectCommon;
        if (::IsWindowVisible(hWnd) && ::GetWindowRect(hWnd, &rect) &&
            rectCommon.IntersectRect(rect, rectTop))
            return true;
    }
    return false;
}

// The screen under a window as 32-bit pixels; written as a PNG into the build folder's screenshots.
// Other test programs show their windows on the same display at the same time: the window's
// top-level window goes above them, and the screen is read again while another window covers it.
class ScreenCapture
{
public:
    explicit ScreenCapture(CWnd* pWnd)
    {
        HWND hWndTop = pWnd->GetTopLevelParent()->GetSafeHwnd();
        ::SetWindowPos(hWndTop, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // A top-level window's caption and borders are left to a window manager, which the test
        // display does not run: only its client area is its own on the screen.
        if (pWnd->GetSafeHwnd() == hWndTop) {
            pWnd->GetClientRect(&m_rect);
            pWnd->ClientToScreen(&m_rect);
        } else {
            pWnd->GetWindowRect(&m_rect);
        }
        m_surface = std::make_unique<PixelSurface>(m_rect.Width(), m_rect.Height(), RGB(0, 0, 0));
        for (int nTry = 0; nTry < 50; ++nTry) {
            if (nTry > 0)
                ::Sleep(100);
            if (CoveredByAnotherWindow(hWndTop))
                continue;
            pWnd->RedrawWindow(NULL, NULL,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            // Wine copies what a window painted to the screen while the thread waits for messages.
            for (int nFlush = 0; nFlush < 3; ++nFlush) {
                Pump();
                ::Sleep(20);
            }
            HDC hScreen = ::GetDC(NULL);
            ::BitBlt(m_surface->dc()->m_hDC, 0, 0, m_rect.Width(), m_rect.Height(), hScreen, m_rect.left,
                     m_rect.top, SRCCOPY);
            ::ReleaseDC(NULL, hScreen);
            if (!CoveredByAnotherWindow(hWndTop))
                break;
        }
    }
    // In screen coordinates.
    COLORREF Pixel(CPoint point) const
    {
        return m_surface->Pixel(point.x - m_rect.left, point.y - m_rect.top);
    }
    bool Save(const std::wstring& name) const
    {
        return test_support::WriteDcScreenshot(m_surface->dc()->m_hDC,
                                               CRect(0, 0, m_rect.Width(), m_rect.Height()), name);
    }

private:
    CRect m_rect;
    std::unique_ptr<PixelSurface> m_surface;
};

class RecordingList : public CXTListCtrl
{
public:
    BOOL SortList(int nCol, BOOL bAscending) override
    {
        m_sorts.emplace_back(nCol, bAscending);
        return TRUE;
    }
    std::vector<std::pair<int, BOOL>> m_sorts;
};

class ReportList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, NULL, ::GetSysColorBrush(COLOR_BTNFACE)),
                                      L"Report list", WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                      CRect(40, 40, 500, 300), NULL, 0));
    }
    void TearDown() override
    {
        if (::IsWindow(m_parent.GetSafeHwnd()))
            m_parent.DestroyWindow();
        XTSetComCtlVersionOverride(0);
    }
    // Columns Name 80, Size 120, Type 60 and four rows.
    void MakeList(RecordingList& list, DWORD dwStyle = 0)
    {
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | dwStyle,
                                CRect(10, 10, 440, 220), &m_parent, 100));
        const int widths[] = {80, 120, 60};
        const LPCTSTR headings[] = {L"Name", L"Size", L"Type"};
        ASSERT_TRUE(list.BuildColumns(3, widths, headings));
        for (int i = 0; i < 4; ++i) {
            CString name;
            name.Format(L"file%d", i);
            list.InsertItem(i, name);
            list.SetItemText(i, 1, L"12");
            list.SetItemText(i, 2, L"doc");
        }
        list.SubclassHeader(TRUE);
        ASSERT_NE(nullptr, list.GetFlatHeaderCtrl());
    }
    CWnd m_parent;
};

// ---- theme manager ----

class RecordingHost : public CXTThemeHost
{
public:
    RecordingHost(std::vector<int>* pLog, int nId)
        : CXTThemeHost(RUNTIME_CLASS(CXTHeaderCtrlThemeFactory)), m_pLog(pLog), m_nId(nId)
    {}
    void OnThemeChanged() override { m_pLog->push_back(m_nId); }
    std::vector<int>* m_pLog;
    int m_nId;
};

TEST(ThemeManager, HeadersShareFactoryAndThemeUntilOneTakesAPrivateTheme)
{
    CXTHeaderCtrl first;
    CXTHeaderCtrl second;
    EXPECT_EQ(first.GetFactory(), second.GetFactory());
    EXPECT_EQ(first.GetTheme(), second.GetTheme());
    CXTThemeObject* pShared = second.GetTheme();

    first.SetTheme(first.GetFactory()->CreateTheme(1));
    EXPECT_TRUE(first.UsesOwnFactory());
    EXPECT_NE(first.GetFactory(), second.GetFactory());
    EXPECT_EQ(1, first.GetTheme()->GetThemeNumber());
    EXPECT_EQ(typeid(CXTHeaderCtrlThemeOfficeXP), typeid(*first.GetTheme()));
    EXPECT_EQ(pShared, second.GetTheme());

    first.SetTheme(NULL);
    EXPECT_FALSE(first.UsesOwnFactory());
    EXPECT_EQ(pShared, first.GetTheme());
}

TEST(ThemeManager, ThemeNumbersPickTheirClassesAndSevenIsTheDefault)
{
    CXTHeaderCtrlThemeFactory factory;
    const struct
    {
        int nTheme;
        const std::type_info& type;
        DWORD dwDrawStyle;
    } cases[] = {{0, typeid(CXTHeaderCtrlTheme), 7},
                 {1, typeid(CXTHeaderCtrlThemeOfficeXP), 4},
                 {2, typeid(CXTHeaderCtrlThemeOffice2003), 4},
                 {7, typeid(CXTHeaderCtrlTheme), 7}};
    for (const auto& c : cases) {
        std::unique_ptr<CXTThemeObject> pTheme(factory.CreateTheme(c.nTheme));
        EXPECT_EQ(c.type, typeid(*pTheme)) << c.nTheme;
        EXPECT_EQ(c.nTheme, pTheme->GetThemeNumber());
        EXPECT_EQ(c.dwDrawStyle, static_cast<CXTHeaderCtrlTheme*>(pTheme.get())->GetDrawStyle()) << c.nTheme;
    }
}

TEST(ThemeManager, HostsHearThemeChangesNewestFirst)
{
    std::vector<int> log;
    RecordingHost older(&log, 1);
    RecordingHost newer(&log, 2);
    CXTThemeManagerStyleFactory* pFactory = older.GetFactory();
    ASSERT_EQ(pFactory, newer.GetFactory());
    const int nBefore = static_cast<int>(log.size());
    pFactory->SetTheme(pFactory->CreateTheme(0));
    ASSERT_EQ(nBefore + 2, static_cast<int>(log.size()));
    EXPECT_EQ(2, log[static_cast<size_t>(nBefore)]);
    EXPECT_EQ(1, log[static_cast<size_t>(nBefore) + 1]);
}

// ---- header ----

TEST_F(ReportList, SortArrowOfEachThemeStandsRightOfTheText)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    for (int nTheme = 0; nTheme <= 2; ++nTheme)
        for (BOOL bAscending : {TRUE, FALSE}) {
            pHeader->SetTheme(pHeader->GetFactory()->CreateTheme(nTheme));
            list.SetSortColumn(1, bAscending);
            CXTHeaderCtrlTheme* pTheme = pHeader->GetTheme();
            CRect rectItem;
            pHeader->GetItemRect(1, &rectItem);
            CRect rectClient;
            pHeader->GetClientRect(&rectClient);
            PixelSurface surface(rectClient.Width(), rectClient.Height(), RGB(0, 0, 0));
            pTheme->DrawHeader(surface.dc(), pHeader);

            CClientDC dc(pHeader);
            CFont* pOld = dc.SelectObject(pHeader->GetFont());
            const int nTextWidth = dc.GetTextExtent(L"Size", 4).cx;
            dc.SelectObject(pOld);
            const int nTextRight = std::min(rectItem.left + 6 + nTextWidth, rectItem.right - 6 - 2 * 10 - 8);
            const int x0 = nTextRight + 10;
            const int y0 = (rectClient.bottom - 7 - rectClient.top) / 2 + rectClient.top - 1;
            const COLORREF clrDarkShadow = GetColorTable()->GetColor(21);
            const COLORREF clrShadow = GetColorTable()->GetColor(16);
            // The edges turned away from the light (top left) are the darker ones.
            if (bAscending) {
                EXPECT_EQ(clrShadow, surface.Pixel(x0 + 4, y0)) << nTheme;
                EXPECT_EQ(clrDarkShadow, surface.Pixel(x0 + 1, y0 + 7)) << nTheme;
            } else {
                EXPECT_EQ(clrDarkShadow, surface.Pixel(x0 + 4, y0 + 7)) << nTheme;
                EXPECT_EQ(clrShadow, surface.Pixel(x0 + 1, y0)) << nTheme;
            }
            // Its body is solid in the shadow colour, so the arrow reads on a light face whichever way
            // it points.
            EXPECT_EQ(clrShadow, surface.Pixel(x0 + 4, y0 + (bAscending ? 5 : 2))) << nTheme;
            // Nothing of the arrow left of its place.
            EXPECT_NE(clrShadow, surface.Pixel(x0 - 1, y0 + 7)) << nTheme;
            EXPECT_NE(clrDarkShadow, surface.Pixel(x0 - 1, y0 + 7)) << nTheme;
        }
    pHeader->SetTheme(NULL);
    list.SetSortColumn(1, TRUE);
    list.m_bTintSortColumn = TRUE;
    ScreenCapture capture(&m_parent);
    EXPECT_TRUE(capture.Save(L"toolkit_report_list"));
}

TEST_F(ReportList, AnItemWithAnImageOfTheHeadersListShowsItBeforeItsText)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    // Image 1 of the list, a solid red square, on the second column.
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0));
    CWindowDC screen(NULL);
    for (COLORREF colour : {RGB(0, 0, 255), RGB(255, 0, 0)}) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
        CDC memory;
        memory.CreateCompatibleDC(&screen);
        CBitmap* pOld = memory.SelectObject(&bitmap);
        memory.FillSolidRect(0, 0, 16, 16, colour);
        memory.SelectObject(pOld);
        images.Add(&bitmap, RGB(0, 255, 0));
    }
    pHeader->SetImageList(&images);
    HDITEM item = {};
    item.mask = HDI_FORMAT;
    pHeader->GetItem(1, &item);
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt |= HDF_IMAGE;
    item.iImage = 1;
    pHeader->SetItem(1, &item);

    CRect rectItem;
    pHeader->GetItemRect(1, &rectItem);
    CRect rectClient;
    pHeader->GetClientRect(&rectClient);
    PixelSurface surface(rectClient.Width(), rectClient.Height(), RGB(0, 0, 0));
    pHeader->GetTheme()->DrawHeader(surface.dc(), pHeader);
    EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(rectItem.left + 6 + 8, rectItem.CenterPoint().y));
    // The text moved past the image: nothing red after it.
    EXPECT_NE(RGB(255, 0, 0), surface.Pixel(rectItem.left + 6 + 16 + 6, rectItem.CenterPoint().y));
    pHeader->SetImageList(NULL);
}

TEST_F(ReportList, FrozenColumnRefusesWidthChangesAndShowsTheArrowCursor)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    pHeader->FreezeColumn(0);
    list.SetColumnWidth(0, 150);
    EXPECT_EQ(80, list.GetColumnWidth(0));
    list.SetColumnWidth(1, 90);
    EXPECT_EQ(90, list.GetColumnWidth(1));

    CRect rectItem;
    pHeader->GetItemRect(0, &rectItem);
    CPoint point(rectItem.right - 1, rectItem.CenterPoint().y);
    pHeader->ClientToScreen(&point);
    ::SetCursorPos(point.x, point.y);
    const LPARAM lParam = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_TRUE(pHeader->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(pHeader->GetSafeHwnd()), lParam));
    EXPECT_EQ(::LoadCursor(NULL, IDC_ARROW), ::GetCursor());
    // The right neighbour's left half touches the frozen divider too.
    CPoint right(rectItem.right + 2, rectItem.CenterPoint().y);
    pHeader->ClientToScreen(&right);
    ::SetCursorPos(right.x, right.y);
    ::SetCursor(NULL);
    EXPECT_TRUE(pHeader->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(pHeader->GetSafeHwnd()), lParam));
    EXPECT_EQ(::LoadCursor(NULL, IDC_ARROW), ::GetCursor());

    pHeader->ThawAllColumns();
    ::SetCursorPos(point.x, point.y);
    pHeader->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(pHeader->GetSafeHwnd()), lParam);
    EXPECT_NE(::LoadCursor(NULL, IDC_ARROW), ::GetCursor());
}

TEST_F(ReportList, AutoSizeGivesTheOtherColumnsEqualWidths)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    pHeader->FreezeColumn(0);
    pHeader->SetAutoSize(TRUE);
    list.SetWindowPos(NULL, 0, 0, 400, 210, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(80, list.GetColumnWidth(0));
    EXPECT_EQ(list.GetColumnWidth(1), list.GetColumnWidth(2));
    CRect rectHeader;
    pHeader->GetClientRect(&rectHeader);
    int nExpected = rectHeader.Width() - 80;
    if ((list.GetStyle() & WS_VSCROLL) != 0)
        nExpected -= ::GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(nExpected / 2, list.GetColumnWidth(1));

    // Below the minimum width nothing changes.
    pHeader->SetMinWidth(1000);
    list.SetWindowPos(NULL, 0, 0, 300, 210, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(nExpected / 2, list.GetColumnWidth(1));
}

struct MenuRecord
{
    int nPopups = 0;
    std::vector<UINT> checked;
};
MenuRecord g_menu;

// The header's menu is a toolkit popup bar; this one records what it shows before it tracks.
class RecordingHeaderMenu : public CXTPPopupBar
{
    DECLARE_DYNCREATE(RecordingHeaderMenu)
public:
    int Popup(UINT nFlags, int x, int y, CWnd* pOwner, LPCRECT lpRectExclude) override
    {
        ++g_menu.nPopups;
        for (UINT nId = XT_IDC_SORTASC; nId <= XT_IDC_ALIGNRIGHT; ++nId)
            if (CXTPControl* pControl = GetControls()->FindControl(static_cast<int>(nId)))
                if (pControl->GetChecked())
                    g_menu.checked.push_back(nId);
        return CXTPPopupBar::Popup(nFlags, x, y, pOwner, lpRectExclude);
    }
};
IMPLEMENT_DYNCREATE(RecordingHeaderMenu, CXTPPopupBar)

// The keys for the menu, one per tick as the thread's keyboard hook sees them; then a safety stop.
std::vector<UINT> g_keys;
size_t g_nKey = 0;
int g_nIdleTicks = 0;
void CALLBACK MenuKeyTick(HWND, UINT, UINT_PTR, DWORD)
{
    // The header may pump messages before its menu opens; keys wait for the menu.
    if (g_menu.nPopups == 0 && ++g_nIdleTicks <= 40)
        return;
    if (g_nKey < g_keys.size())
        CXTPKeyboardManager::GetInstance()->ProcessKeyboardHook(g_keys[g_nKey++], 1);
    else if (++g_nIdleTicks > 40)
        CXTPMouseManager::GetInstance()->SendTrackLostAll();
}

// Right-clicks a heading with keys typed into the menu; what the menu showed is in g_menu.
void RightClickHeading(CXTHeaderCtrl* pHeader, int nItem, std::initializer_list<UINT> keys)
{
    g_menu = MenuRecord();
    g_keys.assign(keys.begin(), keys.end());
    g_nKey = 0;
    g_nIdleTicks = 0;
    CRect rect;
    pHeader->GetItemRect(nItem, &rect);
    CRuntimeClass* pSaved = CXTPPopupBar::m_pPopupBarClass;
    CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(RecordingHeaderMenu);
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, MenuKeyTick);
    pHeader->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y));
    ::KillTimer(NULL, nTimer);
    CXTPPopupBar::m_pPopupBarClass = pSaved;
    Pump();
}

TEST_F(ReportList, RightClickMenuChecksSortAndAlignmentAndSortsDescending)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    list.SetSortColumn(1, TRUE);
    LVCOLUMN column{};
    column.mask = LVCF_FMT;
    column.fmt = LVCFMT_RIGHT;
    list.SetColumn(1, &column);
    column.fmt = LVCFMT_CENTER;
    list.SetColumn(2, &column);

    RightClickHeading(pHeader, 1, {VK_ESCAPE});
    EXPECT_EQ(1, g_menu.nPopups);
    EXPECT_EQ((std::vector<UINT>{XT_IDC_SORTASC, XT_IDC_ALIGNRIGHT}), g_menu.checked);
    RightClickHeading(pHeader, 2, {VK_ESCAPE});
    EXPECT_EQ((std::vector<UINT>{XT_IDC_ALIGNCENTER}), g_menu.checked);
    RightClickHeading(pHeader, 0, {VK_ESCAPE});
    EXPECT_EQ((std::vector<UINT>{XT_IDC_ALIGNLEFT}), g_menu.checked);

    // Home, Down, Enter picks "sort descending" on the sort column: the list sorts descending.
    // Home and End choose the same item wherever a stray pointer left the selection.
    list.m_sorts.clear();
    RightClickHeading(pHeader, 1, {VK_HOME, VK_DOWN, VK_RETURN});
    ASSERT_EQ(1u, list.m_sorts.size());
    EXPECT_EQ(1, list.m_sorts[0].first);
    EXPECT_FALSE(list.m_sorts[0].second);
    BOOL bAscending = TRUE;
    EXPECT_EQ(1, pHeader->GetSortImage(&bAscending));
    EXPECT_FALSE(bAscending);

    // Align right from the menu on column 0.
    RightClickHeading(pHeader, 0, {VK_END, VK_RETURN});
    column.mask = LVCF_FMT;
    list.GetColumn(0, &column);
    EXPECT_EQ(LVCFMT_RIGHT, column.fmt & LVCFMT_JUSTIFYMASK);
}

TEST_F(ReportList, NoSortHeaderMeansNoMenu)
{
    RecordingList list;
    MakeList(list, LVS_NOSORTHEADER);
    RightClickHeading(list.GetFlatHeaderCtrl(), 1, {VK_ESCAPE});
    EXPECT_EQ(0, g_menu.nPopups);
    Pump();
}

TEST_F(ReportList, VisualStyleRoadDrawsThroughWinesHeaderClassAndTracksTheHotItem)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    CXTHeaderCtrlTheme* pTheme = pHeader->GetTheme();
    CRect rectClient;
    pHeader->GetClientRect(&rectClient);
    PixelSurface classic(rectClient.Width(), rectClient.Height(), RGB(0, 0, 0));
    ASSERT_FALSE(pTheme->UseWinXPThemes(pHeader));
    pTheme->DrawHeader(classic.dc(), pHeader);

    XTSetComCtlVersionOverride((6u << 16) | 0u);
    ASSERT_TRUE(pTheme->UseWinXPThemes(pHeader));
    PixelSurface themed(rectClient.Width(), rectClient.Height(), RGB(0, 0, 0));
    pTheme->DrawHeader(themed.dc(), pHeader);
    int nDifferent = 0;
    for (int y = 0; y < rectClient.Height(); ++y)
        for (int x = 0; x < rectClient.Width(); ++x)
            nDifferent += classic.Pixel(x, y) != themed.Pixel(x, y) ? 1 : 0;
    EXPECT_GT(nDifferent, 0);

    // The flat theme has no visual-style bit: the override alone does not switch it.
    std::unique_ptr<CXTThemeObject> pFlat(pHeader->GetFactory()->CreateTheme(1));
    EXPECT_FALSE(static_cast<CXTHeaderCtrlTheme*>(pFlat.get())->UseWinXPThemes(pHeader));

    CRect rectItem;
    pHeader->GetItemRect(2, &rectItem);
    CPoint point = rectItem.CenterPoint();
    pHeader->ClientToScreen(&point);
    ::SetCursorPos(point.x, point.y);
    pHeader->SendMessage(WM_TIMER, 1);
    EXPECT_EQ(2, pHeader->GetHotItem());
    ::SetCursorPos(5, 5);
    pHeader->SendMessage(WM_TIMER, 1);
    EXPECT_EQ(-1, pHeader->GetHotItem());
}

// ---- list ----

struct RawValue
{
    bool bFound = false;
    DWORD dwType = 0;
    std::wstring text;
};

RawValue ReadRaw(const wchar_t* lpszEntry)
{
    RawValue value;
    const std::wstring path =
        std::wstring(L"Software\\") + kRegistryKey + L"\\" + AfxGetApp()->m_pszProfileName + L"\\Settings";
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return value;
    wchar_t buffer[256] = {};
    DWORD dwSize = sizeof(buffer) - sizeof(wchar_t);
    value.bFound = ::RegQueryValueExW(hKey, lpszEntry, NULL, &value.dwType, reinterpret_cast<BYTE*>(buffer),
                                      &dwSize) == ERROR_SUCCESS;
    value.text = buffer;
    ::RegCloseKey(hKey);
    return value;
}

class ColumnWidths : public ReportList
{
protected:
    void SetUp() override
    {
        ReportList::SetUp();
        theApp.SetRegistryKey(kRegistryKey);
        AfxGetApp()->WriteProfileString(L"Settings", L"Test Columns", NULL);
    }
};

TEST_F(ColumnWidths, StoredAtDestroyAsTextInDisplayOrder)
{
    {
        RecordingList list;
        MakeList(list);
        list.AutoSaveColumns(L"Settings", L"Test Columns");
        // Nothing stored yet: the widths stay as they are.
        EXPECT_EQ(120, list.GetColumnWidth(1));
        list.DestroyWindow();
    }
    RawValue value = ReadRaw(L"Test Columns");
    ASSERT_TRUE(value.bFound);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.dwType);
    EXPECT_EQ(L"80,120,60,", value.text);
    // Read back in display order: the first field goes to the column shown first.
    {
        RecordingList list;
        MakeList(list);
        int order[] = {2, 0, 1};
        list.SetColumnOrderArray(3, order);
        list.AutoSaveColumns(L"Settings", L"Test Columns");
        EXPECT_EQ(80, list.GetColumnWidth(2));
        EXPECT_EQ(120, list.GetColumnWidth(0));
        EXPECT_EQ(60, list.GetColumnWidth(1));
        list.DestroyWindow();
    }
    AfxGetApp()->WriteProfileString(L"Settings", L"Test Columns", NULL);
    {
        RecordingList list;
        MakeList(list);
        int order[] = {2, 0, 1};
        list.SetColumnOrderArray(3, order);
        list.AutoSaveColumns(L"Settings", L"Test Columns");
        list.DestroyWindow();
    }
    value = ReadRaw(L"Test Columns");
    EXPECT_EQ(L"60,80,120,", value.text);
}

TEST_F(ColumnWidths, FewerFieldsThanColumnsGiveZero)
{
    AfxGetApp()->WriteProfileString(L"Settings", L"Test Columns", L"80,");
    RecordingList list;
    MakeList(list);
    list.AutoSaveColumns(L"Settings", L"Test Columns");
    EXPECT_EQ(80, list.GetColumnWidth(0));
    EXPECT_EQ(0, list.GetColumnWidth(1));
    EXPECT_EQ(0, list.GetColumnWidth(2));
    EXPECT_EQ(80, list.GetStoredColumnWidth(0));
    EXPECT_EQ(0, list.GetStoredColumnWidth(5));
}

TEST_F(ReportList, LeftClicksOnOneHeadingFlipTheDirection)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    CRect rect;
    pHeader->GetItemRect(1, &rect);
    const LPARAM lParam = MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y);
    for (int i = 0; i < 2; ++i) {
        pHeader->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
        pHeader->SendMessage(WM_LBUTTONUP, 0, lParam);
    }
    ASSERT_EQ(2u, list.m_sorts.size());
    EXPECT_EQ(std::make_pair(1, TRUE), list.m_sorts[0]);
    EXPECT_EQ(std::make_pair(1, FALSE), list.m_sorts[1]);
    BOOL bAscending = TRUE;
    EXPECT_EQ(1, pHeader->GetSortImage(&bAscending));
    EXPECT_FALSE(bAscending);
}

TEST_F(ReportList, LockedWidthsRefuseTrackingAndDividerDoubleClicks)
{
    RecordingList list;
    MakeList(list);
    CXTFlatHeaderCtrl* pHeader = list.GetFlatHeaderCtrl();
    for (UINT code : {HDN_BEGINTRACKW, HDN_BEGINTRACKA, HDN_DIVIDERDBLCLICKW, HDN_DIVIDERDBLCLICKA}) {
        HDITEM item{};
        NMHEADER notify{
            {pHeader->GetSafeHwnd(), static_cast<UINT_PTR>(pHeader->GetDlgCtrlID()), code}, 1, 0, &item};
        list.LockColumnWidths(TRUE);
        EXPECT_EQ(1, list.SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify)))
            << code;
        list.LockColumnWidths(FALSE);
        EXPECT_EQ(0, list.SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify)))
            << code;
    }
}

TEST_F(ReportList, CustomDrawColoursRowsTintsTheSortColumnAndSelectionWins)
{
    RecordingList list;
    MakeList(list);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.m_bRowColors = TRUE;
    list.m_bTintSortColumn = TRUE;
    list.SetSortColumn(1, TRUE);
    const COLORREF clrRowBack = RGB(255, 200, 200);
    const COLORREF clrRowText = RGB(0, 0, 128);
    list.SetRowColors(0, clrRowText, clrRowBack);
    list.SetRowColors(1, clrRowText, clrRowBack);
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetFocus();
    ScreenCapture capture(&list);
    ScreenCapture(&m_parent).Save(L"toolkit_report_list_colours");

    auto cell = [&](int nRow, int nCol) {
        CRect rect;
        list.GetSubItemRect(nRow, nCol, LVIR_BOUNDS, rect);
        CPoint point(nCol == 0 ? rect.left + 70 : rect.right - 4, rect.CenterPoint().y);
        list.ClientToScreen(&point);
        return capture.Pixel(point);
    };
    const COLORREF clrWindow = ::GetSysColor(COLOR_WINDOW);
    const COLORREF clrSortBack =
        RGB(std::max(GetRValue(clrWindow) - 8, 0), std::max(GetGValue(clrWindow) - 8, 0),
            std::max(GetBValue(clrWindow) - 8, 0));
    EXPECT_EQ(clrRowBack, cell(0, 0));
    EXPECT_EQ(clrRowBack, cell(0, 2));
    const COLORREF clrBlend = RGB((GetRValue(clrRowBack) + GetRValue(clrSortBack)) / 2,
                                  (GetGValue(clrRowBack) + GetGValue(clrSortBack)) / 2,
                                  (GetBValue(clrRowBack) + GetBValue(clrSortBack)) / 2);
    EXPECT_EQ(clrBlend, cell(0, 1));
    EXPECT_EQ(clrSortBack, cell(2, 1));
    EXPECT_EQ(clrWindow, cell(2, 0));
    EXPECT_NE(clrRowBack, cell(1, 0));
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), cell(1, 0));
}

TEST_F(ReportList, AutoSizeColumnClampsToMinimumAndScreenWidth)
{
    RecordingList list;
    MakeList(list);
    list.SetMinimumColSize(150);
    list.AutoSizeColumn(0);
    EXPECT_EQ(150, list.GetColumnWidth(0));
    list.SetMinimumColSize(0);
    list.AutoSizeColumn(2);
    EXPECT_LT(list.GetColumnWidth(2), 150);
    EXPECT_GT(list.GetColumnWidth(2), 0);

    CString strLong(L'W', 600);
    LVCOLUMN column{};
    column.mask = LVCF_TEXT;
    column.pszText = strLong.GetBuffer();
    list.SetColumn(1, &column);
    strLong.ReleaseBuffer();
    list.AutoSizeColumn(-1);
    EXPECT_EQ(::GetSystemMetrics(SM_CXFULLSCREEN), list.GetColumnWidth(1));
}

TEST_F(ReportList, MoveRowOntoItselfFailsAndMovesOtherwise)
{
    RecordingList list;
    MakeList(list);
    EXPECT_FALSE(list.MoveRow(1, 1));
    EXPECT_EQ(-1, list.CopyRow(-1, 2));
    EXPECT_EQ(4, list.GetItemCount());
    list.SetItemText(0, 2, L"first");
    EXPECT_TRUE(list.MoveRow(0, 3));
    EXPECT_EQ(4, list.GetItemCount());
    EXPECT_EQ(CString(L"file0"), list.GetItemText(2, 0));
    EXPECT_EQ(CString(L"first"), list.GetItemText(2, 2));
    EXPECT_EQ(CString(L"file1"), list.GetItemText(0, 0));
}

TEST_F(ColumnWidths, ListViewMadeByClassNameCarriesTheHelper)
{
    CRuntimeClass* pClass = CRuntimeClass::FromName(L"CXTListView");
    ASSERT_NE(nullptr, pClass);
    auto* pView = static_cast<CXTListView*>(pClass->CreateObject());
    ASSERT_NE(nullptr, pView);
    ASSERT_TRUE(pView->Create(NULL, NULL, WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200),
                              &m_parent, AFX_IDW_PANE_FIRST, NULL));
    CXTListHelper* pHelper = pView;
    const int widths[] = {50, 70};
    const LPCTSTR headings[] = {L"A", L"B"};
    ASSERT_TRUE(pHelper->BuildColumns(2, widths, headings));
    EXPECT_EQ(2, pHelper->GetColumnCount());
    EXPECT_TRUE(pHelper->SubclassHeader());
    EXPECT_FALSE(pHelper->SubclassHeader());
    pHelper->SetSortColumn(1, FALSE);
    BOOL bAscending = TRUE;
    EXPECT_EQ(1, pHelper->GetFlatHeaderCtrl()->GetSortImage(&bAscending));
    EXPECT_FALSE(bAscending);
    pHelper->AutoSaveColumns(L"Settings", L"Test Columns");
    pView->DestroyWindow();
    EXPECT_EQ(L"50,70,", ReadRaw(L"Test Columns").text);
}

} // namespace
