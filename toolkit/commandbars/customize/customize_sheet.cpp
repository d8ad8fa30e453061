#include "customize/customize_sheet.h"

#include "commandbars_resource_ids.h"
#include "control_edit.h"
#include "customize/image_editor_dialog.h"
#include "customize/image_editor_model.h"
#include "draw_helpers.h"
#include "image_manager.h"
#include "resource_loader.h"

#include <afxole.h>
#include <afxpriv.h>

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNCREATE(CXTPCustomizeContextPopup, CXTPPopupBar)
IMPLEMENT_DYNCREATE(CXTPCustomizeImagesPopup, CXTPPopupToolBar)
IMPLEMENT_DYNCREATE(CXTPCustomizeNameEdit, CXTPControlEdit)
IMPLEMENT_DYNAMIC(CXTPCustomizeSheet, CPropertySheet)

namespace {
const int kImageSize = 16;

BOOL HasButtonType(const CXTPControl* pControl)
{
    const int nType = pControl->GetType();
    return nType >= xtpControlButton && nType <= xtpControlSplitButtonPopup;
}

// The image id of a control: its own icon, else its icon id, else its command id.
int ImageIdOf(const CXTPControl* pControl)
{
    return pControl->GetIconId();
}
} // namespace

void CXTPCustomizeContextPopup::OnUpdateCmdUI(BOOL)
{
    if (m_pSheet == NULL)
        return;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        CXTPControlCmdUI state(pControl);
        m_pSheet->UpdateCommand(&state);
    }
}

CSize CXTPCustomizeImagesPopup::CalcDynamicLayout(int, DWORD dwMode)
{
    const CSize size = CXTPPopupToolBar::CalcDynamicLayout(m_nWidth, dwMode);
    return CSize(m_nWidth, size.cy);
}

void CXTPCustomizeNameEdit::SetLabelTextWidth(int nWidth)
{
    if (nWidth == m_nLabelTextWidth)
        return;
    m_nLabelTextWidth = nWidth;
    m_bDelayReposition = TRUE;
    DelayLayoutParent();
}

int CXTPCustomizeNameEdit::GetOwnLabelWidth() const
{
    const BOOL bLabel = IsLabeled() && !GetCaption().IsEmpty();
    return (bLabel ? m_nLabelTextWidth : 0) + 10;
}

CXTPCustomizeSheet::CXTPCustomizeSheet(CXTPCommandBars* pCommandBars)
    : CPropertySheet(L"Customize"), m_pageToolbars(this), m_pageCommands(this), m_pageKeyboard(this),
      m_pageOptions(this), m_pCommandBars(pCommandBars)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&m_pageToolbars);
    AddPage(&m_pageCommands);
    AddPage(&m_pageKeyboard);
    AddPage(&m_pageOptions);
    m_pStockImages = new CXTPImageManager;
    UINT ids[XTP_CUSTOMIZE_IMAGE_COUNT];
    for (UINT i = 0; i < XTP_CUSTOMIZE_IMAGE_COUNT; ++i)
        ids[i] = i + 1;
    m_pStockImages->SetMaskColor(RGB(255, 0, 255));
    m_pStockImages->AddIconsFromBitmap(
        AfxFindResourceHandle(MAKEINTRESOURCE(XTP_IDB_CUSTOMIZE_IMAGES), RT_BITMAP), XTP_IDB_CUSTOMIZE_IMAGES,
        ids, XTP_CUSTOMIZE_IMAGE_COUNT, kImageSize, kImageSize);
    BuildContextPopup();
}

CXTPCustomizeSheet::~CXTPCustomizeSheet()
{
    if (m_pCommandBars->GetCustomizeSheet() == this)
        m_pCommandBars->SetCustomizeSheet(NULL);
    if (m_pContextPopup != NULL)
        m_pContextPopup->InternalRelease();
    for (XTP_CUSTOMIZE_CATEGORY& category : m_categories)
        for (CXTPControl* pControl : category.controls)
            pControl->InternalRelease();
    m_pStockImages->InternalRelease();
}

int CXTPCustomizeSheet::GetStockImageCount() const
{
    return static_cast<int>(m_pStockImages->GetImages().GetCount());
}

int CXTPCustomizeSheet::MeasureMenuText(const CString& strText) const
{
    CXTPPaintManagerCore* pPaintManager = m_pCommandBars->GetPaintManager();
    if (pPaintManager == NULL)
        return 0;
    CClientDC dc(NULL);
    CXTFontSelector font(&dc, pPaintManager->GetRegularFont());
    CRect rcText(0, 0, 0, 0);
    dc.DrawText(strText, rcText, DT_SINGLELINE | DT_CALCRECT);
    return rcText.Width();
}

void CXTPCustomizeSheet::BuildContextPopup()
{
    m_pContextPopup =
        static_cast<CXTPCustomizeContextPopup*>(RUNTIME_CLASS(CXTPCustomizeContextPopup)->CreateObject());
    m_pContextPopup->m_pSheet = this;
    m_pContextPopup->SetCommandBars(m_pCommandBars);
    CMenu menu;
    if (!GetResourceLoader()->LoadMenu(&menu, XTP_IDR_CUSTOMIZEMENU) || menu.GetSubMenu(0) == NULL)
        return;
    m_pContextPopup->LoadMenu(menu.GetSubMenu(0));
    CXTPControls* pControls = m_pContextPopup->GetControls();
    for (int i = 0; i < pControls->GetCount(); ++i) {
        CXTPControl* pControl = pControls->GetAt(i);
        pControl->SetSite(this);
        pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
    }
    // The name item is a field labelled with its caption.
    if (CXTPControl* pName = pControls->FindControl(XTP_ID_CUSTOMIZE_NAME)) {
        const int nIndex = pName->GetIndex();
        const CString strCaption = pName->GetCaption();
        pControls->Remove(pName);
        m_pNameEdit =
            static_cast<CXTPCustomizeNameEdit*>(RUNTIME_CLASS(CXTPCustomizeNameEdit)->CreateObject());
        pControls->AddControl(m_pNameEdit, XTP_ID_CUSTOMIZE_NAME, NULL, nIndex);
        m_pNameEdit->SetCaption(strCaption);
        m_pNameEdit->ShowLabel(TRUE);
        m_pNameEdit->SetLabelTextWidth(MeasureMenuText(strCaption));
        m_pNameEdit->SetSite(this);
        m_pNameEdit->SetWidth(150);
        m_pNameEdit->SetFlags(m_pNameEdit->GetFlags() | xtpFlagManualUpdate);
    }
    // The stock images, in a near-square grid.
    // The submenu item stands after "Edit Button Image..." and takes the command's id.
    CXTPControl* pEditImage = pControls->FindControl(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE);
    auto* pChange = pEditImage != NULL
                        ? DYNAMIC_DOWNCAST(CXTPControlPopup, pControls->GetAt(pEditImage->GetIndex() + 1))
                        : NULL;
    if (pChange != NULL) {
        const CString strCaption = pChange->GetCaption();
        pChange->SetID(XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE);
        pChange->SetCaption(strCaption);
        m_pImagesPopup =
            static_cast<CXTPCustomizeImagesPopup*>(RUNTIME_CLASS(CXTPCustomizeImagesPopup)->CreateObject());
        m_pImagesPopup->SetCommandBars(m_pCommandBars);
        m_pStockImages->InternalAddRef();
        m_pImagesPopup->SetImageManager(m_pStockImages);
        const int nCount = GetStockImageCount();
        m_pImagesPopup->m_nWidth =
            static_cast<int>(std::floor(std::sqrt(static_cast<double>(nCount)))) * 23 + 6;
        for (int k = 1; k <= nCount; ++k) {
            CXTPControl* pButton =
                m_pImagesPopup->GetControls()->Add(xtpControlButton, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE);
            pButton->SetIconId(k);
            pButton->SetCaption(L"");
            pButton->SetTooltip(L"");
            pButton->SetSite(this);
            pButton->SetFlags(pButton->GetFlags() | xtpFlagManualUpdate);
        }
        pChange->SetCommandBar(m_pImagesPopup);
        m_pImagesPopup->InternalRelease();
    }
}

void CXTPCustomizeSheet::AddCategory(LPCTSTR lpszName, const std::vector<CXTPControl*>& controls)
{
    XTP_CUSTOMIZE_CATEGORY category;
    category.strName = lpszName;
    for (CXTPControl* pControl : controls) {
        pControl->InternalAddRef();
        category.controls.push_back(pControl);
    }
    m_categories.push_back(category);
}

const std::vector<XTP_CUSTOMIZE_CATEGORY>& CXTPCustomizeSheet::GetCategories()
{
    if (!m_categories.empty())
        return m_categories;
    // One category per category name found on the bars, in the order first seen.
    for (int i = 0; i < m_pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = m_pCommandBars->GetAt(i);
        for (int j = 0; j < pBar->GetControlCount(); ++j) {
            CXTPControl* pControl = pBar->GetControl(j);
            const CString strCategory = pControl->GetCategory();
            if (strCategory.IsEmpty() || pControl->GetID() <= 0)
                continue;
            auto it = std::find_if(m_categories.begin(), m_categories.end(),
                                   [&](const XTP_CUSTOMIZE_CATEGORY& c) { return c.strName == strCategory; });
            if (it == m_categories.end()) {
                m_categories.push_back(XTP_CUSTOMIZE_CATEGORY{strCategory, {}});
                it = m_categories.end() - 1;
            }
            pControl->InternalAddRef();
            it->controls.push_back(pControl);
        }
    }
    return m_categories;
}

void CXTPCustomizeSheet::ShowContextMenu(CPoint ptScreen)
{
    if (m_pContextPopup == NULL || GetTarget() == NULL)
        return;
    UINT nFlags = TPM_RECURSE;
    if (m_pCommandBars->IsRightToLeft())
        nFlags |= TPM_RIGHTALIGN;
    if (m_pNameEdit != NULL)
        m_pNameEdit->SetEditText(GetTarget()->GetCaption());
    CXTPCommandBars::TrackPopupBar(m_pContextPopup, nFlags, ptScreen.x, ptScreen.y,
                                   m_pCommandBars->GetSite());
}

void CXTPCustomizeSheet::UpdateCommand(CCmdUI* pCmdUI)
{
    CXTPControl* pControl = GetTarget();
    if (pControl == NULL) {
        pCmdUI->Enable(FALSE);
        return;
    }
    const BOOL bButton = HasButtonType(pControl);
    const BOOL bImage = bButton && ImageIdOf(pControl) > 0;
    switch (pCmdUI->m_nID) {
    case XTP_ID_CUSTOMIZE_RESET:
        pCmdUI->Enable(pControl->GetCustomIconId() != 0 || !pControl->GetCustomCaption().IsEmpty() ||
                       pControl->GetStyle() != 0);
        break;
    case XTP_ID_CUSTOMIZE_DELETE:
    case XTP_ID_CUSTOMIZE_NAME:
        pCmdUI->Enable(TRUE);
        break;
    case XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE:
    case XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE:
    case XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE:
        pCmdUI->Enable(bImage);
        break;
    case XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE:
        pCmdUI->Enable(bButton && ::IsClipboardFormatAvailable(CF_BITMAP));
        break;
    case XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE:
        pCmdUI->Enable(pControl->GetCustomIconId() > 0);
        break;
    case XTP_ID_CUSTOMIZE_DEFAULTSTYLE:
    case XTP_ID_CUSTOMIZE_TEXTONLY:
    case XTP_ID_CUSTOMIZE_IMAGEANDTEXT: {
        const int nStyle = pCmdUI->m_nID == XTP_ID_CUSTOMIZE_DEFAULTSTYLE ? 0
                           : pCmdUI->m_nID == XTP_ID_CUSTOMIZE_TEXTONLY   ? 1
                                                                          : 3;
        pCmdUI->Enable(bButton);
        pCmdUI->SetCheck(bButton && pControl->GetStyle() == nStyle);
        break;
    }
    case XTP_ID_CUSTOMIZE_BEGINAGROUP:
        pCmdUI->Enable(pControl->GetIndex() != 0);
        pCmdUI->SetCheck(pControl->GetBeginGroup());
        break;
    default:
        break;
    }
}

void CXTPCustomizeSheet::RefreshTarget(CXTPControl* pControl)
{
    if (pControl != NULL && pControl->GetParent() != NULL)
        pControl->DelayLayoutParent();
}

void CXTPCustomizeSheet::RunCommand(UINT nId, CXTPControl* pSender)
{
    CXTPControl* pControl = GetTarget();
    if (pControl == NULL)
        return;
    pControl->InternalAddRef();
    switch (nId) {
    case XTP_ID_CUSTOMIZE_RESET:
        pControl->SetCustomIconId(0);
        pControl->SetCustomCaption(L"");
        pControl->SetStyle(0);
        break;
    case XTP_ID_CUSTOMIZE_DELETE:
        m_pCommandBars->SetDragControl(NULL);
        if (CXTPControls* pControls = pControl->GetControls()) {
            CXTPCommandBar* pBar = pControl->GetParent();
            pControls->Remove(pControl);
            if (pBar != NULL)
                pBar->DelayLayout();
        }
        break;
    case XTP_ID_CUSTOMIZE_NAME:
        if (m_pNameEdit != NULL)
            pControl->SetCustomCaption(m_pNameEdit->GetEditText());
        break;
    case XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE:
        CopyButtonImage();
        break;
    case XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE:
        PasteButtonImage();
        break;
    case XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE:
        pControl->SetCustomIconId(0);
        break;
    case XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE:
        EditButtonImage();
        break;
    case XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE:
        if (pSender != NULL)
            ChangeButtonImage(pSender->GetIconId());
        break;
    case XTP_ID_CUSTOMIZE_DEFAULTSTYLE:
        pControl->SetStyle(0);
        break;
    case XTP_ID_CUSTOMIZE_TEXTONLY:
        pControl->SetStyle(1);
        break;
    case XTP_ID_CUSTOMIZE_IMAGEANDTEXT:
        pControl->SetStyle(3);
        break;
    case XTP_ID_CUSTOMIZE_BEGINAGROUP:
        pControl->SetBeginGroup(!pControl->GetBeginGroup());
        break;
    default:
        break;
    }
    RefreshTarget(pControl);
    pControl->InternalRelease();
}

UINT CXTPCustomizeSheet::NewImageId() const
{
    CXTPImageManager* pImages = m_pCommandBars->GetImageManager();
    UINT nId = std::max<UINT>(pImages->GetLastCustomID() + 1, 0x10AAB);
    while (pImages->LookupIconSet(nId) != NULL)
        ++nId;
    return nId;
}

BOOL CXTPCustomizeSheet::CopyButtonImage()
{
    CXTPControl* pControl = GetTarget();
    if (pControl == NULL || !HasButtonType(pControl) || ImageIdOf(pControl) <= 0)
        return FALSE;
    CXTPImageManagerIcon* pIcon =
        m_pCommandBars->GetImageManager()->GetImage(static_cast<UINT>(ImageIdOf(pControl)), kImageSize);
    if (pIcon == NULL)
        return FALSE;
    const BOOL bAlpha = pIcon->IsAlpha();
    HBITMAP hBitmap = NULL;
    if (bAlpha) {
        hBitmap = CopyAlphaBitmap(pIcon->GetImage().GetBitmap());
    } else {
        CWindowDC dcScreen(NULL);
        CDC dc;
        dc.CreateCompatibleDC(&dcScreen);
        hBitmap = ::CreateCompatibleBitmap(dcScreen.GetSafeHdc(), kImageSize, kImageSize);
        HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hBitmap);
        dc.FillSolidRect(0, 0, kImageSize, kImageSize, ::GetSysColor(COLOR_BTNFACE));
        ::DrawStateW(dc.GetSafeHdc(), NULL, NULL, reinterpret_cast<LPARAM>(pIcon->GetImage().GetIcon()), 0, 0,
                     0, kImageSize, kImageSize, DST_ICON | DSS_NORMAL);
        ::SelectObject(dc.GetSafeHdc(), hOld);
    }
    if (hBitmap == NULL)
        return FALSE;
    // The command's whole icon set goes in the image manager's own format first (that call empties
    // the clipboard); the picture joins it.
    CXTPImageManager* pImages = m_pCommandBars->GetImageManager();
    const UINT nImageId = static_cast<UINT>(ImageIdOf(pControl));
    const BOOL bIconSet =
        pImages->LookupIconSet(nImageId) != NULL && pImages->CopyToClipboard(nImageId, GetSafeHwnd());
    if (!::OpenClipboard(GetSafeHwnd())) {
        ::DeleteObject(hBitmap);
        return FALSE;
    }
    if (!bIconSet)
        ::EmptyClipboard();
    ::SetClipboardData(CF_BITMAP, hBitmap);
    if (bAlpha) {
        if (HGLOBAL hMarker = ::GlobalAlloc(GMEM_MOVEABLE, 1)) {
            *static_cast<BYTE*>(::GlobalLock(hMarker)) = 1;
            ::GlobalUnlock(hMarker);
            ::SetClipboardData(CXTPImageManager::GetAlphaClipboardFormat(), hMarker);
        }
    }
    ::CloseClipboard();
    return TRUE;
}

BOOL CXTPCustomizeSheet::PasteButtonImage()
{
    CXTPControl* pControl = GetTarget();
    if (pControl == NULL || !HasButtonType(pControl))
        return FALSE;
    CXTPImageManager* pImages = m_pCommandBars->GetImageManager();
    if (::IsClipboardFormatAvailable(CXTPImageManager::GetClipboardFormat())) {
        COleDataObject data;
        if (data.AttachClipboard()) {
            const UINT nId = pImages->PasteFromClipboard(&data);
            if (nId != 0) {
                pControl->SetCustomIconId(static_cast<int>(nId));
                return TRUE;
            }
        }
    }
    if (!::IsClipboardFormatAvailable(CF_BITMAP) || !::OpenClipboard(GetSafeHwnd()))
        return FALSE;
    BOOL bResult = FALSE;
    HBITMAP hBitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    BITMAP bm{};
    // Another program's data: its real size and depth decide, and only a 16 x 16 picture is taken.
    const BOOL bFits = hBitmap != NULL && ::GetObjectW(hBitmap, sizeof(bm), &bm) == sizeof(bm) &&
                       bm.bmWidth == kImageSize && bm.bmHeight == kImageSize && bm.bmPlanes == 1;
    HANDLE hMarker = ::GetClipboardData(CXTPImageManager::GetAlphaClipboardFormat());
    const BOOL bAlphaMarker = hMarker != NULL && ::GlobalSize(hMarker) >= 1;
    if (bFits && bAlphaMarker && bm.bmBitsPixel == 32) {
        CXTPImageHandle handle;
        handle.SetBitmap(hBitmap);
        const UINT nId = NewImageId();
        if (!handle.IsEmpty() && pImages->SetCommandImage(handle, nId, kImageSize, kImageSize)) {
            pControl->SetCustomIconId(static_cast<int>(nId));
            bResult = TRUE;
        }
    } else if (bFits && !bAlphaMarker &&
               (bm.bmBitsPixel == 1 || bm.bmBitsPixel == 4 || bm.bmBitsPixel == 8 || bm.bmBitsPixel == 16 ||
                bm.bmBitsPixel == 24 || bm.bmBitsPixel == 32)) {
        HIMAGELIST hList = ::ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 1, 1);
        if (hList != NULL) {
            ::ImageList_AddMasked(hList, hBitmap, ::GetSysColor(COLOR_BTNFACE));
            if (::ImageList_GetImageCount(hList) == 1) {
                CXTPImageHandle handle;
                handle.SetIcon(::ImageList_GetIcon(hList, 0, ILD_NORMAL));
                const UINT nId = NewImageId();
                if (pImages->SetCommandIcon(handle, nId)) {
                    pControl->SetCustomIconId(static_cast<int>(nId));
                    bResult = TRUE;
                }
            }
            ::ImageList_Destroy(hList);
        }
    }
    ::CloseClipboard();
    return bResult;
}

BOOL CXTPCustomizeSheet::EditButtonImage()
{
    CXTPControl* pControl = GetTarget();
    if (pControl == NULL || !HasButtonType(pControl) || ImageIdOf(pControl) <= 0)
        return FALSE;
    CXTPImageManager* pImages = m_pCommandBars->GetImageManager();
    CXTPImageManagerIcon* pIcon = pImages->GetImage(static_cast<UINT>(ImageIdOf(pControl)), kImageSize);
    CXTPImageEditorDlg dlg(this);
    dlg.SetPicture(pIcon != NULL ? &pIcon->GetImage() : NULL);
    dlg.SetPictureSize(CSize(kImageSize, kImageSize));
    if (dlg.DoModal() != IDOK)
        return FALSE;
    // The edited picture as a 32-bit image with straight alpha.
    const CXTPImageEditorBitmap& picture = dlg.GetPicture();
    const CSize size = picture.GetSize();
    BITMAPINFO bmi = XTPImageEditorBitmapInfo(size);
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap == NULL)
        return FALSE;
    auto* pPixels = static_cast<DWORD*>(pBits);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF clr = picture.GetPixel(x, y);
            const BYTE nAlpha = picture.GetAlpha(x, y);
            pPixels[y * size.cx + x] = nAlpha == 0
                                           ? 0
                                           : (static_cast<DWORD>(nAlpha) << 24) |
                                                 (static_cast<DWORD>(GetRValue(clr)) << 16) |
                                                 (static_cast<DWORD>(GetGValue(clr)) << 8) | GetBValue(clr);
        }
    CXTPImageHandle handle;
    handle.SetBitmap(hBitmap);
    ::DeleteObject(hBitmap);
    // A control with an own image keeps its id; otherwise the picture gets a new one.
    const UINT nId =
        pControl->GetCustomIconId() > 0 ? static_cast<UINT>(pControl->GetCustomIconId()) : NewImageId();
    if (!pImages->SetCommandImage(handle, nId, kImageSize, kImageSize))
        return FALSE;
    pControl->SetCustomIconId(static_cast<int>(nId));
    return TRUE;
}

void CXTPCustomizeSheet::ChangeButtonImage(int nStockImage)
{
    CXTPControl* pControl = GetTarget();
    CXTPImageManagerIcon* pStock =
        nStockImage > 0 ? m_pStockImages->GetImage(static_cast<UINT>(nStockImage), kImageSize) : NULL;
    if (pControl == NULL || pStock == NULL)
        return;
    const UINT nId = NewImageId();
    if (m_pCommandBars->GetImageManager()->SetCommandImage(pStock->GetImage(), nId, kImageSize, kImageSize))
        pControl->SetCustomIconId(static_cast<int>(nId));
}

BOOL CXTPCustomizeSheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID >= XTP_ID_CUSTOMIZE_RESET && nID <= XTP_ID_CUSTOMIZE_BEGINAGROUP) {
        if (nCode == static_cast<int>(CN_UPDATE_COMMAND_UI) && pExtra != NULL) {
            UpdateCommand(static_cast<CCmdUI*>(pExtra));
            return TRUE;
        }
        if (nCode == CN_COMMAND) {
            if (pHandlerInfo == NULL)
                RunCommand(nID);
            return TRUE;
        }
    }
    return CPropertySheet::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CXTPCustomizeSheet::OnControlExecuted(WPARAM wParam, LPARAM lParam)
{
    const UINT nId = static_cast<UINT>(wParam);
    auto* pNotify = reinterpret_cast<NMXTPCONTROL*>(lParam);
    if (nId >= XTP_ID_CUSTOMIZE_RESET && nId <= XTP_ID_CUSTOMIZE_BEGINAGROUP) {
        if (pNotify != NULL && pNotify->hdr.code == XTP_CN_EXECUTE) {
            RunCommand(nId, pNotify->pControl);
            return 1;
        }
        return 0;
    }
    CWnd* pSite = m_pCommandBars->GetSite();
    if (pSite == NULL || !::IsWindow(pSite->GetSafeHwnd()))
        return 0;
    const LRESULT lResult = pSite->SendMessage(XTP_WM_CONTROL_EXECUTED, wParam, lParam);
    if (lResult == 0 && pNotify != NULL && pNotify->hdr.code == XTP_CN_EXECUTE)
        pSite->SendMessage(WM_COMMAND, wParam, 0);
    return 1;
}

BOOL CXTPCustomizeSheet::OnInitDialog()
{
    const BOOL bResult = CPropertySheet::OnInitDialog();
    m_pCommandBars->SetCustomizeSheet(this);
    m_pCommandBars->SetCustomizeMode(TRUE);
    return bResult;
}

LRESULT CXTPCustomizeSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case XTP_WM_CONTROL_EXECUTED:
        return OnControlExecuted(wParam, lParam);
    case WM_DESTROY:
        m_pCommandBars->SetCustomizeMode(FALSE);
        m_pCommandBars->SetCustomizeSheet(NULL);
        m_pCommandBars->RecalcFrameLayout();
        break;
    default:
        break;
    }
    return CPropertySheet::WindowProc(message, wParam, lParam);
}
