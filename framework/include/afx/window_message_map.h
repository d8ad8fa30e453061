// Message-map entries of windows: ON_WM_* for window messages, the reflected forms that a control
// uses to handle its own notifications, and the control-notification shorthands (ON_BN_CLICKED...).
// Each handler has the name and shape that the entry names; the map calls it through OnWndMsg.
#pragma once

#include "afx/cmd_target.h"

// Reflected messages arrive at the child control as WM_REFLECT_BASE + the parent's message.
#define WM_REFLECT_BASE 0xBC00
// One entry for all WM_CTLCOLOR* messages; the handler gets the CTLCOLOR_* kind.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

#define AFX_WM_ENTRY(message, signatureCode, signature, memberFxn)                                           \
    {(UINT)(message), 0, 0, 0, signatureCode, AFX_MSG_HANDLER(signature, memberFxn)},

#define ON_WM_CREATE()                                                                                       \
    AFX_WM_ENTRY(WM_CREATE, AfxSig_is, int (AFX_MSG_CALL CWnd::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_NCCREATE()                                                                                     \
    AFX_WM_ENTRY(WM_NCCREATE, AfxSig_bs, BOOL (AFX_MSG_CALL CWnd::*)(LPCREATESTRUCT), OnNcCreate)
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnDestroy)
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnNcDestroy)
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnClose)
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnPaint)
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnNcPaint)
#define ON_WM_ERASEBKGND()                                                                                   \
    AFX_WM_ENTRY(WM_ERASEBKGND, AfxSig_bD, BOOL (AFX_MSG_CALL CWnd::*)(CDC*), OnEraseBkgnd)
#define ON_WM_ICONERASEBKGND()                                                                               \
    AFX_WM_ENTRY(WM_ICONERASEBKGND, AfxSig_vD, void (AFX_MSG_CALL CWnd::*)(CDC*), OnIconEraseBkgnd)
#define ON_WM_PRINTCLIENT()                                                                                  \
    AFX_WM_ENTRY(WM_PRINTCLIENT, AfxSig_vDw, void (AFX_MSG_CALL CWnd::*)(CDC*, UINT), OnPrintClient)
#define ON_WM_SIZE() AFX_WM_ENTRY(WM_SIZE, AfxSig_vwii, void (AFX_MSG_CALL CWnd::*)(UINT, int, int), OnSize)
#define ON_WM_SIZING()                                                                                       \
    AFX_WM_ENTRY(WM_SIZING, AfxSig_vwR, void (AFX_MSG_CALL CWnd::*)(UINT, LPRECT), OnSizing)
#define ON_WM_MOVE() AFX_WM_ENTRY(WM_MOVE, AfxSig_vii, void (AFX_MSG_CALL CWnd::*)(int, int), OnMove)
#define ON_WM_MOVING()                                                                                       \
    AFX_WM_ENTRY(WM_MOVING, AfxSig_vwR, void (AFX_MSG_CALL CWnd::*)(UINT, LPRECT), OnMoving)
#define ON_WM_ENTERSIZEMOVE()                                                                                \
    AFX_WM_ENTRY(WM_ENTERSIZEMOVE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnEnterSizeMove)
#define ON_WM_EXITSIZEMOVE()                                                                                 \
    AFX_WM_ENTRY(WM_EXITSIZEMOVE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnExitSizeMove)
#define ON_WM_GETMINMAXINFO()                                                                                \
    AFX_WM_ENTRY(WM_GETMINMAXINFO, AfxSig_vMMI, void (AFX_MSG_CALL CWnd::*)(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_WINDOWPOSCHANGING()                                                                            \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, AfxSig_vPOS, void (AFX_MSG_CALL CWnd::*)(WINDOWPOS*),                 \
                 OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED()                                                                             \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, AfxSig_vPOS, void (AFX_MSG_CALL CWnd::*)(WINDOWPOS*),                  \
                 OnWindowPosChanged)
#define ON_WM_SHOWWINDOW()                                                                                   \
    AFX_WM_ENTRY(WM_SHOWWINDOW, AfxSig_vbw, void (AFX_MSG_CALL CWnd::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_STYLECHANGING()                                                                                \
    AFX_WM_ENTRY(WM_STYLECHANGING, AfxSig_viSTYLE, void (AFX_MSG_CALL CWnd::*)(int, LPSTYLESTRUCT),          \
                 OnStyleChanging)
#define ON_WM_STYLECHANGED()                                                                                 \
    AFX_WM_ENTRY(WM_STYLECHANGED, AfxSig_viSTYLE, void (AFX_MSG_CALL CWnd::*)(int, LPSTYLESTRUCT),           \
                 OnStyleChanged)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, AfxSig_vtimer, void (AFX_MSG_CALL CWnd::*)(UINT_PTR), OnTimer)
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, AfxSig_vb, void (AFX_MSG_CALL CWnd::*)(BOOL), OnEnable)
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, AfxSig_wv, UINT (AFX_MSG_CALL CWnd::*)(), OnGetDlgCode)
#define ON_WM_CHILDACTIVATE()                                                                                \
    AFX_WM_ENTRY(WM_CHILDACTIVATE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnChildActivate)
#define ON_WM_PARENTNOTIFY()                                                                                 \
    AFX_WM_ENTRY(WM_PARENTNOTIFY, AfxSig_vwL, void (AFX_MSG_CALL CWnd::*)(UINT, LPARAM), OnParentNotify)
#define ON_WM_SYSCOMMAND()                                                                                   \
    AFX_WM_ENTRY(WM_SYSCOMMAND, AfxSig_vwL, void (AFX_MSG_CALL CWnd::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_HELPINFO()                                                                                     \
    AFX_WM_ENTRY(WM_HELPINFO, AfxSig_bHELPINFO, BOOL (AFX_MSG_CALL CWnd::*)(HELPINFO*), OnHelpInfo)
#define ON_WM_COPYDATA()                                                                                     \
    AFX_WM_ENTRY(WM_COPYDATA, AfxSig_bWCDS, BOOL (AFX_MSG_CALL CWnd::*)(CWnd*, COPYDATASTRUCT*), OnCopyData)
#define ON_WM_DROPFILES()                                                                                    \
    AFX_WM_ENTRY(WM_DROPFILES, AfxSig_vDROP, void (AFX_MSG_CALL CWnd::*)(HDROP), OnDropFiles)
#define ON_WM_QUERYDRAGICON()                                                                                \
    AFX_WM_ENTRY(WM_QUERYDRAGICON, AfxSig_hv, HCURSOR (AFX_MSG_CALL CWnd::*)(), OnQueryDragIcon)
#define ON_WM_QUERYENDSESSION()                                                                              \
    AFX_WM_ENTRY(WM_QUERYENDSESSION, AfxSig_bv, BOOL (AFX_MSG_CALL CWnd::*)(), OnQueryEndSession)
#define ON_WM_ENDSESSION()                                                                                   \
    AFX_WM_ENTRY(WM_ENDSESSION, AfxSig_vb, void (AFX_MSG_CALL CWnd::*)(BOOL), OnEndSession)

// Mouse.
#define AFX_WM_MOUSE_ENTRY(message, memberFxn)                                                               \
    AFX_WM_ENTRY(message, AfxSig_vwp, void (AFX_MSG_CALL CWnd::*)(UINT, CPoint), memberFxn)
#define ON_WM_MOUSEMOVE() AFX_WM_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_MOUSEHOVER() AFX_WM_MOUSE_ENTRY(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_MOUSELEAVE() AFX_WM_ENTRY(WM_MOUSELEAVE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnMouseLeave)
#define ON_WM_MOUSEWHEEL()                                                                                   \
    AFX_WM_ENTRY(WM_MOUSEWHEEL, AfxSig_bwsp, BOOL (AFX_MSG_CALL CWnd::*)(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_MOUSEACTIVATE()                                                                                \
    AFX_WM_ENTRY(WM_MOUSEACTIVATE, AfxSig_iWww, int (AFX_MSG_CALL CWnd::*)(CWnd*, UINT, UINT),               \
                 OnMouseActivate)
#define ON_WM_SETCURSOR()                                                                                    \
    AFX_WM_ENTRY(WM_SETCURSOR, AfxSig_bWww, BOOL (AFX_MSG_CALL CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_CAPTURECHANGED()                                                                               \
    AFX_WM_ENTRY(WM_CAPTURECHANGED, AfxSig_vW, void (AFX_MSG_CALL CWnd::*)(CWnd*), OnCaptureChanged)
#define ON_WM_CANCELMODE() AFX_WM_ENTRY(WM_CANCELMODE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnCancelMode)
#define ON_WM_CONTEXTMENU()                                                                                  \
    AFX_WM_ENTRY(WM_CONTEXTMENU, AfxSig_vWp, void (AFX_MSG_CALL CWnd::*)(CWnd*, CPoint), OnContextMenu)

// Non-client area. The mouse handlers get the hit-test code and the point in screen coordinates.
#define ON_WM_NCHITTEST()                                                                                    \
    AFX_WM_ENTRY(WM_NCHITTEST, AfxSig_lp, LRESULT (AFX_MSG_CALL CWnd::*)(CPoint), OnNcHitTest)
#define ON_WM_NCCALCSIZE()                                                                                   \
    AFX_WM_ENTRY(WM_NCCALCSIZE, AfxSig_vbNCCALC, void (AFX_MSG_CALL CWnd::*)(BOOL, NCCALCSIZE_PARAMS*),      \
                 OnNcCalcSize)
#define ON_WM_NCACTIVATE()                                                                                   \
    AFX_WM_ENTRY(WM_NCACTIVATE, AfxSig_bb, BOOL (AFX_MSG_CALL CWnd::*)(BOOL), OnNcActivate)
#define ON_WM_NCMOUSEMOVE() AFX_WM_MOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_NCRBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_NCRBUTTONUP, OnNcRButtonUp)
#define ON_WM_NCRBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_NCRBUTTONDBLCLK, OnNcRButtonDblClk)
#define ON_WM_NCMBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_NCMBUTTONDOWN, OnNcMButtonDown)
#define ON_WM_NCMBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_NCMBUTTONUP, OnNcMButtonUp)
#define ON_WM_NCMBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_NCMBUTTONDBLCLK, OnNcMButtonDblClk)
#define ON_WM_NCMOUSEHOVER() AFX_WM_MOUSE_ENTRY(WM_NCMOUSEHOVER, OnNcMouseHover)
#define ON_WM_NCMOUSELEAVE()                                                                                 \
    AFX_WM_ENTRY(WM_NCMOUSELEAVE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnNcMouseLeave)

// Keyboard and focus.
#define AFX_WM_KEY_ENTRY(message, memberFxn)                                                                 \
    AFX_WM_ENTRY(message, AfxSig_vwww, void (AFX_MSG_CALL CWnd::*)(UINT, UINT, UINT), memberFxn)
#define ON_WM_KEYDOWN() AFX_WM_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_WM_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_WM_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_DEADCHAR() AFX_WM_KEY_ENTRY(WM_DEADCHAR, OnDeadChar)
#define ON_WM_SYSKEYDOWN() AFX_WM_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_WM_KEY_ENTRY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() AFX_WM_KEY_ENTRY(WM_SYSCHAR, OnSysChar)
#define ON_WM_SYSDEADCHAR() AFX_WM_KEY_ENTRY(WM_SYSDEADCHAR, OnSysDeadChar)
#define ON_WM_SETFOCUS() AFX_WM_ENTRY(WM_SETFOCUS, AfxSig_vW, void (AFX_MSG_CALL CWnd::*)(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS()                                                                                    \
    AFX_WM_ENTRY(WM_KILLFOCUS, AfxSig_vW, void (AFX_MSG_CALL CWnd::*)(CWnd*), OnKillFocus)
#define ON_WM_ACTIVATE()                                                                                     \
    AFX_WM_ENTRY(WM_ACTIVATE, AfxSig_vwWb, void (AFX_MSG_CALL CWnd::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ACTIVATEAPP()                                                                                  \
    AFX_WM_ENTRY(WM_ACTIVATEAPP, AfxSig_vbh, void (AFX_MSG_CALL CWnd::*)(BOOL, DWORD), OnActivateApp)

// System settings. A top-level window passes these on to all its descendants.
#define ON_WM_SYSCOLORCHANGE()                                                                               \
    AFX_WM_ENTRY(WM_SYSCOLORCHANGE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnSysColorChange)
#define ON_WM_SETTINGCHANGE()                                                                                \
    AFX_WM_ENTRY(WM_SETTINGCHANGE, AfxSig_vws, void (AFX_MSG_CALL CWnd::*)(UINT, LPCTSTR), OnSettingChange)
#define ON_WM_DEVMODECHANGE()                                                                                \
    AFX_WM_ENTRY(WM_DEVMODECHANGE, AfxSig_vs, void (AFX_MSG_CALL CWnd::*)(LPTSTR), OnDevModeChange)
#define ON_WM_FONTCHANGE() AFX_WM_ENTRY(WM_FONTCHANGE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnFontChange)
#define ON_WM_TIMECHANGE() AFX_WM_ENTRY(WM_TIMECHANGE, AfxSig_vv, void (AFX_MSG_CALL CWnd::*)(), OnTimeChange)
#define ON_WM_THEMECHANGED()                                                                                 \
    AFX_WM_ENTRY(WM_THEMECHANGED, AfxSig_lv, LRESULT (AFX_MSG_CALL CWnd::*)(), OnThemeChanged)
#define ON_WM_QUERYNEWPALETTE()                                                                              \
    AFX_WM_ENTRY(WM_QUERYNEWPALETTE, AfxSig_bv, BOOL (AFX_MSG_CALL CWnd::*)(), OnQueryNewPalette)
#define ON_WM_PALETTECHANGED()                                                                               \
    AFX_WM_ENTRY(WM_PALETTECHANGED, AfxSig_vW, void (AFX_MSG_CALL CWnd::*)(CWnd*), OnPaletteChanged)

// Menus.
#define ON_WM_INITMENU() AFX_WM_ENTRY(WM_INITMENU, AfxSig_vM, void (AFX_MSG_CALL CWnd::*)(CMenu*), OnInitMenu)
#define ON_WM_INITMENUPOPUP()                                                                                \
    AFX_WM_ENTRY(WM_INITMENUPOPUP, AfxSig_vMwb, void (AFX_MSG_CALL CWnd::*)(CMenu*, UINT, BOOL),             \
                 OnInitMenuPopup)
#define ON_WM_MENUSELECT()                                                                                   \
    AFX_WM_ENTRY(WM_MENUSELECT, AfxSig_vwwh, void (AFX_MSG_CALL CWnd::*)(UINT, UINT, HMENU), OnMenuSelect)
#define ON_WM_MENUCHAR()                                                                                     \
    AFX_WM_ENTRY(WM_MENUCHAR, AfxSig_lwwM, LRESULT (AFX_MSG_CALL CWnd::*)(UINT, UINT, CMenu*), OnMenuChar)
#define ON_WM_ENTERMENULOOP()                                                                                \
    AFX_WM_ENTRY(WM_ENTERMENULOOP, AfxSig_vb, void (AFX_MSG_CALL CWnd::*)(BOOL), OnEnterMenuLoop)
#define ON_WM_EXITMENULOOP()                                                                                 \
    AFX_WM_ENTRY(WM_EXITMENULOOP, AfxSig_vb, void (AFX_MSG_CALL CWnd::*)(BOOL), OnExitMenuLoop)
#define ON_WM_ENTERIDLE()                                                                                    \
    AFX_WM_ENTRY(WM_ENTERIDLE, AfxSig_vwW, void (AFX_MSG_CALL CWnd::*)(UINT, CWnd*), OnEnterIdle)

// Owner drawing, colours and scrolling: sent to the parent, which first lets the child control
// handle them through its reflected entries.
#define ON_WM_DRAWITEM()                                                                                     \
    AFX_WM_ENTRY(WM_DRAWITEM, AfxSig_vOWNERDRAW, void (AFX_MSG_CALL CWnd::*)(int, LPDRAWITEMSTRUCT),         \
                 OnDrawItem)
#define ON_WM_MEASUREITEM()                                                                                  \
    AFX_WM_ENTRY(WM_MEASUREITEM, AfxSig_vOWNERMEAS, void (AFX_MSG_CALL CWnd::*)(int, LPMEASUREITEMSTRUCT),   \
                 OnMeasureItem)
#define ON_WM_COMPAREITEM()                                                                                  \
    AFX_WM_ENTRY(WM_COMPAREITEM, AfxSig_iOWNERCMP, int (AFX_MSG_CALL CWnd::*)(int, LPCOMPAREITEMSTRUCT),     \
                 OnCompareItem)
#define ON_WM_DELETEITEM()                                                                                   \
    AFX_WM_ENTRY(WM_DELETEITEM, AfxSig_vOWNERDEL, void (AFX_MSG_CALL CWnd::*)(int, LPDELETEITEMSTRUCT),      \
                 OnDeleteItem)
#define ON_WM_CTLCOLOR()                                                                                     \
    AFX_WM_ENTRY(WM_CTLCOLOR, AfxSig_hDWw, HBRUSH (AFX_MSG_CALL CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_HSCROLL()                                                                                      \
    AFX_WM_ENTRY(WM_HSCROLL, AfxSig_vwwS, void (AFX_MSG_CALL CWnd::*)(UINT, UINT, CScrollBar*), OnHScroll)
#define ON_WM_VSCROLL()                                                                                      \
    AFX_WM_ENTRY(WM_VSCROLL, AfxSig_vwwS, void (AFX_MSG_CALL CWnd::*)(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_VKEYTOITEM()                                                                                   \
    AFX_WM_ENTRY(WM_VKEYTOITEM, AfxSig_iwLw, int (AFX_MSG_CALL CWnd::*)(UINT, CListBox*, UINT), OnVKeyToItem)
#define ON_WM_CHARTOITEM()                                                                                   \
    AFX_WM_ENTRY(WM_CHARTOITEM, AfxSig_iwLw, int (AFX_MSG_CALL CWnd::*)(UINT, CListBox*, UINT), OnCharToItem)

// Reflected to the control itself. A reflected WM_CTLCOLOR handler that returns null leaves the
// message to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                             \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, AfxSig_hDw, HBRUSH(AFX_MSG_CALL CWnd::*)(CDC*, UINT),        \
                 CtlColor)
#define ON_WM_DRAWITEM_REFLECT()                                                                             \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, AfxSig_vDRAW, void(AFX_MSG_CALL CWnd::*)(LPDRAWITEMSTRUCT),  \
                 DrawItem)
#define ON_WM_MEASUREITEM_REFLECT()                                                                          \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, AfxSig_vMEAS,                                             \
                 void(AFX_MSG_CALL CWnd::*)(LPMEASUREITEMSTRUCT), MeasureItem)
#define ON_WM_COMPAREITEM_REFLECT()                                                                          \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_COMPAREITEM, AfxSig_iCMP,                                              \
                 int(AFX_MSG_CALL CWnd::*)(LPCOMPAREITEMSTRUCT), CompareItem)
#define ON_WM_DELETEITEM_REFLECT()                                                                           \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_DELETEITEM, AfxSig_vDEL,                                               \
                 void(AFX_MSG_CALL CWnd::*)(LPDELETEITEMSTRUCT), DeleteItem)
#define ON_WM_HSCROLL_REFLECT()                                                                              \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_HSCROLL, AfxSig_vww, void(AFX_MSG_CALL CWnd::*)(UINT, UINT), HScroll)
#define ON_WM_VSCROLL_REFLECT()                                                                              \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_VSCROLL, AfxSig_vww, void(AFX_MSG_CALL CWnd::*)(UINT, UINT), VScroll)
#define ON_WM_PARENTNOTIFY_REFLECT()                                                                         \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_PARENTNOTIFY, AfxSig_vwL, void(AFX_MSG_CALL CWnd::*)(UINT, LPARAM),    \
                 ParentNotify)
#define ON_WM_VKEYTOITEM_REFLECT()                                                                           \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_VKEYTOITEM, AfxSig_iww, int(AFX_MSG_CALL CWnd::*)(UINT, UINT),         \
                 VKeyToItem)
#define ON_WM_CHARTOITEM_REFLECT()                                                                           \
    AFX_WM_ENTRY(WM_REFLECT_BASE + WM_CHARTOITEM, AfxSig_iww, int(AFX_MSG_CALL CWnd::*)(UINT, UINT),         \
                 CharToItem)

// A control's own notifications. The _EX forms return TRUE to keep the notification from the
// parent and FALSE to let the parent see it too.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                           \
    {WM_COMMAND + WM_REFLECT_BASE,                                                                           \
     (UINT)(WORD)(wNotifyCode),                                                                              \
     0,                                                                                                      \
     0,                                                                                                      \
     AfxSigCmd_v,                                                                                            \
     AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(void), memberFxn)},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                                        \
    {WM_COMMAND + WM_REFLECT_BASE,                                                                           \
     (UINT)(WORD)(wNotifyCode),                                                                              \
     0,                                                                                                      \
     0,                                                                                                      \
     AfxSigCmd_bv,                                                                                           \
     AFX_MSG_HANDLER(BOOL(AFX_MSG_CALL CCmdTarget::*)(void), memberFxn)},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                            \
    {WM_NOTIFY + WM_REFLECT_BASE,                                                                            \
     (UINT)(WORD)(int)(wNotifyCode),                                                                         \
     0,                                                                                                      \
     0,                                                                                                      \
     AfxSigNotify_v,                                                                                         \
     AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                                         \
    {WM_NOTIFY + WM_REFLECT_BASE,                                                                            \
     (UINT)(WORD)(int)(wNotifyCode),                                                                         \
     0,                                                                                                      \
     0,                                                                                                      \
     AfxSigNotify_b,                                                                                         \
     AFX_MSG_HANDLER(BOOL(AFX_MSG_CALL CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)},

// Control notifications handled by the parent.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_ERRSPACE(id, memberFxn) ON_CONTROL(EN_ERRSPACE, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_EN_HSCROLL(id, memberFxn) ON_CONTROL(EN_HSCROLL, id, memberFxn)
#define ON_EN_VSCROLL(id, memberFxn) ON_CONTROL(EN_VSCROLL, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
#define ON_STN_ENABLE(id, memberFxn) ON_CONTROL(STN_ENABLE, id, memberFxn)
#define ON_STN_DISABLE(id, memberFxn) ON_CONTROL(STN_DISABLE, id, memberFxn)
#define ON_LBN_ERRSPACE(id, memberFxn) ON_CONTROL(LBN_ERRSPACE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_ERRSPACE(id, memberFxn) ON_CONTROL(CBN_ERRSPACE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
