#pragma once

// The media previews: ".avi" files play in an MCI window, other audio and video in the media player
// control. Neither reports failure: what cannot play shows the component's own empty or error state.
#include <afxwin.h>

// The media player control. Each operation is one dispatch call; a control without IDispatch is driven
// through its IWMPPlayer4 interface instead. Only setting the URL reports a failure.
class CWMPPlayer4 : public CWnd
{
    DECLARE_DYNCREATE(CWMPPlayer4)
public:
    static const CLSID kClassId;
    BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void close();
    void put_URL(LPCTSTR newValue);
    long get_openState();
    long get_playState();
    CString get_status();
};

class CAviView : public CView
{
    DECLARE_DYNCREATE(CAviView)
public:
    ~CAviView() override;
    HWND m_hMciWnd = NULL;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class CMyMedia : public CView
{
    DECLARE_DYNCREATE(CMyMedia)
public:
    static constexpr UINT kPlayerId = 185;
    ~CMyMedia() override;
    CWMPPlayer4 m_player;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
