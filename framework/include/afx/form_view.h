// CFormView: a view made from a dialog template (child style forced), whose controls notify it as
// they would a dialog; without a template it is an empty form other views stand on.
#pragma once

#include "afxwin.h"

class CFormView : public CView
{
    DECLARE_DYNAMIC(CFormView)
protected:
    // nIDTemplate 0: an empty form without controls.
    explicit CFormView(UINT nIDTemplate);
    explicit CFormView(LPCTSTR lpszTemplateName);

public:
    ~CFormView() override;

    // Creates the form from its template as a child of pParentWnd, at rect with id nID; the style's
    // WS_VISIBLE and WS_BORDER (a sunken edge) are the form's. The context's document gets the view.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = NULL) override;
    // Fills the controls from the members (UpdateData(FALSE)).
    void OnInitialUpdate() override;
    // The dialog background and the controls are the form's whole picture.
    void OnDraw(CDC* pDC) override;
    // Dialog keys (Tab, arrows, mnemonics) move between the form's controls.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    LPCTSTR m_lpszTemplateName;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

private:
    CCreateContext* m_pCreateContext = NULL;
};
