// What the docking tests share: a frame with a view and an installed manager that records every
// notification the manager sends and refuses on demand, and small helpers to build trees.
#pragma once

#include "docking_pane_manager.h"
#include "docking_pane_splitter_container.h"
#include "docking_pane_tabbed_container.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <memory>

#include <ostream>
#include <set>
#include <vector>

struct NotifyRecord
{
    WPARAM wParam;
    int action;
    CXTPDockingPane* pPane;
};

class CDockingTestFrame : public CFrameWnd
{
public:
    CDockingTestFrame() = default;
    // An 800 x 600 client area at the screen's corner, a view, and the manager installed.
    BOOL CreateTestFrame();
    // Runs the frame's layout now, as its idle time would.
    void Layout();
    // A pane of that id and title with a docking size, docked by the manager.
    CXTPDockingPane* AddPane(int nID, LPCTSTR lpszTitle, CSize szDocking, XTPDockingPaneDirection direction,
                             CXTPDockingPaneBase* pNeighbour = NULL);
    // A pane of that id and title added as a tab to the container of another.
    CXTPDockingPane* AddTab(int nID, LPCTSTR lpszTitle, CXTPDockingPane* pBeside);
    std::vector<int> Actions() const;
    std::vector<WPARAM> Codes() const;

    CXTPDockingPaneManager m_paneManager;
    CWnd m_wndView;
    std::vector<NotifyRecord> m_notifications;
    // Actions of wParam 4 that the frame refuses.
    std::set<int> m_refusedActions;
    // When set, only this pane's actions are refused.
    int m_nRefusingPaneID = 0;
    // The answer to wParam 3 (ClosePane's question).
    LRESULT m_lCloseAnswer = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {}
};

// A test frame made for each test and destroyed after it.
class DockingFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = std::make_unique<CDockingTestFrame>();
        ASSERT_TRUE(m_frame->CreateTestFrame());
        m_manager = &m_frame->m_paneManager;
    }
    void TearDown() override
    {
        if (m_frame->m_hWnd != NULL)
            m_frame->DestroyWindow();
        m_frame.reset();
    }
    static CXTPDockingPaneTabbedContainer* ContainerOf(CXTPDockingPane* pPane)
    {
        return static_cast<CXTPDockingPaneTabbedContainer*>(pPane->GetContainer());
    }

    std::unique_ptr<CDockingTestFrame> m_frame;
    CXTPDockingPaneManager* m_manager = nullptr;
};

// While it lives, a thread timer posts WM_CANCELMODE to the window after five seconds: a modal loop a
// test drives with posted messages ends even when they do not reach it.
class CSafetyCancel
{
public:
    explicit CSafetyCancel(HWND hWnd)
    {
        s_hWnd = hWnd;
        m_nTimer = ::SetTimer(NULL, 0, 5000, &CSafetyCancel::OnTimer);
    }
    ~CSafetyCancel()
    {
        ::KillTimer(NULL, m_nTimer);
        s_hWnd = NULL;
    }
    CSafetyCancel(const CSafetyCancel&) = delete;
    CSafetyCancel& operator=(const CSafetyCancel&) = delete;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (s_hWnd != NULL)
            ::PostMessageW(s_hWnd, WM_CANCELMODE, 0, 0);
    }
    static inline HWND s_hWnd = NULL;
    UINT_PTR m_nTimer;
};

// A memory DC with a bitmap of the size, compatible with the window's, selected for its life.
class CTestMemoryDC : public CDC
{
public:
    CTestMemoryDC(CWnd* pWnd, int nWidth, int nHeight)
    {
        CClientDC dcWindow(pWnd);
        CreateCompatibleDC(&dcWindow);
        m_bitmap.CreateCompatibleBitmap(&dcWindow, nWidth, nHeight);
        m_pOldBitmap = SelectObject(&m_bitmap);
    }
    ~CTestMemoryDC() override { SelectObject(m_pOldBitmap); }

private:
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap;
};

// The bytes of a layout serialized into an archive.
std::vector<BYTE> ArchiveLayout(CXTPDockingPaneLayout* pLayout);

// Pumps the thread's queue a few rounds.
void PumpMessages();
// The window rectangle of a window in its parent's client coordinates.
CRect RectInParent(HWND hWnd);

// Rectangles in failure messages.
inline void PrintTo(const CRect& rc, std::ostream* os)
{
    *os << "(" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << ")";
}
