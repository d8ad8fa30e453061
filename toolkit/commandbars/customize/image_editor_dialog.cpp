// The button image editor's dialog, its swatches, grid and preview.
#include "image_editor_dialog.h"

#include "color_table.h"
#include "commandbars_resource_ids.h"
#include "image_editor_transfer.h"
#include "image_manager.h"
#include "resource_loader.h"

#include <afxdlgs.h>
#include <afxpriv.h>

#include <algorithm>
#include <iterator>

namespace {

// The sixteen colours, 8 columns by 2 rows.
const COLORREF kPalette[16] = {0x000000, 0x808080, 0x000080, 0x008080, 0x008000, 0x808000,
                               0x800000, 0x800080, 0xFFFFFF, 0xC0C0C0, 0x0000FF, 0x00FFFF,
                               0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF};
const COLORREF kCheckerLight = RGB(255, 255, 255);
const COLORREF kCheckerDark = RGB(235, 235, 235);
const int kCheckerBlock = 4;
const COLORREF kGridLine = RGB(192, 192, 192);
const CSize kToolImage(16, 16);
const CSize kToolButton(23, 23);

// The checkerboard's colour at a point relative to the picture's origin.
COLORREF CheckerAt(int x, int y)
{
    return ((x / kCheckerBlock + y / kCheckerBlock) % 2) == 0 ? kCheckerLight : kCheckerDark;
}

COLORREF BlendOver(COLORREF clr, int nAlpha, COLORREF clrBack)
{
    auto blend = [nAlpha](int c, int b) { return (c * nAlpha + b * (255 - nAlpha) + 127) / 255; };
    return RGB(blend(GetRValue(clr), GetRValue(clrBack)), blend(GetGValue(clr), GetGValue(clrBack)),
               blend(GetBValue(clr), GetBValue(clrBack)));
}

// Fills a rectangle with the checkerboard (blocks counted from the origin), the colour blended
// over it by its alpha.
void FillOverChecker(CDC* pDC, const CRect& rc, CPoint ptOrigin, COLORREF clr, int nAlpha)
{
    if (nAlpha == 255) {
        pDC->FillSolidRect(&rc, clr);
        return;
    }
    for (int y = rc.top; y < rc.bottom;) {
        const int yBlockEnd = std::min<int>(rc.bottom, y + kCheckerBlock - (y - ptOrigin.y) % kCheckerBlock);
        for (int x = rc.left; x < rc.right;) {
            const int xBlockEnd =
                std::min<int>(rc.right, x + kCheckerBlock - (x - ptOrigin.x) % kCheckerBlock);
            const COLORREF clrBack = CheckerAt(x - ptOrigin.x, y - ptOrigin.y);
            pDC->FillSolidRect(x, y, xBlockEnd - x, yBlockEnd - y,
                               nAlpha == 0 ? clrBack : BlendOver(clr, nAlpha, clrBack));
            x = xBlockEnd;
        }
        y = yBlockEnd;
    }
}

// The toolbar's buttons take the states that the dialog's update handlers give them.
class CEditorToolCmdUI : public CCmdUI
{
public:
    CToolBar* m_pBar = NULL;
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        m_pBar->GetToolBarCtrl().EnableButton(static_cast<int>(m_nID), bOn);
    }
    void SetCheck(int nCheck) override
    {
        m_pBar->GetToolBarCtrl().CheckButton(static_cast<int>(m_nID), nCheck != 0);
    }
    void SetText(LPCWSTR) override {}
};

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CXTPImageEditorPicker, CStatic)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CXTPImageEditorPicture, CStatic)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CXTPImageEditorPreview, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CXTPImageEditorToolBar, CToolBar)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CXTPImageEditorDlg, CDialog)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
    ON_NOTIFY_RANGE(NM_CLICK, XTP_IDC_CLR_PALETTE_FIRST, XTP_IDC_CLR_PALETTE_FIRST + 15, OnPickerClick)
    ON_NOTIFY_RANGE(NM_CLICK, XTP_IDC_CLR_ERASE, XTP_IDC_CLR_ERASE, OnPickerClick)
    ON_NOTIFY(NM_CLICK, XTP_IDC_CLR_PICKER, OnCustomColorClick)
    ON_COMMAND_RANGE(XTP_ID_BUTTON_PENCIL, XTP_ID_BUTTON_CIRCLE, OnTool)
    ON_UPDATE_COMMAND_UI_RANGE(XTP_ID_BUTTON_PENCIL, XTP_ID_BUTTON_CIRCLE, OnUpdateTool)
    ON_COMMAND(XTP_ID_BUTTON_COPY, OnCopy)
    ON_COMMAND(XTP_ID_BUTTON_PASTE, OnPaste)
    ON_UPDATE_COMMAND_UI(XTP_ID_BUTTON_PASTE, OnUpdatePaste)
    ON_COMMAND(XTP_ID_BUTTON_CLEAR, OnClear)
    ON_COMMAND(XTP_ID_BUTTON_UNDO, OnUndo)
    ON_UPDATE_COMMAND_UI(XTP_ID_BUTTON_UNDO, OnUpdateUndo)
    ON_COMMAND(XTP_ID_BUTTON_REDO, OnRedo)
    ON_UPDATE_COMMAND_UI(XTP_ID_BUTTON_REDO, OnUpdateRedo)
    ON_COMMAND(XTP_ID_BUTTON_OPEN, OnImport)
    ON_CONTROL_RANGE(BN_CLICKED, XTP_IDC_BUTTON_LEFT, XTP_IDC_BUTTON_RIGHT, OnMove)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()
// clang-format on

void CXTPImageEditorPicker::SetColor(COLORREF clr)
{
    m_clr = clr;
    if (::IsWindow(m_hWnd))
        Invalidate(FALSE);
}

void CXTPImageEditorPicker::SetSelected(BOOL bSelected)
{
    m_bSelected = bSelected;
    if (::IsWindow(m_hWnd))
        Invalidate(FALSE);
}

void CXTPImageEditorPicker::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CRect rcSwatch = rc;
    rcSwatch.DeflateRect(2, 2);
    dc.FillSolidRect(&rc, GetColorTable()->GetColor(COLOR_BTNFACE));
    FillOverChecker(&dc, rcSwatch, rcSwatch.TopLeft(), m_clr, m_clr == XTP_IMAGEEDITOR_TRANSPARENT ? 0 : 255);
    if (m_bSelected) {
        dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
        rc.DeflateRect(1, 1);
        dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
    } else {
        rc.DeflateRect(1, 1);
        dc.Draw3dRect(&rc, GetColorTable()->GetColor(COLOR_BTNSHADOW),
                      GetColorTable()->GetColor(COLOR_BTNSHADOW));
    }
}

void CXTPImageEditorPicker::OnLButtonDown(UINT, CPoint)
{
    NMHDR nmhdr = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), static_cast<UINT>(NM_CLICK)};
    GetParent()->SendMessage(WM_NOTIFY, nmhdr.idFrom, reinterpret_cast<LPARAM>(&nmhdr));
}

void CXTPImageEditorPicture::Layout(CSize szPicture)
{
    m_szPicture = szPicture;
    if (m_hcurPencil == NULL) {
        CXTResourceLoader* pLoader = GetResourceLoader();
        m_hcurShape = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_LINE);
        m_hcurPickColor = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_PICKCOLOR);
        m_hcurFill = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_FILLCOLOR);
        m_hcurPencil = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_PENCIL);
    }
    CRect rc;
    GetClientRect(&rc);
    m_szCell.cx = std::max(1, rc.Width() / std::max(1, static_cast<int>(szPicture.cx)));
    m_szCell.cy = std::max(1, rc.Height() / std::max(1, static_cast<int>(szPicture.cy)));
    SetWindowPos(NULL, 0, 0, szPicture.cx * m_szCell.cx + 1, szPicture.cy * m_szCell.cy + 1,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CPoint CXTPImageEditorPicture::CellFromPoint(CPoint point) const
{
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return CPoint(floorDiv(point.x, m_szCell.cx), floorDiv(point.y, m_szCell.cy));
}

void CXTPImageEditorPicture::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rc;
    GetClientRect(&rc);
    CDC dc;
    dc.CreateCompatibleDC(&dcPaint);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dcPaint, rc.Width(), rc.Height());
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(&rc, kGridLine);
    if (m_pOwner != NULL)
        CXTPImageEditorDlg::DrawPicture(&dc, m_pOwner->GetModel().GetPicture(), CPoint(1, 1), m_szCell, 1);
    dcPaint.BitBlt(0, 0, rc.Width(), rc.Height(), &dc, 0, 0, SRCCOPY);
    dc.SelectObject(pOld);
}

void CXTPImageEditorPicture::OnLButtonDown(UINT, CPoint point)
{
    if (m_pOwner == NULL)
        return;
    CXTPImageEditorModel& model = m_pOwner->GetModel();
    COLORREF clrPicked = CLR_INVALID;
    if (!model.Press(CellFromPoint(point), m_pOwner->GetSelectedColor(), &clrPicked))
        return;
    if (clrPicked != CLR_INVALID)
        m_pOwner->OnColorPicked(clrPicked);
    if (model.IsDrawing())
        SetCapture();
    m_pOwner->RefreshPicture();
}

void CXTPImageEditorPicture::OnMouseMove(UINT, CPoint point)
{
    if (m_pOwner == NULL || !m_pOwner->GetModel().IsDrawing())
        return;
    m_pOwner->GetModel().DragTo(CellFromPoint(point));
    m_pOwner->RefreshPicture();
}

void CXTPImageEditorPicture::OnLButtonUp(UINT, CPoint)
{
    if (m_pOwner != NULL && m_pOwner->GetModel().IsDrawing()) {
        m_pOwner->GetModel().Release();
        m_pOwner->RefreshPicture();
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CXTPImageEditorPicture::OnCaptureChanged(CWnd*)
{
    if (m_pOwner != NULL && m_pOwner->GetModel().IsDrawing()) {
        m_pOwner->GetModel().Release();
        m_pOwner->RefreshPicture();
    }
}

BOOL CXTPImageEditorPicture::OnSetCursor(CWnd*, UINT, UINT)
{
    HCURSOR hCursor = m_hcurShape;
    switch (m_pOwner != NULL ? m_pOwner->GetModel().GetTool() : xtpImageEditorLine) {
    case xtpImageEditorPencil:
        hCursor = m_hcurPencil;
        break;
    case xtpImageEditorFill:
        hCursor = m_hcurFill;
        break;
    case xtpImageEditorPickColor:
        hCursor = m_hcurPickColor;
        break;
    default:
        break;
    }
    ::SetCursor(hCursor != NULL ? hCursor : ::LoadCursor(NULL, IDC_ARROW));
    return TRUE;
}

void CXTPImageEditorPreview::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, GetColorTable()->GetColor(COLOR_BTNFACE));
    if (m_pOwner == NULL)
        return;
    const CXTPImageEditorBitmap& picture = m_pOwner->GetModel().GetPicture();
    const CSize size = picture.GetSize();
    const CPoint ptOrigin(rc.left + (rc.Width() - size.cx) / 2, rc.top + (rc.Height() - size.cy) / 2);
    CXTPImageEditorDlg::DrawPicture(&dc, picture, ptOrigin, CSize(1, 1), 0);
}

LRESULT CXTPImageEditorToolBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    CWnd* pTarget = GetOwner();
    if (pTarget == NULL || (GetStyle() & WS_VISIBLE) == 0)
        return 0;
    CEditorToolCmdUI state;
    state.m_pBar = this;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetToolBarCtrl().GetButtonCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, static_cast<BOOL>(wParam));
    }
    return 0;
}

CXTPImageEditorDlg::CXTPImageEditorDlg(CWnd* pParent)
    : m_pResult(std::make_unique<CXTPImageEditorBitmap>(m_szPicture, FALSE))
{
    m_pParentWnd = pParent;
}

CXTPImageEditorDlg::~CXTPImageEditorDlg()
{
    for (HICON hIcon : m_hMoveIcons)
        if (hIcon != NULL)
            ::DestroyIcon(hIcon);
}

void CXTPImageEditorDlg::SetPicture(CXTPImageHandle* pPicture)
{
    std::unique_ptr<CXTPImageEditorBitmap> pResult;
    if (pPicture != NULL && pPicture->IsAlpha())
        pResult = XTPImageEditorPictureFromBitmap(pPicture->GetBitmap(), TRUE, m_szPicture);
    else if (pPicture != NULL && pPicture->GetIcon() != NULL)
        pResult = XTPImageEditorPictureFromIcon(pPicture->GetIcon(), m_szPicture);
    m_pResult =
        pResult != nullptr ? std::move(pResult) : std::make_unique<CXTPImageEditorBitmap>(m_szPicture, FALSE);
}

const CXTPImageEditorBitmap& CXTPImageEditorDlg::GetPicture() const
{
    return *m_pResult;
}

INT_PTR CXTPImageEditorDlg::DoModal()
{
    LPCDLGTEMPLATE lpTemplate = GetResourceLoader()->LoadDialogTemplate(XTP_IDD_IMAGEEDITOR_DIALOG);
    if (lpTemplate == NULL || !InitModalIndirect(lpTemplate, m_pParentWnd))
        return -1;
    if (m_pResult->GetSize() != m_szPicture)
        m_pResult = std::make_unique<CXTPImageEditorBitmap>(m_szPicture, FALSE);
    m_model.SetPicture(m_pResult->Clone());
    return CDialog::DoModal();
}

BOOL CXTPImageEditorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int i = 0; i < 16; ++i) {
        m_arrPickers[i].SubclassDlgItem(XTP_IDC_CLR_PALETTE_FIRST + i, this);
        m_arrPickers[i].SetColor(kPalette[i]);
    }
    m_pickerTransparent.SubclassDlgItem(XTP_IDC_CLR_ERASE, this);
    m_pickerTransparent.SetColor(XTP_IMAGEEDITOR_TRANSPARENT);
    m_pickerCurrent.SubclassDlgItem(XTP_IDC_CLR_PICKER, this);
    m_pickerCurrent.SetColor(RGB(255, 255, 255));
    SelectPicker(&m_arrPickers[0]);

    m_wndPicture.m_pOwner = this;
    m_wndPicture.SubclassDlgItem(XTP_IDC_STATIC_PICTURE, this);
    m_wndPicture.Layout(m_model.GetSize());
    m_wndPreview.m_pOwner = this;
    m_wndPreview.SubclassDlgItem(XTP_IDC_STATIC_PREVIEW, this);

    // The toolbars sit inside their "Tools" boxes.
    struct BarPlace
    {
        CXTPImageEditorToolBar* pBar;
        CImageList* pImages;
        UINT nBitmap;
        UINT nFirstCommand;
        CRect rcDialogUnits;
    };
    const BarPlace places[2] = {
        {&m_wndToolsBar, &m_ilTools, XTP_IDB_IMAGEEDITOR_TOOLS, XTP_ID_BUTTON_PENCIL, CRect(136, 83, 0, 0)},
        {&m_wndEditBar, &m_ilEdit, XTP_IDB_IMAGEEDITOR_EDIT, XTP_ID_BUTTON_COPY, CRect(12, 139, 0, 0)}};
    for (const BarPlace& place : places) {
        CRect rc = place.rcDialogUnits;
        MapDialogRect(&rc);
        if (!place.pBar->CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                  WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS))
            continue;
        place.pBar->SetOwner(this);
        CBitmap bitmap;
        if (place.pImages->Create(kToolImage.cx, kToolImage.cy, ILC_COLOR24 | ILC_MASK, 6, 0) &&
            GetResourceLoader()->LoadBitmap(&bitmap, place.nBitmap)) {
            place.pImages->Add(&bitmap, RGB(255, 0, 255));
            place.pBar->GetToolBarCtrl().SendMessage(
                TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(place.pImages->GetSafeHandle()));
        }
        UINT ids[6];
        for (UINT i = 0; i < 6; ++i)
            ids[i] = place.nFirstCommand + i;
        place.pBar->SetButtons(ids, 6);
        place.pBar->SetSizes(kToolButton, kToolImage);
        const CSize size = place.pBar->CalcFixedLayout(FALSE, TRUE);
        // Above the group box, which paints its whole inside.
        place.pBar->SetWindowPos(&CWnd::wndTop, rc.left, rc.top, size.cx, size.cy, SWP_NOACTIVATE);
    }

    // The move buttons' arrows.
    CBitmap bmMove;
    if (m_ilMove.Create(kToolImage.cx, kToolImage.cy, ILC_COLOR24 | ILC_MASK, 4, 0) &&
        GetResourceLoader()->LoadBitmap(&bmMove, XTP_IDB_IMAGEEDITOR_MOVE)) {
        m_ilMove.Add(&bmMove, RGB(255, 0, 255));
        for (int i = 0; i < 4; ++i) {
            if (m_hMoveIcons[i] != NULL)
                ::DestroyIcon(m_hMoveIcons[i]);
            m_hMoveIcons[i] = m_ilMove.ExtractIcon(i);
            if (CWnd* pButton = GetDlgItem(XTP_IDC_BUTTON_LEFT + i))
                pButton->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_hMoveIcons[i]));
        }
    }
    OnKickIdle(0, 0);
    // The focus starts on OK rather than on the first move button.
    if (CWnd* pOK = GetDlgItem(IDOK))
        pOK->SetFocus();
    return FALSE;
}

void CXTPImageEditorDlg::OnOK()
{
    m_pResult = m_model.GetPicture().Clone();
    CDialog::OnOK();
}

void CXTPImageEditorDlg::SelectPicker(CXTPImageEditorPicker* pPicker)
{
    if (m_pSelectedPicker != NULL)
        m_pSelectedPicker->SetSelected(FALSE);
    m_pSelectedPicker = pPicker;
    m_pSelectedPicker->SetSelected(TRUE);
}

COLORREF CXTPImageEditorDlg::GetSelectedColor() const
{
    return m_pSelectedPicker != NULL ? m_pSelectedPicker->GetColor() : RGB(0, 0, 0);
}

void CXTPImageEditorDlg::RefreshPicture()
{
    if (::IsWindow(m_wndPicture.m_hWnd))
        m_wndPicture.Invalidate(FALSE);
    if (::IsWindow(m_wndPreview.m_hWnd))
        m_wndPreview.Invalidate(FALSE);
}

void CXTPImageEditorDlg::OnColorPicked(COLORREF clr)
{
    m_pickerCurrent.SetColor(clr);
    SelectPicker(&m_pickerCurrent);
}

void AFX_CDECL CXTPImageEditorDlg::DrawPicture(CDC* pDC, const CXTPImageEditorBitmap& picture,
                                               CPoint ptOrigin, CSize szCell, int nGap)
{
    const CSize size = picture.GetSize();
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const CRect rc(ptOrigin.x + x * szCell.cx, ptOrigin.y + y * szCell.cy,
                           ptOrigin.x + (x + 1) * szCell.cx - nGap, ptOrigin.y + (y + 1) * szCell.cy - nGap);
            FillOverChecker(pDC, rc, ptOrigin, picture.GetPixel(x, y), picture.GetAlpha(x, y));
        }
    }
}

LRESULT CXTPImageEditorDlg::OnKickIdle(WPARAM, LPARAM)
{
    if (::IsWindow(m_wndToolsBar.m_hWnd))
        m_wndToolsBar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    if (::IsWindow(m_wndEditBar.m_hWnd))
        m_wndEditBar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    return 0;
}

void CXTPImageEditorDlg::OnPickerClick(UINT nID, NMHDR*, LRESULT* pResult)
{
    if (nID == XTP_IDC_CLR_ERASE)
        SelectPicker(&m_pickerTransparent);
    else
        SelectPicker(&m_arrPickers[nID - XTP_IDC_CLR_PALETTE_FIRST]);
    *pResult = 0;
}

void CXTPImageEditorDlg::OnCustomColorClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CColorDialog dlg(m_pickerCurrent.GetColor(), CC_FULLOPEN, this);
    if (dlg.DoModal() != IDOK)
        return;
    m_pickerCurrent.SetColor(dlg.GetColor());
    SelectPicker(&m_pickerCurrent);
}

void CXTPImageEditorDlg::OnTool(UINT nID)
{
    m_model.SetTool(static_cast<int>(nID - XTP_ID_BUTTON_PENCIL));
}

void CXTPImageEditorDlg::OnUpdateTool(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_model.GetTool() == static_cast<int>(pCmdUI->m_nID - XTP_ID_BUTTON_PENCIL));
}

void CXTPImageEditorDlg::OnCopy()
{
    XTPImageEditorCopyToClipboard(m_model.GetPicture(), m_hWnd);
}

void CXTPImageEditorDlg::OnPaste()
{
    if (m_model.Replace(XTPImageEditorPasteFromClipboard(m_hWnd, m_model.GetSize())))
        RefreshPicture();
}

void CXTPImageEditorDlg::OnUpdatePaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(::IsClipboardFormatAvailable(XTPImageEditorDib32Format()) ||
                   ::IsClipboardFormatAvailable(CF_BITMAP));
}

void CXTPImageEditorDlg::OnClear()
{
    m_model.Clear();
    RefreshPicture();
}

void CXTPImageEditorDlg::OnUndo()
{
    m_model.Undo();
    RefreshPicture();
}

void CXTPImageEditorDlg::OnUpdateUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_model.CanUndo());
}

void CXTPImageEditorDlg::OnRedo()
{
    m_model.Redo();
    RefreshPicture();
}

void CXTPImageEditorDlg::OnUpdateRedo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_model.CanRedo());
}

void CXTPImageEditorDlg::OnImport()
{
    CString strFilter;
    GetResourceLoader()->LoadString(&strFilter, XTP_IDS_IMAGEEDITOR_FILTER);
    CFileDialog dlg(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, strFilter, this);
    if (dlg.DoModal() != IDOK)
        return;
    // A file that does not load leaves the picture as it was, without a word.
    if (m_model.Replace(XTPImageEditorImportFile(dlg.GetPathName(), m_model.GetSize())))
        RefreshPicture();
}

void CXTPImageEditorDlg::OnMove(UINT nID)
{
    switch (nID) {
    case XTP_IDC_BUTTON_LEFT:
        m_model.Move(-1, 0);
        break;
    case XTP_IDC_BUTTON_DOWN:
        m_model.Move(0, 1);
        break;
    case XTP_IDC_BUTTON_UP:
        m_model.Move(0, -1);
        break;
    default:
        m_model.Move(1, 0);
        break;
    }
    RefreshPicture();
}

BOOL CXTPImageEditorDlg::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    UINT_PTR nID = pNMHDR->idFrom;
    if (pInfo->uFlags & TTF_IDISHWND)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    CString strTip;
    if (nID >= XTP_ID_BUTTON_PENCIL && nID <= XTP_ID_BUTTON_OPEN &&
        GetResourceLoader()->LoadString(&strTip, static_cast<UINT>(nID))) {
        const int nNewline = strTip.Find(L'\n');
        strTip = nNewline >= 0 ? strTip.Mid(nNewline + 1) : strTip;
    }
    const int nCopy = std::min(strTip.GetLength(), static_cast<int>(std::size(pInfo->szText)) - 1);
    std::copy(strTip.GetString(), strTip.GetString() + nCopy, pInfo->szText);
    pInfo->szText[nCopy] = L'\0';
    pInfo->lpszText = pInfo->szText;
    pInfo->hinst = NULL;
    if (pResult != NULL)
        *pResult = 0;
    return TRUE;
}
