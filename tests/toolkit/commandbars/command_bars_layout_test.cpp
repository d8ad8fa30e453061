// The bars' layout kept in the registry: what SaveLayout writes, read back raw; layouts edited in the
// registry and loaded into a fresh frame; rescaling to another screen; damaged values.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "frame_wnd.h"
#include "image_manager.h"
#include "scratch_registry.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <afxext.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const auto Pump = commandbars_test::PumpMessages;
const wchar_t kRegistryKey[] = L"CorvaneToolkitLayoutTest";
const UINT kBarOne = 100;
const UINT kBarTwo = 200;

// A frame with a menu bar, two toolbars (ids 100 and 200) docked top and a status bar.
class LayoutFrame : public CXTPFrameWnd
{
public:
    CStatusBar m_statusBar;
    // The program's toolbar 100 gained a button since an earlier run.
    static bool s_bUpdatedToolbar;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
        m_pCommandBars->AttachFrame(this);
        m_pCommandBars->CreateDockBars();
        if (m_pCommandBars->CreateMenuBar(L"Menu Bar", IDR_CB_FRAME) == NULL)
            return -1;
        const UINT one[] = {ID_CB_NEW, ID_CB_OPEN};
        const UINT two[] = {ID_CB_SAVE, ID_CB_PRINT};
        for (const auto& bar : {std::make_pair(kBarOne, &one[0]), std::make_pair(kBarTwo, &two[0])}) {
            CXTPToolBar* pToolBar = m_pCommandBars->Add(bar.first == kBarOne ? L"One" : L"Two", xtpBarTop);
            if (pToolBar == NULL)
                return -1;
            const UINT updated[] = {ID_CB_NEW, ID_CB_OPEN, ID_CB_PRINT};
            const bool bUpdated = s_bUpdatedToolbar && bar.first == kBarOne;
            pToolBar->SetButtons(bUpdated ? updated : bar.second, bUpdated ? 3 : 2);
            pToolBar->SetBarID(bar.first);
            pToolBar->GetControls()->CreateOriginalControls();
        }
        if (!m_statusBar.Create(this))
            return -1;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

bool LayoutFrame::s_bUpdatedToolbar = false;

// A button of the tests' own class, whose name has an odd length.
class OddButton : public CXTPControlButton
{
    DECLARE_SERIAL(OddButton)
public:
    void SetCustomIconId(int nId) { m_nCustomIconId = nId; }
};
IMPLEMENT_SERIAL(OddButton, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

// clang-format off
BEGIN_MESSAGE_MAP(LayoutFrame, CXTPFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

// A frame that handles the customise command: its bars' controls are kept too.
class CustomizingFrame : public LayoutFrame
{
protected:
    afx_msg void OnCustomize() {}
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CustomizingFrame, LayoutFrame)
    ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()
// clang-format on

// The rows of a dock bar as stored, for arranging them by hand.
class DockRows : public CXTPDockBar
{
public:
    static std::vector<CXTPToolBar*>& Of(CXTPDockBar* pDock)
    {
        return static_cast<DockRows*>(pDock)->m_arrBars;
    }
};

using Values = commandbars_test::RegistryValues;

class BarLayout : public commandbars_test::ScratchRegistryTest
{
protected:
    BarLayout() : ScratchRegistryTest(kRegistryKey, L"LayoutTest") {}
    void SetUp() override
    {
        ScratchRegistryTest::SetUp();
        m_pFrame = NewFrame();
        ASSERT_NE(nullptr, m_pFrame);
    }
    void TearDown() override
    {
        for (LayoutFrame* pFrame : m_frames)
            pFrame->DestroyWindow();
        Pump();
        ScratchRegistryTest::TearDown();
    }
    LayoutFrame* NewFrame(bool bCustomizing = false)
    {
        LayoutFrame* pFrame = bCustomizing ? new CustomizingFrame : new LayoutFrame;
        if (!pFrame->LoadFrame(IDR_CB_FRAME, WS_OVERLAPPEDWINDOW))
            return NULL;
        pFrame->SetWindowPos(&CWnd::wndTop, 40, 40, 640, 300, SWP_SHOWWINDOW);
        pFrame->RecalcLayout();
        Pump();
        m_frames.push_back(pFrame);
        return pFrame;
    }
    static CXTPToolBar* Bar(LayoutFrame* pFrame, UINT nId)
    {
        return DYNAMIC_DOWNCAST(CXTPToolBar, pFrame->GetCommandBars()->FindBar(nId));
    }
    // Every value of the layout's sections, by section.
    static std::map<CString, Values> ReadLayout()
    {
        std::map<CString, Values> layout;
        for (LPCWSTR lpszSection :
             {L"CommandBars", L"CommandBars-Summary", L"CommandBars-Bar0", L"CommandBars-Bar1",
              L"CommandBars-Bar2", L"CommandBars-DockBar0", L"CommandBars-DockBar1", L"CommandBars-DockBar2",
              L"CommandBars-DockBar3"})
            layout[lpszSection] = ReadValues(lpszSection);
        return layout;
    }
    static void WriteRows(LPCWSTR lpszSection, const std::vector<DWORD>& ids)
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SectionPath(lpszSection));
        for (size_t i = 0; i < ids.size(); ++i) {
            CString strName;
            strName.Format(L"Bar#%d", static_cast<int>(i));
            WriteDword(lpszSection, strName, ids[i]);
        }
        WriteDword(lpszSection, L"Bars", static_cast<DWORD>(ids.size()));
    }
    // The ids of a dock bar's stored rows, 0 for a row break.
    static std::vector<UINT> RowIds(CXTPDockBar* pDock)
    {
        std::vector<UINT> ids;
        for (CXTPToolBar* pBar : pDock->GetBars())
            ids.push_back(pBar != NULL ? pBar->GetBarID() : 0);
        return ids;
    }
    // The rows with runs of row breaks taken as one, as they are saved.
    static std::vector<UINT> Collapsed(const std::vector<UINT>& ids)
    {
        std::vector<UINT> rows;
        for (UINT nId : ids)
            if (nId != 0 || rows.empty() || rows.back() != 0)
                rows.push_back(nId);
        return rows;
    }

    LayoutFrame* m_pFrame = NULL;
    std::vector<LayoutFrame*> m_frames;
};

TEST_F(BarLayout, SavingWritesTheNamedDwordsAndLeavesDefaultsOut)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    pBars->SaveLayout(L"CommandBars");
    const auto layout = ReadLayout();
    const Values& summary = layout.at(L"CommandBars-Summary");
    EXPECT_EQ(3u, summary.size());
    EXPECT_EQ(3u, Dword(summary, L"Bars"));
    EXPECT_EQ(static_cast<DWORD>(::GetSystemMetrics(SM_CXSCREEN)), Dword(summary, L"ScreenCX"));
    EXPECT_EQ(static_cast<DWORD>(::GetSystemMetrics(SM_CYSCREEN)), Dword(summary, L"ScreenCY"));
    const UINT ids[] = {1, kBarOne, kBarTwo};
    for (int i = 0; i < 3; ++i) {
        CString strSection;
        strSection.Format(L"CommandBars-Bar%d", i);
        SCOPED_TRACE(Narrow(strSection));
        const Values& bar = layout.at(strSection);
        for (const auto& value : bar)
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.second.first) << Narrow(value.first);
        EXPECT_EQ(ids[i], Dword(bar, L"BarID"));
        for (LPCWSTR lpszAbsent : {L"Visible", L"Floating", L"MRUWidth"})
            EXPECT_EQ(0u, bar.count(lpszAbsent)) << Narrow(lpszAbsent);
        for (LPCWSTR lpszPresent :
             {L"XPos", L"YPos", L"MRUDockID", L"MRUDockLeftPos", L"MRUDockTopPos", L"MRUDockRightPos",
              L"MRUDockBottomPos", L"MRUFloatXPos", L"MRUFloatYPos", L"DialogBar"})
            EXPECT_EQ(1u, bar.count(lpszPresent)) << Narrow(lpszPresent);
        EXPECT_EQ(static_cast<DWORD>(XTP_IDW_DOCKBAR_TOP), Dword(bar, L"MRUDockID"));
        EXPECT_EQ(0u, Dword(bar, L"DialogBar"));
    }
    // Three rows in the top dock bar, each row break written once; the other dock bars hold nothing.
    EXPECT_EQ((std::vector<UINT>{0, 1, 0, kBarOne, 0, kBarTwo, 0}), RowIds(pBars->GetDockBar(xtpBarTop)));
    const Values& top = layout.at(L"CommandBars-DockBar0");
    EXPECT_EQ(7u, Dword(top, L"Bars"));
    const DWORD rows[] = {0, 1, 0, kBarOne, 0, kBarTwo, 0};
    for (int i = 0; i < 7; ++i) {
        CString strName;
        strName.Format(L"Bar#%d", i);
        EXPECT_EQ(rows[i], Dword(top, strName)) << i;
    }
    for (LPCWSTR lpszEmpty : {L"CommandBars-DockBar1", L"CommandBars-DockBar2", L"CommandBars-DockBar3"})
        EXPECT_TRUE(layout.at(lpszEmpty).empty()) << Narrow(lpszEmpty);
    EXPECT_EQ(0u, layout.at(L"CommandBars").count(L"StatusBar"));

    // A hidden bar writes "Visible" 0; a floating one at (-1, -1) neither position; a width of its
    // own is kept; the hidden status bar writes 0 until it shows again.
    Bar(m_pFrame, kBarOne)->SetVisible(FALSE);
    CXTPToolBar* pTwo = Bar(m_pFrame, kBarTwo);
    pBars->FloatCommandBar(pTwo);
    pTwo->SetWindowPos(NULL, -1, -1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pTwo->m_nMRUWidth = 90;
    m_pFrame->ShowControlBar(&m_pFrame->m_statusBar, FALSE, FALSE);
    pBars->SaveLayout(L"CommandBars");
    Values one = ReadValues(L"CommandBars-Bar1");
    EXPECT_EQ(0u, Dword(one, L"Visible"));
    Values two = ReadValues(L"CommandBars-Bar2");
    EXPECT_EQ(1u, Dword(two, L"Floating"));
    EXPECT_EQ(0u, two.count(L"XPos"));
    EXPECT_EQ(0u, two.count(L"YPos"));
    EXPECT_EQ(90u, Dword(two, L"MRUWidth"));
    EXPECT_EQ(0u, Dword(ReadValues(L"CommandBars"), L"StatusBar"));
    m_pFrame->ShowControlBar(&m_pFrame->m_statusBar, TRUE, FALSE);
    Bar(m_pFrame, kBarOne)->SetVisible(TRUE);
    pBars->SaveLayout(L"CommandBars");
    EXPECT_EQ(0u, ReadValues(L"CommandBars").count(L"StatusBar"));
    EXPECT_EQ(0u, ReadValues(L"CommandBars-Bar1").count(L"Visible"));
}

TEST_F(BarLayout, RowBreaksCollapseAndShortRowArraysWriteNothing)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    CXTPDockBar* pTop = pBars->GetDockBar(xtpBarTop);
    CXTPDockBar* pLeft = pBars->GetDockBar(xtpBarLeft);
    std::vector<CXTPToolBar*>& rows = DockRows::Of(pTop);
    const std::vector<CXTPToolBar*> saved = rows;
    rows = {Bar(m_pFrame, kBarOne), nullptr, nullptr, Bar(m_pFrame, kBarTwo)};
    DockRows::Of(pLeft) = {nullptr};
    WriteDword(L"CommandBars-DockBar2", L"Stale", 7);
    pBars->SaveLayout(L"CommandBars");
    rows = saved;
    const Values top = ReadValues(L"CommandBars-DockBar0");
    EXPECT_EQ(4u, top.size());
    EXPECT_EQ(3u, Dword(top, L"Bars"));
    EXPECT_EQ(kBarOne, Dword(top, L"Bar#0"));
    EXPECT_EQ(0u, Dword(top, L"Bar#1"));
    EXPECT_EQ(kBarTwo, Dword(top, L"Bar#2"));
    EXPECT_TRUE(ReadValues(L"CommandBars-DockBar2").empty());
}

TEST_F(BarLayout, AnArrangementEditedInTheRegistryLoadsAsWrittenAndSavesBackTheSame)
{
    m_pFrame->GetCommandBars()->SaveLayout(L"CommandBars");
    // The toolbars' rows swapped, bar 100 hidden, bar 200 floated at a screen point.
    WriteRows(L"CommandBars-DockBar0", {0, 1, 0, kBarTwo, 0, kBarOne, 0});
    WriteDword(L"CommandBars-Bar1", L"Visible", 0);
    WriteDword(L"CommandBars-Bar2", L"Floating", 1);
    WriteDword(L"CommandBars-Bar2", L"XPos", 300);
    WriteDword(L"CommandBars-Bar2", L"YPos", 250);
    WriteDword(L"CommandBars", L"StatusBar", 0);

    LayoutFrame* pFresh = NewFrame();
    ASSERT_NE(nullptr, pFresh);
    CXTPCommandBars* pBars = pFresh->GetCommandBars();
    pBars->LoadLayout(L"CommandBars");
    Pump();
    CXTPToolBar* pOne = Bar(pFresh, kBarOne);
    CXTPToolBar* pTwo = Bar(pFresh, kBarTwo);
    CXTPDockBar* pTop = pBars->GetDockBar(xtpBarTop);
    EXPECT_FALSE(pOne->IsVisible());
    EXPECT_FALSE(pOne->IsWindowVisible());
    EXPECT_EQ(pTop, pOne->GetParent());
    EXPECT_EQ(xtpBarFloating, pTwo->GetPosition());
    EXPECT_EQ(nullptr, pTwo->GetDockBar());
    EXPECT_NE(pTop, pTwo->GetParent());
    EXPECT_TRUE(pTwo->IsWindowVisible());
    CRect rcTwo;
    pTwo->GetWindowRect(&rcTwo);
    EXPECT_EQ(CPoint(300, 250), rcTwo.TopLeft());
    EXPECT_GT(rcTwo.Width(), 20);
    // The floated bar leaves the rows; the swapped order stays.
    EXPECT_EQ((std::vector<UINT>{0, 1, 0, kBarOne, 0}), Collapsed(RowIds(pTop)));
    EXPECT_FALSE(pFresh->m_statusBar.IsWindowVisible());

    // Save, load, save: the same values each time.
    pBars->SaveLayout(L"CommandBars");
    const auto first = ReadLayout();
    for (int i = 0; i < 3; ++i) {
        pBars->LoadLayout(L"CommandBars");
        Pump();
        pBars->SaveLayout(L"CommandBars");
        EXPECT_EQ(first, ReadLayout()) << "round " << i;
    }
}

TEST_F(BarLayout, PositionsFollowTheScreenTheLayoutWasSavedOn)
{
    const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    const int cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    const int xLargest = cxScreen - ::GetSystemMetrics(SM_CXICON);
    struct Case
    {
        const char* name;
        int nStoredCx, nStoredCy; // 0: not written
        CPoint ptStored;
        CPoint ptExpected;
    };
    const Case cases[] = {
        {"twice the screen halves", cxScreen * 2, cyScreen * 2, CPoint(400, 300), CPoint(200, 150)},
        {"the same screen keeps", cxScreen, cyScreen, CPoint(210, 120), CPoint(210, 120)},
        {"beyond the screen is pulled back", cxScreen, cyScreen, CPoint(cxScreen + 50, 100),
         CPoint(xLargest, 100)},
        {"missing sizes keep", 0, 0, CPoint(333, 111), CPoint(333, 111)},
        {"one missing size keeps", cxScreen * 2, 0, CPoint(333, 111), CPoint(333, 111)},
    };
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pBars->SaveLayout(L"CommandBars");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SectionPath(L"CommandBars-Summary"));
        WriteDword(L"CommandBars-Summary", L"Bars", 3);
        if (c.nStoredCx != 0)
            WriteDword(L"CommandBars-Summary", L"ScreenCX", static_cast<DWORD>(c.nStoredCx));
        if (c.nStoredCy != 0)
            WriteDword(L"CommandBars-Summary", L"ScreenCY", static_cast<DWORD>(c.nStoredCy));
        WriteDword(L"CommandBars-Bar2", L"Floating", 1);
        WriteDword(L"CommandBars-Bar2", L"XPos", static_cast<DWORD>(c.ptStored.x));
        WriteDword(L"CommandBars-Bar2", L"YPos", static_cast<DWORD>(c.ptStored.y));
        WriteDword(L"CommandBars-Bar2", L"MRUFloatXPos", static_cast<DWORD>(c.ptStored.x));
        WriteDword(L"CommandBars-Bar2", L"MRUFloatYPos", static_cast<DWORD>(c.ptStored.y));
        pBars->LoadLayout(L"CommandBars");
        CXTPToolBar* pTwo = Bar(m_pFrame, kBarTwo);
        CRect rect;
        pTwo->GetWindowRect(&rect);
        EXPECT_EQ(c.ptExpected, rect.TopLeft());
        EXPECT_EQ(c.ptExpected, pTwo->m_ptMRUFloatPos);
    }
}

TEST_F(BarLayout, UnknownBarsAreSkippedAndBecomeRowBreaks)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    pBars->SaveLayout(L"CommandBars");
    WriteDword(L"CommandBars-Bar0", L"BarID", 999);
    WriteDword(L"CommandBars-Bar0", L"Floating", 1);
    WriteRows(L"CommandBars-DockBar0", {1, 999, kBarTwo, kBarOne});
    pBars->LoadLayout(L"CommandBars");
    Pump();
    EXPECT_EQ(xtpBarTop, pBars->GetMenuBar()->GetPosition());
    std::vector<UINT> rows = RowIds(pBars->GetDockBar(xtpBarTop));
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ((std::vector<UINT>{1, 0, kBarTwo, kBarOne}), std::vector<UINT>(rows.begin(), rows.begin() + 4));
    EXPECT_EQ(3, pBars->GetCount());
}

TEST_F(BarLayout, DamagedCountsLeaveTheBarsAsTheyWere)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    pBars->SaveLayout(L"CommandBars");
    const std::vector<UINT> before = RowIds(pBars->GetDockBar(xtpBarTop));
    struct Case
    {
        const char* name;
        LPCWSTR lpszSection;
        LPCWSTR lpszName;
        DWORD dwValue;
    };
    const Case cases[] = {
        {"huge bar count", L"CommandBars-Summary", L"Bars", 0x7FFFFFFF},
        {"negative bar count", L"CommandBars-Summary", L"Bars", 0x80000000},
        {"huge row count", L"CommandBars-DockBar0", L"Bars", 0x7FFFFFFF},
        {"negative row count", L"CommandBars-DockBar0", L"Bars", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pBars->SaveLayout(L"CommandBars");
        WriteDword(c.lpszSection, c.lpszName, c.dwValue);
        pBars->LoadLayout(L"CommandBars");
        Pump();
        EXPECT_EQ(3, pBars->GetCount());
        EXPECT_EQ(before, Collapsed(RowIds(pBars->GetDockBar(xtpBarTop))));
        for (UINT nId : {kBarOne, kBarTwo})
            EXPECT_TRUE(Bar(m_pFrame, nId)->IsWindowVisible());
    }
}

// The controls of bars as the user sees them: (id, caption) of each that is not temporary.
std::vector<std::pair<int, CString>> ControlsOf(CXTPControls* pControls)
{
    std::vector<std::pair<int, CString>> controls;
    for (int i = 0; pControls != NULL && i < pControls->GetCount(); ++i)
        if (!pControls->GetAt(i)->IsTemporary())
            controls.emplace_back(pControls->GetAt(i)->GetID(), pControls->GetAt(i)->GetCaption());
    return controls;
}

// The toolbar and menu bar customised: a control removed, one renamed, a menu renamed and an item
// of its popup removed.
void Customise(LayoutFrame* pFrame)
{
    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    CXTPControls* pOne = DYNAMIC_DOWNCAST(CXTPToolBar, pBars->FindBar(kBarOne))->GetControls();
    pOne->Remove(pOne->FindControl(ID_CB_OPEN));
    pOne->FindControl(ID_CB_NEW)->SetCaption(L"Fresh");
}

void CustomiseMenu(LayoutFrame* pFrame)
{
    CXTPControl* pFile = pFrame->GetCommandBars()->GetMenuBar()->GetControl(0);
    pFile->SetCaption(L"&Archive");
    CXTPControls* pItems = pFile->GetCommandBar()->GetControls();
    pItems->Remove(pItems->FindControl(ID_CB_OPEN));
}

class BarControlsLayout : public BarLayout
{
protected:
    void SetUp() override
    {
        BarLayout::SetUp();
        m_pCustomizing = NewFrame(true);
        ASSERT_NE(nullptr, m_pCustomizing);
        ASSERT_TRUE(m_pCustomizing->GetCommandBars()->IsCustomizeCommandHandled());
        theApp.m_messageBoxes.clear();
    }
    void TearDown() override
    {
        LayoutFrame::s_bUpdatedToolbar = false;
        theApp.m_nMessageBoxAnswer = IDYES;
        ::DeleteFileW(ControlsFile());
        BarLayout::TearDown();
    }
    // The file an archive too large for the registry goes to.
    static CString ControlsFile()
    {
        WCHAR szFolder[MAX_PATH] = {};
        ::SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, szFolder);
        return CString(szFolder) + L"\\" + theApp.m_pszAppName + L"\\CommandBars";
    }
    // The stored archive's size, from the registry value or the file it names.
    static ULONGLONG StoredSize()
    {
        const Values values = ReadValues(L"CommandBars-Controls");
        if (Dword(values, L"LoadFromFile") == 0)
            return values.count(L"Controls") ? values.at(L"Controls").second.size() : 0;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!::GetFileAttributesExW(ControlsFile(), GetFileExInfoStandard, &data))
            return 0;
        return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    static void WriteArchive(const std::vector<BYTE>& bytes)
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SectionPath(L"CommandBars-Controls"));
        WriteValue(L"CommandBars-Controls", L"Controls", REG_BINARY, bytes.data(),
                   static_cast<DWORD>(bytes.size()));
    }

    LayoutFrame* m_pCustomizing = NULL;
};

TEST_F(BarControlsLayout, CustomisedBarsLoadIntoAFreshFrameWithTheirControls)
{
    Customise(m_pCustomizing);
    CustomiseMenu(m_pCustomizing);
    CXTPCommandBars* pBars = m_pCustomizing->GetCommandBars();
    pBars->SaveLayout(L"CommandBars");
    const Values values = ReadValues(L"CommandBars-Controls");
    ASSERT_EQ(1u, values.count(L"Controls"));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), values.at(L"Controls").first);
    EXPECT_EQ(0u, Dword(values, L"LoadFromFile"));

    // The frame without the customise command writes and reads no controls.
    m_pFrame->GetCommandBars()->SaveLayout(L"Plain");
    EXPECT_TRUE(ReadValues(L"Plain-Controls").empty());

    LayoutFrame* pFresh = NewFrame(true);
    ASSERT_NE(nullptr, pFresh);
    CXTPCommandBars* pFreshBars = pFresh->GetCommandBars();
    pFreshBars->LoadLayout(L"CommandBars");
    Pump();
    EXPECT_TRUE(theApp.m_messageBoxes.empty());
    for (UINT nId : {kBarOne, kBarTwo}) {
        SCOPED_TRACE(nId);
        EXPECT_EQ(ControlsOf(Bar(m_pCustomizing, nId)->GetControls()),
                  ControlsOf(Bar(pFresh, nId)->GetControls()));
        EXPECT_EQ(ControlsOf(Bar(m_pCustomizing, nId)->GetControls()->GetOriginalControls()),
                  ControlsOf(Bar(pFresh, nId)->GetControls()->GetOriginalControls()));
    }
    EXPECT_EQ((std::vector<std::pair<int, CString>>{{ID_CB_NEW, L"Fresh"}}),
              ControlsOf(Bar(pFresh, kBarOne)->GetControls()));
    // The menu bar keeps its renamed menu, whose popup bar comes back linked with its items.
    CXTPMenuBar* pMenuBar = pFreshBars->GetMenuBar();
    ASSERT_NE(nullptr, pMenuBar);
    EXPECT_EQ(pMenuBar, pFreshBars->FindBar(1));
    EXPECT_EQ(CString(L"&Archive"), pMenuBar->GetControl(0)->GetCaption());
    CXTPCommandBar* pPopup = pMenuBar->GetControl(0)->GetCommandBar();
    ASSERT_NE(nullptr, pPopup);
    EXPECT_EQ(
        ControlsOf(
            m_pCustomizing->GetCommandBars()->GetMenuBar()->GetControl(0)->GetCommandBar()->GetControls()),
        ControlsOf(pPopup->GetControls()));
    EXPECT_EQ(nullptr, pPopup->GetControls()->FindControl(ID_CB_OPEN));
    EXPECT_TRUE(pMenuBar->IsWindowVisible());
}

TEST_F(BarControlsLayout, AToolbarTheUserMadeComesBackInAFreshFrame)
{
    CXTPCommandBars* pBars = m_pCustomizing->GetCommandBars();
    CXTPToolBar* pUser = pBars->Add(L"Mine", xtpBarTop);
    ASSERT_NE(nullptr, pUser);
    const UINT buttons[] = {ID_CB_SAVE, ID_CB_NEW};
    pUser->SetButtons(buttons, 2);
    pUser->SetBarID(0xE800);
    pUser->m_bBuiltIn = FALSE;
    Pump();
    pBars->SaveLayout(L"CommandBars");

    LayoutFrame* pFresh = NewFrame(true);
    ASSERT_NE(nullptr, pFresh);
    CXTPCommandBars* pFreshBars = pFresh->GetCommandBars();
    pFreshBars->LoadLayout(L"CommandBars");
    Pump();
    ASSERT_EQ(4, pFreshBars->GetCount());
    auto* pLoaded = DYNAMIC_DOWNCAST(CXTPToolBar, pFreshBars->FindBar(0xE800));
    ASSERT_NE(nullptr, pLoaded);
    EXPECT_EQ(CString(L"Mine"), pLoaded->GetTitle());
    EXPECT_FALSE(pLoaded->m_bBuiltIn);
    EXPECT_EQ(ControlsOf(pUser->GetControls()), ControlsOf(pLoaded->GetControls()));
    EXPECT_EQ(pFreshBars->GetDockBar(xtpBarTop), pLoaded->GetDockBar());
    EXPECT_TRUE(pLoaded->IsWindowVisible());
    CRect rcLoaded;
    pLoaded->GetWindowRect(&rcLoaded);
    EXPECT_GT(rcLoaded.Width(), 20);
}

// An MDI frame whose menu bar keeps a customised menu per document type, handling the customise
// command.
class CustomizingMdiFrame : public commandbars_test::MdiBarsFrame
{
protected:
    afx_msg void OnCustomize() {}
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CustomizingMdiFrame, commandbars_test::MdiBarsFrame)
    ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()
// clang-format on

TEST_F(BarControlsLayout, ADocumentTypesCustomisedMenuIsSavedAndComesBackForItsDocuments)
{
    std::vector<CFrameWnd*> frames;
    auto newFrame = [&]() -> CustomizingMdiFrame* {
        auto* pFrame = new CustomizingMdiFrame;
        if (!pFrame->LoadFrame(IDR_CB_MDI, WS_OVERLAPPEDWINDOW))
            return nullptr;
        pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 600, 360, SWP_SHOWWINDOW);
        Pump();
        frames.push_back(pFrame);
        return pFrame;
    };
    auto openChild = [](CMDIFrameWnd* pFrame, UINT nIDResource) -> CMDIChildWnd* {
        auto* pChild = new CMDIChildWnd;
        if (!pChild->LoadFrame(nIDResource, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, pFrame))
            return nullptr;
        pChild->InitialUpdateFrame(NULL, TRUE);
        Pump();
        return pChild;
    };
    auto captions = [](CXTPMenuBar* pMenuBar) {
        std::vector<CString> result;
        for (const auto& control : ControlsOf(pMenuBar->GetControls()))
            result.push_back(control.second);
        return result;
    };
    const std::vector<CString> customised{L"&Items", L"&Send"};
    const std::vector<CString> frameMenu{L"&File", L"&Window"};

    CustomizingMdiFrame* pFrame = newFrame();
    ASSERT_NE(nullptr, pFrame);
    CXTPMenuBar* pMenuBar = pFrame->m_pCommandBars->GetMenuBar();
    ASSERT_TRUE(pFrame->m_pCommandBars->IsCustomizeCommandHandled());
    ASSERT_NE(nullptr, openChild(pFrame, IDR_CB_ITEMS));
    pMenuBar->GetControls()->Add(xtpControlButton, ID_CB_SEND)->SetCaption(L"&Send");
    ASSERT_EQ(customised, captions(pMenuBar));
    pFrame->m_pCommandBars->SaveLayout(L"CommandBars");
    Pump();
    // Saving showed the frame's own menu for a moment; the active document's is back.
    EXPECT_EQ(customised, captions(pMenuBar));

    CustomizingMdiFrame* pFresh = newFrame();
    ASSERT_NE(nullptr, pFresh);
    pFresh->m_pCommandBars->LoadLayout(L"CommandBars");
    CXTPMenuBar* pFreshMenuBar = pFresh->m_pCommandBars->GetMenuBar();
    EXPECT_EQ(frameMenu, captions(pFreshMenuBar));
    ASSERT_NE(nullptr, openChild(pFresh, IDR_CB_ITEMS));
    EXPECT_EQ(customised, captions(pFreshMenuBar));
    for (CFrameWnd* pOpen : frames)
        pOpen->DestroyWindow();
    Pump();
}

TEST_F(BarControlsLayout, AControlsOwnIconTravelsWithIt)
{
    const UINT nIconId = 0x7123;
    CXTPImageManager* pImages = m_pCustomizing->GetCommandBars()->GetImageManager();
    CXTPImageHandle hIcon;
    hIcon.SetIcon(::CopyIcon(::LoadIconW(NULL, IDI_APPLICATION)));
    ASSERT_TRUE(pImages->SetCommandIcon(hIcon, nIconId));
    auto* pButton = new OddButton;
    pButton->SetCustomIconId(static_cast<int>(nIconId));
    Bar(m_pCustomizing, kBarOne)->GetControls()->AddControl(pButton, ID_CB_PRINT);
    m_pCustomizing->GetCommandBars()->SaveLayout(L"CommandBars");
    // Gone from the images, the icon comes back from the archive.
    pImages->RemoveIcon(nIconId);
    ASSERT_EQ(nullptr, pImages->LookupIconSet(nIconId));
    LayoutFrame* pFresh = NewFrame(true);
    ASSERT_NE(nullptr, pFresh);
    pFresh->GetCommandBars()->LoadLayout(L"CommandBars");
    CXTPControl* pLoaded = Bar(pFresh, kBarOne)->GetControls()->FindControl(ID_CB_PRINT);
    ASSERT_NE(nullptr, pLoaded);
    EXPECT_EQ(static_cast<int>(nIconId), pLoaded->GetIconId());
    EXPECT_NE(nullptr, pFresh->GetCommandBars()->GetImageManager()->LookupIconSet(nIconId));
    pImages->RemoveIcon(nIconId);
}

TEST_F(BarControlsLayout, LargeArchivesGoToAHiddenFileAndSmallOnesBackToTheRegistry)
{
    CXTPCommandBars* pBars = m_pCustomizing->GetCommandBars();
    CXTPControls* pOne = Bar(m_pCustomizing, kBarOne)->GetControls();
    CXTPControl* pLong = pOne->Add(xtpControlButton, ID_CB_SAVE);
    // Captions add two bytes a character; a control of a class with an odd name length changes the
    // size's parity.
    auto fit = [&](ULONGLONG nTarget) {
        pLong->SetCaption(CString(L'x', 300));
        pBars->SaveLayout(L"CommandBars");
        const ULONGLONG nBase = StoredSize();
        if (nBase > nTarget || (nTarget - nBase) % 2 != 0)
            return false;
        pLong->SetCaption(CString(L'x', 300 + static_cast<int>((nTarget - nBase) / 2)));
        pBars->SaveLayout(L"CommandBars");
        return StoredSize() == nTarget;
    };
    CXTPControl* pOdd = NULL;
    auto toggleParity = [&]() {
        if (pOdd != NULL) {
            pOne->Remove(pOdd);
            pOdd = NULL;
        } else {
            pOdd = pOne->AddControl(new OddButton, ID_CB_PRINT);
        }
    };
    if (!fit(16000))
        toggleParity();
    ASSERT_TRUE(fit(16000));
    Values values = ReadValues(L"CommandBars-Controls");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), values[L"Controls"].first);
    EXPECT_EQ(0u, Dword(values, L"LoadFromFile"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(ControlsFile()));

    toggleParity();
    ASSERT_TRUE(fit(16001));
    values = ReadValues(L"CommandBars-Controls");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), values[L"Controls"].first);
    EXPECT_EQ(ControlsFile(), CString(reinterpret_cast<const wchar_t*>(values[L"Controls"].second.data())));
    EXPECT_EQ(1u, Dword(values, L"LoadFromFile"));
    const DWORD dwAttributes = ::GetFileAttributesW(ControlsFile());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, dwAttributes);
    // Wine keeps the hidden attribute only where the file system has user attributes.
    const CString strProbe = ControlsFile() + L".probe";
    ::CloseHandle(::CreateFileW(strProbe, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    ::SetFileAttributesW(strProbe, FILE_ATTRIBUTE_HIDDEN);
    const bool bHiddenKept = (::GetFileAttributesW(strProbe) & FILE_ATTRIBUTE_HIDDEN) != 0;
    ::SetFileAttributesW(strProbe, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(strProbe);
    if (bHiddenKept) {
        EXPECT_NE(0u, dwAttributes & FILE_ATTRIBUTE_HIDDEN);
    }

    // A fresh frame reads the file.
    LayoutFrame* pFresh = NewFrame(true);
    ASSERT_NE(nullptr, pFresh);
    pFresh->GetCommandBars()->LoadLayout(L"CommandBars");
    EXPECT_EQ(ControlsOf(pOne), ControlsOf(Bar(pFresh, kBarOne)->GetControls()));
    EXPECT_NE(nullptr,
              DYNAMIC_DOWNCAST(OddButton, Bar(pFresh, kBarOne)->GetControls()->FindControl(ID_CB_PRINT)));

    // A file that cannot be written leaves the archive in the registry, never a path to nothing.
    pBars->m_strControlsFileName = L"C:\\no-such-folder\\deeper\\CommandBars";
    pBars->SaveLayout(L"CommandBars");
    values = ReadValues(L"CommandBars-Controls");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), values[L"Controls"].first);
    EXPECT_EQ(16001u, values[L"Controls"].second.size());
    EXPECT_EQ(0u, Dword(values, L"LoadFromFile"));
    pBars->m_strControlsFileName.Empty();

    // Shrinking again takes the file away.
    toggleParity();
    ASSERT_TRUE(fit(16000));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), ReadValues(L"CommandBars-Controls")[L"Controls"].first);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(ControlsFile()));
}

TEST_F(BarControlsLayout, AChangedBuiltInToolbarAsksWhetherToTakeTheNewOne)
{
    Customise(m_pCustomizing);
    m_pCustomizing->GetCommandBars()->SaveLayout(L"CommandBars");
    const std::vector<std::pair<int, CString>> saved =
        ControlsOf(Bar(m_pCustomizing, kBarOne)->GetControls());
    LayoutFrame::s_bUpdatedToolbar = true;
    for (int nAnswer : {IDYES, IDNO}) {
        SCOPED_TRACE(nAnswer == IDYES ? "yes" : "no");
        theApp.m_messageBoxes.clear();
        theApp.m_nMessageBoxAnswer = nAnswer;
        LayoutFrame* pFresh = NewFrame(true);
        ASSERT_NE(nullptr, pFresh);
        CXTPControls* pControls = Bar(pFresh, kBarOne)->GetControls();
        const auto builtIn = ControlsOf(pControls);
        ASSERT_EQ(3u, builtIn.size());
        pFresh->GetCommandBars()->LoadLayout(L"CommandBars");
        ASSERT_EQ(1u, theApp.m_messageBoxes.size());
        EXPECT_EQ(L"Due to a software update the toolbar 'One' has changed. Would you like to reset your "
                  L"customized toolbar and load the new one?",
                  theApp.m_messageBoxes[0]);
        pControls = Bar(pFresh, kBarOne)->GetControls();
        EXPECT_EQ(nAnswer == IDYES ? builtIn : saved, ControlsOf(pControls));
        // Either way the new built-in controls stay the ones to reset to.
        EXPECT_EQ(builtIn, ControlsOf(pControls->GetOriginalControls()));
    }
    // Without a customisation there is nothing to ask.
    m_frames.back()->GetCommandBars()->LoadLayout(L"CommandBars");
    theApp.m_messageBoxes.clear();
    Bar(m_pCustomizing, kBarOne)->Reset(FALSE);
    m_pCustomizing->GetCommandBars()->SaveLayout(L"CommandBars");
    LayoutFrame* pFresh = NewFrame(true);
    ASSERT_NE(nullptr, pFresh);
    pFresh->GetCommandBars()->LoadLayout(L"CommandBars");
    EXPECT_TRUE(theApp.m_messageBoxes.empty());
    EXPECT_EQ(3u, ControlsOf(Bar(pFresh, kBarOne)->GetControls()).size());
}

TEST_F(BarControlsLayout, DamagedArchivesLeaveTheBarsAsTheyWere)
{
    Customise(m_pCustomizing);
    CustomiseMenu(m_pCustomizing);
    Bar(m_pCustomizing, kBarOne)->GetControls()->AddControl(new OddButton, ID_CB_PRINT);
    m_pCustomizing->GetCommandBars()->SaveLayout(L"CommandBars");
    const std::vector<BYTE> good = ReadValues(L"CommandBars-Controls").at(L"Controls").second;
    ASSERT_GT(good.size(), 100u);

    struct Case
    {
        std::string name;
        std::vector<BYTE> bytes;
    };
    std::vector<Case> cases;
    // A class this program does not know.
    std::vector<BYTE> unknown = good;
    const std::string strClass = "OddButton";
    auto it = std::search(unknown.begin(), unknown.end(), strClass.begin(), strClass.end());
    ASSERT_NE(unknown.end(), it);
    it[6] = 'X';
    cases.push_back({"unknown class", unknown});
    // Counts far beyond what the archive holds.
    std::vector<BYTE> huge = good;
    huge[0] = 0xFE;
    huge[1] = 0xFF;
    cases.push_back({"huge bar count", huge});
    cases.push_back({"hostile bytes", std::vector<BYTE>(4096, 0xFF)});
    std::vector<BYTE> noise(3000);
    unsigned nSeed = 12345;
    for (BYTE& b : noise)
        b = static_cast<BYTE>((nSeed = nSeed * 1103515245u + 12345u) >> 16);
    cases.push_back({"noise", noise});
    for (size_t nLength = 1; nLength < good.size(); nLength += 11)
        cases.push_back(
            {"truncated to " + std::to_string(nLength),
             std::vector<BYTE>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(nLength))});

    LayoutFrame* pTarget = NewFrame(true);
    ASSERT_NE(nullptr, pTarget);
    CXTPCommandBars* pBars = pTarget->GetCommandBars();
    const auto builtIn = ControlsOf(Bar(pTarget, kBarOne)->GetControls());
    const auto menus = ControlsOf(pBars->GetMenuBar()->GetControls());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteArchive(c.bytes);
        pBars->LoadLayout(L"CommandBars");
        ASSERT_EQ(3, pBars->GetCount());
        EXPECT_EQ(builtIn, ControlsOf(Bar(pTarget, kBarOne)->GetControls()));
        ASSERT_NE(nullptr, pBars->GetMenuBar());
        EXPECT_EQ(menus, ControlsOf(pBars->GetMenuBar()->GetControls()));
    }
    EXPECT_TRUE(theApp.m_messageBoxes.empty());
}

// Toolbars dragged with messages posted before the tracker's loop starts: moves in the frame's
// client coordinates, then the message that ends the drag.
class ToolbarDragging : public BarLayout
{
protected:
    // A point of the bar where no control is (client coordinates).
    static CPoint EmptyPoint(CXTPToolBar* pBar)
    {
        CRect rect;
        pBar->GetClientRect(&rect);
        const int y = pBar->GetPosition() == xtpBarFloating ? 5 : rect.Height() / 2;
        for (int x = rect.right - 2; x > 0; --x)
            if (pBar->HitTest(CPoint(x, y)) == NULL)
                return CPoint(x, y);
        return CPoint(1, y);
    }
    void Drag(CXTPToolBar* pBar, const std::vector<CPoint>& points, UINT nEnd = WM_LBUTTONUP, WPARAM wEnd = 0)
    {
        for (const CPoint& point : points)
            ::PostMessageW(m_pFrame->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        ::PostMessageW(m_pFrame->GetSafeHwnd(), nEnd, wEnd, 0);
        // A safety stop: a loop that missed its end loses the capture.
        const UINT_PTR nTimer =
            ::SetTimer(NULL, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { ::ReleaseCapture(); });
        const CPoint point = EmptyPoint(pBar);
        pBar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        ::KillTimer(NULL, nTimer);
        EXPECT_EQ(nullptr, ::GetCapture());
        Pump();
    }
    CPoint FrameCentre() const
    {
        CRect rect;
        m_pFrame->GetClientRect(&rect);
        return CPoint(rect.Width() / 2, rect.Height() / 2);
    }
};

TEST_F(ToolbarDragging, AToolbarDocksOnTheSideItIsDroppedOnOrFloatsWhereItMay)
{
    CXTPToolBar* pOne = Bar(m_pFrame, kBarOne);
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    pBars->GetCommandBarsOptions()->bDirtyState = FALSE;
    Drag(pOne, {CPoint(120, FrameCentre().y), CPoint(4, FrameCentre().y)});
    ASSERT_NE(nullptr, pOne->GetParent());
    EXPECT_EQ(XTP_IDW_DOCKBAR_LEFT, pOne->GetParent()->GetDlgCtrlID());
    EXPECT_EQ(xtpBarLeft, pOne->GetPosition());
    EXPECT_EQ(pBars->GetDockBar(xtpBarLeft), pOne->GetDockBar());
    EXPECT_TRUE(pBars->GetCommandBarsOptions()->bDirtyState);
    CRect rcOne;
    pOne->GetWindowRect(&rcOne);
    EXPECT_GT(rcOne.Height(), rcOne.Width());
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"toolbar_docked_left"));

    // Without the floating flag the frame's middle leaves it docked.
    CXTPToolBar* pTwo = Bar(m_pFrame, kBarTwo);
    pTwo->ModifyFlags(0, xtpFlagFloating);
    Drag(pTwo, {FrameCentre()});
    EXPECT_EQ(pBars->GetDockBar(xtpBarTop), pTwo->GetParent());
    EXPECT_EQ(xtpBarTop, pTwo->GetPosition());

    // With it the bar floats there; Escape ends the drag where the bar is.
    pTwo->ModifyFlags(xtpFlagFloating, 0);
    Drag(pTwo, {FrameCentre()}, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(xtpBarFloating, pTwo->GetPosition());
    EXPECT_EQ(nullptr, pTwo->GetDockBar());
    CRect rcTwo;
    pTwo->GetWindowRect(&rcTwo);
    CPoint ptCentre = FrameCentre();
    m_pFrame->ClientToScreen(&ptCentre);
    EXPECT_TRUE(rcTwo.PtInRect(ptCentre));
    EXPECT_TRUE(pTwo->IsWindowVisible());
    EXPECT_EQ(rcTwo.TopLeft(), pTwo->m_ptMRUFloatPos);
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"toolbar_floating"));

    // A right click and the application's quit end a drag too, the bar where it is; the quit stays
    // for the application's own loop.
    struct End
    {
        const char* name;
        UINT nMessage;
    };
    for (const End& end : {End{"right click", WM_RBUTTONDOWN}, End{"quit", WM_QUIT}}) {
        SCOPED_TRACE(end.name);
        const CPoint ptTo(FrameCentre().x - 100, FrameCentre().y);
        Drag(pTwo, {ptTo}, end.nMessage);
        CPoint ptScreen(ptTo);
        m_pFrame->ClientToScreen(&ptScreen);
        pTwo->GetWindowRect(&rcTwo);
        EXPECT_TRUE(rcTwo.PtInRect(ptScreen));
        MSG msg;
        EXPECT_EQ(end.nMessage == WM_QUIT, ::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE);
    }
}

TEST_F(ToolbarDragging, ADoubleClickFloatsTheBarAndDocksItBackInItsRowAndPlace)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    CXTPToolBar* pOne = Bar(m_pFrame, kBarOne);
    CXTPToolBar* pTwo = Bar(m_pFrame, kBarTwo);
    // Bar 200 dragged into the row of bar 100, to its right.
    CRect rcOne;
    pOne->GetWindowRect(&rcOne);
    m_pFrame->ScreenToClient(&rcOne);
    Drag(pTwo, {CPoint(rcOne.right + 150, rcOne.CenterPoint().y)});
    std::vector<CXTPToolBar*> row;
    CXTPDockBar* pTop = pBars->GetDockBar(xtpBarTop);
    pTop->GetRowBars(pTop->FindBar(pOne), row);
    ASSERT_EQ((std::vector<CXTPToolBar*>{pOne, pTwo}), row);
    CRect rcTwoBefore;
    pTwo->GetWindowRect(&rcTwoBefore);

    // Off: a double-click does nothing.
    CPoint point = EmptyPoint(pTwo);
    pTwo->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(xtpBarTop, pTwo->GetPosition());

    pBars->GetCommandBarsOptions()->bDblClickFloat = TRUE;
    pTwo->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(point.x, point.y));
    Pump();
    EXPECT_EQ(xtpBarFloating, pTwo->GetPosition());
    EXPECT_TRUE(pTwo->IsWindowVisible());
    CRect rcFloating;
    pTwo->GetWindowRect(&rcFloating);
    EXPECT_EQ(rcTwoBefore.TopLeft(), rcFloating.TopLeft());

    point = EmptyPoint(pTwo);
    pTwo->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(point.x, point.y));
    Pump();
    EXPECT_EQ(xtpBarTop, pTwo->GetPosition());
    EXPECT_EQ(pTop, pTwo->GetParent());
    pTop->GetRowBars(pTop->FindBar(pOne), row);
    EXPECT_EQ((std::vector<CXTPToolBar*>{pOne, pTwo}), row);
    CRect rcTwoAfter;
    pTwo->GetWindowRect(&rcTwoAfter);
    EXPECT_EQ(rcTwoBefore, rcTwoAfter);
    // Floating again goes back where it floated.
    point = EmptyPoint(pTwo);
    pTwo->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(point.x, point.y));
    pTwo->GetWindowRect(&rcFloating);
    EXPECT_EQ(rcTwoBefore.TopLeft(), rcFloating.TopLeft());
}

TEST_F(ToolbarDragging, TheMenuBarMovedBelowTheToolbarsIsSavedInItsNewRow)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    CXTPMenuBar* pMenuBar = pBars->GetMenuBar();
    CXTPDockBar* pTop = pBars->GetDockBar(xtpBarTop);
    CRect rcTop;
    pTop->GetWindowRect(&rcTop);
    m_pFrame->ScreenToClient(&rcTop);
    CRect rcMenu;
    pMenuBar->GetWindowRect(&rcMenu);
    // The bar's middle goes below the last row; the mouse stays over the dock bar.
    const CPoint ptGrab = EmptyPoint(pMenuBar);
    const int nDown = rcTop.Height() + 2 - rcMenu.Height() / 2;
    Drag(pMenuBar, {CPoint(ptGrab.x, rcTop.top + ptGrab.y + nDown)});
    EXPECT_EQ(pTop, pMenuBar->GetParent());
    pBars->SaveLayout(L"CommandBars");
    const Values top = ReadValues(L"CommandBars-DockBar0");
    std::vector<DWORD> rows;
    for (DWORD i = 0; i < Dword(top, L"Bars") && i < 16; ++i) {
        CString strName;
        strName.Format(L"Bar#%d", static_cast<int>(i));
        rows.push_back(Dword(top, strName));
    }
    EXPECT_EQ((std::vector<DWORD>{0, kBarOne, 0, kBarTwo, 0, 1, 0}), rows);
}

TEST_F(ToolbarDragging, ResizingAFloatingToolbarKeepsItsWidth)
{
    CXTPCommandBars* pBars = m_pFrame->GetCommandBars();
    CXTPToolBar* pOne = Bar(m_pFrame, kBarOne);
    pBars->FloatCommandBar(pOne);
    pOne->SetWindowPos(NULL, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    CRect rcBefore;
    pOne->GetWindowRect(&rcBefore);
    // The right edge dragged to a width that holds one button: the bar wraps into a column.
    CPoint ptTarget(rcBefore.left + 30, rcBefore.CenterPoint().y);
    m_pFrame->ScreenToClient(&ptTarget);
    ::PostMessageW(m_pFrame->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptTarget.x, ptTarget.y));
    ::PostMessageW(m_pFrame->GetSafeHwnd(), WM_LBUTTONUP, 0, 0);
    pOne->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(rcBefore.right - 1, rcBefore.CenterPoint().y));
    Pump();
    CRect rcAfter;
    pOne->GetWindowRect(&rcAfter);
    EXPECT_EQ(rcBefore.left, rcAfter.left);
    EXPECT_EQ(rcBefore.top, rcAfter.top);
    EXPECT_LT(rcAfter.Width(), rcBefore.Width());
    EXPECT_GT(rcAfter.Height(), rcBefore.Height());
    EXPECT_EQ(rcAfter.Width(), pOne->m_nMRUWidth);
}

} // namespace
