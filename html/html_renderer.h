#pragma once

#include "html_host_callback.h"
#include "html_string_table.h"

#include <windows.h>

class CHtmlDocument;

// Drawing-window messages of the renderer.
constexpr UINT kHtmlRelayout = WM_USER + 22;
// Posted by image download threads: wParam the finished downloads, lParam the total.
constexpr UINT kHtmlImageLoaded = WM_USER + 23;

// Shows pages in a drawing window (a modeless dialog of the host view whose procedure hands its messages
// to WindowProc): fetching, history, status texts, form controls, painting, hover and selection.
class CHtmlRenderer : public CHtmlHostCallback
{
public:
    static constexpr int kUrlCapacity = 2048;
    static constexpr int kStatusCapacity = 128;
    // Redirections a navigation follows before it fails.
    static constexpr int kMaxRedirections = 20;

    CHtmlRenderer(HWND drawWindow, HWND viewWindow, HWND statusWindow, HWND addressEdit, HWND backButton);
    ~CHtmlRenderer() override;
    CHtmlRenderer(const CHtmlRenderer&) = delete;
    CHtmlRenderer& operator=(const CHtmlRenderer&) = delete;

    int ShowParseProgress(int flag, int done, int total) override;
    void Navigate(const wchar_t* url) override;
    void OnLinkHover(int overLink, const wchar_t* url) override;
    void SetTitle(const wchar_t* title) override;
    wchar_t* FetchPage(const wchar_t* url, int* byteCount) override;
    unsigned char* FetchResource(const wchar_t* url, int* byteCount) override;
    void ShowLoadStatus(int done, int total) override;
    int AddForm(const wchar_t* action, const wchar_t* method) override;
    HWND CreateEditControl(int hasLimit, int limit, int width, int height, const wchar_t* text, int multiLine,
                           const wchar_t* name, int formNumber, int password) override;
    HWND CreateButtonControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                             int formNumber) override;
    HWND CreateRadioControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                            int formNumber) override;
    HWND CreateCheckBoxControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                               int formNumber) override;
    HWND CreateComboBoxControl(int width, int height, const CHtmlStringTable* options, int selected,
                               const wchar_t* name, int formNumber) override;
    void MoveControl(HWND control, int x, int y) override;
    void InvalidateDocRect(const RECT* documentRect) override;

    void DestroyFormControls();
    void Relayout();
    // The drawing window's handler; its result is a dialog procedure's (0: not handled).
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // formNumber -1: the form of the push button with this window and id.
    void SubmitForm(int formNumber, HWND button, int buttonId);
    wchar_t* PostForm(const wchar_t* action, const wchar_t* body, int* byteCount);
    void ShowReadProgress(int bytesSoFar, int totalBytes);
    // Letters and digits stay, a space is "+", every other byte of the ANSI text is "%xx".
    static wchar_t* UrlEncodeFormValue(const wchar_t* text);
    // 1 when a finished download should relayout the page, 0 when a repaint is enough.
    static int LoadStatusNeedsRelayout(int done, int total);

    const wchar_t* CurrentUrl() const { return currentUrl; }
    const wchar_t* PageStatusText() const { return pageStatusText; }
    CHtmlDocument* Document() const { return document; }
    const CHtmlStringTable& History() const { return history; }
    const CHtmlStringTable& Controls() const { return controls; }
    // A control's window from its row's first cell (the handle as decimal text).
    static HWND ControlWindow(const CHtmlStringArray* row);

private:
    // res:// and file:// sources, read without WinInet; false when the URL is of neither kind.
    bool FetchLocal(const wchar_t* url, bool page, unsigned char** data, int* byteCount);
    // The WinInet road of both fetches; Location receives the redirection when there is one.
    unsigned char* FetchInternet(const wchar_t* url, bool page, int* byteCount, wchar_t* location);
    wchar_t* FetchPageFollowing(const wchar_t* url, int* byteCount, int redirections);
    void SetCurrentUrl(const wchar_t* url);
    void SetStatus(const wchar_t* text);
    // The page is loaded, laid out and shown from its top.
    void ShowPage(const wchar_t* text, const wchar_t* baseUrl);
    void WritePageCopy(const wchar_t* text);
    int ScrollPosition(UINT message);
    void OnImageLoaded(int done, int total);

    HWND drawWindow;
    HWND viewWindow;
    HWND statusWindow;
    HWND addressEdit;
    HWND backButton;
    wchar_t currentUrl[kUrlCapacity];
    wchar_t pageStatusText[kStatusCapacity];
    CHtmlStringTable history;
    CHtmlDocument* document;
    HBITMAP backBuffer;
    POINT selectionAnchor;
    POINT selectionEnd;
    CHtmlStringTable controls;
    CHtmlStringTable forms;
    wchar_t* hoveredUrl;
    int navigating;
    int fontSize;
    wchar_t fontFace[50];
    // Guards currentUrl, which download threads read for their "Referer: ".
    CRITICAL_SECTION urlLock;
    DWORD uiThread;
    // The hundredth of the page's text that the status text last showed parsed, -1 none yet.
    int shownParsePercent = -1;
};
