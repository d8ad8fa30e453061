#pragma once

#include <afxcoll.h>
#include <afxwin.h>

// A pie of percentages with a title and a legend, drawn onto any device context. Both classes are
// persistent objects, so a chart can be kept in an archive.

class CPieSlice : public CObject
{
    DECLARE_SERIAL(CPieSlice)
public:
    CPieSlice() = default;
    CPieSlice(int nValue, COLORREF crColor, LPCTSTR lpszLabel);

    // Version 1: value, colour, label. A slice of another version reads nothing more.
    void Serialize(CArchive& ar) override;

    int m_nValue = 50; // share in percent
    COLORREF m_crColor = 0x0000FF;
    CString m_strLabel = L"<no description>";
};

class CPieChart : public CObject
{
    DECLARE_SERIAL(CPieChart)
public:
    CPieChart() = default;
    // Deletes the slices when it owns them; otherwise they stay the caller's.
    ~CPieChart() override;

    INT_PTR AddSlice(CPieSlice* pSlice);
    CPieSlice* GetSlice(INT_PTR nIndex) const { return static_cast<CPieSlice*>(m_Slices.GetAt(nIndex)); }
    INT_PTR GetSliceCount() const { return m_Slices.GetSize(); }
    // Deletes every slice object, owned or not, and empties the chart.
    void DeleteAllSlices();

    // Draws the pie centred at (x, y): unless bFillUp is set the values must add up to exactly 100, else
    // nothing is drawn; with bFillUp the last slice takes the pie to 100 percent. The viewport origin of
    // the device context is left at (x, y). Legend position 1 puts the legend to the right of the pie, 2
    // below it, any other value leaves it out.
    void Draw(CDC* pDC, int x, int y, int nRadius, BOOL bShowTitle, int nLegendPosition, BOOL bFillUp);
    // One row a slice, 20 pixels apart, from (x, y) in logical units.
    void DrawLegend(CDC* pDC, int x, int y, BOOL bFillUp);

    // Version 1: owns-slices flag, outline colour, a reserved word, title, then the slices as an object
    // array. Loading first lets go of the current slices, deleting only owned ones.
    void Serialize(CArchive& ar) override;

    BOOL m_bOwnsSlices = FALSE;
    CString m_strTitle;
    CObArray m_Slices;
    COLORREF m_crOutline = 0x00FF00;
    CFont* m_pFont = NULL;

private:
    void ReleaseSlices();
    void LoadSlices(CArchive& ar);
};
