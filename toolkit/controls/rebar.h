// The framework's rebar made to host command bars as bands: a toolbar joins with its bar id as the
// band id, leaves again, and each band follows its toolbar's layout; painted without flicker.
#pragma once

#include <afxext.h>
#include <afxwin.h>

#include "command_bars.h"

class CXTPReBar : public CReBar
{
    DECLARE_DYNAMIC(CXTPReBar)
public:
    CXTPReBar() = default;

    // Lays the bar out at its full length, takes it off a dock bar and adds it as the last band.
    BOOL AddCommandBar(CXTPToolBar* pBar, DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    // The delete message's answer; -1 when no band holds the bar.
    int RemoveCommandBar(CXTPToolBar* pBar);
    // Each toolbar band gets its bar's committed size as its minimum and its full width as its ideal.
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    CXTPToolBar* GetBandToolBar(int nBand, REBARBANDINFO& band, UINT nMask) const;
};
