// CRichEditCtrl: the rich edit control (version 2 or later, loaded on first creation).
#pragma once

#include <windows.h>

#include <richedit.h>
#include <richole.h>

#include "afx/wnd.h"

class CRichEditCtrl : public CWnd
{
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    CRichEditCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL CanUndo() const { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
    BOOL CanRedo() const { return static_cast<BOOL>(SendMessage(EM_CANREDO)); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    void GetRect(LPRECT lpRect) const { SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(lpRect)); }
    CPoint GetCharPos(long lChar) const;
    void SetOptions(WORD wOp, DWORD dwFlags) { SendMessage(EM_SETOPTIONS, wOp, dwFlags); }
    // Copies line nIndex (not terminated by the control; terminated here when there is room).
    int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const;
    BOOL CanPaste(UINT nFormat = 0) const { return static_cast<BOOL>(SendMessage(EM_CANPASTE, nFormat)); }
    void GetSel(long& nStartChar, long& nEndChar) const;
    void GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
    void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
    long LineFromChar(long nIndex) const
    {
        return static_cast<long>(SendMessage(EM_EXLINEFROMCHAR, 0, nIndex));
    }
    void SetSel(long nStartChar, long nEndChar);
    void SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
    DWORD GetDefaultCharFormat(CHARFORMAT& cf) const;
    DWORD GetDefaultCharFormat(CHARFORMAT2& cf) const;
    DWORD GetSelectionCharFormat(CHARFORMAT& cf) const;
    DWORD GetSelectionCharFormat(CHARFORMAT2& cf) const;
    long GetEventMask() const { return static_cast<long>(SendMessage(EM_GETEVENTMASK)); }
    long GetLimitText() const { return static_cast<long>(SendMessage(EM_GETLIMITTEXT)); }
    DWORD GetParaFormat(PARAFORMAT& pf) const;
    DWORD GetParaFormat(PARAFORMAT2& pf) const;
    long GetSelText(LPTSTR lpBuf) const
    {
        return static_cast<long>(SendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(lpBuf)));
    }
    CString GetSelText() const;
    WORD GetSelectionType() const { return static_cast<WORD>(SendMessage(EM_SELECTIONTYPE)); }
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr)
    {
        return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, bSysColor, cr));
    }
    BOOL SetDefaultCharFormat(CHARFORMAT& cf);
    BOOL SetDefaultCharFormat(CHARFORMAT2& cf);
    BOOL SetSelectionCharFormat(CHARFORMAT& cf);
    BOOL SetSelectionCharFormat(CHARFORMAT2& cf);
    BOOL SetWordCharFormat(CHARFORMAT& cf);
    DWORD SetEventMask(DWORD dwEventMask)
    {
        return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, dwEventMask));
    }
    BOOL SetParaFormat(PARAFORMAT& pf);
    BOOL SetParaFormat(PARAFORMAT2& pf);
    BOOL SetTargetDevice(HDC hDC, long lLineWidth)
    {
        return static_cast<BOOL>(SendMessage(EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(hDC), lLineWidth));
    }
    long GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }
    long GetTextLengthEx(DWORD dwFlags, UINT uCodePage = 1200) const;
    BOOL SetReadOnly(BOOL bReadOnly = TRUE)
    {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly));
    }
    int GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    int GetTextRange(int nFirst, int nLast, CString& refString) const;
    BOOL SetAutoURLDetect(BOOL bEnable = TRUE) { return !SendMessage(EM_AUTOURLDETECT, bEnable); }
    UINT SetUndoLimit(UINT nLimit) { return static_cast<UINT>(SendMessage(EM_SETUNDOLIMIT, nLimit)); }
    UINT SetTextMode(UINT fMode) { return static_cast<UINT>(SendMessage(EM_SETTEXTMODE, fMode)); }
    UINT GetTextMode() const { return static_cast<UINT>(SendMessage(EM_GETTEXTMODE)); }
    BOOL SetZoom(int nNumerator, int nDenominator)
    {
        return static_cast<BOOL>(SendMessage(EM_SETZOOM, static_cast<WPARAM>(nNumerator), nDenominator));
    }
    BOOL GetZoom(int& nNumerator, int& nDenominator) const
    {
        return static_cast<BOOL>(SendMessage(EM_GETZOOM, reinterpret_cast<WPARAM>(&nNumerator),
                                             reinterpret_cast<LPARAM>(&nDenominator)));
    }
    // A reference is added for the caller, who releases it.
    IRichEditOle* GetIRichEditOle() const;
    BOOL SetOLECallback(IRichEditOleCallback* pCallback)
    {
        return static_cast<BOOL>(SendMessage(EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(pCallback)));
    }

    void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
    void HideSelection(BOOL bHide, BOOL bPerm) { SendMessage(EM_HIDESELECTION, bHide, bPerm); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE)
    {
        SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText));
    }
    void RequestResize() { SendMessage(EM_REQUESTRESIZE); }
    long StreamIn(int nFormat, EDITSTREAM& es)
    {
        return static_cast<long>(
            SendMessage(EM_STREAMIN, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
    }
    long StreamOut(int nFormat, EDITSTREAM& es)
    {
        return static_cast<long>(
            SendMessage(EM_STREAMOUT, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
    }
    long FindText(DWORD dwFlags, FINDTEXTEX* pFindText) const
    {
        return static_cast<long>(SendMessage(EM_FINDTEXTEX, dwFlags, reinterpret_cast<LPARAM>(pFindText)));
    }
    long FormatRange(FORMATRANGE* pfr, BOOL bDisplay = TRUE)
    {
        return static_cast<long>(SendMessage(EM_FORMATRANGE, bDisplay, reinterpret_cast<LPARAM>(pfr)));
    }
    BOOL DisplayBand(LPRECT pDisplayRect)
    {
        return static_cast<BOOL>(SendMessage(EM_DISPLAYBAND, 0, reinterpret_cast<LPARAM>(pDisplayRect)));
    }
    void LineScroll(int nLines, int nChars = 0)
    {
        SendMessage(EM_LINESCROLL, static_cast<WPARAM>(nChars), nLines);
    }
    int LineIndex(int nLine = -1) const
    {
        return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(nLine)));
    }
    int LineLength(int nLine = -1) const
    {
        return static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(nLine)));
    }
    BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
    BOOL Redo() { return static_cast<BOOL>(SendMessage(EM_REDO)); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
    void PasteSpecial(UINT nClipFormat, DWORD dvAspect = 0, HMETAFILE hMF = 0);
};
