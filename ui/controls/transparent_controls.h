#pragma once

#include <afxwin.h>

// Labels and buttons laid over a skinned dialog: they leave their background to the parent's skin.

// A label whose text is drawn straight onto the parent's skin. Changing the text repaints the parent
// under the label first, so that a shorter text leaves nothing of the longer one behind.
class CTransparentStatic : public CStatic
{
    DECLARE_DYNAMIC(CTransparentStatic)
public:
    CTransparentStatic() = default;

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CTransparentButtonCtrl : public CButton
{
    DECLARE_DYNAMIC(CTransparentButtonCtrl)
public:
    CTransparentButtonCtrl() = default;

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
