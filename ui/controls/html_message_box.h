#pragma once

#include <windows.h>

#include "html_drawer.h"
#include "html_message_box_buttons.h"

#include <map>
#include <string>
#include <vector>

// The program's message box: the platform message box's owner, text, caption and style, plus an optional
// parameter block, shown as a dialog built in memory whose text is HTML-formatted (drawn by CHtmlDrawer)
// over backgrounds of CDrawEffects. Text fields hold either a string or a string-resource id made with
// MAKEINTRESOURCE.

// The private message with which the box's HTML drawers ask it to repaint.
inline constexpr UINT kHtmlBoxRepaintMessage = WM_APP + 100;

struct HtmlMessageBoxArea
{
    // Separator line along the area's edge towards the message.
    enum Separator
    {
        SeparatorNone = 0,
        SeparatorEtched = 1,
        SeparatorDark = 2,
        SeparatorLight = 3,
    };
    enum CaptionAlignment
    {
        CaptionLeft = 0,
        CaptionRight = 1,
        CaptionCentre = 2,
    };

    int separatorStyle = SeparatorNone;
    int captionAlignment = CaptionLeft;
    // Drawn into the separator line; null for none.
    LPCWSTR separatorCaption = nullptr;
    // -1: the system's button face; 0 and up: an effect of CDrawEffects.
    int backgroundEffect = -1;
    COLORREF colour1 = ::GetSysColor(COLOR_BTNFACE);
    COLORREF colour2 = ::GetSysColor(COLOR_BTNFACE);
    COLORREF colour3 = ::GetSysColor(COLOR_BTNFACE);
};

struct HtmlMessageBoxParams
{
    // Null: the active window's last active popup.
    HWND owner = nullptr;
    // Modules of text ids and of the images that the HTML names; null: the program.
    HMODULE textModule = nullptr;
    HMODULE imageModule = nullptr;
    // Empty: the owner's window text, else "Error".
    LPCWSTR caption = nullptr;
    // First part of the remembered answer's value name; null: nothing is remembered.
    LPCWSTR rememberPrefix = nullptr;
    // Optional company part of the remembered answers' registry key.
    LPCWSTR rememberCompany = nullptr;
    int rememberNumber = 0;
    // Sent to the owner by the "Report" button; 0: no such button.
    UINT reportMessage = 0;
    // Background of the whole box; its separator is not drawn.
    HtmlMessageBoxArea messageArea;
    int headerHeight = 0;
    // HTML of a header above the message; null: no header.
    LPCWSTR headerText = nullptr;
    HtmlMessageBoxArea headerArea;
    LPCWSTR text = nullptr;
    // 0 left, 1 right, 2 centred.
    int buttonAlignment = 2;
    UINT style = 0;
    HtmlMessageBoxArea buttonArea;
    // HTML of the details shown by "More >>"; null: no details.
    LPCWSTR detailsText = nullptr;
    HtmlMessageBoxArea detailsArea;
    // Above 0: count down and press the default button at 0.
    int autoPressSeconds = 0;
    // Above 0: the buttons stay disabled while the count-down runs.
    int disableSeconds = 0;
    // Non-zero: the disable count-down is shown in the caption and disables all buttons.
    int countInCaption = 0;
    DWORD helpContext = 0;
    DWORD reserved = 0;
    // Up to four captions separated by line breaks; they replace the button set.
    LPCWSTR customButtons = nullptr;
    // Null: "Do not show again".
    LPCWSTR checkBoxCaption = nullptr;
    // Captions by button id, consulted before anything else.
    const std::map<int, LPCWSTR>* captionTable = nullptr;
};

// Returns the id of the button that ended the box (with kHtmlBoxChecked added when the style asks for it
// and the check box was checked), a remembered answer without showing anything, 2 when the memory for the
// dialog cannot be had, or -1 when the dialog cannot be created. The block is copied; its owner, text,
// caption and style are replaced by the arguments.
int HtmlMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style,
                   const HtmlMessageBoxParams* params = nullptr);

// The box while it is shown; lives on the stack of HtmlMessageBox for one modal run.
class CHtmlMessageBox
{
public:
    explicit CHtmlMessageBox(const HtmlMessageBoxParams& params);
    virtual ~CHtmlMessageBox();
    CHtmlMessageBox(const CHtmlMessageBox&) = delete;
    CHtmlMessageBox& operator=(const CHtmlMessageBox&) = delete;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Button
    {
        int id;
        HWND window;
    };

    BOOL OnInitDialog(HWND window);
    void OnTimer();
    void OnCommand(int id);
    void EndBox(int id);
    void ToggleDetails();
    void PaintTo(HDC target);
    void BuildBackground(HDC reference);
    void FillArea(HDC dc, const HtmlMessageBoxArea& area, const RECT& rect);
    void DrawSeparator(HDC dc, const HtmlMessageBoxArea& area, const std::wstring& caption, int y, int width);
    bool ForwardMouse(bool click);

    void CreateControls(HDC dc);
    void LayoutWindow();
    void PlaceControls();
    int ClientHeight() const;
    int ButtonAreaTop() const { return m_headerHeight + m_messageHeight; }
    HWND FindButton(int id) const;
    std::wstring LoadText(LPCWSTR textOrId) const;
    std::wstring ButtonCaption(int id) const;
    std::wstring CountdownCaption() const;
    void SetCloseItemEnabled(bool enabled);
    bool CountdownInCaption() const;

    HtmlMessageBoxParams m_params;
    HWND m_window = nullptr;
    std::vector<Button> m_buttons;
    HWND m_checkBox = nullptr;
    HWND m_checkLabel = nullptr;
    HFONT m_font = nullptr;
    HICON m_icon = nullptr;
    bool m_ownsIcon = false;
    CHtmlDrawer m_headerDrawer;
    CHtmlDrawer m_messageDrawer;
    CHtmlDrawer m_detailsDrawer;

    int m_clientWidth = 0;
    int m_headerHeight = 0;
    int m_messageHeight = 0;
    int m_buttonAreaHeight = 0;
    int m_detailsHeight = 0;
    SIZE m_buttonSize = {};
    int m_checkRowWidth = 0;

    std::wstring m_caption;
    std::wstring m_messageHtml;
    std::wstring m_headerHtml;
    std::wstring m_detailsHtml;
    std::wstring m_headerSeparatorCaption;
    std::wstring m_buttonSeparatorCaption;
    std::wstring m_detailsSeparatorCaption;
    std::wstring m_moreCaption;
    std::wstring m_lessCaption;
    std::wstring m_defaultCaption;
    std::vector<std::wstring> m_customCaptions;
    size_t m_defaultIndex = 0;
    bool m_mayClose = true;
    bool m_detailsShown = false;
    bool m_closeGreyed = false;
    int m_remainingSeconds = 0;
    HBITMAP m_background = nullptr;
    SIZE m_backgroundSize = {};
};

// Destroys the helper windows of the HTML message box; the HTML preview view calls it when it dies. The
// box keeps no process-wide helper window today, so there is nothing to destroy.
void DestroyHelperWindows();
