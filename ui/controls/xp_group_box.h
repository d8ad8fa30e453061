#pragma once

#include <afxwin.h>

// A self-painted group box with rounded corners: a frame with the caption set into its top line (look 0),
// or a filled panel with a caption band across its top (any other look). Every setting redraws the box and
// the parent under it at once.
class CXPGroupBox : public CButton
{
    DECLARE_DYNAMIC(CXPGroupBox)
public:
    CXPGroupBox();

    void SetLook(int nLook);
    void SetFontDescription(const LOGFONT& logFont);
    void SetFontBold(BOOL bBold);
    void SetFontName(LPCTSTR lpszFaceName, BYTE nCharSet = ANSI_CHARSET);
    void SetFontUnderline(BOOL bUnderline);
    void SetFontItalic(BOOL bItalic);
    // In points: the height and width of a point font of that size in the current face.
    void SetFontSize(int nPoints);
    void SetFrameColour(COLORREF crFrame);
    void SetCaptionColour(COLORREF crCaption);
    // One colour for the fill and the band, or the two.
    void SetFillColours(COLORREF crFill);
    void SetFillColours(COLORREF crFill, COLORREF crBand);
    // Stored with a blank before and after the text, so that the frame line keeps clear of it. Only once
    // the window exists.
    void SetCaption(LPCTSTR lpszCaption);
    // 0 left, 1 centred, 2 right; other values change nothing.
    void SetAlignment(int nAlignment);

    const CString& GetCaption() const { return m_strCaption; }
    int GetAlignment() const { return m_nAlignment; }
    const LOGFONT& GetFontDescription() const { return m_logFont; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    void PreSubclassWindow() override;
    void MakeFont();
    void Redraw();

    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    CString m_strCaption;
    COLORREF m_crFrame;
    COLORREF m_crFill;
    COLORREF m_crBand;
    COLORREF m_crCaption = 0xFF0000;
    int m_nLook = 0;
    int m_nAlignment = 0;
    LOGFONT m_logFont = {};
    CFont m_font;
};
