#pragma once

// The icon and metafile preview: the file loaded as an OLE picture and drawn at its size, or, for a
// transparent picture, through a bitmap (made once, no larger than drawn) stretched into the view.
#include <afxwin.h>

#include <ocidl.h>
#include <olectl.h>

class CTextView : public CView
{
    DECLARE_DYNCREATE(CTextView)
public:
    CTextView();
    ~CTextView() override;

    // Loads the picture and its size; 1, or 0 when it cannot be loaded.
    int LoadPicture(const CString& strPath);
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL) override;
    void OnDraw(CDC* pDC) override;

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nHimetricWidth = 0;
    int m_nHimetricHeight = 0;
    IPicture* m_pPicture = NULL;
    // A transparent picture as last drawn, at no more than the size it is drawn at.
    CBitmap m_rendered;
    CSize m_sizeRendered = CSize(0, 0);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};
