#pragma once

#include <afxcmn.h>

// The colours of one cell of a status list. kKeepListColour stands for the list's own colour.
struct StatusCellColours
{
    static constexpr COLORREF kKeepListColour = CLR_NONE;
    COLORREF text;
    COLORREF background;
};

// The colours of the cell in the column, for a row whose status (the text of column 1) is given. The
// background goes by the column; the status word at the start of the text sets the text colour, and a row
// in "Progress" is green on black in every column.
StatusCellColours StatusCellColoursFor(int nColumn, LPCTSTR lpszStatus);

// A report list whose cells are coloured by column and whose rows show their state by the status word in
// column 1. Clicks are its own: the parent is not told of them.
class CStatusListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CStatusListCtrl)
public:
    CStatusListCtrl() = default;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};
