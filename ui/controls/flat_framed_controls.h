#pragma once

#include <afxwin.h>

// An edit box and a list box that draw, in place of the system's border, a one-pixel frame in the
// program's accent colour over their whole window rectangle. Both need WS_BORDER, which leaves them the
// one-pixel non-client edge that the frame covers.

void PaintAccentFrame(CWnd& window);

class CFlatEdit : public CEdit
{
public:
    CFlatEdit() = default;

protected:
    afx_msg void OnNcPaint();
    DECLARE_MESSAGE_MAP()
};

class CFlatListBox : public CListBox
{
public:
    CFlatListBox() = default;

protected:
    afx_msg void OnNcPaint();
    DECLARE_MESSAGE_MAP()
};
