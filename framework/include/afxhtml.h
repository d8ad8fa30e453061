// The web-browser view: CHtmlView hosts the system's WebBrowser control over its whole client area.
#pragma once

#include <exdisp.h>

#include "afx/form_view.h"
#include "afxdisp.h"
#include "afxext.h"

class CHtmlView : public CFormView
{
    DECLARE_DYNCREATE(CHtmlView)
public:
    CHtmlView();
    ~CHtmlView() override;

    // Navigation. The URL may be a file path. Post data (when given) is sent as bytes.
    void Navigate(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = NULL,
                  LPCTSTR lpszHeaders = NULL, LPVOID lpvPostData = NULL, DWORD dwPostDataLen = 0);
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = NULL,
                   LPCTSTR lpszHeaders = NULL, LPVOID lpvPostData = NULL, DWORD dwPostDataLen = 0);
    CString GetLocationURL() const;
    void Stop();
    void Refresh();

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = NULL) override;
    void OnDraw(CDC* pDC) override;

    // The browser control's window and its automation interface (NULL when it could not be made).
    CWnd m_wndBrowser;
    IWebBrowser2* m_pBrowserApp = NULL;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
