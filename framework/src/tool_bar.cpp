// CToolBar: buttons over the system's toolbar window, loaded from toolbar resources, brought up to
// date from the owner frame at idle time; their clicks and tooltip requests go to the frame.
#include <afxcmn.h>
#include <afxext.h>
#include <afxpriv.h>

#include <algorithm>
#include <iterator>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

// clang-format off
BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

namespace {

const int kSeparatorWidth = 8;
const CSize kButtonEdges(7, 7); // a button is its image plus these edges

// The resource's data, checked against its size; null when damaged.
const AFX_TOOLBARDATA* FindToolBarData(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    HRSRC hRsrc = ::FindResource(hInst, lpszResourceName, RT_TOOLBAR);
    if (hRsrc == NULL)
        return NULL;
    const DWORD cbData = ::SizeofResource(hInst, hRsrc);
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const AFX_TOOLBARDATA* pData =
        hGlobal != NULL ? static_cast<const AFX_TOOLBARDATA*>(::LockResource(hGlobal)) : NULL;
    if (pData == NULL || cbData < sizeof(AFX_TOOLBARDATA) || pData->wVersion != 1 || pData->wWidth == 0 ||
        pData->wHeight == 0 || cbData < sizeof(AFX_TOOLBARDATA) + pData->wItemCount * sizeof(WORD))
        return NULL;
    return pData;
}

} // namespace

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(TOOLBARCLASSNAME, NULL, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

CToolTipCtrl* CToolBarCtrl::GetToolTips() const
{
    return static_cast<CToolTipCtrl*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS))));
}

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15), m_hbmImageWell(NULL), m_bImagesAdded(FALSE)
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar()
{
    if (m_hWnd != NULL)
        DestroyWindow(); // the window goes before the image it shows
    if (m_hbmImageWell != NULL)
        ::DeleteObject(m_hbmImageWell);
    m_toolBarCtrl.m_hWnd = NULL;
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle,
                    CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    SetBorders(rcBorders.left, rcBorders.top, rcBorders.right, rcBorders.bottom);
    DWORD dwToolBarStyle = (dwCtrlStyle & 0xFFFF) | CCS_NODIVIDER;
    if (dwStyle & CBRS_TOOLTIPS)
        dwToolBarStyle |= TBSTYLE_TOOLTIPS;
    if (!CreateSystemBar(TOOLBARCLASSNAME, pParentWnd, dwToolBarStyle, dwStyle, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    // Clicks and tooltip requests go to the frame, also when the bar moves into a dock bar or band.
    CWnd* pOwner = GetOwner();
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(pOwner != NULL ? pOwner->m_hWnd : pParentWnd->m_hWnd));
    SendMessage(TB_SETINDENT, static_cast<WPARAM>(m_cxLeftBorder));
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

BOOL CToolBar::PreCreateWindow(CREATESTRUCT& cs)
{
    return PreCreateSystemBar(cs, TOOLBARCLASSNAME);
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const
{
    m_toolBarCtrl.m_hWnd = m_hWnd;
    return m_toolBarCtrl;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd == NULL)
        return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    return LoadToolBar(MAKEINTRESOURCE(nIDResource));
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    const AFX_TOOLBARDATA* pData = FindToolBarData(lpszResourceName);
    if (pData == NULL || m_hWnd == NULL)
        return FALSE;
    const WORD* pItems = reinterpret_cast<const WORD*>(pData + 1);
    std::vector<UINT> ids(pItems, pItems + pData->wItemCount);
    if (!SetButtons(ids.data(), static_cast<int>(ids.size())))
        return FALSE;
    const CSize sizeImage(pData->wWidth, pData->wHeight);
    SetSizes(sizeImage + kButtonEdges, sizeImage);
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(UINT nIDResource)
{
    return LoadBitmap(MAKEINTRESOURCE(nIDResource));
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    HRSRC hRsrc = ::FindResource(hInst, lpszResourceName, RT_BITMAP);
    HBITMAP hbm = hRsrc != NULL ? AfxLoadSysColorBitmap(hInst, hRsrc) : NULL;
    if (hbm == NULL)
        return FALSE;
    if (!SetBitmap(hbm)) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    return TRUE;
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell)
{
    if (m_hWnd == NULL || hbmImageWell == NULL)
        return FALSE;
    BITMAP bm = {};
    if (!::GetObject(hbmImageWell, sizeof(bm), &bm) || m_sizeImage.cx <= 0)
        return FALSE;
    const int nImages = bm.bmWidth / m_sizeImage.cx;
    BOOL bResult;
    if (m_bImagesAdded) {
        TBREPLACEBITMAP replace = {};
        replace.hInstOld = NULL;
        replace.nIDOld = reinterpret_cast<UINT_PTR>(m_hbmImageWell);
        replace.hInstNew = NULL;
        replace.nIDNew = reinterpret_cast<UINT_PTR>(hbmImageWell);
        replace.nButtons = nImages;
        bResult = static_cast<BOOL>(SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace)));
    } else {
        TBADDBITMAP add = {NULL, reinterpret_cast<UINT_PTR>(hbmImageWell)};
        bResult = SendMessage(TB_ADDBITMAP, nImages, reinterpret_cast<LPARAM>(&add)) != -1;
        m_bImagesAdded = bResult;
    }
    if (!bResult)
        return FALSE;
    if (m_hbmImageWell != NULL && m_hbmImageWell != hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbmImageWell;
    Invalidate();
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (m_hWnd == NULL || nIDCount < 0)
        return FALSE;
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    while (ctrl.GetButtonCount() > 0)
        ctrl.DeleteButton(0);
    std::vector<TBBUTTON> buttons(static_cast<size_t>(nIDCount));
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON& button = buttons[static_cast<size_t>(i)];
        button = TBBUTTON();
        const UINT nID = lpIDArray != NULL ? lpIDArray[i] : ID_SEPARATOR;
        button.idCommand = static_cast<int>(nID);
        if (nID == ID_SEPARATOR) {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = kSeparatorWidth;
        } else {
            button.fsStyle = TBSTYLE_BUTTON;
            button.fsState = TBSTATE_ENABLED;
            button.iBitmap = iImage++;
        }
        button.iString = -1;
    }
    if (nIDCount > 0 && !ctrl.AddButtons(nIDCount, buttons.data()))
        return FALSE;
    m_nCount = nIDCount;
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->DelayRecalcLayout();
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return m_hWnd != NULL ? GetToolBarCtrl().CommandToIndex(nIDFind) : -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (m_hWnd == NULL || !GetToolBarCtrl().GetButton(nIndex, &button))
        return 0;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (m_hWnd != NULL)
        GetToolBarCtrl().GetItemRect(nIndex, lpRect);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON button = {};
    nID = 0;
    nStyle = 0;
    iImage = 0;
    if (m_hWnd == NULL || !GetToolBarCtrl().GetButton(nIndex, &button))
        return;
    nID = static_cast<UINT>(button.idCommand);
    nStyle = MAKELONG(button.fsStyle, button.fsState ^ TBSTATE_ENABLED);
    iImage = button.iBitmap;
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    UINT nID, nStyle;
    int iImage;
    GetButtonInfo(nIndex, nID, nStyle, iImage);
    return nStyle;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    TBBUTTON button = {};
    if (m_hWnd == NULL || !GetToolBarCtrl().GetButton(nIndex, &button))
        return;
    // The system changes a button's kind only by replacing it.
    TBBUTTON replacement = button;
    replacement.idCommand = static_cast<int>(nID);
    replacement.iBitmap = iImage;
    replacement.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    replacement.fsState = static_cast<BYTE>(HIWORD(nStyle) ^ TBSTATE_ENABLED);
    if (memcmp(&replacement, &button, sizeof(button)) == 0)
        return;
    SendMessage(TB_DELETEBUTTON, nIndex);
    SendMessage(TB_INSERTBUTTON, nIndex, reinterpret_cast<LPARAM>(&replacement));
    if ((button.fsStyle ^ replacement.fsStyle) & TBSTYLE_SEP || button.iBitmap != replacement.iBitmap) {
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->DelayRecalcLayout();
    }
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    UINT nID, nOldStyle;
    int iImage;
    GetButtonInfo(nIndex, nID, nOldStyle, iImage);
    SetButtonInfo(nIndex, nID, nStyle, iImage);
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = const_cast<LPWSTR>(lpszText != NULL ? lpszText : L"");
    return m_hWnd != NULL &&
           SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info)) != 0;
}

CString CToolBar::GetButtonText(int nIndex) const
{
    wchar_t buffer[256] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = buffer;
    info.cchText = static_cast<int>(std::size(buffer)) - 1;
    if (m_hWnd == NULL ||
        SendMessage(TB_GETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info)) < 0)
        return CString();
    buffer[std::size(buffer) - 1] = L'\0';
    return CString(buffer);
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    // The buttons in one row (horizontal) or one column.
    int nLength = 0;
    int nThickness = m_sizeButton.cy;
    for (int i = 0; i < m_nCount; ++i) {
        CRect rect;
        GetItemRect(i, &rect);
        const int nItem =
            bHorz ? rect.Width() : (GetItemID(i) == ID_SEPARATOR ? kSeparatorWidth : rect.Height());
        nLength += nItem;
        nThickness = std::max<int>(nThickness, bHorz ? rect.Height() : rect.Width());
    }
    if (bHorz) {
        size.cy += nThickness;
        if (!bStretch)
            size.cx += nLength + m_cxLeftBorder;
    } else {
        size.cx += bStretch ? 0 : m_sizeButton.cx;
        if (!bStretch)
            size.cy += nLength;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    if (m_hWnd != NULL && ((dwOldStyle ^ dwNewStyle) & CBRS_TOOLTIPS)) {
        const DWORD dwWndStyle = GetStyle();
        ::SetWindowLongPtr(m_hWnd, GWL_STYLE,
                           (dwNewStyle & CBRS_TOOLTIPS) ? (dwWndStyle | TBSTYLE_TOOLTIPS)
                                                        : (dwWndStyle & ~TBSTYLE_TOOLTIPS));
    }
}

BOOL CToolBar::OnEraseBkgnd(CDC* pDC)
{
    // A flat toolbar would leave its background to the frame, which does not erase under bars.
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CToolBar::OnPaint()
{
    Default(); // the system's window draws its buttons
}

namespace {

// A button's state from an update handler.
class CToolCmdUI : public CCmdUI
{
public:
    CToolBar* Bar() const { return static_cast<CToolBar*>(m_pOther); }
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        const int nIndex = static_cast<int>(m_nIndex);
        UINT nStyle = Bar()->GetButtonStyle(nIndex) & ~TBBS_DISABLED;
        if (!bOn)
            nStyle = (nStyle | TBBS_DISABLED) & ~TBBS_PRESSED;
        Bar()->SetButtonStyle(nIndex, nStyle);
    }
    void SetCheck(int nCheck) override
    {
        const int nIndex = static_cast<int>(m_nIndex);
        UINT nStyle = Bar()->GetButtonStyle(nIndex) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            nStyle |= TBBS_CHECKED;
        else if (nCheck == 2)
            nStyle |= TBBS_INDETERMINATE;
        Bar()->SetButtonStyle(nIndex, nStyle | TBBS_CHECKBOX);
    }
    void SetText(LPCTSTR) override {} // buttons keep their images
};

} // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_nCount);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
