#include "html_document.h"
#include "html_renderer.h"

#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kHostCapacity = 256;

std::wstring WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

// The value a drop-down list sends: its selected option's value, or the entry's text without one. A list
// without a selected entry sends an empty value.
std::wstring ComboValue(HWND window)
{
    LRESULT selected = SendMessageW(window, CB_GETCURSEL, 0, 0);
    if (selected < 0)
        return L"";
    LRESULT data = SendMessageW(window, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    if (data && data != CB_ERR)
        return reinterpret_cast<const wchar_t*>(data);
    LRESULT length = SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length < 0)
        return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}

std::string ToAnsi(const wchar_t* text)
{
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), length, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(length) - 1);
    return ansi;
}

} // namespace

wchar_t* CHtmlRenderer::UrlEncodeFormValue(const wchar_t* text)
{
    // Encoded byte by byte in the page's code page, as pages are decoded: U+00DC is %dc.
    std::string ansi = ToAnsi(text ? text : L"");
    std::wstring encoded;
    for (unsigned char byte : ansi) {
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) {
            encoded += static_cast<wchar_t>(byte);
        } else if (byte == ' ') {
            encoded += L'+';
        } else {
            wchar_t hex[4];
            swprintf(hex, 4, L"%%%02x", byte);
            encoded += hex;
        }
    }
    wchar_t* result = new wchar_t[encoded.size() + 1];
    wmemcpy(result, encoded.c_str(), encoded.size() + 1);
    return result;
}

void CHtmlRenderer::SubmitForm(int formNumber, HWND button, int buttonId)
{
    if (formNumber == -1) {
        for (int row = 0; row < controls.RowCount(); ++row) {
            const CHtmlStringArray* cells = controls.GetRow(row);
            if (wcscmp(cells->GetText(3), L"1") == 0 && ControlWindow(cells) == button && button &&
                GetDlgCtrlID(button) == buttonId) {
                formNumber = _wtoi(cells->GetText(2));
                break;
            }
        }
        if (formNumber == -1)
            return;
    }
    if (formNumber < 0 || formNumber >= forms.RowCount())
        return;
    std::wstring query;
    const std::wstring form = std::to_wstring(formNumber);
    for (int row = 0; row < controls.RowCount(); ++row) {
        const CHtmlStringArray* cells = controls.GetRow(row);
        if (form != cells->GetText(2))
            continue;
        HWND window = ControlWindow(cells);
        int kind = _wtoi(cells->GetText(3));
        if (kind == 1)
            continue;
        if ((kind == 2 || kind == 3) && !SendMessageW(window, BM_GETCHECK, 0, 0))
            continue;
        std::wstring value;
        if (kind == 4)
            value = ComboValue(window);
        else if (kind == 2 || kind == 3)
            value = cells->GetText(4);
        else
            value = WindowText(window);
        wchar_t* encoded = UrlEncodeFormValue(value.c_str());
        query += query.empty() ? L"?" : L"&";
        query += cells->GetText(1);
        query += L"=";
        query += encoded;
        delete[] encoded;
    }
    const std::wstring action = forms.GetRow(formNumber)->GetText(0);
    const std::wstring method = forms.GetRow(formNumber)->GetText(1);
    if (_wcsicmp(method.c_str(), L"get") == 0) {
        if (!query.empty() && action.find(L'?') != std::wstring::npos)
            query[0] = L'&';
        Navigate((action + query).c_str());
        return;
    }
    int byteCount = 0;
    wchar_t* text = PostForm(action.c_str(), query.empty() ? L"" : query.c_str() + 1, &byteCount);
    if (!text)
        return;
    int row = history.AddRow() - 1;
    history.AppendCell(row, action.c_str(), -1);
    history.AppendCell(row, text, -1);
    DestroyFormControls();
    ShowPage(text, action.c_str());
    delete[] text;
}

wchar_t* CHtmlRenderer::PostForm(const wchar_t* action, const wchar_t* body, int* byteCount)
{
    pageStatusText[0] = L'\0';
    // Scheme, host and port come from the action, so that a form is sent where it says and https stays
    // encrypted; a host that does not fit the buffer fails the submission.
    wchar_t host[kHostCapacity] = {};
    std::wstring path(wcslen(action) + 1, L'\0');
    std::wstring extra(wcslen(action) + 1, L'\0');
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = kHostCapacity;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlW(action, 0, 0, &parts) || !host[0] || wcslen(host) >= kHostCapacity)
        return nullptr;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return nullptr;
    std::wstring object = std::wstring(path.c_str()) + extra.c_str();
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    HINTERNET internet = InternetOpenW(L"Tovin Browser", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!internet)
        return nullptr;
    HINTERNET connection =
        InternetConnectW(internet, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    const wchar_t* accept[] = {L"*/*", nullptr};
    HINTERNET request =
        connection ? HttpOpenRequestW(connection, L"POST", object.c_str(), nullptr, nullptr, accept, flags, 1)
                   : nullptr;
    std::string ansiBody = ToAnsi(body);
    const wchar_t header[] = L"Content-Type: application/x-www-form-urlencoded";
    wchar_t* text = nullptr;
    if (request && HttpSendRequestW(request, header, static_cast<DWORD>(wcslen(header)), ansiBody.data(),
                                    static_cast<DWORD>(ansiBody.size()))) {
        wchar_t lengthText[25] = {};
        DWORD size = sizeof(lengthText);
        if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, lengthText, &size, nullptr))
            lengthText[0] = L'\0';
        lengthText[24] = L'\0';
        std::vector<char> data;
        char chunk[1000];
        DWORD read = 0;
        while (InternetReadFile(request, chunk, sizeof(chunk), &read) && read) {
            data.insert(data.end(), chunk, chunk + read);
            wchar_t status[80];
            swprintf(status, 80, L"Reading %d of %ls", static_cast<int>(data.size()), lengthText);
            SetStatus(status);
        }
        *byteCount = static_cast<int>(data.size());
        data.push_back('\0');
        int length = MultiByteToWideChar(CP_ACP, 0, data.data(), -1, nullptr, 0);
        if (length > 0) {
            text = new wchar_t[static_cast<size_t>(length)];
            MultiByteToWideChar(CP_ACP, 0, data.data(), -1, text, length);
        }
    }
    if (request)
        InternetCloseHandle(request);
    if (connection)
        InternetCloseHandle(connection);
    InternetCloseHandle(internet);
    return text;
}
