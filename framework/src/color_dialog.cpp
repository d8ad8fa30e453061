// CColorDialog over ChooseColorW.
#include <afxdlgs.h>

#include <colordlg.h>

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_cc{}, m_pfnCallerHook(NULL)
{
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags;
    m_cc.rgbResult = clrInit;
    if (clrInit != 0)
        m_cc.Flags |= CC_RGBINIT;
}

CColorDialog::~CColorDialog()
{
    // The system's window is gone with DoModal; only the attachment could be left.
    if (m_hWnd != NULL)
        Detach();
}

COLORREF* PASCAL CColorDialog::GetSavedCustomColors()
{
    static COLORREF s_custom[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return s_custom;
}

UINT_PTR CALLBACK CColorDialog::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CColorDialog* pDialog = NULL;
    if (message == WM_INITDIALOG) {
        const CHOOSECOLOR* pcc = reinterpret_cast<const CHOOSECOLOR*>(lParam);
        pDialog = reinterpret_cast<CColorDialog*>(pcc->lCustData);
        if (pDialog->m_hWnd == NULL)
            pDialog->Attach(hWnd);
    } else {
        pDialog = DYNAMIC_DOWNCAST(CColorDialog, CWnd::FromHandlePermanent(hWnd));
    }
    if (pDialog != NULL && pDialog->m_pfnCallerHook != NULL)
        return pDialog->m_pfnCallerHook(hWnd, message, wParam, lParam);
    return 0; // the system's handling
}

INT_PTR CColorDialog::DoModal()
{
    if (m_cc.lpfnHook != HookProc)
        m_pfnCallerHook = (m_cc.Flags & CC_ENABLEHOOK) ? m_cc.lpfnHook : NULL;
    m_cc.lpfnHook = HookProc;
    m_cc.Flags |= CC_ENABLEHOOK;
    m_cc.lCustData = reinterpret_cast<LPARAM>(this);
    m_cc.hwndOwner = PreModal();
    const BOOL bResult = ::ChooseColorW(&m_cc);
    if (m_hWnd != NULL)
        Detach();
    PostModal();
    return bResult ? IDOK : IDCANCEL;
}

void CColorDialog::SetCurrentColor(COLORREF clr)
{
    if (m_hWnd != NULL) {
        static const UINT s_nSetRgb = ::RegisterWindowMessageW(SETRGBSTRINGW);
        ::SendMessage(m_hWnd, s_nSetRgb, 0, static_cast<LPARAM>(clr));
        // Systems that ignore the message still follow the dialog's own red, green and blue fields.
        ::SetDlgItemInt(m_hWnd, COLOR_RED, GetRValue(clr), FALSE);
        ::SetDlgItemInt(m_hWnd, COLOR_GREEN, GetGValue(clr), FALSE);
        ::SetDlgItemInt(m_hWnd, COLOR_BLUE, GetBValue(clr), FALSE);
        return;
    }
    m_cc.rgbResult = clr;
    m_cc.Flags |= CC_RGBINIT;
}
