#pragma once

// The modeless progress window of long operations on the user-interface thread (the snapshot readers,
// the tree builders). While it is up the window that owns it is disabled; every way out enables it
// again, once.
#include <afxwin.h>

#include "skinned_dialog.h"
#include "text_progress_ctrl.h"
#include "transparent_controls.h"

// Sent by other threads in place of SetPos, with the position in wParam.
inline constexpr UINT kProgressSetPosMessage = WM_USER + 1;

class CProgressDlg : public CDialog
{
public:
    // nCaptionID 0: "Progress...".
    explicit CProgressDlg(UINT nCaptionID = 0);
    ~CProgressDlg() override;

    BOOL Create(CWnd* pParent = NULL);
    BOOL DestroyWindow() override;

    void SetRange(int nLower, int nUpper);
    // Handles the thread's pending messages first, so that the program stays responsive during the
    // operation; then moves the bar and the percent text.
    void SetPos(int nPos);
    void SetStatus(LPCTSTR lpszText);

    // The percent text of a position: "0%" when the range is empty.
    static CString PercentText(int nPos, int nLower, int nUpper);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnSetPosMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void PumpMessages();
    void ReEnableOwner();

    UINT m_nCaptionID;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    HWND m_hOwner = NULL;
    BOOL m_bOwnerDisabled = FALSE;
    CDialogSkin m_skin;
    CFont m_staticFont;
    CFont m_barFont;
    CTransparentStatic m_status;
    CTransparentStatic m_percent;
    CTextProgressCtrl m_bar;
};
