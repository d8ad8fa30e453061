#include "home_view.h"

#include <afxdlgs.h>

#include "drive_step_view.h"
#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "main_frame.h"
#include "message_dialogs.h"
#include "mode_summaries.h"
#include "recovery_app.h"
#include "resource.h"
#include "results_view.h"
#include "wizard_state.h"

#include <string>

ScanSelectionUiBlock ScanSelectionUi;

IMPLEMENT_DYNCREATE(CEx_StyleView, CWizardStepView)

// clang-format off
BEGIN_MESSAGE_MAP(CEx_StyleView, CWizardStepView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(kHomeQuickScanButton, OnQuickScan)
    ON_BN_CLICKED(kHomeExtensiveScanButton, OnExtensiveScan)
    ON_BN_CLICKED(kHomeFileTraceButton, OnFileTrace)
    ON_BN_CLICKED(kHomeSelectButton, OnSelectImage)
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr COLORREF kAccent = RGB(0x1D, 0x75, 0xBD); // 0xBD751D as a COLORREF
constexpr COLORREF kHintColour = RGB(0x3A, 0x3A, 0x3A);
constexpr COLORREF kBackground = RGB(248, 250, 252);

constexpr wchar_t kCaption[] = L"Please select VMDK file. ";
constexpr wchar_t kHintNone[] = L"Please click Recover Button.";
constexpr wchar_t kHintQuick[] = L"Click here to recover data from VMDK files.";
constexpr wchar_t kHintFileTrace[] =
    L"\t    Select the File Trace mode if both Quick scan and Extensive scan mode do not work for you.";
constexpr wchar_t kHintExtensive[] = L"Select this mode to recover data from high corruptions of VMDK files.";

constexpr wchar_t kNoPathText[] = L"\nPlease Select VMDK file...";
constexpr wchar_t kMissingFileText[] = L" file does not exists.";
constexpr wchar_t kFileInUseText[] =
    L"This VMDK file is already opened in another program. Please close VMDK file "
    L"in another program and then select to recover.";
constexpr wchar_t kBadVmdkText[] =
    L"This VMDK file is highly corrupted or Invalid file type. Please select other VMDK file to recover.";
constexpr wchar_t kBadVhdQuickText[] =
    L"This VHD/VHDX file is either not readable using Quick Scan or highly "
    L"corrupted. Please select extensive scan to recover.";
constexpr wchar_t kBadVhdText[] =
    L"This VHD/VHDX file is highly corrupted or Invalid file type. Please select other file to recover.";

constexpr wchar_t kSelectTitle[] = L"Add VMDK file to recover.";
constexpr wchar_t kSelectFilter[] = L"Virtual Machine Disk(*.vmdk)|*.vmdk||";

void ShowMessage(LPCWSTR text, std::uint32_t kind)
{
    MessageBoxRequest.Set(text, kind);
    CMessageDlg dialog;
    dialog.DoModal();
}

std::u16string ToU16(const CString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)), text.GetLength());
}

bool FileExists(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

CMainFrame* Frame()
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

// The drive step lists the opened image as a source. It starts again from an empty tree for a new image,
// and only refreshes for the image it already shows.
void RefreshDriveStep(bool newImage)
{
    if (auto* pDrive =
            DYNAMIC_DOWNCAST(CFirstView_HDD, static_cast<CRecoveryApp*>(AfxGetApp())->GetView(kViewDrive)))
        pDrive->InitDiskAccess(newImage);
}

// The result list gets the chosen mode's columns; the old ones go first, so that a second choice after a
// refusal does not add them twice.
void SetModeColumns(std::uint32_t scanKind)
{
    auto* pResults =
        DYNAMIC_DOWNCAST(CThirdView_HDD, static_cast<CRecoveryApp*>(AfxGetApp())->GetView(kViewResults));
    if (pResults != NULL && pResults->m_resultList.GetSafeHwnd() != NULL)
        pResults->SetResultColumns(SnapshotResultColumns(scanKind));
}

void DrawBitmap(CDC& dc, UINT id, int x, int y)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(id))
        return;
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    CDC source;
    source.CreateCompatibleDC(&dc);
    CBitmap* pOld = source.SelectObject(&bitmap);
    dc.BitBlt(x, y, info.bmWidth, info.bmHeight, &source, 0, 0, SRCCOPY);
    source.SelectObject(pOld);
}

} // namespace

bool ImageKindOfPath(const CString& path, std::uint32_t& imageKind)
{
    const int dot = path.ReverseFind(L'.');
    const int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    if (dot < 0 || dot < slash)
        return false;
    const CString extension = path.Mid(dot + 1);
    if (extension.CompareNoCase(L"vmdk") == 0)
        imageKind = kImageVmdk;
    else if (extension.CompareNoCase(L"vhd") == 0)
        imageKind = kImageVhd;
    else if (extension.CompareNoCase(L"vhdx") == 0)
        imageKind = kImageVhdx;
    else
        return false;
    return true;
}

INT_PTR (*CEx_StyleView::s_pfnRunSelectDialog)(CFileDialog& dialog) = NULL;

CEx_StyleView::CEx_StyleView() = default;
CEx_StyleView::~CEx_StyleView() = default;

int CEx_StyleView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWizardStepView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_fontNormal.CreateFontW(18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_fontSelect.CreateFontW(17, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_fontPath.CreateFontW(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_fontCaption.CreateFontW(27, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_fontHint.CreateFontW(16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    m_fontTitle.CreateFontW(24, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Trebuchet MS");
    m_whiteBrush.CreateSolidBrush(RGB(255, 255, 255));

    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
    const CRect empty(0, 0, 0, 0);
    struct ModeButton
    {
        CToolButton& button;
        UINT id, normal, hover, hint;
    };
    ModeButton buttons[] = {
        {m_quickScanButton, kHomeQuickScanButton, IDB_HOME_QUICK_SCAN, IDB_HOME_QUICK_SCAN_HOVER, 1},
        {m_fileTraceButton, kHomeFileTraceButton, IDB_HOME_FILE_TRACE, IDB_HOME_FILE_TRACE_HOVER, 2},
        {m_extensiveScanButton, kHomeExtensiveScanButton, IDB_HOME_EXTENSIVE_SCAN,
         IDB_HOME_EXTENSIVE_SCAN_HOVER, 3},
    };
    for (ModeButton& mode : buttons) {
        mode.button.Create(L"", buttonStyle, empty, this, mode.id);
        mode.button.LoadBitmaps(mode.normal, mode.hover);
        mode.button.SetHoverHint(this, mode.hint);
    }
    m_selectButton.Create(L"Select", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, empty, this,
                          kHomeSelectButton);
    m_selectButton.SetFont(&m_fontSelect);
    m_pathBox.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL, empty, this,
                     kHomePathBox);
    m_pathBox.SetFont(&m_fontPath);
    // Only Quick Scan is offered here; the other two modes are still started by their commands.
    m_fileTraceButton.ShowWindow(SW_HIDE);
    m_extensiveScanButton.ShowWindow(SW_HIDE);
    return 0;
}

void CEx_StyleView::OnSize(UINT nType, int cx, int cy)
{
    CWizardStepView::OnSize(nType, cx, cy);
    if (m_pathBox.GetSafeHwnd() == NULL)
        return;
    const int midX = cx / 2;
    const int midY = cy / 2;
    m_quickScanButton.MoveWindow(midX - 96, midY - 81, 173, 203);
    m_fileTraceButton.MoveWindow(midX + 69, midY - 81, 163, 203);
    m_selectButton.MoveWindow(midX + 153, midY - 148, 83, 25);
    m_pathBox.MoveWindow(midX - 249, midY - 148, 400, 25);
}

BOOL CEx_StyleView::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

HBRUSH CEx_StyleView::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == 1126) {
        pDC->SetTextColor(kAccent);
        pDC->SetBkColor(RGB(0xF2, 0xF2, 0xF2));
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    if (pWnd == &m_selectButton || nCtlColor == CTLCOLOR_EDIT) {
        if (pWnd == &m_selectButton)
            pDC->SetTextColor(kAccent);
        pDC->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    return CWizardStepView::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CEx_StyleView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(pDC, client.Width(), client.Height());
    CBitmap* pOldCanvas = memory.SelectObject(&canvas);
    memory.FillSolidRect(&client, kBackground);

    const int midX = client.Width() / 2;
    const int midY = client.Height() / 2;
    DrawBitmap(memory, IDB_HOME_PANEL, midX - 310, midY - 200);
    DrawBitmap(memory, IDB_HOME_BAND, midX - 310, midY - 208);
    DrawBitmap(memory, IDB_HOME_MARK_LEFT, midX - 290, midY + 110);
    DrawBitmap(memory, IDB_HOME_MARK_RIGHT, midX + 250, midY + 110);

    DrawPathBoxFrame(memory);

    memory.SetBkMode(TRANSPARENT);
    CFont* pOldFont = memory.SelectObject(&m_fontNormal);
    memory.SetTextColor(kAccent);
    CRect caption(midX - 284, midY - 170, midX - 54, midY - 150);
    memory.DrawText(kCaption, -1, &caption, DT_CENTER | DT_SINGLELINE | DT_VCENTER);

    LPCWSTR hint = kHintNone;
    switch (SharedHoverValue) {
    case 1:
        hint = kHintQuick;
        break;
    case 2:
        hint = kHintFileTrace;
        break;
    case 3:
        hint = kHintExtensive;
        break;
    default:
        break;
    }
    memory.SelectObject(SharedHoverValue == 0 ? &m_fontHint : &m_fontNormal);
    memory.SetTextColor(kHintColour);
    CRect hintBox(midX - (SharedHoverValue == 0 ? 360 : 380), midY + 140, midX + 360, midY + 160);
    memory.DrawText(hint, -1, &hintBox, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
    memory.SelectObject(pOldFont);

    pDC->BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(pOldCanvas);
}

void CEx_StyleView::DrawPathBoxFrame(CDC& dc)
{
    if (m_pathBox.GetSafeHwnd() == NULL)
        return;
    CRect box;
    m_pathBox.GetWindowRect(&box);
    ScreenToClient(&box);
    box.InflateRect(1, 1);
    CPen accent(PS_SOLID, 1, kAccent);
    CPen* pOld = dc.SelectObject(&accent);
    CBrush* pOldBrush = static_cast<CBrush*>(dc.SelectStockObject(NULL_BRUSH));
    dc.Rectangle(&box);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOld);
}

void CEx_StyleView::OnSelectImage()
{
    CFileDialog dialog(TRUE, NULL, NULL, OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY, kSelectFilter,
                       this);
    dialog.m_ofn.lpstrTitle = kSelectTitle;
    const INT_PTR answer = s_pfnRunSelectDialog != NULL ? s_pfnRunSelectDialog(dialog) : dialog.DoModal();
    if (answer != IDOK)
        return;
    const CString path = dialog.GetPathName();
    if (!FileExists(path)) {
        CString name = dialog.GetFileName();
        name.Trim();
        ShowMessage(name + kMissingFileText, kMessageKindQuestion);
        return;
    }
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        ShowMessage(kFileInUseText, kMessageKindError);
        return;
    }
    ::CloseHandle(file);
    m_pathBox.SetWindowText(path);
}

BOOL CEx_StyleView::OpenSelectedImage()
{
    CString path;
    m_pathBox.GetWindowText(path);
    path.Trim();
    if (path.IsEmpty()) {
        ShowMessage(kNoPathText, kMessageKindInformation);
        return FALSE;
    }
    if (!FileExists(path)) {
        ShowMessage(path + kMissingFileText, kMessageKindInformation);
        return FALSE;
    }
    std::uint32_t imageKind = 0;
    CMainFrame* pFrame = Frame();
    if (!ImageKindOfPath(path, imageKind) || pFrame == NULL) {
        ShowMessage(kBadVmdkText, kMessageKindError);
        m_nQuick = 0;
        return FALSE;
    }
    pFrame->EnsureImageReaders();
    const std::u16string source = ToU16(path);
    bool opened = false;
    if (imageKind == kImageVmdk) {
        opened = pFrame->m_pVmdkExtent->Open(source) != 0;
    } else {
        CImageSource* pImages = pFrame->m_pImageSource;
        opened = pImages->Create(imageKind == kImageVhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx) !=
                     NULL &&
                 pImages->Open(source) != 0;
    }
    if (!opened) {
        if (imageKind == kImageVmdk) {
            pFrame->EnableOpenCommand(1);
            ShowMessage(kBadVmdkText, kMessageKindError);
        } else {
            ShowMessage(m_nQuick != 0 ? kBadVhdQuickText : kBadVhdText, kMessageKindError);
        }
        m_nQuick = 0;
        return FALSE;
    }
    ScanSelection.imageKind = imageKind;
    RefreshDriveStep(path != m_lastOpenedPath);
    m_lastOpenedPath = path;
    pFrame->EnableOpenCommand(0);
    return TRUE;
}

void CEx_StyleView::StartMode(std::uint32_t scanKind, LPCWSTR modeName, LPCWSTR modeSummary,
                              std::uint32_t& modeStep)
{
    CMainFrame* pFrame = Frame();
    if (pFrame != NULL) {
        pFrame->m_flags.results = 0;
        pFrame->m_flags.extensiveResults = 0;
    }
    ScanSelection.modeName = ToU16(modeName);
    if (!OpenSelectedImage())
        return;
    if (pFrame != NULL)
        pFrame->m_flags.loadSnapshot = 1;
    ScanSelection.scanKind = scanKind;
    ScanSelectionUi.modeSummary = modeSummary;
    SetModeColumns(scanKind);
    SharedHoverValue = 0;
    modeStep = 1;
    static_cast<CRecoveryApp*>(AfxGetApp())->SwitchView(kViewDrive);
}

void CEx_StyleView::OnQuickScan()
{
    m_nQuick = 1;
    StartMode(kScanQuick, L"Quick Scan", kSummaryQuickImage, WizardStepState.quick);
    m_nQuick = 0;
}

void CEx_StyleView::OnExtensiveScan()
{
    StartMode(kScanExtensive, L"Extensive Scan", kSummaryExtensiveHome, WizardStepState.extensive);
}

void CEx_StyleView::OnFileTrace()
{
    StartMode(kScanFileTrace, L"File Trace", kSummaryFileTraceHome, WizardStepState.fileTrace);
}
