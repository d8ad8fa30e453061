#include "html_message_box.h"

#include "html_markup_helpers.h"

#include <afx.h>

#include <algorithm>

namespace {

constexpr int kTextMargin = 14;
constexpr int kIconPadding = 5;
constexpr int kCheckBoxSize = 13;
constexpr int kCheckBoxLeft = 10;
constexpr int kCheckLabelGap = 6;
constexpr int kButtonGap = 11;
constexpr int kMinButtonWidth = 80;
constexpr int kMinButtonHeight = 23;
constexpr int kButtonTextPaddingX = 16;
constexpr int kButtonTextPaddingY = 10;
constexpr int kSeparatorCaptionGap = 5;
constexpr UINT_PTR kCountdownTimer = 1;
constexpr UINT kCountdownIntervalMs = 1000;
// Longest text loaded from a string resource or read from the owner's caption.
constexpr int kMaxLoadedText = 260;
// Ids of the check box and its label: outside every button id, so that a click on them ends nothing.
constexpr int kCheckBoxId = 1001;
constexpr int kCheckLabelId = 1002;
// A hidden static that holds the message as given: the text is drawn, and tools that read a box from
// outside (the test roads) find it where a system message box keeps its own.
constexpr int kMessageTextId = 0xFFFF;
// WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER.
constexpr DWORD kBoxStyle = 0x90C80880;

constexpr wchar_t kDefaultCheckBoxCaption[] = L"Do not show again";
constexpr wchar_t kDefaultCountdownFormat[] = L"%s (%d seconds remaining)";
constexpr wchar_t kButtonCountdownFormat[] = L"%s = %d";
constexpr wchar_t kRememberedAnswersKey[] = L"PPMessageBox";

std::wstring ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFileName()
{
    const std::wstring path = ProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring LoadTextField(LPCWSTR textOrId, HMODULE module, UINT style)
{
    if (!textOrId) {
        return {};
    }
    if (IS_INTRESOURCE(textOrId)) {
        // With resources switched off a small value cannot be a string: it stands for no text.
        if (style & kHtmlBoxNoResourceCaptions) {
            return {};
        }
        wchar_t buffer[kMaxLoadedText + 1] = {};
        const int length = LoadStringW(module, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(textOrId)),
                                       buffer, kMaxLoadedText + 1);
        return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring();
    }
    return textOrId;
}

// The key and value name of the remembered answer; false when nothing is remembered.
bool RememberedAnswerPlace(const HtmlMessageBoxParams& params, std::wstring& key, std::wstring& valueName)
{
    if (!(params.style & kHtmlBoxCheckBox) || !params.rememberPrefix) {
        return false;
    }
    const HMODULE module = params.textModule ? params.textModule : GetModuleHandleW(nullptr);
    const std::wstring prefix = LoadTextField(params.rememberPrefix, module, params.style);
    const std::wstring company = LoadTextField(params.rememberCompany, module, params.style);
    valueName = prefix + std::to_wstring(params.rememberNumber);
    key = L"Software\\";
    if (!company.empty()) {
        key += company + L"\\";
    }
    key += ProgramFileName() + L"\\" + kRememberedAnswersKey;
    return true;
}

// Registry errors are ignored: an unreadable answer shows the box.
DWORD ReadRememberedAnswer(const std::wstring& key, const std::wstring& valueName)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    const LONG status =
        RegQueryValueExW(handle, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : 0;
}

// A failed write loses the answer and nothing more.
void WriteRememberedAnswer(const std::wstring& key, const std::wstring& valueName, DWORD value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(handle, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
    RegCloseKey(handle);
}

std::wstring OwnerCaption(HWND owner)
{
    if (!owner) {
        return {};
    }
    wchar_t buffer[kMaxLoadedText + 1] = {};
    DWORD_PTR copied = 0;
    // The owner may belong to a busy thread: its caption is not worth waiting for.
    if (!SendMessageTimeoutW(owner, WM_GETTEXT, kMaxLoadedText + 1, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &copied)) {
        return {};
    }
    buffer[kMaxLoadedText] = L'\0';
    return buffer;
}

SIZE TextExtent(HDC dc, const std::wstring& text)
{
    SIZE size = {0, 0};
    if (!text.empty()) {
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    } else {
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        size.cy = metrics.tmHeight;
    }
    return size;
}

std::wstring FormatCount(const std::wstring& format, const std::wstring& text, int seconds)
{
    CString result;
    result.Format(format.c_str(), text.c_str(), seconds);
    return result.GetString();
}

RECT WorkAreaNear(HWND window)
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        area = info.rcWork;
    }
    return area;
}

} // namespace

int HtmlMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style, const HtmlMessageBoxParams* params)
{
    HtmlMessageBoxParams block = params ? *params : HtmlMessageBoxParams();
    block.owner = owner;
    block.text = text;
    block.caption = caption;
    block.style = style;

    if (!block.owner) {
        if (HWND active = GetActiveWindow()) {
            block.owner = GetLastActivePopup(active);
        }
    }
    const HMODULE textModule = block.textModule ? block.textModule : GetModuleHandleW(nullptr);
    std::wstring captionText = LoadTextField(block.caption, textModule, block.style);
    if (captionText.empty()) {
        captionText = OwnerCaption(block.owner);
    }
    if (captionText.empty()) {
        captionText = L"Error";
    }
    block.caption = captionText.c_str();

    std::wstring key;
    std::wstring valueName;
    if (RememberedAnswerPlace(block, key, valueName)) {
        if (const DWORD answer = ReadRememberedAnswer(key, valueName)) {
            return static_cast<int>(answer);
        }
    }
    if (!(block.style & kHtmlBoxNoBeep)) {
        MessageBeep(block.style & kHtmlBoxIconMask);
    }

    CHtmlMessageBox box(block);
    // An empty template: no controls, no menu, class or title; the box lays itself out when it starts.
    const size_t templateSize = sizeof(DLGTEMPLATE) + 3 * sizeof(WORD);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, templateSize);
    if (!memory) {
        return IDCANCEL;
    }
    auto* dialogTemplate = static_cast<DLGTEMPLATE*>(GlobalLock(memory));
    if (!dialogTemplate) {
        GlobalFree(memory);
        return IDCANCEL;
    }
    dialogTemplate->style = kBoxStyle;
    dialogTemplate->cdit = 0;
    dialogTemplate->x = 0;
    dialogTemplate->y = 0;
    dialogTemplate->cx = 100;
    dialogTemplate->cy = 100;
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, block.owner,
                                CHtmlMessageBox::DialogProc, reinterpret_cast<LPARAM>(&box));
    GlobalUnlock(memory);
    GlobalFree(memory);
    return static_cast<int>(result);
}

CHtmlMessageBox::CHtmlMessageBox(const HtmlMessageBoxParams& params) : m_params(params)
{
    if (!m_params.textModule) {
        m_params.textModule = GetModuleHandleW(nullptr);
    }
    if (!m_params.imageModule) {
        m_params.imageModule = GetModuleHandleW(nullptr);
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        m_font = CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (!m_font) {
        LOGFONTW fallback = {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
        m_font = CreateFontIndirectW(&fallback);
    }
    switch (m_params.style & kHtmlBoxIconMask) {
    case MB_ICONHAND:
        m_icon = LoadIconW(nullptr, IDI_HAND);
        break;
    case MB_ICONQUESTION:
        m_icon = LoadIconW(nullptr, IDI_QUESTION);
        break;
    case MB_ICONEXCLAMATION:
        m_icon = LoadIconW(nullptr, IDI_EXCLAMATION);
        break;
    case MB_ICONASTERISK:
        m_icon = LoadIconW(nullptr, IDI_ASTERISK);
        break;
    case kHtmlBoxIconFile:
        m_icon = static_cast<HICON>(LoadImageW(nullptr, L"InfoNew.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
        m_ownsIcon = m_icon != nullptr;
        break;
    default:
        break;
    }
}

CHtmlMessageBox::~CHtmlMessageBox()
{
    for (const Button& button : m_buttons) {
        if (IsWindow(button.window)) {
            DestroyWindow(button.window);
        }
    }
    for (HWND control : {m_checkBox, m_checkLabel}) {
        if (control && IsWindow(control)) {
            DestroyWindow(control);
        }
    }
    if (m_background) {
        DeleteObject(m_background);
    }
    if (m_font) {
        DeleteObject(m_font);
    }
    if (m_icon && m_ownsIcon) {
        DestroyIcon(m_icon);
    }
}

INT_PTR CALLBACK CHtmlMessageBox::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* box = reinterpret_cast<CHtmlMessageBox*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        return box->OnInitDialog(window);
    }
    auto* box = reinterpret_cast<CHtmlMessageBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!box) {
        return FALSE;
    }
    switch (message) {
    case WM_COMMAND:
        box->OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kCountdownTimer) {
            box->OnTimer();
            return TRUE;
        }
        return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint = {};
        HDC dc = BeginPaint(window, &paint);
        box->PaintTo(dc);
        EndPaint(window, &paint);
        return TRUE;
    }
    case kHtmlBoxRepaintMessage: {
        // Outside WM_PAINT the buttons are not repainted after the box, so they are left out.
        HDC dc = GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPCHILDREN);
        if (dc) {
            box->PaintTo(dc);
            ReleaseDC(window, dc);
        }
        return TRUE;
    }
    case WM_ERASEBKGND:
        SetWindowLongPtrW(window, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT &&
            box->ForwardMouse(false)) {
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_LBUTTONDOWN:
        box->ForwardMouse(true);
        return TRUE;
    case WM_DESTROY:
        KillTimer(window, kCountdownTimer);
        for (Button& button : box->m_buttons) {
            if (IsWindow(button.window)) {
                DestroyWindow(button.window);
            }
            button.window = nullptr;
        }
        for (HWND* control : {&box->m_checkBox, &box->m_checkLabel}) {
            if (*control && IsWindow(*control)) {
                DestroyWindow(*control);
            }
            *control = nullptr;
        }
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

std::wstring CHtmlMessageBox::LoadText(LPCWSTR textOrId) const
{
    return LoadTextField(textOrId, m_params.textModule, m_params.style);
}

std::wstring CHtmlMessageBox::ButtonCaption(int id) const
{
    if (m_params.captionTable) {
        const auto entry = m_params.captionTable->find(id);
        if (entry != m_params.captionTable->end()) {
            std::wstring text = LoadText(entry->second);
            if (!text.empty()) {
                return text;
            }
        }
    }
    if (const UINT stringId = HtmlMessageBoxCaptionStringId(id)) {
        std::wstring text = LoadText(MAKEINTRESOURCEW(stringId));
        if (!text.empty()) {
            return text;
        }
    }
    const int customIndex = id - kHtmlBoxIdCustomFirst;
    if (customIndex >= 0 && customIndex < static_cast<int>(m_customCaptions.size())) {
        return m_customCaptions[static_cast<size_t>(customIndex)];
    }
    const wchar_t* builtIn = HtmlMessageBoxBuiltInCaption(id);
    return builtIn ? builtIn : L"";
}

std::wstring CHtmlMessageBox::CountdownCaption() const
{
    std::wstring format = LoadText(MAKEINTRESOURCEW(kHtmlBoxCountdownStringId));
    if (format.empty()) {
        format = kDefaultCountdownFormat;
    }
    return FormatCount(format, m_caption, m_remainingSeconds);
}

bool CHtmlMessageBox::CountdownInCaption() const
{
    return m_params.disableSeconds > 0 && m_params.countInCaption != 0;
}

HWND CHtmlMessageBox::FindButton(int id) const
{
    for (const Button& button : m_buttons) {
        if (button.id == id) {
            return button.window;
        }
    }
    return nullptr;
}

void CHtmlMessageBox::SetCloseItemEnabled(bool enabled)
{
    if (HMENU menu = GetSystemMenu(m_window, FALSE)) {
        EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    m_closeGreyed = !enabled;
}

BOOL CHtmlMessageBox::OnInitDialog(HWND window)
{
    m_window = window;
    m_remainingSeconds = m_params.disableSeconds > 0 ? m_params.disableSeconds : 0;
    if (m_params.autoPressSeconds > 0) {
        m_remainingSeconds = m_params.autoPressSeconds;
    }
    for (CHtmlDrawer* drawer : {&m_headerDrawer, &m_messageDrawer, &m_detailsDrawer}) {
        drawer->SetHoverNotify(window, kHtmlBoxRepaintMessage, 0);
        drawer->SetResourceModule(m_params.imageModule);
    }

    m_caption = LoadText(m_params.caption);
    m_messageHtml = LoadText(m_params.text);
    CreateWindowExW(0, L"STATIC", m_messageHtml.c_str(), WS_CHILD | SS_LEFT, 0, 0, 0, 0, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessageTextId)), GetModuleHandleW(nullptr),
                    nullptr);
    if (m_params.style & kHtmlBoxRightText) {
        m_messageHtml = L"<right>" + m_messageHtml + L"</right>";
    }
    if (m_icon) {
        m_messageHtml = L"<table cellpadding=" + std::to_wstring(kIconPadding) + L"><tr><td width=" +
                        std::to_wstring(GetSystemMetrics(SM_CXICON)) + L"><icon handle=" +
                        FormatHtmlHandle(m_icon) + L"></td><td>" + m_messageHtml + L"</td></tr></table>";
    }
    m_headerHtml = LoadText(m_params.headerText);
    m_detailsHtml = LoadText(m_params.detailsText);
    m_headerSeparatorCaption = LoadText(m_params.headerArea.separatorCaption);
    m_buttonSeparatorCaption = LoadText(m_params.buttonArea.separatorCaption);
    m_detailsSeparatorCaption = LoadText(m_params.detailsArea.separatorCaption);

    HDC dc = GetDC(window);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    CreateControls(dc);
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);

    if (CountdownInCaption()) {
        SetWindowTextW(window, CountdownCaption().c_str());
    } else {
        SetWindowTextW(window, m_caption.c_str());
    }
    const int defaultId = m_buttons.empty() ? 0 : m_buttons[m_defaultIndex].id;
    if (!m_mayClose ||
        (m_params.disableSeconds > 0 && (m_params.countInCaption != 0 || defaultId == IDCANCEL))) {
        SetCloseItemEnabled(false);
    }
    LayoutWindow();

    if (m_params.style & kHtmlBoxTopmost) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (m_params.style & kHtmlBoxForeground) {
        SetForegroundWindow(window);
    }
    if (m_remainingSeconds > 0) {
        SetTimer(window, kCountdownTimer, kCountdownIntervalMs, nullptr);
    }
    if (!m_buttons.empty()) {
        SetFocus(m_buttons[m_defaultIndex].window);
    }
    // The focus is set: the dialog manager must not move it.
    return FALSE;
}

void CHtmlMessageBox::CreateControls(HDC dc)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const RECT workArea = WorkAreaNear(m_window);
    // Long texts wrap rather than run off the screen.
    const int maxTextWidth = std::max(200L, (workArea.right - workArea.left) * 3 / 4 - 2 * kTextMargin);
    SIZE headerSize = {0, 0};
    SIZE messageSize = {0, 0};
    SIZE detailsSize = {0, 0};
    m_headerDrawer.SetMaxWidth(maxTextWidth);
    m_messageDrawer.SetMaxWidth(maxTextWidth);
    m_detailsDrawer.SetMaxWidth(maxTextWidth);
    if (!m_headerHtml.empty()) {
        m_headerDrawer.Measure(dc, m_headerHtml.c_str(), &headerSize);
        m_headerHeight = std::max<int>(m_params.headerHeight, headerSize.cy + 2 * kTextMargin);
    }
    m_messageDrawer.Measure(dc, m_messageHtml.c_str(), &messageSize);
    m_messageHeight = messageSize.cy + 2 * kTextMargin;
    if (!m_detailsHtml.empty()) {
        m_detailsDrawer.Measure(dc, m_detailsHtml.c_str(), &detailsSize);
        m_detailsHeight = detailsSize.cy + 2 * kTextMargin;
    }
    int width = std::max({headerSize.cx, messageSize.cx, detailsSize.cx}) + 2 * kTextMargin;
    for (const std::wstring* caption :
         {&m_headerSeparatorCaption, &m_buttonSeparatorCaption, &m_detailsSeparatorCaption}) {
        if (!caption->empty()) {
            width = std::max<int>(width,
                                  TextExtent(dc, *caption).cx + 2 * kSeparatorCaptionGap + 2 * kTextMargin);
        }
    }

    if (m_params.style & kHtmlBoxCheckBox) {
        std::wstring caption = LoadText(MAKEINTRESOURCEW(kHtmlBoxCheckBoxStringId));
        if (caption.empty()) {
            caption = LoadText(m_params.checkBoxCaption);
        }
        if (caption.empty()) {
            caption = kDefaultCheckBoxCaption;
        }
        m_checkBox =
            CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0,
                            kCheckBoxSize, kCheckBoxSize, m_window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCheckBoxId)), instance, nullptr);
        if (m_checkBox && (m_params.style & kHtmlBoxChecked)) {
            SendMessageW(m_checkBox, BM_SETCHECK, BST_CHECKED, 0);
        }
        const SIZE labelSize = TextExtent(dc, caption);
        m_checkLabel = CreateWindowExW(
            0, L"STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, labelSize.cx, labelSize.cy,
            m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCheckLabelId)), instance, nullptr);
        if (m_checkLabel) {
            SendMessageW(m_checkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        }
        m_checkRowWidth = kCheckBoxLeft + kCheckBoxSize + kCheckLabelGap + labelSize.cx + kTextMargin;
        width = std::max(width, m_checkRowWidth);
    }

    const std::wstring customText = LoadText(m_params.customButtons);
    size_t start = 0;
    while (start < customText.size() && m_customCaptions.size() < kHtmlBoxMaxCustomButtons) {
        size_t end = customText.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = customText.size();
        }
        std::wstring caption = customText.substr(start, end - start);
        if (!caption.empty() && caption.back() == L'\r') {
            caption.pop_back();
        }
        m_customCaptions.push_back(caption);
        start = end + 1;
    }
    const int customCount = static_cast<int>(m_customCaptions.size());
    const bool reportButton = m_params.reportMessage != 0 && m_params.owner != nullptr;
    const std::vector<int> ids =
        HtmlMessageBoxButtonIds(m_params.style, customCount, reportButton, !m_detailsHtml.empty());
    m_mayClose = HtmlMessageBoxMayClose(m_params.style, customCount);
    m_defaultIndex = (m_params.style & kHtmlBoxDefaultButtonMask) >> 8;
    if (m_defaultIndex >= ids.size()) {
        m_defaultIndex = 0;
    }
    m_moreCaption = ButtonCaption(kHtmlBoxIdMore);
    m_lessCaption = ButtonCaption(kHtmlBoxIdLess);

    std::vector<std::wstring> captions;
    SIZE largest = TextExtent(dc, m_lessCaption);
    for (int id : ids) {
        captions.push_back(ButtonCaption(id));
        const SIZE size = TextExtent(dc, captions.back());
        largest.cx = std::max(largest.cx, size.cx);
        largest.cy = std::max(largest.cy, size.cy);
    }
    const bool countOnButton =
        m_params.autoPressSeconds > 0 || (m_params.disableSeconds > 0 && !CountdownInCaption());
    if (!ids.empty()) {
        m_defaultCaption = captions[m_defaultIndex];
        if (countOnButton) {
            const SIZE size =
                TextExtent(dc, FormatCount(kButtonCountdownFormat, m_defaultCaption, m_remainingSeconds));
            largest.cx = std::max(largest.cx, size.cx);
        }
    }
    m_buttonSize.cx = std::max<int>(kMinButtonWidth, largest.cx + kButtonTextPaddingX);
    m_buttonSize.cy = std::max<int>(kMinButtonHeight, largest.cy + kButtonTextPaddingY);

    for (size_t i = 0; i < ids.size(); ++i) {
        const bool isDefault = i == m_defaultIndex;
        std::wstring text = captions[i];
        if (isDefault && countOnButton) {
            text = FormatCount(kButtonCountdownFormat, m_defaultCaption, m_remainingSeconds);
        }
        HWND button = CreateWindowExW(
            0, L"BUTTON", text.c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, 0,
            m_buttonSize.cx, m_buttonSize.cy, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])),
            instance, nullptr);
        if (!button) {
            continue;
        }
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        if (m_params.disableSeconds > 0 && (CountdownInCaption() || isDefault)) {
            EnableWindow(button, FALSE);
        }
        m_buttons.push_back({ids[i], button});
        if (isDefault) {
            m_defaultIndex = m_buttons.size() - 1;
        }
    }
    if (m_defaultIndex >= m_buttons.size()) {
        m_defaultIndex = 0;
    }
    if (!m_buttons.empty()) {
        SendMessageW(m_window, DM_SETDEFID, static_cast<WPARAM>(m_buttons[m_defaultIndex].id), 0);
    }
    const int buttonCount = static_cast<int>(m_buttons.size());
    const int rowWidth = buttonCount * m_buttonSize.cx + (buttonCount + 1) * kButtonGap;
    width = std::max(width, rowWidth);

    // The caption should fit beside the caption buttons.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        if (HFONT captionFont = CreateFontIndirectW(&metrics.lfCaptionFont)) {
            HGDIOBJ old = SelectObject(dc, captionFont);
            const SIZE captionSize = TextExtent(dc, m_caption);
            SelectObject(dc, old);
            DeleteObject(captionFont);
            width = std::max<int>(width, captionSize.cx + 3 * GetSystemMetrics(SM_CXSIZE) + 2 * kTextMargin);
        }
    }
    m_clientWidth = std::min<int>(width, workArea.right - workArea.left);
    m_buttonAreaHeight =
        kButtonGap + m_buttonSize.cy + kButtonGap + (m_checkBox ? kCheckBoxSize + kButtonGap : 0);
}

int CHtmlMessageBox::ClientHeight() const
{
    return m_headerHeight + m_messageHeight + m_buttonAreaHeight + (m_detailsShown ? m_detailsHeight : 0);
}

void CHtmlMessageBox::LayoutWindow()
{
    RECT frame = {0, 0, m_clientWidth, ClientHeight()};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_window, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const RECT workArea = WorkAreaNear(m_window);
    RECT around = workArea;
    if (HWND owner = GetWindow(m_window, GW_OWNER)) {
        GetWindowRect(owner, &around);
    }
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    // Centred on an owner near the edge, the box still stays on the screen.
    x = std::max<int>(workArea.left, std::min<int>(x, workArea.right - width));
    y = std::max<int>(workArea.top, std::min<int>(y, workArea.bottom - height));
    SetWindowPos(m_window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls();
}

void CHtmlMessageBox::PlaceControls()
{
    const int areaTop = ButtonAreaTop();
    const bool checkBelow = m_checkBox && (m_params.style & kHtmlBoxCheckBoxBelow);
    const int buttonTop = areaTop + kButtonGap + (m_checkBox && !checkBelow ? kCheckBoxSize + kButtonGap : 0);
    const int count = static_cast<int>(m_buttons.size());
    const int rowWidth = count * m_buttonSize.cx + (count > 0 ? count - 1 : 0) * kButtonGap;
    int left = (m_clientWidth - rowWidth) / 2;
    if (m_params.buttonAlignment == 0) {
        left = kButtonGap;
    } else if (m_params.buttonAlignment == 1) {
        left = m_clientWidth - kButtonGap - rowWidth;
    }
    for (int i = 0; i < count; ++i) {
        MoveWindow(m_buttons[static_cast<size_t>(i)].window, left + i * (m_buttonSize.cx + kButtonGap),
                   buttonTop, m_buttonSize.cx, m_buttonSize.cy, TRUE);
    }
    if (m_checkBox) {
        const int checkTop = checkBelow ? buttonTop + m_buttonSize.cy + kButtonGap : areaTop + kButtonGap;
        MoveWindow(m_checkBox, kCheckBoxLeft, checkTop, kCheckBoxSize, kCheckBoxSize, TRUE);
        if (m_checkLabel) {
            RECT label = {};
            GetClientRect(m_checkLabel, &label);
            const int labelLeft = kCheckBoxLeft + kCheckBoxSize + kCheckLabelGap;
            MoveWindow(m_checkLabel, labelLeft, checkTop + (kCheckBoxSize - label.bottom) / 2, label.right,
                       label.bottom, TRUE);
        }
    }
}

void CHtmlMessageBox::OnTimer()
{
    if (m_remainingSeconds > 0) {
        --m_remainingSeconds;
    }
    HWND defaultButton = m_buttons.empty() ? nullptr : m_buttons[m_defaultIndex].window;
    const bool countOnButton =
        m_params.autoPressSeconds > 0 || (m_params.disableSeconds > 0 && !CountdownInCaption());
    if (m_remainingSeconds > 0) {
        if (CountdownInCaption()) {
            SetWindowTextW(m_window, CountdownCaption().c_str());
        }
        if (countOnButton && defaultButton) {
            SetWindowTextW(defaultButton,
                           FormatCount(kButtonCountdownFormat, m_defaultCaption, m_remainingSeconds).c_str());
        }
        return;
    }
    KillTimer(m_window, kCountdownTimer);
    if (m_params.disableSeconds > 0) {
        if (m_mayClose) {
            SetCloseItemEnabled(true);
        }
        if (CountdownInCaption()) {
            SetWindowTextW(m_window, m_caption.c_str());
            for (const Button& button : m_buttons) {
                EnableWindow(button.window, TRUE);
            }
        }
        if (defaultButton) {
            SetWindowTextW(defaultButton, m_defaultCaption.c_str());
            EnableWindow(defaultButton, TRUE);
            SendMessageW(m_window, DM_SETDEFID, static_cast<WPARAM>(m_buttons[m_defaultIndex].id), 0);
            SendMessageW(defaultButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
    }
    if (m_params.autoPressSeconds > 0 && defaultButton) {
        SetWindowTextW(defaultButton, m_defaultCaption.c_str());
        SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(m_buttons[m_defaultIndex].id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(defaultButton));
    }
}

void CHtmlMessageBox::OnCommand(int id)
{
    if (id == kCheckBoxId || id == kCheckLabelId) {
        return;
    }
    HWND button = FindButton(id);
    if (id == IDCANCEL) {
        // Escape and the close box arrive as Cancel even where no Cancel button exists.
        if (!m_mayClose || m_closeGreyed) {
            return;
        }
    } else if (!button) {
        // Only the box's own buttons end it.
        return;
    }
    if (button && !IsWindowEnabled(button)) {
        return;
    }
    switch (id) {
    case IDHELP: {
        std::wstring helpFile = ProgramPath();
        const size_t slash = helpFile.find_last_of(L"\\/");
        const size_t dot = helpFile.find_last_of(L'.');
        if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) {
            helpFile.resize(dot);
        }
        helpFile += L".hlp";
        if (m_params.helpContext > 0) {
            WinHelpW(m_window, helpFile.c_str(), HELP_CONTEXT, m_params.helpContext);
        } else {
            WinHelpW(m_window, helpFile.c_str(), HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(L""));
        }
        return;
    }
    case kHtmlBoxIdReport:
        SendMessageW(m_params.owner, m_params.reportMessage, 0, 0);
        return;
    case kHtmlBoxIdLess:
    case kHtmlBoxIdMore:
        ToggleDetails();
        return;
    default:
        EndBox(id);
        return;
    }
}

void CHtmlMessageBox::EndBox(int id)
{
    KillTimer(m_window, kCountdownTimer);
    int result = id;
    if (m_checkBox && SendMessageW(m_checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        if (m_params.style & kHtmlBoxChecked) {
            result |= static_cast<int>(kHtmlBoxChecked);
        }
        std::wstring key;
        std::wstring valueName;
        if (RememberedAnswerPlace(m_params, key, valueName)) {
            WriteRememberedAnswer(key, valueName, static_cast<DWORD>(result));
        }
    }
    EndDialog(m_window, result);
}

void CHtmlMessageBox::ToggleDetails()
{
    m_detailsShown = !m_detailsShown;
    if (HWND button = FindButton(kHtmlBoxIdMore)) {
        SetWindowTextW(button, (m_detailsShown ? m_lessCaption : m_moreCaption).c_str());
    }
    RECT frame = {0, 0, m_clientWidth, ClientHeight()};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_window, GWL_EXSTYLE)));
    SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_window, nullptr, TRUE);
}

bool CHtmlMessageBox::ForwardMouse(bool click)
{
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(m_window, &point);
    std::vector<CHtmlDrawer*> drawers = {&m_headerDrawer, &m_messageDrawer};
    if (m_detailsShown) {
        drawers.push_back(&m_detailsDrawer);
    }
    bool handled = false;
    for (CHtmlDrawer* drawer : drawers) {
        if (click) {
            drawer->OnClick(point);
        } else if (drawer->OnMouseMove(point)) {
            handled = true;
        }
    }
    return handled;
}

void CHtmlMessageBox::FillArea(HDC dc, const HtmlMessageBoxArea& area, const RECT& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    if (area.backgroundEffect < 0) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        m_messageDrawer.GetDrawEffects()->FillEffect(dc, area.backgroundEffect, rect, area.colour1,
                                                     area.colour2, area.colour3);
    }
}

void CHtmlMessageBox::DrawSeparator(HDC dc, const HtmlMessageBoxArea& area, const std::wstring& caption,
                                    int y, int width)
{
    if (area.separatorStyle == HtmlMessageBoxArea::SeparatorNone) {
        return;
    }
    std::vector<std::pair<int, int>> segments;
    int captionLeft = 0;
    SIZE captionSize = {0, 0};
    if (caption.empty()) {
        segments.push_back({0, width});
    } else {
        captionSize = TextExtent(dc, caption);
        if (area.captionAlignment == HtmlMessageBoxArea::CaptionRight) {
            captionLeft = width - kTextMargin - captionSize.cx;
        } else if (area.captionAlignment == HtmlMessageBoxArea::CaptionCentre) {
            captionLeft = (width - captionSize.cx) / 2;
        } else {
            captionLeft = kTextMargin;
        }
        segments.push_back({0, captionLeft - kSeparatorCaptionGap});
        segments.push_back({captionLeft + captionSize.cx + kSeparatorCaptionGap, width});
    }
    for (const auto& [from, to] : segments) {
        if (to <= from) {
            continue;
        }
        if (area.separatorStyle == HtmlMessageBoxArea::SeparatorEtched) {
            RECT line = {from, y, to, y + 2};
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        } else {
            const COLORREF colour =
                area.separatorStyle == HtmlMessageBoxArea::SeparatorDark ? RGB(0, 0, 0) : RGB(255, 255, 255);
            RECT line = {from, y, to, y + 1};
            SetBkColor(dc, colour);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
        }
    }
    if (!caption.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutW(dc, captionLeft, y - captionSize.cy / 2, caption.c_str(), static_cast<int>(caption.size()));
    }
}

void CHtmlMessageBox::BuildBackground(HDC reference)
{
    const int fullHeight = m_headerHeight + m_messageHeight + m_buttonAreaHeight + m_detailsHeight;
    m_background = CreateCompatibleBitmap(reference, std::max(1, m_clientWidth), std::max(1, fullHeight));
    if (!m_background) {
        return;
    }
    m_backgroundSize = {m_clientWidth, fullHeight};
    HDC dc = CreateCompatibleDC(reference);
    HGDIOBJ oldBitmap = SelectObject(dc, m_background);
    HGDIOBJ oldFont = SelectObject(dc, m_font);

    FillArea(dc, m_params.messageArea, {0, 0, m_clientWidth, fullHeight});
    if (m_headerHeight > 0) {
        FillArea(dc, m_params.headerArea, {0, 0, m_clientWidth, m_headerHeight});
        const int lineHeight =
            m_params.headerArea.separatorStyle == HtmlMessageBoxArea::SeparatorEtched ? 2 : 1;
        DrawSeparator(dc, m_params.headerArea, m_headerSeparatorCaption, m_headerHeight - lineHeight,
                      m_clientWidth);
    }
    const int buttonTop = ButtonAreaTop();
    FillArea(dc, m_params.buttonArea, {0, buttonTop, m_clientWidth, buttonTop + m_buttonAreaHeight});
    DrawSeparator(dc, m_params.buttonArea, m_buttonSeparatorCaption, buttonTop, m_clientWidth);
    if (m_detailsHeight > 0) {
        const int detailsTop = buttonTop + m_buttonAreaHeight;
        FillArea(dc, m_params.detailsArea, {0, detailsTop, m_clientWidth, detailsTop + m_detailsHeight});
        DrawSeparator(dc, m_params.detailsArea, m_detailsSeparatorCaption, detailsTop, m_clientWidth);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
}

void CHtmlMessageBox::PaintTo(HDC target)
{
    RECT client = {};
    GetClientRect(m_window, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!m_background) {
        BuildBackground(target);
    }
    HDC frame = CreateCompatibleDC(target);
    HBITMAP frameBitmap = CreateCompatibleBitmap(target, width, height);
    if (!frame || !frameBitmap) {
        if (frameBitmap) {
            DeleteObject(frameBitmap);
        }
        if (frame) {
            DeleteDC(frame);
        }
        return;
    }
    HGDIOBJ oldFrameBitmap = SelectObject(frame, frameBitmap);
    FillRect(frame, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (m_background) {
        HDC source = CreateCompatibleDC(target);
        HGDIOBJ oldSource = SelectObject(source, m_background);
        BitBlt(frame, 0, 0, std::min<int>(width, m_backgroundSize.cx),
               std::min<int>(height, m_backgroundSize.cy), source, 0, 0, SRCCOPY);
        SelectObject(source, oldSource);
        DeleteDC(source);
    }
    HGDIOBJ oldFont = SelectObject(frame, m_font);
    if (m_headerHeight > 0) {
        m_headerDrawer.Draw(
            frame, {kTextMargin, kTextMargin, m_clientWidth - kTextMargin, m_headerHeight - kTextMargin});
    }
    m_messageDrawer.Draw(frame, {kTextMargin, m_headerHeight + kTextMargin, m_clientWidth - kTextMargin,
                                 m_headerHeight + m_messageHeight - kTextMargin});
    if (m_detailsShown && m_detailsHeight > 0) {
        const int detailsTop = ButtonAreaTop() + m_buttonAreaHeight;
        m_detailsDrawer.Draw(frame, {kTextMargin, detailsTop + kTextMargin, m_clientWidth - kTextMargin,
                                     detailsTop + m_detailsHeight - kTextMargin});
    }
    SelectObject(frame, oldFont);
    BitBlt(target, 0, 0, width, height, frame, 0, 0, SRCCOPY);
    SelectObject(frame, oldFrameBitmap);
    DeleteObject(frameBitmap);
    DeleteDC(frame);
}

void DestroyHelperWindows() {}
