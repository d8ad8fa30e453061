#pragma once

// The raster picture preview: the picture stretched 200 pixels wide near the top of the view, decoded
// again on every paint.
#include <afxwin.h>

class CImage_View : public CView
{
    DECLARE_DYNCREATE(CImage_View)
public:
    void OnDraw(CDC* pDC) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};
