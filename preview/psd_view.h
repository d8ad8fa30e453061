#pragma once

// The Photoshop document preview: the document's merged image decoded once and stretched over the
// whole view, whatever its aspect. A document that cannot be read leaves the view blank. The image is
// kept no larger than the screen, and stretched once for each size of the view, not on every paint.
#include <afxwin.h>

#include "psd_image.h"

class CPSDViewView : public CView
{
    DECLARE_DYNCREATE(CPSDViewView)
public:
    static constexpr UINT kFrameId = 61468;

    // Reads the document; the view shows it when the result is 0.
    int LoadFile(const CString& strPath);
    void OnDraw(CDC* pDC) override;

    CPsdImage m_image;
    int m_nLoadResult = -1;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CStatic m_frame;
    // The image as the view's size shows it, and how many times it was stretched so.
    CBitmap m_scaled;
    CSize m_sizeScaled = CSize(0, 0);
    int m_nScalings = 0;

protected:
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()
};
