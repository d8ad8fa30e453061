#include "global_metrics.h"

#include "color_table.h"
#include "common_controls_version.h"
#include "draw_helpers.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"
#include "windows_version.h"

namespace {

const DWORD kUnknownVersion = static_cast<DWORD>(-1);

// Replaces the font of the field; a font that cannot be made leaves only its own field empty.
void CreateFontField(CFont& font, const LOGFONT& logFont)
{
    font.DeleteObject();
    font.CreateFontIndirect(&logFont);
}

LOGFONT WithWeight(LOGFONT logFont, LONG lWeight)
{
    logFont.lfWeight = lWeight;
    return logFont;
}

} // namespace

const int CXTGlobalMetrics::s_colorIndexes[40] = {15, 16, 21, 20, 22, 18, 17, 13, 14, 4,  7,  5,  6,  8,
                                                  2,  3,  27, 28, 9,  19, 30, 31, 32, 33, 34, 35, 36, 37,
                                                  38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49};

CXTGlobalMetrics::CXTGlobalMetrics()
    : m_arrColors(), m_hcurCursor9008(NULL), m_hcurCursor9009(NULL), m_hcurCursor9011(NULL), m_hcurHand(NULL),
      m_hcurHSplitBar(NULL), m_hcurVSplitBar(NULL), m_hcurMove(NULL), m_cxSmIcon(0), m_cySmIcon(0),
      m_cxSize(0), m_cySize(0), m_cxHThumb(0), m_cyVThumb(0), m_cyMenuItem(0), m_bUseTahoma(FALSE),
      m_dwComCtlVersion(kUnknownVersion)
{
    const CXTWindowsVersion& version = GetWindowsVersion();
    m_bIsWin95 = version.IsWin95();
    m_bIsWin98 = version.IsWin98();
    m_bIsWinNT4 = version.IsWinNT4();
    m_bIsWin2000 = version.IsWin2000();
    m_bIsWinXP = version.IsWinXP();

    if (m_dwComCtlVersion == kUnknownVersion) {
        const DWORD dwVersion = XTGetComCtlVersion();
        if (dwVersion != 0)
            m_dwComCtlVersion = dwVersion;
    }

    RefreshColorTableThrottled();
    for (int i = 0; i < 40; ++i)
        m_arrColors[i] = GetColorTable()->GetColor(s_colorIndexes[i]);

    m_cxSmIcon = ::GetSystemMetrics(SM_CXSMICON);
    m_cySmIcon = ::GetSystemMetrics(SM_CYSMICON);
    m_cxHThumb = ::GetSystemMetrics(SM_CXHTHUMB);
    m_cyVThumb = ::GetSystemMetrics(SM_CYVTHUMB);
    m_cyMenuItem = ::GetSystemMetrics(SM_CYMENU);
    m_cxSize = 18;
    m_cySize = 18;

    LoadCursors();
    CreateFonts();
}

CXTGlobalMetrics::~CXTGlobalMetrics() = default;

DWORD CXTGlobalMetrics::GetComCtlVersion() const
{
    return m_dwComCtlVersion == kUnknownVersion ? 0 : m_dwComCtlVersion;
}

void CXTGlobalMetrics::LoadCursors()
{
    // Each cursor on its own: one the resources lack must not leave the system's cursors empty,
    // since an empty cursor hides the pointer.
    CXTResourceLoader* pLoader = GetResourceLoader();
    m_hcurCursor9011 = pLoader->LoadCursor(XT_IDC_CURSOR_9011);
    m_hcurCursor9008 = pLoader->LoadCursor(XT_IDC_CURSOR_9008);
    m_hcurCursor9009 = pLoader->LoadCursor(XT_IDC_CURSOR_9009);
    m_hcurHand = ::LoadCursorW(NULL, IDC_HAND);
    if (m_hcurHand == NULL)
        m_hcurHand = pLoader->LoadCursor(XT_IDC_HAND);
    m_hcurHSplitBar = pLoader->LoadCursor(XT_IDC_HSPLITBAR);
    m_hcurVSplitBar = pLoader->LoadCursor(XT_IDC_VSPLITBAR);
    m_hcurMove = ::LoadCursorW(NULL, IDC_SIZEALL);
}

void CXTGlobalMetrics::CreateFonts()
{
    const CXTPNonClientMetricsInfo metrics;
    const LOGFONTW& menuFont = metrics.lfMenuFont;

    LOGFONT base = {};
    base.lfHeight = menuFont.lfHeight;
    base.lfWeight = menuFont.lfWeight;
    base.lfItalic = menuFont.lfItalic;
    base.lfUnderline = menuFont.lfUnderline;
    base.lfStrikeOut = menuFont.lfStrikeOut;
    lstrcpynW(base.lfFaceName, menuFont.lfFaceName, LF_FACESIZE);
    {
        CWindowDC dc(NULL);
        base.lfCharSet = static_cast<BYTE>(::GetTextCharsetInfo(dc.m_hDC, NULL, 0));
    }
    if (m_bUseTahoma && menuFont.lfCharSet < 3 && FontExists(L"Tahoma"))
        lstrcpynW(base.lfFaceName, L"Tahoma", LF_FACESIZE);

    CreateFontField(m_fontNormal, base);
    CreateFontField(m_fontBold, WithWeight(base, FW_BOLD));
    LOGFONT underline = base;
    underline.lfUnderline = TRUE;
    CreateFontField(m_fontUnderline, underline);

    LOGFONT vertical = base;
    if (lstrcmpiW(menuFont.lfFaceName, L"Tahoma") == 0)
        lstrcpynW(vertical.lfFaceName, menuFont.lfFaceName, LF_FACESIZE);
    else if (FontExists(L"Arial"))
        lstrcpynW(vertical.lfFaceName, L"Arial", LF_FACESIZE);
    else
        lstrcpynW(vertical.lfFaceName, menuFont.lfFaceName, LF_FACESIZE);
    vertical.lfEscapement = 2700;
    vertical.lfOrientation = 900;
    CreateFontField(m_fontVert, vertical);
    CreateFontField(m_fontVertBold, WithWeight(vertical, FW_BOLD));

    LOGFONT iconTitle = {};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0);
    CreateFontField(m_fontIconTitle, iconTitle);
    CreateFontField(m_fontIconTitleBold, WithWeight(iconTitle, FW_BOLD));

    CreateFontField(m_fontStatus, metrics.lfStatusFont);
    CreateFontField(m_fontSmCaption, metrics.lfSmCaptionFont);

    LOGFONT symbol = {};
    symbol.lfHeight = iconTitle.lfHeight;
    symbol.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(symbol.lfFaceName, L"Marlett", LF_FACESIZE);
    CreateFontField(m_fontMarlett, symbol);
}

CXTGlobalMetrics* AFXAPI GetGlobalMetrics()
{
    static CXTGlobalMetrics metrics;
    return &metrics;
}
