// The container side of ActiveX control hosting: one container per parent window (the in-place
// frame the controls see) and one site per hosted control.
#pragma once

#include <afxwin.h>

#include <ocidl.h>
#include <olectl.h>

#include <vector>

class COleControlSite;

// The controls of one parent window. It is the controls' in-place frame: no menu merging and no
// border space. The parent's WM_DESTROY ends every control while their windows still exist.
class COleControlContainer final : public IOleInPlaceFrame
{
public:
    explicit COleControlContainer(CWnd* pWnd);

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IOleWindow
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;
    // IOleInPlaceUIWindow
    STDMETHOD(GetBorder)(LPRECT lprectBorder) override;
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS pborderwidths) override;
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS pborderwidths) override;
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;
    // IOleInPlaceFrame
    STDMETHOD(InsertMenus)(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
    STDMETHOD(SetMenu)(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override;
    STDMETHOD(RemoveMenus)(HMENU hmenuShared) override;
    STDMETHOD(SetStatusText)(LPCOLESTR pszStatusText) override;
    STDMETHOD(EnableModeless)(BOOL fEnable) override;
    STDMETHOD(TranslateAccelerator)(LPMSG lpmsg, WORD wID) override;

    // Ends every control (their windows first) and leaves the parent; the last reference frees it.
    void Shutdown();
    void AddSite(COleControlSite* pSite);
    void RemoveSite(COleControlSite* pSite);

    CWnd* m_pWnd;
    std::vector<COleControlSite*> m_sites;
    IOleInPlaceActiveObject* m_pActiveObject = NULL;

private:
    ~COleControlContainer();
    LONG m_nRefs = 1;
};

class COleControlSite final : public IOleClientSite,
                              public IOleInPlaceSiteEx,
                              public IOleControlSite,
                              public IDispatch
{
public:
    COleControlSite(COleControlContainer* pCtrlCont, CWnd* pWndCtrl);

    // Creates, initialises and in-place activates the control; on success the control's window is
    // m_pWndCtrl's. FALSE leaves nothing behind (the caller releases the site).
    HRESULT CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, UINT nID,
                          CFile* pPersist, BOOL bStorage, BSTR bstrLicKey);
    // Deactivates, closes without saving, clears the client site, releases the control and
    // destroys its window if it is still there. Runs once.
    void DestroyControl();
    // The control's window is being destroyed under the site (WM_NCDESTROY): the control ends
    // without touching the window again.
    void OnWindowGone();
    // Places the control (parent's client coordinates) through SetObjectRects.
    void MoveWindow(int x, int y, int nWidth, int nHeight);
    // A keyboard message for the focused control goes to its TranslateAccelerator first.
    BOOL PreTranslateMessage(MSG* pMsg);

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IOleClientSite
    STDMETHOD(SaveObject)() override;
    STDMETHOD(GetMoniker)(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    STDMETHOD(GetContainer)(IOleContainer** ppContainer) override;
    STDMETHOD(ShowObject)() override;
    STDMETHOD(OnShowWindow)(BOOL fShow) override;
    STDMETHOD(RequestNewObjectLayout)() override;
    // IOleWindow
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;
    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override;
    STDMETHOD(OnInPlaceActivate)() override;
    STDMETHOD(OnUIActivate)() override;
    STDMETHOD(GetWindowContext)
    (IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect, LPRECT lprcClipRect,
     LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHOD(Scroll)(SIZE scrollExtant) override;
    STDMETHOD(OnUIDeactivate)(BOOL fUndoable) override;
    STDMETHOD(OnInPlaceDeactivate)() override;
    STDMETHOD(DiscardUndoState)() override;
    STDMETHOD(DeactivateAndUndo)() override;
    STDMETHOD(OnPosRectChange)(LPCRECT lprcPosRect) override;
    // IOleInPlaceSiteEx: activation without redrawing is activation all the same.
    STDMETHOD(OnInPlaceActivateEx)(BOOL* pfNoRedraw, DWORD dwFlags) override;
    STDMETHOD(OnInPlaceDeactivateEx)(BOOL fNoRedraw) override;
    STDMETHOD(RequestUIActivate)() override;
    // IOleControlSite
    STDMETHOD(OnControlInfoChanged)() override;
    STDMETHOD(LockInPlaceActive)(BOOL fLock) override;
    STDMETHOD(GetExtendedControl)(IDispatch** ppDisp) override;
    STDMETHOD(TransformCoords)(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) override;
    STDMETHOD(TranslateAccelerator)(MSG* pMsg, DWORD grfModifiers) override;
    STDMETHOD(OnFocus)(BOOL fGotFocus) override;
    STDMETHOD(ShowPropertyFrame)() override;
    // IDispatch: the ambient properties.
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
    STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHOD(GetIDsOfNames)
    (REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHOD(Invoke)
    (DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
     EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    COleControlContainer* m_pCtrlCont;
    CWnd* m_pWndCtrl;
    IOleObject* m_pObject = NULL;
    IOleInPlaceObject* m_pInPlaceObject = NULL;
    IDispatch* m_pDispatch = NULL;
    IStorage* m_pStorage = NULL;
    HWND m_hWnd = NULL;
    CRect m_rect;
    CString m_strName;
    BOOL m_bInPlaceActive = FALSE;
    BOOL m_bDestroying = FALSE;

private:
    ~COleControlSite();
    HRESULT InitPersistence(CFile* pPersist, BOOL bStorage);
    // The rectangle in HIMETRIC for SetExtent.
    SIZEL ExtentOf(const RECT& rect) const;
    void ReleaseInterfaces();
    LONG m_nRefs = 1;
};
