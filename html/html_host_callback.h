#pragma once

#include <windows.h>

class CHtmlStringTable;

// Everything the engine does outside the page goes through its host. The engine calls these by
// position, so the order of the declarations is fixed.
class CHtmlHostCallback
{
public:
    virtual ~CHtmlHostCallback() = default;

    // With a non-zero flag the host only returns it; otherwise it shows done of total.
    virtual int ShowParseProgress(int flag, int done, int total) = 0;
    virtual void Navigate(const wchar_t* url) = 0;
    virtual void OnLinkHover(int overLink, const wchar_t* url) = 0;
    virtual void SetTitle(const wchar_t* title) = 0;
    // The returned buffers belong to the caller (delete[]); byteCount receives what the source delivered.
    virtual wchar_t* FetchPage(const wchar_t* url, int* byteCount) = 0;
    // Called on image download threads.
    virtual unsigned char* FetchResource(const wchar_t* url, int* byteCount) = 0;
    // Called on image download threads; may only post and invalidate.
    virtual void ShowLoadStatus(int done, int total) = 0;
    virtual int AddForm(const wchar_t* action, const wchar_t* method) = 0;
    virtual HWND CreateEditControl(int hasLimit, int limit, int width, int height, const wchar_t* text,
                                   int multiLine, const wchar_t* name, int formNumber, int password) = 0;
    virtual HWND CreateButtonControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                                     int formNumber) = 0;
    virtual HWND CreateRadioControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                                    int formNumber) = 0;
    virtual HWND CreateCheckBoxControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                                       int formNumber) = 0;
    virtual HWND CreateComboBoxControl(int width, int height, const CHtmlStringTable* options, int selected,
                                       const wchar_t* name, int formNumber) = 0;
    virtual void MoveControl(HWND control, int x, int y) = 0;
    virtual void InvalidateDocRect(const RECT* documentRect) = 0;
};
