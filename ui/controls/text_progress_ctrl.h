#pragma once

#include <afxcmn.h>
#include <afxtempl.h>

// Style bits of CTextProgressCtrl, in the control-specific part of the window style.
#define TPBS_PERCENT 0x0100          // text: the format filled with the percentage
#define TPBS_POSITION 0x0200         // text: the format filled with the position
#define TPBS_TEXT_ONLY 0x0300        // text: the window text alone
#define TPBS_TEXT_MASK 0x0300        // the text mode; 0 shows no text
#define TPBS_TEXT_ON_BAR 0x1000      // the text sits on the filled part and is drawn only there
#define TPBS_STRETCH_GRADIENT 0x2000 // the gradient spans the filled part, not the whole length
#define TPBS_REVERSED 0x4000         // from the right edge (horizontal) or the top edge (vertical)
#define TPBS_SEGMENT 0x8000          // a segment runs along the bar and turns round at the end

// What every drawing step of one paint works with. Rectangles handed to the steps are in bar
// coordinates: left and right are distances along the bar from its starting edge.
struct BarPaintInfo
{
    CDC* pDC;
    DWORD style;
    CRect client; // the client rectangle with the border taken off
    int position;
    int lower;
    int upper;
};

// The progress bar of the progress dialogs and step panels. The platform control keeps the range and
// the position; this class paints the whole control: a solid or gradient bar and a text shown in one
// colour over the filled part and in another over the rest. The window text is the text's format, filled
// with one integer (the percentage, the position, or 0 for a fixed text).
class CTextProgressCtrl : public CProgressCtrl
{
    DECLARE_DYNAMIC(CTextProgressCtrl)
public:
    CTextProgressCtrl();
    ~CTextProgressCtrl() override = default;

    // An empty text or a mode of 0 clears the text mode and the window text.
    void SetText(LPCTSTR lpszFormat, DWORD dwTextMode);

    // The bar coordinates of a rectangle turned into client coordinates for the bar's direction.
    static CRect MapToClient(const BarPaintInfo& info, const CRect& bar);

    // Set by the owner at any time; they show at the next paint. The brushes stay the owner's.
    CArray<COLORREF, COLORREF> m_colours; // gradient stops, spread evenly along the bar
    CBrush* m_pBarBrush = NULL;           // fills the filled part instead of the gradient
    COLORREF m_backgroundColour;
    CBrush* m_pBackgroundBrush = NULL; // used instead of the background colour
    COLORREF m_barTextColour;
    COLORREF m_backgroundTextColour;
    int m_segmentStart = 0; // running segment: its rear end, in position units
    int m_segmentLength = 40;
    int m_step = 10; // running segment: the step of PBM_STEPIT
    CRect m_border;  // margins taken off the client area before the bar is laid out

protected:
    virtual void FillBarGradient(const BarPaintInfo& info, const CRect& gradient, const CRect& clip);
    virtual void FillColourRamp(const BarPaintInfo& info, const CRect& ramp, const CRect& clip,
                                COLORREF startColour, COLORREF endColour);
    virtual void DrawBarText(const BarPaintInfo& info, const CRect& whole, const CRect& filled);
    virtual void TextOutClipped(const BarPaintInfo& info, const CRect& rect, const CString& text,
                                CPoint windowOrigin);
    // TRUE when the control moved the running segment itself and stored the message's result.
    virtual BOOL AdvanceSegment(LRESULT& result, int position, BOOL relative);

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClientMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDeltaPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBarColour(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBackgroundColour(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Paint(CDC* pTarget);
};
