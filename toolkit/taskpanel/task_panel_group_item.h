// One entry of a task-panel group: a link, a line of text or a hosted control window.
#pragma once

#include "task_panel_item.h"

class CXTPTaskPanelGroupItem : public CXTPTaskPanelItem
{
    DECLARE_SERIAL(CXTPTaskPanelGroupItem)
public:
    CXTPTaskPanelGroupItem();
    ~CXTPTaskPanelGroupItem() override;

    CXTPTaskPanelGroup* GetItemGroup() const override;
    CRect GetHitTestRect() const override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    virtual CRect OnReposition(CRect rc);
    virtual void OnDrawItem(CDC* pDC, CRect rc);
    virtual CString GetDragText() const { return m_strDragText; }

    BOOL IsBold() const { return m_bBold; }
    void SetBold(BOOL bBold);
    BOOL IsItemSelected() const;
    void SetItemSelected(BOOL bSelected);
    COLORREF GetBackColor() const;
    BOOL PrepareDrag(COleDataSource& source, BOOL bAlsoText);
    void OnAnimate(int nStep);
    void CaptureControlImage();

    CRect GetItemRect() const { return m_rcItem; }
    void SetItemRect(const CRect& rc) { m_rcItem = rc; }
    CRect GetMargins() const { return m_rcMargins; }
    void SetMargins(const RECT& rc);
    CSize GetSize() const { return m_szItem; }
    void SetSize(CSize sz);
    HWND GetControlHandle() const { return m_hWnd; }
    void SetControlHandle(HWND hWnd);
    void SetDragText(LPCTSTR lpszText) { m_strDragText = lpszText; }
    BOOL IsAutoHeight() const { return m_bAutoHeight; }
    void SetAutoHeight(BOOL bAutoHeight) { m_bAutoHeight = bAutoHeight; }
    CBitmap& GetControlImage() { return m_bmpPreview; }

    HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    HRESULT accDoDefaultAction(VARIANT varChild) override;
    HRESULT accSelect(long flagsSelect, VARIANT varChild) override;

protected:
    CRect m_rcMargins;
    CRect m_rcItem;
    BOOL m_bBold;
    BOOL m_bSelected;
    HWND m_hWnd;
    CSize m_szItem;
    CBitmap m_bmpPreview;
    CString m_strDragText;
    BOOL m_bAutoHeight;

    friend class CXTPTaskPanelGroup;
};
