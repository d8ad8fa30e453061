#include "html_renderer.h"

#include "html_document.h"
#include "html_scroll.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace {

constexpr int kComboListRoom = 200;

std::wstring HandleText(HWND window)
{
    return std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

bool IsPictureUrl(const std::wstring& url)
{
    size_t dot = url.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    const wchar_t* extension = url.c_str() + dot + 1;
    return _wcsicmp(extension, L"jpg") == 0 || _wcsicmp(extension, L"gif") == 0 ||
           _wcsicmp(extension, L"png") == 0;
}

} // namespace

HWND CHtmlRenderer::ControlWindow(const CHtmlStringArray* row)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(row->GetText(0), nullptr, 10)));
}

CHtmlRenderer::CHtmlRenderer(HWND drawWindow, HWND viewWindow, HWND statusWindow, HWND addressEdit,
                             HWND backButton)
    : drawWindow(drawWindow), viewWindow(viewWindow), statusWindow(statusWindow), addressEdit(addressEdit),
      backButton(backButton), backBuffer(nullptr), selectionAnchor{}, selectionEnd{}, hoveredUrl(nullptr),
      navigating(0), fontSize(15), uiThread(GetCurrentThreadId())
{
    InitializeCriticalSection(&urlLock);
    currentUrl[0] = L'\0';
    pageStatusText[0] = L'\0';
    wcscpy(fontFace, L"Arial");
    document = new CHtmlDocument(this, 0);
}

CHtmlRenderer::~CHtmlRenderer()
{
    DestroyFormControls();
    if (backBuffer)
        DeleteObject(backBuffer);
    // Waits for the image downloads, which read currentUrl and report to this renderer.
    delete document;
    document = nullptr;
    delete[] hoveredUrl;
    HtmlScrollProc(nullptr, 0, 0, 0);
    DeleteCriticalSection(&urlLock);
}

void CHtmlRenderer::SetStatus(const wchar_t* text)
{
    if (statusWindow)
        SetWindowTextW(statusWindow, text);
}

void CHtmlRenderer::SetCurrentUrl(const wchar_t* url)
{
    EnterCriticalSection(&urlLock);
    wcsncpy(currentUrl, url, kUrlCapacity - 1);
    currentUrl[kUrlCapacity - 1] = L'\0';
    LeaveCriticalSection(&urlLock);
}

int CHtmlRenderer::ShowParseProgress(int flag, int done, int total)
{
    if (flag)
        return flag;
    // The parser reports after every word, and each text set is a window message and a repaint request;
    // the window shows nothing new until the load ends anyway. A step of a hundredth of the text is enough.
    int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 100;
    if (percent == shownParsePercent)
        return 0;
    shownParsePercent = percent;
    wchar_t text[100];
    swprintf(text, 100, L"%ls %d of %d", L"Parsing", done, total);
    SetStatus(text);
    return 0;
}

int CHtmlRenderer::ScrollPosition(UINT message)
{
    return static_cast<int>(HtmlScrollProc(drawWindow, message, 0, 0));
}

void CHtmlRenderer::ShowPage(const wchar_t* text, const wchar_t* baseUrl)
{
    shownParsePercent = -1;
    document->Load(text, fontFace, fontSize, 0, baseUrl);
    const std::wstring& notice = document->LimitNotice();
    if (!notice.empty()) {
        wcsncpy(pageStatusText, notice.c_str(), kStatusCapacity - 1);
        pageStatusText[kStatusCapacity - 1] = L'\0';
        SetStatus(pageStatusText);
    }
    Relayout();
    HtmlScrollProc(drawWindow, kHtmlScrollSetX, 0, 0);
    HtmlScrollProc(drawWindow, kHtmlScrollSetY, 0, 0);
    InvalidateRect(drawWindow, nullptr, FALSE);
    UpdateWindow(drawWindow);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void CHtmlRenderer::WritePageCopy(const wchar_t* text)
{
    wchar_t path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return;
    wchar_t* dot = wcsrchr(path, L'.');
    if (!dot)
        dot = path + length;
    wcscpy(dot, L".txt");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(wcslen(text) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

void CHtmlRenderer::Navigate(const wchar_t* requested)
{
    // The URL may live in the page that this navigation replaces.
    std::wstring url = requested ? requested : L"";
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    pageStatusText[0] = L'\0';
    if (_wcsnicmp(url.c_str(), L"Submit(", 7) == 0) {
        SubmitForm(_wtoi(url.c_str() + 7), nullptr, 0);
        return;
    }
    if (int rows = history.RowCount()) {
        std::wstring position = std::to_wstring(ScrollPosition(kHtmlScrollGetY));
        CHtmlStringArray* last = history.GetRow(rows - 1);
        if (last->Count() >= 3)
            last->Set(2, position.c_str(), -1);
        else
            last->Add(position.c_str(), -1);
    }
    if (IsPictureUrl(url)) {
        if (addressEdit)
            SetWindowTextW(addressEdit, url.c_str());
        std::wstring page = L"<body bgcolor=ffff00><img src=\"" + url + L"\"></body>";
        int row = history.AddRow() - 1;
        history.AppendCell(row, url.c_str(), -1);
        history.AppendCell(row, page.c_str(), -1);
        DestroyFormControls();
        ShowPage(page.c_str(), L"");
        return;
    }
    SetStatus(L"From Internet");
    int byteCount = 0;
    navigating = 1;
    wchar_t* text = FetchPage(url.c_str(), &byteCount);
    navigating = 0;
    if (!text)
        return;
    std::wstring pageUrl = currentUrl;
    int row = history.AddRow() - 1;
    history.AppendCell(row, pageUrl.c_str(), -1);
    history.AppendCell(row, text, -1);
    if (backButton)
        EnableWindow(backButton, history.RowCount() >= 2);
    WritePageCopy(text);
    DestroyFormControls();
    if (addressEdit)
        SetWindowTextW(addressEdit, pageUrl.c_str());
    ShowPage(text, pageUrl.c_str());
    delete[] text;
}

void CHtmlRenderer::OnLinkHover(int overLink, const wchar_t* url)
{
    if (!url)
        url = L"";
    if (!hoveredUrl || wcscmp(url, hoveredUrl) != 0) {
        if (hoveredUrl)
            document->HighlightLink(hoveredUrl);
        delete[] hoveredUrl;
        size_t length = wcslen(url);
        hoveredUrl = new wchar_t[length + 1];
        wmemcpy(hoveredUrl, url, length + 1);
    }
    if (!overLink) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SetStatus(pageStatusText);
        return;
    }
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    document->HighlightLink(hoveredUrl);
    SetStatus(hoveredUrl);
}

void CHtmlRenderer::SetTitle(const wchar_t* title)
{
    if (viewWindow)
        SetWindowTextW(viewWindow, title);
}

int CHtmlRenderer::LoadStatusNeedsRelayout(int done, int total)
{
    long long power = 10;
    while (power < total)
        power *= 10;
    long long step = power / 10;
    return done == total || done % step == 0 ? 1 : 0;
}

void CHtmlRenderer::ShowLoadStatus(int done, int total)
{
    // Download threads only post: the status text and the relayout are the UI thread's, which therefore
    // never waits for a worker inside a window call.
    PostMessageW(drawWindow, kHtmlImageLoaded, static_cast<WPARAM>(done), static_cast<LPARAM>(total));
}

void CHtmlRenderer::OnImageLoaded(int done, int total)
{
    if (LoadStatusNeedsRelayout(done, total))
        PostMessageW(drawWindow, kHtmlRelayout, 0, 0);
    else
        InvalidateRect(drawWindow, nullptr, FALSE);
    if (done != total) {
        wchar_t text[100];
        swprintf(text, 100, L"Loaded Image %d of %d", done, total);
        SetStatus(text);
        return;
    }
    // A page cut at the item limit keeps saying so.
    if (!document->LimitNotice().empty())
        return;
    int items = 0, images = 0, links = 0, level = 0;
    document->GetStats(&items, &images, &links, &level);
    swprintf(pageStatusText, kStatusCapacity, L"Ready, items:%d, images:%d, links:%d, level:%d", items,
             images, links, level);
    SetStatus(pageStatusText);
}

int CHtmlRenderer::AddForm(const wchar_t* action, const wchar_t* method)
{
    int row = forms.AddRow() - 1;
    forms.AppendCell(row, action ? action : L"", -1);
    forms.AppendCell(row, method ? method : L"", -1);
    return row;
}

namespace {

struct ControlRow
{
    CHtmlStringTable& table;
    HWND window;
    const wchar_t* name;
    int formNumber;
    const wchar_t* kind;
    const wchar_t* caption;

    void Add()
    {
        int row = table.AddRow() - 1;
        table.AppendCell(row, HandleText(window).c_str(), -1);
        table.AppendCell(row, name ? name : L"", -1);
        table.AppendCell(row, std::to_wstring(formNumber).c_str(), -1);
        table.AppendCell(row, kind, -1);
        if (caption)
            table.AppendCell(row, caption, -1);
    }
};

HWND CreateChild(HWND parent, int id, const wchar_t* className, DWORD exStyle, DWORD style,
                 const wchar_t* text, int width, int height, int stockFont)
{
    HWND window = CreateWindowExW(exStyle, className, text ? text : L"", style, 0, 0, width, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(stockFont)), FALSE);
    return window;
}

} // namespace

HWND CHtmlRenderer::CreateEditControl(int hasLimit, int limit, int width, int height, const wchar_t* text,
                                      int multiLine, const wchar_t* name, int formNumber, int password)
{
    DWORD style = WS_CHILD | WS_TABSTOP | (multiLine ? WS_VSCROLL | ES_MULTILINE : ES_AUTOHSCROLL);
    if (password)
        style |= ES_PASSWORD;
    HWND window = CreateChild(drawWindow, controls.RowCount() + 1, L"edit", WS_EX_CLIENTEDGE, style, text,
                              width, height, multiLine ? ANSI_FIXED_FONT : ANSI_VAR_FONT);
    if (window && hasLimit)
        SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    ControlRow{controls, window, name, formNumber, L"0", nullptr}.Add();
    return window;
}

HWND CHtmlRenderer::CreateButtonControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                                        int formNumber)
{
    HWND window = CreateChild(drawWindow, controls.RowCount() + 1, L"button", 0, WS_CHILD | WS_TABSTOP,
                              caption, width, height, ANSI_VAR_FONT);
    ControlRow{controls, window, name, formNumber, L"1", nullptr}.Add();
    return window;
}

HWND CHtmlRenderer::CreateRadioControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                                       int formNumber)
{
    HWND window =
        CreateChild(drawWindow, controls.RowCount() + 1, L"button", 0,
                    WS_CHILD | WS_TABSTOP | BS_AUTORADIOBUTTON, caption, width, height, ANSI_VAR_FONT);
    ControlRow{controls, window, name, formNumber, L"2", caption ? caption : L""}.Add();
    return window;
}

HWND CHtmlRenderer::CreateCheckBoxControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                                          int formNumber)
{
    HWND window = CreateChild(drawWindow, controls.RowCount() + 1, L"button", 0,
                              WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, caption, width, height, ANSI_VAR_FONT);
    ControlRow{controls, window, name, formNumber, L"3", caption ? caption : L""}.Add();
    return window;
}

HWND CHtmlRenderer::CreateComboBoxControl(int width, int height, const CHtmlStringTable* options,
                                          int selected, const wchar_t* name, int formNumber)
{
    HWND window = CreateChild(drawWindow, controls.RowCount() + 1, L"combobox", 0,
                              WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, L"", width,
                              height + kComboListRoom, ANSI_VAR_FONT);
    ControlRow{controls, window, name, formNumber, L"4", nullptr}.Add();
    if (!window)
        return window;
    for (int row = 0; options && row < options->RowCount(); ++row) {
        const CHtmlStringArray* option = options->GetRow(row);
        LRESULT entry = SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option->GetText(0)));
        if (entry < 0)
            continue;
        const wchar_t* value = option->GetText(1);
        size_t length = wcslen(value);
        wchar_t* copy = new wchar_t[length + 1];
        wmemcpy(copy, value, length + 1);
        SendMessageW(window, CB_SETITEMDATA, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(copy));
    }
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return window;
}

void CHtmlRenderer::MoveControl(HWND control, int x, int y)
{
    RECT bounds;
    GetWindowRect(control, &bounds);
    MoveWindow(control, x - ScrollPosition(kHtmlScrollGetX), y - ScrollPosition(kHtmlScrollGetY),
               bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
    ShowWindow(control, SW_SHOWNA);
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
}

void CHtmlRenderer::InvalidateDocRect(const RECT* documentRect)
{
    RECT area = *documentRect;
    OffsetRect(&area, -ScrollPosition(kHtmlScrollGetX), -ScrollPosition(kHtmlScrollGetY));
    InvalidateRect(drawWindow, &area, FALSE);
}

void CHtmlRenderer::DestroyFormControls()
{
    for (int row = 0; row < controls.RowCount(); ++row) {
        const CHtmlStringArray* cells = controls.GetRow(row);
        HWND window = ControlWindow(cells);
        if (!window)
            continue;
        if (wcscmp(cells->GetText(3), L"4") == 0) {
            LRESULT count = SendMessageW(window, CB_GETCOUNT, 0, 0);
            for (LRESULT entry = 0; entry < count; ++entry) {
                LRESULT data = SendMessageW(window, CB_GETITEMDATA, static_cast<WPARAM>(entry), 0);
                if (data != CB_ERR)
                    delete[] reinterpret_cast<wchar_t*>(data);
            }
        }
        DestroyWindow(window);
    }
    controls.Clear();
    forms.Clear();
}

void CHtmlRenderer::Relayout()
{
    RECT client;
    GetClientRect(drawWindow, &client);
    document->Layout(&client);
    HtmlScrollProc(drawWindow, kHtmlScrollSetContentSize, static_cast<WPARAM>(client.right),
                   static_cast<LPARAM>(client.bottom));
}

LRESULT CHtmlRenderer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        LONG_PTR style = GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWL_STYLE);
        if ((style & 0xF) == BS_PUSHBUTTON)
            return 0;
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_GETDLGCODE:
        // A dialog procedure hands its result over through DWLP_MSGRESULT.
        SetWindowLongPtrW(window, DWLP_MSGRESULT, DLGC_WANTALLKEYS);
        return TRUE;
    case WM_PAINT: {
        if (!document)
            break;
        RECT client;
        GetClientRect(window, &client);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (!backBuffer)
            backBuffer = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, backBuffer);
        document->Draw(memory, &client, ScrollPosition(kHtmlScrollGetX), ScrollPosition(kHtmlScrollGetY));
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        EndPaint(window, &paint);
        return 1;
    }
    case kHtmlImageLoaded:
        if (document)
            OnImageLoaded(static_cast<int>(wParam), static_cast<int>(lParam));
        return 1;
    case WM_SIZE:
    case kHtmlRelayout: {
        if (!document)
            break;
        RECT client;
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        HBITMAP fresh = CreateCompatibleBitmap(dc, client.right, client.bottom);
        ReleaseDC(window, dc);
        if (backBuffer)
            DeleteObject(backBuffer);
        backBuffer = fresh;
        Relayout();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        break;
    }
    case WM_MOUSEMOVE: {
        if (!document)
            break;
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int scrollX = ScrollPosition(kHtmlScrollGetX);
        int scrollY = ScrollPosition(kHtmlScrollGetY);
        document->OnMouseMove(point.x + scrollX, point.y + scrollY);
        if (GetCapture() != window)
            return 0;
        selectionEnd = point;
        RECT selection = {
            std::min(selectionAnchor.x, point.x) + scrollX, std::min(selectionAnchor.y, point.y) + scrollY,
            std::max(selectionAnchor.x, point.x) + scrollX, std::max(selectionAnchor.y, point.y) + scrollY};
        document->SetSelection(&selection);
        InvalidateRect(window, nullptr, FALSE);
        RECT client;
        GetClientRect(window, &client);
        // Beyond an edge the page follows the pointer; the anchor keeps its document point.
        auto follow = [&](int distance, int position, UINT getMax, UINT set, LONG& anchor) {
            int wanted = position + distance;
            wanted = std::max(0, std::min(wanted, ScrollPosition(getMax)));
            if (wanted == position)
                return;
            HtmlScrollProc(window, set, 0, wanted);
            anchor -= wanted - position;
        };
        if (point.x < 0)
            follow(point.x, scrollX, kHtmlScrollGetMaxX, kHtmlScrollSetX, selectionAnchor.x);
        else if (point.x > client.right)
            follow(point.x - client.right, scrollX, kHtmlScrollGetMaxX, kHtmlScrollSetX, selectionAnchor.x);
        if (point.y < 0)
            follow(point.y, scrollY, kHtmlScrollGetMaxY, kHtmlScrollSetY, selectionAnchor.y);
        else if (point.y > client.bottom)
            follow(point.y - client.bottom, scrollY, kHtmlScrollGetMaxY, kHtmlScrollSetY, selectionAnchor.y);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        if (!document)
            break;
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int scrollX = ScrollPosition(kHtmlScrollGetX);
        int scrollY = ScrollPosition(kHtmlScrollGetY);
        document->OnClick(point.x + scrollX, point.y + scrollY);
        selectionAnchor = point;
        selectionEnd = point;
        RECT empty = {point.x + scrollX, point.y + scrollY, point.x + scrollX, point.y + scrollY};
        document->SetSelection(&empty);
        InvalidateRect(window, nullptr, FALSE);
        HWND focus = GetFocus();
        if (focus && GetParent(focus) == window) {
            if (addressEdit)
                SetFocus(GetDlgItem(GetParent(addressEdit), 1));
            else
                SetFocus(nullptr);
        }
        SetCapture(window);
        return 0;
    }
    case WM_LBUTTONUP:
        if (GetCapture() == window)
            ReleaseCapture();
        break;
    default:
        break;
    }
    return HtmlScrollProc(window, message, wParam, lParam);
}
