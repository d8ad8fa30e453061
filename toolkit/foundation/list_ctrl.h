// Report lists: the helper that the toolkit's list windows carry (flat header with a sort arrow,
// sort column and direction, clamped and fitted column widths, widths kept in the registry, row
// colours, a tinted sort column, flicker-free paint), and its two hosts, a list control and a list
// view, which forward their messages to it.
#pragma once

#include <afxcmn.h>
#include <afxcview.h>
#include <afxwin.h>

#include "header_ctrl.h"

#include <vector>

struct XT_ROW_COLOR
{
    int nRow;
    COLORREF crBack;
    COLORREF crText;
};

class CXTListHelper
{
public:
    // pWnd is the host window; pListCtrl the list control over the same window.
    CXTListHelper(CWnd* pWnd, CListCtrl* pListCtrl);
    virtual ~CXTListHelper();
    CXTListHelper(const CXTListHelper&) = delete;
    CXTListHelper& operator=(const CXTListHelper&) = delete;

    // Stores column and direction; the header redraws at once with its arrow.
    virtual int SetSortColumn(int nCol, BOOL bAscending);
    virtual int GetStoredColumnWidth(int nCol);
    virtual void RestoreColumnWidth(int nCol);
    virtual void RestoreColumnWidths();
    virtual void SaveColumnWidths();
    // -1 sizes every column.
    virtual void AutoSizeColumn(int nCol = -1);
    // Null section "Settings", null entry "Column Info" (shared by every list that keeps them: a list
    // that persists its own widths passes its own entry).
    virtual void AutoSaveColumns(LPCTSTR lpszSection = NULL, LPCTSTR lpszEntry = NULL,
                                 LPCTSTR lpszDefault = NULL);
    virtual BOOL SubclassHeader(BOOL bPopupMenus = TRUE);
    // Does nothing here; the owner sorts.
    virtual BOOL SortList(int nCol, BOOL bAscending);
    virtual void AddExtendedStyle(DWORD dwExStyle);
    virtual DWORD GetExtendedStyle();
    virtual void LockColumnWidths(BOOL bLock = TRUE);
    virtual int HitTestEx(CPoint& point, int* pCol);
    virtual int AddColumn(LPCTSTR lpszHeading, int nWidth = -1, int nFormat = LVCFMT_LEFT);
    virtual BOOL BuildColumns(int nCols, const int* pWidths, const LPCTSTR* pHeadings);
    virtual BOOL BuildColumns(int nCols, const int* pWidths, const UINT* pStringIds);
    virtual int GetColumnCount();
    virtual int CopyRow(int nFrom, int nTo);
    virtual BOOL MoveRow(int nFrom, int nTo);
    virtual void SetListColors(COLORREF crText, COLORREF crBack);
    virtual BOOL SetRowColors(const XT_ROW_COLOR& rowColor);
    virtual BOOL SetRowColors(int nRow, COLORREF crText, COLORREF crBack);
    virtual void ClearRowColors();
    virtual XT_ROW_COLOR* FindRowColors(int nRow);
    virtual BOOL ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd);
    virtual BOOL InitializeFont();
    // Header notifications; TRUE when the helper answered and nothing else may see them.
    virtual BOOL OnHeaderNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    CListCtrl& List() const;
    CXTFlatHeaderCtrl* GetFlatHeaderCtrl()
    {
        return ::IsWindow(m_flatHeader.GetSafeHwnd()) ? &m_flatHeader : NULL;
    }
    int GetSortColumn(BOOL* pbAscending = NULL) const;
    void SetMinimumColSize(int nSize) { m_nMinColWidth = nSize; }
    int GetMinimumColSize() const { return m_nMinColWidth; }
    int GetMaximumColSize() const { return m_nMaxColWidth; }

    // Set by the owner: row colours, a tinted sort column, the theme font.
    BOOL m_bRowColors = FALSE;
    BOOL m_bTintSortColumn = FALSE;
    BOOL m_bUseThemeFont = FALSE;

    // Message handling shared by the hosts.
    LRESULT HostWindowProc(UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT (*pfnBase)(CWnd*, UINT, WPARAM, LPARAM));
    BOOL HostChildNotify(UINT message, LPARAM lParam, LRESULT* pResult);
    BOOL m_bFromResource = TRUE;

protected:
    BOOL OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult);
    void OnPaint();
    void RefreshColors();
    BOOL IsReportView() const;
    CHeaderCtrl* GetHeader() const;
    COLORREF GetBackColor() const;

    CWnd* m_pWnd;
    CListCtrl* m_pListCtrl;
    int m_nMinColWidth = 0;
    int m_nMaxColWidth = 0;
    int m_nSortedCol = -1;
    BOOL m_bAutoSave = FALSE;
    BOOL m_bListColors = FALSE;
    BOOL m_bSortAscending = TRUE;
    BOOL m_bNoColSizing = FALSE;
    CString m_strSection;
    CString m_strEntry;
    CString m_strDefault;
    COLORREF m_crText = static_cast<COLORREF>(-1);
    COLORREF m_crBack = static_cast<COLORREF>(-1);
    COLORREF m_crSortText = static_cast<COLORREF>(-1);
    COLORREF m_crSortBack = static_cast<COLORREF>(-1);
    std::vector<XT_ROW_COLOR> m_rowColors;
    CXTFlatHeaderCtrl m_flatHeader;
};

// The overrides by which a host hands its messages to the helper.
#define XT_DECLARE_LIST_HOST(Host)                                                                           \
public:                                                                                                      \
    Host();                                                                                                  \
    ~Host() override;                                                                                        \
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;                                                         \
                                                                                                             \
protected:                                                                                                   \
    void PreSubclassWindow() override;                                                                       \
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;                                 \
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;                                  \
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

class CXTListCtrl : public CListCtrl, public CXTListHelper
{
    DECLARE_DYNAMIC(CXTListCtrl)
    XT_DECLARE_LIST_HOST(CXTListCtrl)
};

class CXTListView : public CListView, public CXTListHelper
{
    DECLARE_DYNCREATE(CXTListView)
    XT_DECLARE_LIST_HOST(CXTListView)
};
