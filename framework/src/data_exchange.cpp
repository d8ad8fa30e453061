// Dialog data exchange: UpdateData and the DDX_/DDV_ functions.
#include <afxwin.h>

#include <commctrl.h>

#include <cerrno>
#include <cmath>
#include <cwchar>
#include <cwctype>

namespace {

// The program's own text for a prompt when it has one, else the framework's.
CString Prompt(UINT nID, LPCTSTR lpszFallback)
{
    CString text;
    if (!text.LoadString(nID))
        text = lpszFallback;
    return text;
}

[[noreturn]] void FailWithMessage(CDataExchange* pDX, const CString& message)
{
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    pDX->Fail();
}

CString WindowText(HWND hWnd)
{
    CString text;
    const int nLength = ::GetWindowTextLength(hWnd);
    if (nLength > 0) {
        const int nCopied = ::GetWindowText(hWnd, text.GetBuffer(nLength), nLength + 1);
        text.ReleaseBuffer(nCopied >= 0 ? nCopied : 0);
    }
    return text;
}

// Sets the text only when it differs, so that an unchanged control does not flicker or notify.
void SetWindowTextIfChanged(HWND hWnd, LPCTSTR lpszNew)
{
    if (WindowText(hWnd) != lpszNew)
        ::SetWindowText(hWnd, lpszNew);
}

// The text of a list box or combo box item (the messages of the two controls are given).
CString ItemText(HWND hWndCtrl, UINT nLengthMessage, UINT nTextMessage, int nIndex)
{
    CString text;
    const LRESULT nLength = ::SendMessage(hWndCtrl, nLengthMessage, static_cast<WPARAM>(nIndex), 0);
    if (nLength <= 0)
        return text;
    const LRESULT nCopied =
        ::SendMessage(hWndCtrl, nTextMessage, static_cast<WPARAM>(nIndex),
                      reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(nLength))));
    text.ReleaseBuffer(nCopied >= 0 && nCopied <= nLength ? static_cast<int>(nCopied) : 0);
    return text;
}

// A whole decimal number with optional blanks around it; false for anything else or an overflow.
bool ParseSigned(const CString& text, long long& value)
{
    const wchar_t* pBegin = text.GetString();
    wchar_t* pEnd = NULL;
    errno = 0;
    value = std::wcstoll(pBegin, &pEnd, 10);
    if (pEnd == pBegin || errno == ERANGE)
        return false; // no digits (blanks or a lone sign only), or out of range
    while (*pEnd != 0 && std::iswspace(*pEnd))
        ++pEnd;
    return *pEnd == 0;
}

bool ParseUnsigned(const CString& text, unsigned long long& value)
{
    CString trimmed(text);
    trimmed.Trim();
    if (trimmed.IsEmpty() || trimmed[0] == L'-')
        return false;
    const wchar_t* pBegin = trimmed.GetString();
    wchar_t* pEnd = NULL;
    errno = 0;
    value = std::wcstoull(pBegin, &pEnd, 10);
    return pEnd != pBegin && *pEnd == 0 && errno != ERANGE;
}

bool ParseReal(const CString& text, double& value)
{
    CString trimmed(text);
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return false;
    const wchar_t* pBegin = trimmed.GetString();
    wchar_t* pEnd = NULL;
    errno = 0;
    value = std::wcstod(pBegin, &pEnd);
    return pEnd != pBegin && *pEnd == 0 && errno != ERANGE && std::isfinite(value);
}

template <class T>
void ExchangeSigned(CDataExchange* pDX, int nIDC, T& value, long long minValue, long long maxValue)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!ParseSigned(WindowText(hWndCtrl), parsed) || parsed < minValue || parsed > maxValue)
            FailWithMessage(pDX, Prompt(AFX_IDP_PARSE_INT, L"Please enter an integer."));
        value = static_cast<T>(parsed);
    } else {
        CString text;
        text.Format(L"%lld", static_cast<long long>(value));
        SetWindowTextIfChanged(hWndCtrl, text);
    }
}

template <class T>
void ExchangeUnsigned(CDataExchange* pDX, int nIDC, T& value, unsigned long long maxValue, UINT nPrompt,
                      LPCTSTR lpszFallback)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        unsigned long long parsed = 0;
        if (!ParseUnsigned(WindowText(hWndCtrl), parsed) || parsed > maxValue)
            FailWithMessage(pDX, Prompt(nPrompt, lpszFallback));
        value = static_cast<T>(parsed);
    } else {
        CString text;
        text.Format(L"%llu", static_cast<unsigned long long>(value));
        SetWindowTextIfChanged(hWndCtrl, text);
    }
}

} // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(NULL),
      m_bEditLastControl(FALSE)
{}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = NULL;
    if (m_pDlgWnd != NULL)
        m_pDlgWnd->GetDlgItem(nIDC, &hWndCtrl);
    if (hWndCtrl == NULL)
        AfxThrowNotSupportedException(); // the dialog has no such control
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        AfxThrowUserException();
    if (m_hWndLastControl != NULL) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    if (m_hWnd == NULL)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    // The controls' notifications while their data is being set are not the user's doing.
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    HWND hWndOldLockout = pState->m_hLockoutNotifyWindow;
    pState->m_hLockoutNotifyWindow = m_hWnd;
    BOOL bOK = FALSE;
    try {
        DoDataExchange(&dx);
        bOK = TRUE;
    } catch (CUserException* e) {
        e->Delete(); // the check that failed has told the user already
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    pState->m_hLockoutNotifyWindow = hWndOldLockout;
    return bOK;
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != NULL)
        return; // subclassed on an earlier exchange
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl))
        AfxThrowNotSupportedException();
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = WindowText(hWndCtrl);
    else
        SetWindowTextIfChanged(hWndCtrl, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, LPTSTR value, int nMaxLen)
{
    if (value == NULL || nMaxLen <= 0)
        return;
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        ::GetWindowText(hWndCtrl, value, nMaxLen);
    } else {
        ::SendMessage(hWndCtrl, EM_LIMITTEXT, static_cast<WPARAM>(nMaxLen - 1), 0);
        SetWindowTextIfChanged(hWndCtrl, value);
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeSigned(pDX, nIDC, value, INT_MIN, INT_MAX);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ExchangeSigned(pDX, nIDC, value, LONG_MIN, LONG_MAX);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    ExchangeSigned(pDX, nIDC, value, SHRT_MIN, SHRT_MAX);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, LONGLONG& value)
{
    ExchangeSigned(pDX, nIDC, value, LLONG_MIN, LLONG_MAX);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeUnsigned(pDX, nIDC, value, UINT_MAX, AFX_IDP_PARSE_UINT, L"Please enter a positive integer.");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    ExchangeUnsigned(pDX, nIDC, value, ULONG_MAX, AFX_IDP_PARSE_UINT, L"Please enter a positive integer.");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    ExchangeUnsigned(pDX, nIDC, value, 255, AFX_IDP_PARSE_BYTE,
                     L"Please enter an integer between 0 and 255.");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, ULONGLONG& value)
{
    ExchangeUnsigned(pDX, nIDC, value, ULLONG_MAX, AFX_IDP_PARSE_UINT, L"Please enter a positive integer.");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double parsed = 0;
        if (!ParseReal(WindowText(hWndCtrl), parsed))
            FailWithMessage(pDX, Prompt(AFX_IDP_PARSE_REAL, L"Please enter a number."));
        value = parsed;
    } else {
        CString text;
        text.Format(L"%.15g", value);
        SetWindowTextIfChanged(hWndCtrl, text);
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    double wide = value;
    DDX_Text(pDX, nIDC, wide);
    if (pDX->m_bSaveAndValidate) {
        if (std::fabs(wide) > 3.402823466e+38)
            FailWithMessage(pDX, Prompt(AFX_IDP_PARSE_REAL, L"Please enter a number."));
        value = static_cast<float>(wide);
    }
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        const int nCheck = value >= 0 && value <= 2 ? value : 0;
        ::SendMessage(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The radio buttons from nIDC up to the next control that starts a group.
    int nButton = 0;
    do {
        if (::SendMessage(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0) != 0)
                    value = nButton;
            } else {
                ::SendMessage(hWndCtrl, BM_SETCHECK, nButton == value, 0);
            }
            ++nButton;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != NULL && !(::GetWindowLongPtr(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const int nIndex = static_cast<int>(::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0));
        value.Empty();
        if (nIndex != LB_ERR)
            value = ItemText(hWndCtrl, LB_GETTEXTLEN, LB_GETTEXT, nIndex);
    } else if (::SendMessage(hWndCtrl, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(value.GetString())) == LB_ERR) {
        ::SendMessage(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

void AFXAPI DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_LBString(pDX, nIDC, value);
        return;
    }
    const LRESULT nIndex = ::SendMessage(hWndCtrl, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(value.GetString()));
    ::SendMessage(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0));
    else
        ::SendMessage(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = WindowText(hWndCtrl);
        if (value.IsEmpty()) {
            // A drop-down list has no edit text; its selected item stands for it.
            const int nIndex = static_cast<int>(::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0));
            if (nIndex != CB_ERR)
                value = ItemText(hWndCtrl, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex);
        }
    } else if (::SendMessage(hWndCtrl, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR) {
        SetWindowTextIfChanged(hWndCtrl, value); // ignored by drop-down lists
    }
}

void AFXAPI DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_CBString(pDX, nIDC, value);
        return;
    }
    const LRESULT nIndex = ::SendMessage(hWndCtrl, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(value.GetString()));
    if (nIndex == CB_ERR)
        SetWindowTextIfChanged(hWndCtrl, value);
    else
        ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0));
    else
        ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_Scroll(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ::GetScrollPos(hWndCtrl, SB_CTL);
    else
        ::SetScrollPos(hWndCtrl, SB_CTL, value, TRUE);
}

void AFXAPI DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessage(hWndCtrl, TBM_GETPOS, 0, 0));
    else
        ::SendMessage(hWndCtrl, TBM_SETPOS, TRUE, value);
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
        CString message;
        message.Format(L"Enter no more than %d characters.", nChars);
        FailWithMessage(pDX, message);
    } else if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl != NULL && pDX->m_bEditLastControl) {
        ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}

namespace {

template <class T> void CheckRange(CDataExchange* pDX, T value, T minVal, T maxVal, LPCTSTR lpszFormat)
{
    if (!pDX->m_bSaveAndValidate || (minVal <= value && value <= maxVal))
        return;
    CString message;
    message.Format(lpszFormat, minVal, maxVal);
    FailWithMessage(pDX, message);
}

} // namespace

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    CheckRange(pDX, value, minVal, maxVal, L"Please enter an integer between %d and %d.");
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    CheckRange(pDX, value, minVal, maxVal, L"Please enter an integer between %u and %u.");
}

void AFXAPI DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    CheckRange(pDX, value, minVal, maxVal, L"Please enter an integer between %ld and %ld.");
}

void AFXAPI DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    CheckRange(pDX, value, minVal, maxVal, L"Please enter an integer between %lu and %lu.");
}

void AFXAPI DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
    CheckRange(pDX, value, minVal, maxVal, L"Please enter a number between %g and %g.");
}
