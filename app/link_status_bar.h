#pragma once

// The main window's status bar: pane 1 is a "Contact Support" link to the maker's support page.
#include <afxext.h>

class CLinkStatusBar : public CStatusBar
{
public:
    CLinkStatusBar() = default;

    // The link pane's rectangle as it reacts to clicks: from 4 pixels inside its left edge, as wide as
    // the text drawn last.
    CRect GetLinkRect() const;

    // Stretches the separator pane to half the frame's width + 270.
    void FitToFrameWidth(int frameWidth);

    CSize m_linkTextSize = CSize(0, 0);

protected:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

inline constexpr wchar_t kContactSupportText[] = L"Contact Support";
