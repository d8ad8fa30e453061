// The button image editor's dialog on the test display, driven from a timer while it runs modal
// (with a safety limit that cancels it), its grid's cells, the clipboard in both formats and crafted
// "DIB32" data, and picture files made at build time. Leaves a screenshot of the editor.
#include "commandbars_resource_ids.h"
#include "customize/image_editor_dialog.h"
#include "customize/image_editor_transfer.h"
#include "image_manager.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const COLORREF kPaletteExpected[16] = {0x000000, 0x808080, 0x000080, 0x008080, 0x008000, 0x808000,
                                       0x800000, 0x800080, 0xFFFFFF, 0xC0C0C0, 0x0000FF, 0x00FFFF,
                                       0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF};

// The fixtures' pattern (make_customize_fixtures.py): colour by 4 x 4 block.
COLORREF PatternColor(int x, int y)
{
    const COLORREF colours[4] = {RGB(0x20, 0x40, 0x80), RGB(0xE0, 0x60, 0x10), RGB(0x30, 0xA0, 0x50),
                                 RGB(0xF0, 0xF0, 0x20)};
    return colours[(x / 4 + y / 4) % 4];
}

bool SamePixels(const CXTPImageEditorBitmap& a, const CXTPImageEditorBitmap& b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int y = 0; y < a.GetSize().cy; ++y)
        for (int x = 0; x < a.GetSize().cx; ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y) || a.GetAlpha(x, y) != b.GetAlpha(x, y))
                return false;
    return true;
}

// A 16 x 16 icon of the pattern whose left column is masked out.
HICON PatternIcon()
{
    std::vector<DWORD> colour(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const COLORREF clr = x == 0 ? RGB(0, 0, 0) : PatternColor(x, y);
            colour[y * 16 + x] = (GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr);
        }
    std::vector<WORD> mask(16, 0x0080); // bit 7 of the first byte: x = 0, rows word-aligned
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = ::CreateBitmap(16, 16, 1, 32, colour.data());
    info.hbmMask = ::CreateBitmap(16, 16, 1, 1, mask.data());
    HICON hIcon = ::CreateIconIndirect(&info);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return hIcon;
}

// Runs the dialog modal; the step runs once it shows, then the button given ends it. A dialog still
// open after five seconds is cancelled.
class ModalDriver
{
public:
    static INT_PTR Run(CXTPImageEditorDlg& dlg, std::function<void(CXTPImageEditorDlg&)> step, UINT nEnd)
    {
        s_pDlg = &dlg;
        s_step = std::move(step);
        s_nEnd = nEnd;
        s_nTicks = 0;
        const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, OnTimer);
        const INT_PTR nResult = dlg.DoModal();
        ::KillTimer(NULL, nTimer);
        s_pDlg = NULL;
        return nResult;
    }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (s_pDlg == NULL || !::IsWindow(s_pDlg->m_hWnd))
            return;
        if (++s_nTicks > 100) {
            s_pDlg->EndDialog(IDCANCEL);
            return;
        }
        if (s_step) {
            auto step = std::move(s_step);
            s_step = nullptr;
            step(*s_pDlg);
            s_pDlg->PostMessage(WM_COMMAND, s_nEnd);
        }
    }
    static CXTPImageEditorDlg* s_pDlg;
    static std::function<void(CXTPImageEditorDlg&)> s_step;
    static UINT s_nEnd;
    static int s_nTicks;
};
CXTPImageEditorDlg* ModalDriver::s_pDlg = NULL;
std::function<void(CXTPImageEditorDlg&)> ModalDriver::s_step;
UINT ModalDriver::s_nEnd = IDOK;
int ModalDriver::s_nTicks = 0;

// A click on a cell of the grid with the tool given.
void ClickCell(CXTPImageEditorDlg& dlg, UINT nTool, CPoint cell)
{
    dlg.SendMessage(WM_COMMAND, nTool);
    auto* pGrid = static_cast<CXTPImageEditorPicture*>(dlg.GetDlgItem(XTP_IDC_STATIC_PICTURE));
    const CSize szCell = pGrid->GetCellSize();
    const LPARAM lParam = MAKELPARAM(cell.x * szCell.cx + szCell.cx / 2, cell.y * szCell.cy + szCell.cy / 2);
    pGrid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    pGrid->SendMessage(WM_LBUTTONUP, 0, lParam);
}

// The dialog's toolbar that holds the command.
CToolBarCtrl* ToolBarOf(CXTPImageEditorDlg& dlg, UINT nCommand)
{
    for (HWND hBar = ::FindWindowExW(dlg.m_hWnd, NULL, TOOLBARCLASSNAMEW, NULL); hBar != NULL;
         hBar = ::FindWindowExW(dlg.m_hWnd, hBar, TOOLBARCLASSNAMEW, NULL))
        if (::SendMessage(hBar, TB_COMMANDTOINDEX, nCommand, 0) >= 0)
            return static_cast<CToolBarCtrl*>(CWnd::FromHandle(hBar));
    return NULL;
}

void ClickPicker(CXTPImageEditorDlg& dlg, UINT nID)
{
    dlg.GetDlgItem(nID)->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
}

TEST(ImageEditorDialog, OkReturnsTheEditedPictureAndCancelTheOriginal)
{
    HICON hIcon = PatternIcon();
    ASSERT_NE(nullptr, hIcon);
    CXTPImageHandle handle;
    handle.SetIcon(hIcon);
    CXTPImageEditorBitmap expected(CSize(16, 16), FALSE);
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 16; ++x)
            expected.SetPixel(x, y, PatternColor(x, y));

    CXTPImageEditorDlg unchanged;
    unchanged.SetPicture(&handle);
    ASSERT_EQ(IDOK, ModalDriver::Run(
                        unchanged, [](CXTPImageEditorDlg&) {}, IDOK));
    EXPECT_TRUE(SamePixels(expected, unchanged.GetPicture()));

    std::vector<COLORREF> palette;
    CXTPImageEditorDlg cancelled;
    cancelled.SetPicture(&handle);
    ASSERT_EQ(IDCANCEL,
              ModalDriver::Run(
                  cancelled,
                  [&palette](CXTPImageEditorDlg& dlg) {
                      for (UINT nID = XTP_IDC_CLR_PALETTE_FIRST; nID < XTP_IDC_CLR_PALETTE_FIRST + 16; ++nID)
                          palette.push_back(
                              static_cast<CXTPImageEditorPicker*>(dlg.GetDlgItem(nID))->GetColor());
                      palette.push_back(
                          static_cast<CXTPImageEditorPicker*>(dlg.GetDlgItem(XTP_IDC_CLR_ERASE))->GetColor());
                      ClickCell(dlg, XTP_ID_BUTTON_PENCIL, CPoint(5, 5));
                  },
                  IDCANCEL));
    EXPECT_TRUE(SamePixels(expected, cancelled.GetPicture()));
    std::vector<COLORREF> expectedPalette(std::begin(kPaletteExpected), std::end(kPaletteExpected));
    expectedPalette.push_back(XTP_IMAGEEDITOR_TRANSPARENT);
    EXPECT_EQ(expectedPalette, palette);

    // The same click, kept: the cell takes the selected colour (black, the first swatch).
    CXTPImageEditorDlg edited;
    edited.SetPicture(&handle);
    ASSERT_EQ(IDOK,
              ModalDriver::Run(
                  edited, [](CXTPImageEditorDlg& dlg) { ClickCell(dlg, XTP_ID_BUTTON_PENCIL, CPoint(5, 5)); },
                  IDOK));
    EXPECT_EQ(RGB(0, 0, 0), edited.GetPicture().GetPixel(5, 5));
    EXPECT_EQ(PatternColor(6, 5), edited.GetPicture().GetPixel(6, 5));
}

TEST(ImageEditorDialog, PickColorSelectsTheCustomColourAndTheToolbarsFollowTheModel)
{
    CXTPImageEditorDlg dlg;
    COLORREF clrCustom = 0;
    BOOL bUndoEnabledBefore = TRUE, bUndoEnabledAfter = FALSE, bLineChecked = FALSE;
    ASSERT_EQ(IDOK,
              ModalDriver::Run(
                  dlg,
                  [&](CXTPImageEditorDlg& d) {
                      CToolBarCtrl* pToolBar = ToolBarOf(d, XTP_ID_BUTTON_LINE);
                      CToolBarCtrl* pEditBar = ToolBarOf(d, XTP_ID_BUTTON_UNDO);
                      ASSERT_TRUE(pToolBar != NULL && pEditBar != NULL && pToolBar != pEditBar);
                      d.SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, 0);
                      bUndoEnabledBefore = pEditBar->IsButtonEnabled(XTP_ID_BUTTON_UNDO);
                      ClickPicker(d, XTP_IDC_CLR_PALETTE_FIRST + 10); // red
                      ClickCell(d, XTP_ID_BUTTON_PENCIL, CPoint(3, 3));
                      d.SendMessage(WM_COMMAND, XTP_ID_BUTTON_LINE);
                      ClickCell(d, XTP_ID_BUTTON_GETCOLOR, CPoint(3, 3));
                      clrCustom =
                          static_cast<CXTPImageEditorPicker*>(d.GetDlgItem(XTP_IDC_CLR_PICKER))->GetColor();
                      d.SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, 0);
                      bUndoEnabledAfter = pEditBar->IsButtonEnabled(XTP_ID_BUTTON_UNDO);
                      bLineChecked = pToolBar->IsButtonChecked(XTP_ID_BUTTON_LINE);
                  },
                  IDOK));
    EXPECT_EQ(RGB(255, 0, 0), clrCustom);
    EXPECT_FALSE(bUndoEnabledBefore);
    EXPECT_TRUE(bUndoEnabledAfter);
    EXPECT_TRUE(bLineChecked) << "Pick Color returns to the tool before it";
    EXPECT_EQ(xtpImageEditorLine, dlg.GetModel().GetTool());
}

TEST(ImageEditorDialog, MoveButtonsShiftThePictureAndToolbarTipsComeFromTheStrings)
{
    struct Case
    {
        UINT nButton;
        CPoint ptMoved; // where the pixel drawn at (5, 5) goes
    };
    const Case cases[] = {{XTP_IDC_BUTTON_LEFT, CPoint(4, 5)},
                          {XTP_IDC_BUTTON_DOWN, CPoint(5, 6)},
                          {XTP_IDC_BUTTON_UP, CPoint(5, 4)},
                          {XTP_IDC_BUTTON_RIGHT, CPoint(6, 5)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nButton);
        CXTPImageEditorDlg dlg;
        ASSERT_EQ(IDOK, ModalDriver::Run(
                            dlg,
                            [&c](CXTPImageEditorDlg& d) {
                                ClickCell(d, XTP_ID_BUTTON_PENCIL, CPoint(5, 5));
                                d.SendMessage(WM_COMMAND, MAKEWPARAM(c.nButton, BN_CLICKED),
                                              reinterpret_cast<LPARAM>(d.GetDlgItem(c.nButton)->m_hWnd));
                            },
                            IDOK));
        EXPECT_EQ(RGB(0, 0, 0), dlg.GetPicture().GetPixel(c.ptMoved.x, c.ptMoved.y));
        EXPECT_EQ(0, dlg.GetPicture().GetAlpha(5, 5));
        EXPECT_EQ(2, dlg.GetModel().GetUndoCount());
    }

    std::vector<std::string> tips;
    CXTPImageEditorDlg dlg;
    ModalDriver::Run(
        dlg,
        [&tips](CXTPImageEditorDlg& d) {
            for (UINT nID : {XTP_ID_BUTTON_PENCIL, XTP_ID_BUTTON_CIRCLE, XTP_ID_BUTTON_OPEN}) {
                NMTTDISPINFOW info = {};
                info.hdr.hwndFrom = d.m_hWnd;
                info.hdr.idFrom = nID;
                info.hdr.code = TTN_NEEDTEXTW;
                d.SendMessage(WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&info));
                tips.push_back(Narrow(info.lpszText));
            }
        },
        IDOK);
    EXPECT_EQ((std::vector<std::string>{"Pencil", "Ellipse", "Import from File"}), tips);
}

// Answers the colour dialog that the editor opens with a button.
class ColorDialogAnswer
{
public:
    ColorDialogAnswer(HWND hWndEditor, UINT nButton)
    {
        s_hWndEditor = hWndEditor;
        s_nButton = nButton;
        m_nTimer = ::SetTimer(NULL, 0, 50, OnTimer);
    }
    ~ColorDialogAnswer() { ::KillTimer(NULL, m_nTimer); }

private:
    static BOOL CALLBACK FindOwned(HWND hWnd, LPARAM lParam)
    {
        if (hWnd == s_hWndEditor || ::GetWindow(hWnd, GW_OWNER) != s_hWndEditor || !::IsWindowVisible(hWnd))
            return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND hColors = NULL;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&hColors));
        if (hColors != NULL)
            ::PostMessageW(hColors, WM_COMMAND, s_nButton, 0);
    }
    static HWND s_hWndEditor;
    static UINT s_nButton;
    UINT_PTR m_nTimer;
};
HWND ColorDialogAnswer::s_hWndEditor = NULL;
UINT ColorDialogAnswer::s_nButton = IDCANCEL;

TEST(ImageEditorDialog, TheColourDialogSetsTheCustomColourAndItsCancelChangesNothing)
{
    struct Case
    {
        UINT nButton;
        COLORREF clrSelected; // the colour the tools use afterwards
    };
    // The custom colour starts white; the first swatch (black) is selected before the dialog opens.
    const Case cases[] = {{IDCANCEL, RGB(0, 0, 0)}, {IDOK, RGB(255, 255, 255)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nButton == IDOK ? "OK" : "Cancel");
        CXTPImageEditorDlg dlg;
        COLORREF clrSelected = CLR_INVALID;
        ASSERT_EQ(IDOK, ModalDriver::Run(
                            dlg,
                            [&](CXTPImageEditorDlg& d) {
                                ColorDialogAnswer answer(d.m_hWnd, c.nButton);
                                ClickPicker(d, XTP_IDC_CLR_PICKER);
                                clrSelected = d.GetSelectedColor();
                            },
                            IDOK));
        EXPECT_EQ(c.clrSelected, clrSelected);
    }
}

TEST(ImageEditorDialog, AnAlphaPictureComesBackWithItsAlpha)
{
    std::vector<DWORD> pixels(16 * 16, 0x800000FFu); // half-transparent blue
    pixels[0] = 0x00000000;                          // one transparent pixel
    pixels[1] = 0xFFFF0000;                          // one opaque red pixel
    BITMAPINFO info = XTPImageEditorBitmapInfo(CSize(16, 16));
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
    ASSERT_NE(nullptr, hBitmap);
    std::memcpy(pBits, pixels.data(), pixels.size() * 4);
    CXTPImageHandle handle;
    handle.SetBitmap(hBitmap);
    ::DeleteObject(hBitmap);
    ASSERT_TRUE(handle.IsAlpha());
    CXTPImageEditorDlg dlg;
    dlg.SetPicture(&handle);
    ASSERT_EQ(IDOK, ModalDriver::Run(
                        dlg, [](CXTPImageEditorDlg&) {}, IDOK));
    const CXTPImageEditorBitmap& picture = dlg.GetPicture();
    EXPECT_TRUE(picture.IsAlpha());
    EXPECT_EQ(0, picture.GetAlpha(0, 0));
    EXPECT_EQ(255, picture.GetAlpha(1, 0));
    EXPECT_EQ(RGB(255, 0, 0), picture.GetPixel(1, 0));
    EXPECT_EQ(0x80, picture.GetAlpha(5, 5));
    EXPECT_EQ(RGB(0, 0, 255), picture.GetPixel(5, 5));
}

TEST(ImageEditorDialog, TheScreenshotShowsAPictureBeingEdited)
{
    CXTPImageEditorDlg dlg;
    bool bWritten = false;
    ModalDriver::Run(
        dlg,
        [&bWritten](CXTPImageEditorDlg& d) {
            d.SetWindowPos(NULL, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            ClickPicker(d, XTP_IDC_CLR_PALETTE_FIRST + 6); // navy
            d.SendMessage(WM_COMMAND, XTP_ID_BUTTON_RECTANGLE);
            CXTPImageEditorModel& model = d.GetModel();
            model.Press(CPoint(2, 2), RGB(0, 0, 128));
            model.DragTo(CPoint(13, 13));
            model.Release();
            model.SetTool(xtpImageEditorFill);
            model.Press(CPoint(7, 7), RGB(255, 255, 0));
            model.SetTool(xtpImageEditorEllipse);
            model.Press(CPoint(4, 4), RGB(255, 0, 0));
            model.DragTo(CPoint(11, 11));
            model.Release();
            ClickCell(d, XTP_ID_BUTTON_PENCIL, CPoint(0, 15));
            d.RefreshPicture();
            d.SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, 0);
            // The display shows a window a moment after it is mapped: wait for it before reading it back.
            for (int i = 0; i < 20; ++i) {
                MSG msg;
                while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE) && msg.message != WM_TIMER) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
                ::Sleep(20);
            }
            d.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
            bWritten = test_support::WriteFramedWindowScreenshot(d.m_hWnd, L"button_image_editor");
        },
        IDOK);
    EXPECT_TRUE(bWritten);
}

TEST(ImageEditorPicture, AGridOf200PixelsGivesCellsOf12AndAWindowOf193)
{
    CWnd parent;
    ASSERT_TRUE(
        parent.CreateEx(0, AfxRegisterWndClass(0), L"grid", WS_POPUP, CRect(0, 0, 300, 300), NULL, 0));
    CXTPImageEditorPicture grid;
    ASSERT_TRUE(grid.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 10, 210, 210), &parent, 1));
    grid.Layout(CSize(16, 16));
    EXPECT_EQ(CSize(12, 12), grid.GetCellSize());
    CRect rc;
    grid.GetWindowRect(&rc);
    EXPECT_EQ(CSize(193, 193), rc.Size());
    EXPECT_EQ(CPoint(15, 0), grid.CellFromPoint(CPoint(191, 11)));
    EXPECT_EQ(CPoint(-1, 0), grid.CellFromPoint(CPoint(-1, 0)));
    parent.DestroyWindow();
}

// A picture with every kind of pixel: opaque colours, transparency and partial alpha.
std::unique_ptr<CXTPImageEditorBitmap> MixedPicture(BOOL bAlpha)
{
    std::vector<DWORD> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const COLORREF clr = PatternColor(x, y);
            DWORD alpha = x < 2 ? 0 : (bAlpha && x == 2) ? 0x80 : 0xFF;
            pixels[y * 16 + x] =
                (alpha << 24) | (GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr);
            if (!bAlpha)
                pixels[y * 16 + x] = alpha == 0 ? 0x00FFFEFF : (pixels[y * 16 + x] & 0xFFFFFF);
        }
    return CXTPImageEditorBitmap::FromPixels(pixels.data(), 16, 16, bAlpha, CSize(16, 16));
}

TEST(ImageEditorClipboard, CopyWritesBothFormatsAndPasteReadsThemBack)
{
    for (BOOL bAlpha : {FALSE, TRUE}) {
        SCOPED_TRACE(bAlpha ? "with alpha" : "without alpha");
        auto pPicture = MixedPicture(bAlpha);
        ASSERT_TRUE(XTPImageEditorCopyToClipboard(*pPicture, NULL));
        EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
        EXPECT_TRUE(::IsClipboardFormatAvailable(XTPImageEditorDib32Format()));
        auto pPasted = XTPImageEditorPasteFromClipboard(NULL, CSize(16, 16));
        ASSERT_NE(nullptr, pPasted);
        EXPECT_TRUE(SamePixels(*pPicture, *pPasted));
    }
    // CF_BITMAP alone: transparency was painted in the button face, the rest reads back as it was.
    auto pPicture = MixedPicture(FALSE);
    ASSERT_TRUE(XTPImageEditorCopyToClipboard(*pPicture, NULL));
    ASSERT_TRUE(::OpenClipboard(NULL));
    HBITMAP hCopy = static_cast<HBITMAP>(::CopyImage(::GetClipboardData(CF_BITMAP), IMAGE_BITMAP, 0, 0, 0));
    ::EmptyClipboard();
    ::SetClipboardData(CF_BITMAP, hCopy);
    ::CloseClipboard();
    auto pPasted = XTPImageEditorPasteFromClipboard(NULL, CSize(16, 16));
    ASSERT_NE(nullptr, pPasted);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), pPasted->GetPixel(0, 0));
    EXPECT_EQ(PatternColor(5, 9), pPasted->GetPixel(5, 9));
}

TEST(ImageEditorClipboard, CraftedDib32DataIsRefused)
{
    struct Case
    {
        const char* name;
        std::function<void(std::vector<BYTE>&)> craft;
    };
    auto header = [](std::vector<BYTE>& data) { return reinterpret_cast<BITMAPINFOHEADER*>(data.data()); };
    const Case cases[] = {
        {"4096 x 4096 claimed in 100 bytes",
         [&](std::vector<BYTE>& d) {
             header(d)->biWidth = 4096;
             header(d)->biHeight = 4096;
             d.resize(100);
         }},
        {"24 bits a pixel", [&](std::vector<BYTE>& d) { header(d)->biBitCount = 24; }},
        {"rows cut short", [](std::vector<BYTE>& d) { d.resize(d.size() - 1); }},
        {"header longer than the block", [&](std::vector<BYTE>& d) { header(d)->biSize = 0x7FFFFFFF; }},
        {"header shorter than its own structure", [&](std::vector<BYTE>& d) { header(d)->biSize = 12; }},
        {"no width", [&](std::vector<BYTE>& d) { header(d)->biWidth = 0; }},
        {"negative width", [&](std::vector<BYTE>& d) { header(d)->biWidth = -16; }},
        {"the most negative height", [&](std::vector<BYTE>& d) { header(d)->biHeight = LONG_MIN; }},
        {"compressed", [&](std::vector<BYTE>& d) { header(d)->biCompression = BI_RLE8; }},
        {"a palette that overruns", [&](std::vector<BYTE>& d) { header(d)->biClrUsed = 0xFFFFFFFF; }},
        {"less than a header", [](std::vector<BYTE>& d) { d.resize(20); }},
        {"channel masks cut off",
         [&](std::vector<BYTE>& d) {
             header(d)->biCompression = BI_BITFIELDS;
             d.resize(sizeof(BITMAPINFOHEADER) + 8);
         }},
        {"a header too short to hold its masks",
         [&](std::vector<BYTE>& d) {
             header(d)->biCompression = BI_BITFIELDS;
             header(d)->biSize = sizeof(BITMAPINFOHEADER) + 4;
             d.resize(sizeof(BITMAPINFOHEADER) + 4);
         }},
    };
    const auto pOriginal = MixedPicture(FALSE);
    const std::vector<BYTE> good = XTPImageEditorDib32FromPicture(*MixedPicture(TRUE));
    ASSERT_NE(nullptr, XTPImageEditorPictureFromDib32(good.data(), good.size(), CSize(16, 16)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> data = good;
        c.craft(data);
        EXPECT_EQ(nullptr, XTPImageEditorPictureFromDib32(data.data(), data.size(), CSize(16, 16)));
        // Through the clipboard and the editor's model: nothing changes.
        HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, data.size());
        std::memcpy(::GlobalLock(hData), data.data(), data.size());
        ::GlobalUnlock(hData);
        ASSERT_TRUE(::OpenClipboard(NULL));
        ::EmptyClipboard();
        ::SetClipboardData(XTPImageEditorDib32Format(), hData);
        ::CloseClipboard();
        CXTPImageEditorModel model;
        model.SetPicture(pOriginal->Clone());
        EXPECT_FALSE(model.Replace(XTPImageEditorPasteFromClipboard(NULL, CSize(16, 16))));
        EXPECT_TRUE(SamePixels(*pOriginal, model.GetPicture()));
        EXPECT_FALSE(model.CanUndo());
    }
}

TEST(ImageEditorImport, PictureFilesGiveTheirPixelsAtTheEditorsSize)
{
    struct Case
    {
        const wchar_t* file;
        bool bCornerTransparent;
        bool bAllRed;
    };
    // Wine's OLE picture loader reads GIF and placeable metafiles.
    const Case cases[] = {{L"import16.bmp", false, false},
                          {L"import16.ico", true, false},
                          {L"import48.gif", false, false},
                          {L"import16.wmf", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.file));
        const std::wstring path = BuildFolderFile(std::wstring(L"customize_fixtures\\") + c.file);
        auto pPicture = XTPImageEditorImportFile(path.c_str(), CSize(16, 16));
        ASSERT_NE(nullptr, pPicture);
        int nWrong = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool bTransparent = c.bCornerTransparent && x < 4 && y < 4;
                const COLORREF clr = bTransparent ? XTP_IMAGEEDITOR_TRANSPARENT
                                     : c.bAllRed  ? RGB(255, 0, 0)
                                                  : PatternColor(x, y);
                nWrong += pPicture->GetPixel(x, y) != clr;
            }
        EXPECT_EQ(0, nWrong);
    }
    // A file that does not load gives nothing.
    EXPECT_EQ(nullptr, XTPImageEditorImportFile(BuildFolderFile(L"customize_fixtures\\missing.gif").c_str(),
                                                CSize(16, 16)));
    EXPECT_EQ(nullptr, XTPImageEditorImportFile(BuildFolderFile(L"toolkit_customize_test.exe").c_str(),
                                                CSize(16, 16)));
}

TEST(ImageEditorImport, ALargerPictureShrinksAndASmallerOneIsCentred)
{
    std::vector<DWORD> large(64 * 32, 0x000000FF); // blue, twice as wide as high
    auto pShrunk = CXTPImageEditorBitmap::FromPixels(large.data(), 64, 32, FALSE, CSize(16, 16));
    ASSERT_NE(nullptr, pShrunk);
    EXPECT_EQ(XTP_IMAGEEDITOR_TRANSPARENT, pShrunk->GetPixel(0, 3));
    EXPECT_EQ(RGB(0, 0, 255), pShrunk->GetPixel(0, 4));
    EXPECT_EQ(RGB(0, 0, 255), pShrunk->GetPixel(15, 11));
    EXPECT_EQ(XTP_IMAGEEDITOR_TRANSPARENT, pShrunk->GetPixel(15, 12));
    std::vector<DWORD> small(4 * 4, 0x00FF0000); // red
    auto pCentred = CXTPImageEditorBitmap::FromPixels(small.data(), 4, 4, FALSE, CSize(16, 16));
    ASSERT_NE(nullptr, pCentred);
    EXPECT_EQ(XTP_IMAGEEDITOR_TRANSPARENT, pCentred->GetPixel(5, 5));
    EXPECT_EQ(RGB(255, 0, 0), pCentred->GetPixel(6, 6));
    EXPECT_EQ(RGB(255, 0, 0), pCentred->GetPixel(9, 9));
    EXPECT_EQ(XTP_IMAGEEDITOR_TRANSPARENT, pCentred->GetPixel(10, 10));
}

} // namespace
