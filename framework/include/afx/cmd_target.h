// CCmdTarget: message maps, command routing (OnCmdMsg), COM-style reference counting and interface maps.
#pragma once

#include <bit>

#include "afx.h"
#include "afx/module_state.h"

class CCmdUI;

#define AFX_MSG_CALL
typedef void (AFX_MSG_CALL CCmdTarget::*AFX_PMSG)(void);

// Member-function pointers of every signature have one size and form; a map entry keeps them all
// as AFX_PMSG and the dispatcher turns them back by the entry's signature code.
template <class To, class From> inline To AfxMemberCast(From pfn)
{
    static_assert(sizeof(To) == sizeof(From));
    return std::bit_cast<To>(pfn);
}

// Handler signatures. The command-side codes are dispatched by CCmdTarget::OnCmdMsg; codes from
// AfxSig_WindowFirst on belong to window messages and thread messages (see framework/README.md).
// clang-format off
enum AfxSig : UINT_PTR
{
    AfxSig_end = 0,
    AfxSigCmd_v,        // void ()                                ON_COMMAND, ON_CONTROL
    AfxSigCmd_b,        // BOOL (UINT nID)                        ON_COMMAND_EX
    AfxSigCmd_RANGE,    // void (UINT nID)                        ON_COMMAND_RANGE, ON_CONTROL_RANGE
    AfxSigCmd_EX,       // BOOL (UINT nID)                        ON_COMMAND_EX_RANGE
    AfxSigCmdUI,        // void (CCmdUI*)                         ON_UPDATE_COMMAND_UI(_RANGE)
    AfxSigNotify_v,     // void (NMHDR*, LRESULT*)                ON_NOTIFY
    AfxSigNotify_b,     // BOOL (NMHDR*, LRESULT*)                ON_NOTIFY_REFLECT_EX
    AfxSigNotify_RANGE, // void (UINT nID, NMHDR*, LRESULT*)      ON_NOTIFY_RANGE
    AfxSigNotify_EX,    // BOOL (UINT nID, NMHDR*, LRESULT*)      ON_NOTIFY_EX(_RANGE)
    AfxSigCmd_bv,       // BOOL ()                                ON_CONTROL_REFLECT_EX

    AfxSig_WindowFirst = 0x100,
    AfxSig_lwl = AfxSig_WindowFirst, // LRESULT (WPARAM, LPARAM)   ON_MESSAGE, ON_REGISTERED_MESSAGE
    AfxSig_vwl,                      // void (WPARAM, LPARAM)      ON_THREAD_MESSAGE
    // Window messages (afx/window_message_map.h); the window-side names follow the handler's shape.
    AfxSig_is,          // int (LPCREATESTRUCT)                  ON_WM_CREATE
    AfxSig_bs,          // BOOL (LPCREATESTRUCT)                 ON_WM_NCCREATE
    AfxSig_vv,          // void ()                               ON_WM_PAINT, ON_WM_DESTROY...
    AfxSig_bv,          // BOOL ()                               ON_WM_QUERYNEWPALETTE...
    AfxSig_lv,          // LRESULT ()                            ON_WM_THEMECHANGED
    AfxSig_wv,          // UINT ()                               ON_WM_GETDLGCODE
    AfxSig_hv,          // HCURSOR ()                            ON_WM_QUERYDRAGICON
    AfxSig_bD,          // BOOL (CDC*)                           ON_WM_ERASEBKGND
    AfxSig_vD,          // void (CDC*)                           ON_WM_ICONERASEBKGND
    AfxSig_vDw,         // void (CDC*, UINT)                     ON_WM_PRINTCLIENT
    AfxSig_vwii,        // void (UINT, int, int)                 ON_WM_SIZE
    AfxSig_vii,         // void (int, int)                       ON_WM_MOVE
    AfxSig_vwp,         // void (UINT, CPoint)                   mouse and non-client mouse messages
    AfxSig_bwsp,        // BOOL (UINT, short, CPoint)            ON_WM_MOUSEWHEEL
    AfxSig_vtimer,      // void (UINT_PTR)                       ON_WM_TIMER
    AfxSig_vwww,        // void (UINT, UINT, UINT)               keyboard messages
    AfxSig_iWww,        // int (CWnd*, UINT, UINT)               ON_WM_MOUSEACTIVATE
    AfxSig_bWww,        // BOOL (CWnd*, UINT, UINT)              ON_WM_SETCURSOR
    AfxSig_vW,          // void (CWnd*)                          focus, capture, palette
    AfxSig_vWp,         // void (CWnd*, CPoint)                  ON_WM_CONTEXTMENU
    AfxSig_lp,          // LRESULT (CPoint)                      ON_WM_NCHITTEST
    AfxSig_vbNCCALC,    // void (BOOL, NCCALCSIZE_PARAMS*)       ON_WM_NCCALCSIZE
    AfxSig_bb,          // BOOL (BOOL)                           ON_WM_NCACTIVATE
    AfxSig_vb,          // void (BOOL)                           ON_WM_ENABLE, menu loops, session end
    AfxSig_vwWb,        // void (UINT, CWnd*, BOOL)              ON_WM_ACTIVATE
    AfxSig_vbh,         // void (BOOL, DWORD)                    ON_WM_ACTIVATEAPP
    AfxSig_vws,         // void (UINT, LPCTSTR)                  ON_WM_SETTINGCHANGE
    AfxSig_vs,          // void (LPTSTR)                         ON_WM_DEVMODECHANGE
    AfxSig_vMwb,        // void (CMenu*, UINT, BOOL)             ON_WM_INITMENUPOPUP
    AfxSig_vM,          // void (CMenu*)                         ON_WM_INITMENU
    AfxSig_vwwh,        // void (UINT, UINT, HMENU)              ON_WM_MENUSELECT
    AfxSig_lwwM,        // LRESULT (UINT, UINT, CMenu*)          ON_WM_MENUCHAR
    AfxSig_vwW,         // void (UINT, CWnd*)                    ON_WM_ENTERIDLE
    AfxSig_vOWNERDRAW,  // void (int, LPDRAWITEMSTRUCT)          ON_WM_DRAWITEM
    AfxSig_vOWNERMEAS,  // void (int, LPMEASUREITEMSTRUCT)       ON_WM_MEASUREITEM
    AfxSig_iOWNERCMP,   // int (int, LPCOMPAREITEMSTRUCT)        ON_WM_COMPAREITEM
    AfxSig_vOWNERDEL,   // void (int, LPDELETEITEMSTRUCT)        ON_WM_DELETEITEM
    AfxSig_hDWw,        // HBRUSH (CDC*, CWnd*, UINT)            ON_WM_CTLCOLOR
    AfxSig_vwwS,        // void (UINT, UINT, CScrollBar*)        ON_WM_HSCROLL, ON_WM_VSCROLL
    AfxSig_iwLw,        // int (UINT, CListBox*, UINT)           ON_WM_VKEYTOITEM, ON_WM_CHARTOITEM
    AfxSig_vMMI,        // void (MINMAXINFO*)                    ON_WM_GETMINMAXINFO
    AfxSig_vPOS,        // void (WINDOWPOS*)                     ON_WM_WINDOWPOSCHANGING/CHANGED
    AfxSig_vbw,         // void (BOOL, UINT)                     ON_WM_SHOWWINDOW
    AfxSig_vwL,         // void (UINT, LPARAM)                   ON_WM_SYSCOMMAND, ON_WM_PARENTNOTIFY
    AfxSig_vwR,         // void (UINT, LPRECT)                   ON_WM_SIZING, ON_WM_MOVING
    AfxSig_bHELPINFO,   // BOOL (HELPINFO*)                      ON_WM_HELPINFO
    AfxSig_bWCDS,       // BOOL (CWnd*, COPYDATASTRUCT*)         ON_WM_COPYDATA
    AfxSig_vDROP,       // void (HDROP)                          ON_WM_DROPFILES
    AfxSig_viSTYLE,     // void (int, LPSTYLESTRUCT)             ON_WM_STYLECHANGING/CHANGED
    // Messages reflected to the child control (WM_REFLECT_BASE + the message).
    AfxSig_hDw,         // HBRUSH (CDC*, UINT)                   ON_WM_CTLCOLOR_REFLECT
    AfxSig_vDRAW,       // void (LPDRAWITEMSTRUCT)               ON_WM_DRAWITEM_REFLECT
    AfxSig_vMEAS,       // void (LPMEASUREITEMSTRUCT)            ON_WM_MEASUREITEM_REFLECT
    AfxSig_iCMP,        // int (LPCOMPAREITEMSTRUCT)             ON_WM_COMPAREITEM_REFLECT
    AfxSig_vDEL,        // void (LPDELETEITEMSTRUCT)             ON_WM_DELETEITEM_REFLECT
    AfxSig_vww,         // void (UINT, UINT)                     ON_WM_HSCROLL_REFLECT, ON_WM_VSCROLL_REFLECT
    AfxSig_iww,         // int (UINT, UINT)                      ON_WM_VKEYTOITEM_REFLECT and CHARTOITEM
};
// clang-format on

// One row of a message map. nMessage is the window message (WM_COMMAND and WM_NOTIFY for commands
// and notifications), nCode the notification code, [nID, nLastID] the command or control ids.
struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT_PTR nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled instead of calling the handler when OnCmdMsg is asked only whether one exists.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

// pExtra of a WM_NOTIFY routed through OnCmdMsg.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define CN_EVENT ((UINT)(-2))
#define CN_OLECOMMAND ((UINT)(-3))
#define CN_OLE_UNREGISTER ((UINT)(-4))

// Finds the first entry of one map (not its bases) that handles the message, code and id.
const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                                   UINT nID);

struct AFX_INTERFACEMAP_ENTRY
{
    const IID* piid;
    void* (*pfnGetInterface)(CCmdTarget* pTarget);
};

struct AFX_INTERFACEMAP
{
    const AFX_INTERFACEMAP*(PASCAL* pfnGetBaseMap)();
    const AFX_INTERFACEMAP_ENTRY* pEntry;
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    ~CCmdTarget() override;

    // Routes a command, command-UI update or notification through this object's message map and
    // its bases'; TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Reference counting: one reference at construction; the release that reaches zero calls
    // OnFinalRelease (which deletes the object) exactly once.
    DWORD InternalAddRef();
    DWORD InternalRelease();
    DWORD InternalQueryInterface(const void* iid, LPVOID* ppvObj);
    DWORD ExternalAddRef();
    DWORD ExternalRelease();
    DWORD ExternalQueryInterface(const void* iid, LPVOID* ppvObj);
    virtual void OnFinalRelease();

    // The application's wait cursor (CWinApp::DoWaitCursor) for work done by this target.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // Interface of the map (or IDispatch when automation is enabled); no reference is added.
    LPUNKNOWN GetInterface(const void* iid);
    LPUNKNOWN GetControllingUnknown();
    // Exposes IDispatch. Methods and properties are not dispatched: Invoke answers DISP_E_MEMBERNOTFOUND.
    void EnableAutomation();
    LPDISPATCH GetIDispatch(BOOL bAddRef);
    BOOL IsAutomationEnabled() const { return m_bAutomationEnabled; }

    LONG m_dwRef;
    LPUNKNOWN m_pOuterUnknown; // the aggregating object, or null
    AFX_MODULE_STATE* m_pModuleState;

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_INTERFACEMAP* PASCAL GetThisInterfaceMap();
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

    class XDispatch : public IDispatch
    {
    public:
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;
        STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
        STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** ppTypeInfo) override;
        STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
        STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
        CCmdTarget* m_pOwner = NULL;
    } m_xDispatch;
    BOOL m_bAutomationEnabled;
};

// The enclosing object of an interface part (see METHOD_PROLOGUE).
template <class Outer, class Part> Outer* AfxOuterFromPart(Part* pPart, Part Outer::*pMember)
{
    // The member's offset, measured on an aligned address where no object lives.
    alignas(Outer) static unsigned char probe[sizeof(Outer)];
    Outer* pProbe = reinterpret_cast<Outer*>(probe);
    const size_t nOffset =
        reinterpret_cast<unsigned char*>(&(pProbe->*pMember)) - reinterpret_cast<unsigned char*>(pProbe);
    return reinterpret_cast<Outer*>(reinterpret_cast<unsigned char*>(pPart) - nOffset);
}

/////////////////////////////////////////////////////////////////////////////
// Message maps

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();                                                     \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                        \
    {                                                                                                        \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap()                                                   \
    {                                                                                                        \
        typedef theClass ThisClass __attribute__((unused));                                                  \
        typedef baseClass TheBaseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    {                                                                                                        \
        0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0                                                                  \
    }                                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};            \
    return &messageMap;                                                                                      \
    }

// Converts a handler of the given signature into the map's generic member pointer.
#define AFX_MSG_HANDLER(signature, memberFxn)                                                                \
    AfxMemberCast<AFX_PMSG>(static_cast<signature>(&ThisClass::memberFxn))

#define ON_COMMAND(id, memberFxn)                                                                            \
    {WM_COMMAND, CN_COMMAND,  (UINT)(id),                                                                    \
     (UINT)(id), AfxSigCmd_v, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(void), memberFxn)},
#define ON_COMMAND_EX(id, memberFxn)                                                                         \
    {WM_COMMAND, CN_COMMAND,  (UINT)(id),                                                                    \
     (UINT)(id), AfxSigCmd_b, AFX_MSG_HANDLER(BOOL(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                              \
    {WM_COMMAND,     CN_COMMAND,      (UINT)(id),                                                            \
     (UINT)(idLast), AfxSigCmd_RANGE, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                           \
    {WM_COMMAND,     CN_COMMAND,   (UINT)(id),                                                               \
     (UINT)(idLast), AfxSigCmd_EX, AFX_MSG_HANDLER(BOOL(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                  \
    {                                                                                                        \
        WM_COMMAND,  CN_UPDATE_COMMAND_UI,                                                                   \
        (UINT)(id),  (UINT)(id),                                                                             \
        AfxSigCmdUI, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(CCmdUI*), memberFxn)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                    \
    {WM_COMMAND,  CN_UPDATE_COMMAND_UI,                                                                      \
     (UINT)(id),  (UINT)(idLast),                                                                            \
     AfxSigCmdUI, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(CCmdUI*), memberFxn)},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                               \
    {WM_COMMAND,  (UINT)(WORD)(wNotifyCode),                                                                 \
     (UINT)(id),  (UINT)(id),                                                                                \
     AfxSigCmd_v, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(void), memberFxn)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                                 \
    {WM_COMMAND,      (UINT)(WORD)(wNotifyCode),                                                             \
     (UINT)(id),      (UINT)(idLast),                                                                        \
     AfxSigCmd_RANGE, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                \
    {WM_NOTIFY,      (UINT)(WORD)(int)(wNotifyCode),                                                         \
     (UINT)(id),     (UINT)(id),                                                                             \
     AfxSigNotify_v, AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                                  \
    {WM_NOTIFY,                                                                                              \
     (UINT)(WORD)(int)(wNotifyCode),                                                                         \
     (UINT)(id),                                                                                             \
     (UINT)(idLast),                                                                                         \
     AfxSigNotify_RANGE,                                                                                     \
     AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                             \
    {WM_NOTIFY,       (UINT)(WORD)(int)(wNotifyCode),                                                        \
     (UINT)(id),      (UINT)(id),                                                                            \
     AfxSigNotify_EX, AFX_MSG_HANDLER(BOOL(AFX_MSG_CALL CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)},
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                                               \
    {WM_NOTIFY,       (UINT)(WORD)(int)(wNotifyCode),                                                        \
     (UINT)(id),      (UINT)(idLast),                                                                        \
     AfxSigNotify_EX, AFX_MSG_HANDLER(BOOL(AFX_MSG_CALL CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)},
#define ON_MESSAGE(message, memberFxn)                                                                       \
    {(UINT)(message),                                                                                        \
     0,                                                                                                      \
     0,                                                                                                      \
     0,                                                                                                      \
     AfxSig_lwl,                                                                                             \
     AFX_MSG_HANDLER(LRESULT(AFX_MSG_CALL CCmdTarget::*)(WPARAM, LPARAM), memberFxn)},
// A message number registered at run time; the entry points at the variable that holds it.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                                   \
    {0xC000,                                                                                                 \
     0,                                                                                                      \
     0,                                                                                                      \
     0,                                                                                                      \
     (UINT_PTR)(const UINT*)(&nMessageVariable),                                                             \
     AFX_MSG_HANDLER(LRESULT(AFX_MSG_CALL CCmdTarget::*)(WPARAM, LPARAM), memberFxn)},
#define ON_THREAD_MESSAGE(message, memberFxn)                                                                \
    {(UINT)(message),                                                                                        \
     0,                                                                                                      \
     0,                                                                                                      \
     0,                                                                                                      \
     AfxSig_vwl,                                                                                             \
     AFX_MSG_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(WPARAM, LPARAM), memberFxn)},

/////////////////////////////////////////////////////////////////////////////
// Interface maps

#define DECLARE_INTERFACE_MAP()                                                                              \
protected:                                                                                                   \
    static const AFX_INTERFACEMAP* PASCAL GetThisInterfaceMap();                                             \
    const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, theBase)                                                               \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const                                                \
    {                                                                                                        \
        return GetThisInterfaceMap();                                                                        \
    }                                                                                                        \
    const AFX_INTERFACEMAP* PASCAL theClass::GetThisInterfaceMap()                                           \
    {                                                                                                        \
        typedef theClass ThisClass __attribute__((unused));                                                  \
        typedef theBase TheBaseClass;                                                                        \
        static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {

#define INTERFACE_PART(theClass, iid, localClass)                                                            \
    {&(iid), [](CCmdTarget* pTarget) -> void* { return &static_cast<theClass*>(pTarget)->m_x##localClass; }},

#define END_INTERFACE_MAP()                                                                                  \
    {                                                                                                        \
        NULL, NULL                                                                                           \
    }                                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap,                        \
                                                  &_interfaceEntries[0]};                                    \
    return &interfaceMap;                                                                                    \
    }

#define BEGIN_INTERFACE_PART(localClass, baseInterface)                                                      \
    class X##localClass : public baseInterface                                                               \
    {                                                                                                        \
    public:                                                                                                  \
        STDMETHOD_(ULONG, AddRef)() override;                                                                \
        STDMETHOD_(ULONG, Release)() override;                                                               \
        STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;

#define INIT_INTERFACE_PART(theClass, localClass)

#define END_INTERFACE_PART(localClass)                                                                       \
    }                                                                                                        \
    m_x##localClass;                                                                                         \
    friend class X##localClass;

#define METHOD_PROLOGUE(theClass, localClass)                                                                \
    theClass* pThis = AfxOuterFromPart<theClass>(this, &theClass::m_x##localClass);                          \
    (void)pThis;
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
#define METHOD_PROLOGUE_EX_(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
