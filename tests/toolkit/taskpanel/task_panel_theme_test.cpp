// The task panel's themes: the numbers and their fallback, each theme's settings, theme 2's colours with
// and without a colour scheme, caption scroll buttons of themes 7 and 8, and a gallery of all thirteen.
#include "support/screenshot.h"
#include "task_panel_test_support.h"
#include "task_panel_themes.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

COLORREF SysBlend(int nA, int nB, int nWeight)
{
    return CXTPTaskPanelPaintManager::BlendColors255(::GetSysColor(nA), ::GetSysColor(nB), nWeight);
}

class TaskPanelThemeTest : public TaskPanelDialogTest
{
protected:
    TaskPanelThemeTest() : TaskPanelDialogTest(220, 360, false) {}
    void TearDown() override
    {
        GetColorTable()->SetRequestedScheme(4);
        GetColorTable()->Refresh();
        TaskPanelDialogTest::TearDown();
    }
    static void ForceScheme(UINT nScheme)
    {
        GetColorTable()->SetRequestedScheme(nScheme);
        GetColorTable()->Refresh();
    }
};

struct SettingsRow
{
    int nTheme;
    int nColorMode;
    CRect rcControlMargins;
    int nGroupSpacing;
    UINT nCaptionFormat;
    BOOL bDropsBelowItems, bCaptionScrollButtons, bEmbossed, bCaptionBold;
};

const UINT kBaseFormat = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
const SettingsRow kSettings[] = {
    {0, 0, CRect(12, 12, 12, 12), 15, kBaseFormat, FALSE, FALSE, FALSE, TRUE},
    {1, 2, CRect(8, 8, 0, 8), 15, kBaseFormat, FALSE, FALSE, FALSE, TRUE},
    {2, 2, CRect(12, 12, 12, 12), 15, kBaseFormat, FALSE, FALSE, FALSE, TRUE},
    {3, 0, CRect(12, 12, 12, 12), 15, 0x810, FALSE, FALSE, FALSE, TRUE},
    {4, 1, CRect(12, 12, 12, 12), 15, 0x810, FALSE, FALSE, FALSE, TRUE},
    {5, 2, CRect(12, 12, 12, 12), 15, 0x810, FALSE, FALSE, FALSE, TRUE},
    {6, 2, CRect(12, 12, 12, 12), 15, 0x810, FALSE, FALSE, FALSE, TRUE},
    {7, 0, CRect(2, 2, 2, 2), 1, 0x8024, TRUE, TRUE, FALSE, FALSE},
    {8, 1, CRect(2, 2, 2, 2), 1, 0x8024, FALSE, FALSE, FALSE, TRUE},
    {9, 0, CRect(0, 0, 0, 0), 0, 0x8024, FALSE, FALSE, TRUE, FALSE},
    {10, 1, CRect(0, 0, 0, 0), 0, 0x8024, FALSE, FALSE, FALSE, FALSE},
    {11, 2, CRect(0, 0, 0, 0), 0, 0x8024, FALSE, FALSE, FALSE, FALSE},
    {12, 2, CRect(0, 0, 0, 0), 0, 0x8025, FALSE, FALSE, FALSE, FALSE},
};

TEST(TaskPanelThemes, APanelWithoutAWindowHasThemeTwoAndUnknownNumbersGiveIt)
{
    GetColorTable()->SetRequestedScheme(0);
    GetColorTable()->Refresh();
    CXTPTaskPanel panel;
    EXPECT_EQ(panel.GetCurrentTheme(), 2);
    CXTPTaskPanelPaintManager* pPaint = panel.GetPaintManager();
    ASSERT_NE(dynamic_cast<CXTPTaskPanelThemeNo2*>(pPaint), nullptr);
    // Without a scheme: blends of the system's colours, and no shell pictures.
    EXPECT_EQ(pPaint->m_clrBackground.m_clrStart, SysBlend(3, 5, 128));
    EXPECT_EQ(pPaint->m_clrBackground.m_clrEnd, SysBlend(2, 5, 192));
    EXPECT_EQ(pPaint->m_groupSpecial.clrHead.m_clrEnd, SysBlend(2, 5, 92));
    EXPECT_EQ(static_cast<COLORREF>(pPaint->m_groupSpecial.clrHeadTextHot), SysBlend(20, 13, 128));
    EXPECT_EQ(pPaint->m_groupSpecial.clrClient.m_clrEnd, SysBlend(15, 5, 24));
    EXPECT_EQ(pPaint->m_groupNormal.clrHead.m_clrEnd, SysBlend(3, 5, 92));
    EXPECT_EQ(static_cast<COLORREF>(pPaint->m_groupNormal.clrHeadTextNormal), SysBlend(13, 18, 192));
    EXPECT_EQ(static_cast<COLORREF>(pPaint->m_groupNormal.clrHeadTextHot), SysBlend(13, 18, 240));
    EXPECT_EQ(pPaint->m_groupNormal.clrClient.m_clrEnd,
              CXTPTaskPanelPaintManager::BlendColors255(SysBlend(15, 5, 24), ::GetSysColor(2), 230));
    EXPECT_FALSE(pPaint->IsShellStyleLoaded());
    EXPECT_EQ(pPaint->m_nExpandButtonStyle, xtpTaskPanelExpandButtonShellStyle);
    for (int nTheme : {13, -1, 7}) {
        panel.SetTheme(nTheme);
        EXPECT_EQ(panel.GetCurrentTheme(), nTheme == 7 ? 7 : 2) << nTheme;
    }
    GetColorTable()->SetRequestedScheme(4);
    GetColorTable()->Refresh();
}

TEST_F(TaskPanelThemeTest, EachThemeBuildsItsSettings)
{
    for (const SettingsRow& row : kSettings) {
        SCOPED_TRACE("theme " + std::to_string(row.nTheme));
        m_panel->SetTheme(row.nTheme);
        EXPECT_EQ(m_panel->GetCurrentTheme(), row.nTheme);
        CXTPTaskPanelPaintManager* pPaint = m_panel->GetPaintManager();
        EXPECT_EQ(pPaint->m_eColorMode, row.nColorMode);
        EXPECT_EQ(pPaint->m_rcControlMargins, row.rcControlMargins);
        EXPECT_EQ(pPaint->m_nGroupSpacing, row.nGroupSpacing);
        EXPECT_EQ(pPaint->m_nCaptionTextFormat, row.nCaptionFormat);
        EXPECT_EQ(pPaint->m_bDropsBelowItems, row.bDropsBelowItems);
        EXPECT_EQ(pPaint->m_bCaptionScrollButtons, row.bCaptionScrollButtons);
        EXPECT_EQ(pPaint->m_bEmbossedDisabledText, row.bEmbossed);
        EXPECT_EQ(pPaint->m_bCaptionBold, row.bCaptionBold);
    }
    m_panel->SetTheme(3);
    EXPECT_TRUE(dynamic_cast<CXTPTaskPanelThemeNo3*>(m_panel->GetPaintManager())->m_bGroupsFramed);
    EXPECT_EQ(m_panel->GetPaintManager()->m_rcGroupIconPadding, CRect(0, 0, 3, 0));
    m_panel->SetTheme(4);
    EXPECT_FALSE(dynamic_cast<CXTPTaskPanelThemeNo3*>(m_panel->GetPaintManager())->m_bGroupsFramed);
    EXPECT_TRUE(dynamic_cast<CXTPTaskPanelThemeNo3*>(m_panel->GetPaintManager())->m_bUnderlinedCaption);
    m_panel->SetTheme(7);
    EXPECT_EQ(m_panel->GetPaintManager()->m_rcGroupInnerMargins, CRect(0, 4, 0, 2));
    EXPECT_EQ(m_panel->GetPaintManager()->m_rcGroupIconPadding, CRect(2, 2, 0, 2));
    m_panel->SetTheme(9);
    EXPECT_EQ(m_panel->GetPaintManager()->m_rcGroupInnerMargins, CRect(8, 6, 8, 6));
}

TEST_F(TaskPanelThemeTest, ThemeTwoTakesItsColoursByScheme)
{
    struct Expected
    {
        COLORREF clrBack[2], clrSpecialHead[2], clrSpecialText, clrSpecialHot, clrSpecialClient;
        COLORREF clrNormalHead[2];
        double dGradient;
        COLORREF clrNormalText, clrNormalHot, clrNormalClient, clrLink, clrLinkHot;
    };
    const Expected kExpected[3] = {
        {{0xE7A27B, 0xD67563}, {0xB54900, 0xCE5D29}, 0xFFFFFF, 0xFF8E42, 0xFFF3EF, {0xFFFFFF, 0xF7D3C6}, 0.5,
         0xC65D21, 0xFF8E42, 0xF7DFD6, 0xC65D21, 0xFF8E42},
        {{0xADD9CC, 0x84BDA5}, {0, 0}, 0xFFFFFF, 0xB8E7E0, 0xECF6F6, {0xECFCFF, 0xB8E7E0}, 0, 0x2D6656, 0x1D9272,
         0xECF6F6, 0x2D6656, 0x1D9272},
        {{0xD4C8C4, 0xC8B3B1}, {0x927777, 0xC7B6B4}, 0xFFFFFF, 0xE6E6E6, 0xF5F1F0, {0xFFFFFF, 0xE0D7D6}, 0,
         0x3D3D3F, 0x7C7C7E, 0xF5F1F0, 0x3D3D3F, 0x7C7C7E},
    };
    for (int nScheme = 1; nScheme <= 3; ++nScheme) {
        SCOPED_TRACE("scheme " + std::to_string(nScheme));
        ForceScheme(static_cast<UINT>(nScheme));
        m_panel->SetTheme(2);
        CXTPTaskPanelPaintManager* p = m_panel->GetPaintManager();
        const Expected& e = kExpected[nScheme - 1];
        EXPECT_EQ(p->m_clrBackground.m_clrStart, e.clrBack[0]);
        EXPECT_EQ(p->m_clrBackground.m_clrEnd, e.clrBack[1]);
        if (nScheme != 2) {
            EXPECT_EQ(p->m_groupSpecial.clrHead.m_clrStart, e.clrSpecialHead[0]);
            EXPECT_EQ(p->m_groupSpecial.clrHead.m_clrEnd, e.clrSpecialHead[1]);
        } else {
            // Unchanged: the base's special caption.
            EXPECT_EQ(p->m_groupSpecial.clrHead.m_clrStart, GetColorTable()->GetColor(2));
        }
        EXPECT_EQ(static_cast<COLORREF>(p->m_groupSpecial.clrHeadTextNormal), e.clrSpecialText);
        EXPECT_EQ(static_cast<COLORREF>(p->m_groupSpecial.clrHeadTextHot), e.clrSpecialHot);
        EXPECT_EQ(p->m_groupSpecial.clrClient.m_clrEnd, e.clrSpecialClient);
        EXPECT_EQ(p->m_groupNormal.clrHead.m_clrStart, e.clrNormalHead[0]);
        EXPECT_EQ(p->m_groupNormal.clrHead.m_clrEnd, e.clrNormalHead[1]);
        EXPECT_DOUBLE_EQ(p->m_groupNormal.dHeadGradientFactor, e.dGradient);
        EXPECT_EQ(static_cast<COLORREF>(p->m_groupNormal.clrHeadTextNormal), e.clrNormalText);
        EXPECT_EQ(static_cast<COLORREF>(p->m_groupNormal.clrHeadTextHot), e.clrNormalHot);
        EXPECT_EQ(p->m_groupNormal.clrClient.m_clrEnd, e.clrNormalClient);
        for (const XTP_TASKPANEL_GROUPCOLORS* pSet : {&p->m_groupNormal, &p->m_groupSpecial}) {
            EXPECT_EQ(static_cast<COLORREF>(pSet->clrClientLink), e.clrLink);
            EXPECT_EQ(static_cast<COLORREF>(pSet->clrClientLinkHot), e.clrLinkHot);
            EXPECT_EQ(static_cast<COLORREF>(pSet->clrClientBorder), GetColorTable()->GetColor(5));
        }
        EXPECT_TRUE(p->m_bRoundedLeftCorner && p->m_bRoundedRightCorner);
    }
}

TEST_F(TaskPanelThemeTest, ThemeSevenShowsDisabledScrollButtonsInCaptionsThemeEightNone)
{
    m_panel->SetBehaviour(xtpTaskPanelBehaviourToolbox);
    CXTPTaskPanelGroup* pTools = AddTestGroup(m_panel, L"Tools");
    for (int i = 0; i < 3; i++)
        AddTestItem(pTools, L"Tool", xtpTaskItemTypeLink, static_cast<UINT>(i + 1));
    AddTestItem(AddTestGroup(m_panel, L"More"), L"Other", xtpTaskItemTypeLink, 100);
    pTools->SetExpanded(TRUE);
    for (int nTheme : {7, 8}) {
        m_panel->SetTheme(nTheme);
        PumpPanelMessages();
        TaskPanelScrollButton* pUp = m_panel->GetScrollButton(TRUE);
        EXPECT_FALSE(pUp->bEnabled) << nTheme;
        EXPECT_EQ(pUp->IsVisible(), nTheme == 7) << nTheme;
    }
}

TEST_F(TaskPanelThemeTest, ButtonCaptionsAreInvertedWhileDragged)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Tools");
    AddTestItem(pGroup, L"Tool", xtpTaskItemTypeLink, 1);
    m_panel->SetTheme(7);
    PumpPanelMessages();
    const CRect rc = pGroup->GetCaptionRect();
    ASSERT_FALSE(rc.IsRectEmpty());
    CClientDC dcPanel(m_panel);
    CDC dc;
    dc.CreateCompatibleDC(&dcPanel);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcPanel, rc.right + 4, rc.bottom + 4);
    CBitmap* pOld = dc.SelectObject(&bmp);
    const CPoint pt(rc.CenterPoint().x, rc.top + 3);
    m_panel->GetPaintManager()->DrawGroupCaption(&dc, pGroup, TRUE);
    const COLORREF clrNormal = dc.GetPixel(pt);
    m_panel->SetDraggedItem(pGroup);
    m_panel->GetPaintManager()->DrawGroupCaption(&dc, pGroup, TRUE);
    EXPECT_EQ(dc.GetPixel(pt), clrNormal ^ 0xFFFFFF);
    m_panel->SetDraggedItem(NULL);
    dc.SelectObject(pOld);
}

// The shell-style file of the blue scheme, as the task panel looks for it: eight 16 x 16 pictures of 32 bits,
// the left half opaque in its own colour, the right half transparent. A copy of a small system file,
// stripped of its resources, carries them.
class ShellStyleFile
{
public:
    explicit ShellStyleFile(const COLORREF (&clr)[8])
    {
        WCHAR szDir[MAX_PATH] = L"";
        ::GetWindowsDirectoryW(szDir, MAX_PATH);
        CString strDir(szDir);
        for (LPCWSTR pszPart : {L"\\Resources", L"\\Themes", L"\\Luna", L"\\shell", L"\\NormalColor"}) {
            strDir += pszPart;
            ::CreateDirectoryW(strDir, NULL);
        }
        m_strPath = strDir + L"\\shellstyle.dll";
        WCHAR szSystem[MAX_PATH] = L"";
        ::GetSystemDirectoryW(szSystem, MAX_PATH);
        if (!::CopyFileW(CString(szSystem) + L"\\msimg32.dll", m_strPath, FALSE))
            return;
        HANDLE hUpdate = ::BeginUpdateResourceW(m_strPath, TRUE);
        if (hUpdate == NULL)
            return;
        for (int i = 0; i < 8; i++) {
            std::vector<BYTE> data(sizeof(BITMAPINFOHEADER) + 16 * 16 * 4);
            auto* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(data.data());
            pHeader->biSize = sizeof(BITMAPINFOHEADER);
            pHeader->biWidth = 16;
            pHeader->biHeight = 16;
            pHeader->biPlanes = 1;
            pHeader->biBitCount = 32;
            pHeader->biCompression = BI_RGB;
            auto* pPixels = reinterpret_cast<DWORD*>(data.data() + sizeof(BITMAPINFOHEADER));
            const DWORD nOpaque = 0xFF000000u | (GetRValue(clr[i]) << 16) | (GetGValue(clr[i]) << 8) | GetBValue(clr[i]);
            for (int y = 0; y < 16; y++)
                for (int x = 0; x < 16; x++)
                    pPixels[y * 16 + x] = x < 8 ? nOpaque : 0;
            ::UpdateResourceW(hUpdate, RT_BITMAP, MAKEINTRESOURCEW(100 + i), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                              data.data(), static_cast<DWORD>(data.size()));
        }
        m_bWritten = ::EndUpdateResourceW(hUpdate, FALSE);
    }
    ~ShellStyleFile() { ::DeleteFileW(m_strPath); }
    BOOL IsWritten() const { return m_bWritten; }

private:
    CString m_strPath;
    BOOL m_bWritten = FALSE;
};

TEST_F(TaskPanelThemeTest, ThemeSixDrawsTheShellStylePicturesOnWideCaptionsOfCollapsibleGroups)
{
    const COLORREF clrPictures[8] = {RGB(200, 0, 0),   RGB(0, 200, 0),   RGB(0, 0, 200),   RGB(200, 200, 0),
                                     RGB(200, 0, 200), RGB(0, 200, 200), RGB(100, 50, 0), RGB(0, 50, 100)};
    ShellStyleFile file(clrPictures);
    ASSERT_TRUE(file.IsWritten());
    ForceScheme(1);
    CXTPTaskPanelGroup* pNormal = AddTestGroup(m_panel, L"Details");
    CXTPTaskPanelGroup* pSpecial = AddTestGroup(m_panel, L"Recovery tasks", TRUE);
    m_panel->SetTheme(6);
    auto* pTheme = dynamic_cast<CXTPTaskPanelThemeNo6*>(m_panel->GetPaintManager());
    ASSERT_NE(pTheme, nullptr);
    EXPECT_TRUE(pTheme->m_bUseShellStyle);
    ASSERT_TRUE(pTheme->IsShellStyleLoaded());

    CClientDC dcPanel(m_panel);
    CDC dc;
    dc.CreateCompatibleDC(&dcPanel);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcPanel, 220, 40);
    CBitmap* pOld = dc.SelectObject(&bmp);
    const COLORREF clrGround = RGB(255, 255, 255);
    // The picture's top left: 23 from the caption's right, 10 above its middle (never above its top).
    struct Case
    {
        CXTPTaskPanelGroup* pGroup;
        BOOL bExpanded;
        int nPicture;
    };
    const Case kCases[] = {{pNormal, TRUE, 0}, {pNormal, FALSE, 2}, {pSpecial, TRUE, 4}, {pSpecial, FALSE, 6}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.nPicture);
        c.pGroup->SetExpanded(c.bExpanded);
        dc.FillSolidRect(0, 0, 220, 40, clrGround);
        const CRect rcText = pTheme->DrawExpandButton(&dc, c.pGroup, CRect(0, 4, 200, 30));
        EXPECT_EQ(rcText, CRect(0, 4, 177, 30));
        EXPECT_EQ(dc.GetPixel(177, 7), clrPictures[c.nPicture]);
        EXPECT_EQ(dc.GetPixel(184, 7 + 15), clrPictures[c.nPicture]);
        // The transparent half leaves the caption as it was, and nothing lies outside the picture.
        EXPECT_EQ(dc.GetPixel(185, 7), clrGround);
        EXPECT_EQ(dc.GetPixel(176, 7), clrGround);
        EXPECT_EQ(dc.GetPixel(177, 6), clrGround);
    }
    // A caption under 26 pixels, or a group that cannot be collapsed, gets no button and keeps its width.
    pNormal->SetExpanded(TRUE);
    dc.FillSolidRect(0, 0, 220, 40, clrGround);
    EXPECT_EQ(pTheme->DrawExpandButton(&dc, pNormal, CRect(0, 0, 25, 20)), CRect(0, 0, 25, 20));
    EXPECT_EQ(pTheme->DrawExpandButton(&dc, pNormal, CRect(0, 0, 26, 20)), CRect(0, 0, 3, 20));
    pSpecial->SetExpandable(FALSE);
    EXPECT_EQ(pTheme->DrawExpandButton(&dc, pSpecial, CRect(0, 20, 200, 40)), CRect(0, 20, 200, 40));
    for (int x = 0; x < 220; x++)
        ASSERT_EQ(dc.GetPixel(x, 30), clrGround) << x;
    pSpecial->SetExpandable(TRUE);

    // A screenshot of the panel in theme 6 with the pictures.
    AddTestItem(pSpecial, L"Scan the disk image", xtpTaskItemTypeLink, 1);
    AddTestItem(pNormal, L"Open the log", xtpTaskItemTypeLink, 2);
    pNormal->SetExpanded(FALSE);
    m_panel->Reposition();
    m_panel->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPanelMessages();
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_panel->GetSafeHwnd(), L"task_panel_theme_6_shell_style"));
    dc.SelectObject(pOld);

    // Without a scheme the theme keeps the framed look's triangle and loads nothing.
    ForceScheme(0);
    m_panel->SetTheme(6);
    pTheme = dynamic_cast<CXTPTaskPanelThemeNo6*>(m_panel->GetPaintManager());
    EXPECT_FALSE(pTheme->m_bUseShellStyle);
    EXPECT_FALSE(pTheme->IsShellStyleLoaded());
    EXPECT_EQ(pTheme->m_nExpandButtonStyle, xtpTaskPanelExpandButtonTriangle);
}

TEST_F(TaskPanelThemeTest, GalleryOfAllThemes)
{
    CXTPTaskPanelGroup* pSpecial = AddTestGroup(m_panel, L"Recovery tasks", TRUE);
    AddTestItem(pSpecial, L"Scan the disk image", xtpTaskItemTypeLink, 1);
    AddTestItem(pSpecial, L"Save the found files", xtpTaskItemTypeLink, 2);
    CXTPTaskPanelGroup* pNormal = AddTestGroup(m_panel, L"Details");
    AddTestItem(pNormal, L"The source is never written to.", xtpTaskItemTypeText);
    AddTestItem(pNormal, L"Open the log", xtpTaskItemTypeLink, 3);
    for (int nTheme = 0; nTheme <= 12; ++nTheme) {
        m_panel->SetTheme(nTheme);
        m_panel->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpPanelMessages();
        EXPECT_TRUE(test_support::WriteClientScreenshot(m_panel->GetSafeHwnd(),
                                                        L"task_panel_theme_" + std::to_wstring(nTheme)));
    }
}

} // namespace
