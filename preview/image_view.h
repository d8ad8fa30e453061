#pragma once

// The raster picture preview: the picture stretched 200 pixels wide near the top of the view. It is
// decoded once, when the view is made, and kept no larger than twice what the view draws.
#include <afxwin.h>

#include "preview_image.h"

class CImage_View : public CView
{
    DECLARE_DYNCREATE(CImage_View)
public:
    void OnDraw(CDC* pDC) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

private:
    CPreviewImage m_image;
    int m_nDrawnHeight = 0; // by the file's own size, before the picture kept was reduced
};
