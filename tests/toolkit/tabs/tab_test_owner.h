// What the tab tests share: an owner of a tab manager that lays its strip out into a given rectangle,
// counts what the manager asks of it and draws icons as coloured squares; a fixed test font; a window
// that hosts a strip for the mouse tests.
#pragma once

#include "tab_appearance_set.h"
#include "tab_color_set.h"
#include "tab_manager.h"
#include "tab_paint_manager.h"

#include <vector>

class CTestTabOwner : public CXTPTabManager
{
public:
    explicit CTestTabOwner(CXTPTabPaintManager* pPaintManager = NULL)
        : m_pPaintManager(pPaintManager != NULL ? pPaintManager : new CXTPTabPaintManager())
    {
        if (pPaintManager != NULL)
            pPaintManager->InternalAddRef();
        m_pPaintManager->AddClient(this);
    }
    ~CTestTabOwner() override
    {
        m_pPaintManager->RemoveClient(this);
        m_pPaintManager->InternalRelease();
    }

    void Reposition() override
    {
        ++m_nRepositions;
        // Measured on the screen's DC, as a window's owner measures on its own.
        CClientDC dc(NULL);
        m_pPaintManager->RepositionTabControl(this, &dc, m_rcLayout);
        if (m_hWnd != NULL)
            ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
    CXTPTabPaintManager* GetPaintManager() const override { return m_pPaintManager; }
    void RedrawControl() override
    {
        ++m_nRedraws;
        if (m_hWnd != NULL)
            ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
    BOOL DrawItemIcon(CDC* pDC, CXTPTabManagerItem* pItem, CPoint pt, CSize szIcon, BOOL bDraw) override
    {
        if (!m_bIcons)
            return FALSE;
        if (bDraw) {
            m_iconPoints.push_back(pt);
            pDC->FillSolidRect(pt.x, pt.y, szIcon.cx, szIcon.cy, m_clrIcon);
        }
        (void)pItem;
        return TRUE;
    }
    void SetSelectedItem(CXTPTabManagerItem* pItem) override
    {
        if (pItem != GetSelectedItem())
            ++m_nSelectionChanges;
        CXTPTabManager::SetSelectedItem(pItem);
    }
    void OnNavigateButtonClick(int nID) override { m_navigateClicks.push_back(nID); }
    BOOL IsActive() const override { return m_bActive; }
    BOOL HasFocus() const override { return m_bFocus; }

    // Appends tabs with these captions.
    void AddTabs(std::initializer_list<const wchar_t*> captions)
    {
        for (const wchar_t* caption : captions)
            InsertItem(-1)->SetCaption(caption);
    }
    void Draw(CDC* pDC) { m_pPaintManager->DrawTabControl(pDC, this, m_rcLayout); }

    CXTPTabPaintManager* m_pPaintManager;
    CRect m_rcLayout = CRect(0, 0, 300, 120);
    HWND m_hWnd = NULL;
    BOOL m_bIcons = FALSE;
    COLORREF m_clrIcon = RGB(0, 128, 0);
    BOOL m_bActive = TRUE;
    BOOL m_bFocus = FALSE;
    int m_nRepositions = 0;
    int m_nRedraws = 0;
    int m_nSelectionChanges = 0;
    std::vector<CPoint> m_iconPoints;
    std::vector<int> m_navigateClicks;
};

// A font whose cell is nHeight pixels, of a face every test display has.
inline LOGFONT TestFont(LONG nHeight = 12)
{
    LOGFONT lf = {};
    lf.lfHeight = nHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    return lf;
}

// The paint manager's fonts replaced by the test font, kept across metric refreshes.
inline void UseTestFont(CXTPTabPaintManager* pPaintManager, LONG nHeight = 12)
{
    const LOGFONT lf = TestFont(nHeight);
    pPaintManager->SetFontIndirect(&lf, FALSE);
    pPaintManager->RefreshMetrics();
}

// The colour table's scheme forced for the life of the object, then detected again.
struct RequestedScheme
{
    explicit RequestedScheme(UINT nScheme)
    {
        GetColorTable()->SetRequestedScheme(nScheme);
        GetColorTable()->Refresh();
    }
    ~RequestedScheme()
    {
        GetColorTable()->SetRequestedScheme(xtSchemeDetected);
        GetColorTable()->Refresh();
    }
};

// A top-level window that draws a strip and hands it the mouse; the strip fills its client area.
class CTabStripWindow
{
public:
    CTabStripWindow(CTestTabOwner* pOwner, const CRect& rcWindow, DWORD dwExStyle = 0);
    ~CTabStripWindow();
    CTabStripWindow(const CTabStripWindow&) = delete;
    CTabStripWindow& operator=(const CTabStripWindow&) = delete;

    HWND GetHwnd() const { return m_hWnd; }
    // Posted WM_CANCELMODE after nMilliseconds, so that a modal loop that misses its ending message
    // still ends.
    void ArmSafetyTimer(UINT nMilliseconds);
    // Posts button-up at the point when the timer fires (for the held-arrow test).
    void ReleaseLaterAt(CPoint pt, UINT nMilliseconds);
    // Takes the capture away when the timer fires, as another window taking it would.
    void LoseCaptureLater(UINT nMilliseconds);

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    CTestTabOwner* m_pOwner;
    HWND m_hWnd;
    CPoint m_ptRelease;
};

// Pumps what is queued for the thread.
void PumpTabMessages();
