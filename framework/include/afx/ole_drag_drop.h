// OLE drag and drop: COleDropSource answers the system's drag loop for a COleDataSource;
// COleDropTarget receives drags over a window (IDropTarget through the interface map).
#pragma once

#include "afx/ole_data_object.h"

class COleDropSource : public CCmdTarget
{
    DECLARE_DYNAMIC(COleDropSource)
public:
    COleDropSource();

    // Escape or the other mouse button cancels; releasing the dragging button drops.
    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    // The system's drag cursors.
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);
    // TRUE once the cursor leaves m_rectStartDrag widened by the system drag distance, or the drag
    // delay has passed, with the button still down; FALSE when the button goes up (a click), Escape
    // is pressed or pWnd (which holds the mouse meanwhile; may be null) loses the capture.
    virtual BOOL OnBeginDrag(CWnd* pWnd);

    BOOL m_bDragStarted;
    DWORD m_dwButtonCancel; // MK_ bit of the button that cancels
    DWORD m_dwButtonDrop;   // MK_ bit of the button that drags
    CRect m_rectStartDrag;  // screen coordinates

protected:
    BEGIN_INTERFACE_PART(DropSource, IDropSource)
    STDMETHOD(QueryContinueDrag)(BOOL fEscapePressed, DWORD grfKeyState) override;
    STDMETHOD(GiveFeedback)(DWORD dwEffect) override;
    END_INTERFACE_PART(DropSource)

    DECLARE_INTERFACE_MAP()
    friend class COleDataSource; // hands the interface to the system's drag loop
};

// Registered for one window at a time. Each call gets the window, the drag's data wrapped for the
// call and the point in the window's client coordinates; the defaults pass the call on to the
// window when it is a CView (whose own defaults refuse) and refuse otherwise. The window's
// destruction revokes the registration.
class COleDropTarget : public CCmdTarget
{
    DECLARE_DYNAMIC(COleDropTarget)
public:
    COleDropTarget();
    ~COleDropTarget() override;

    // FALSE when OLE is not initialised on the thread, the window is not a permanent framework
    // window or already has a target, or this target is registered elsewhere.
    BOOL Register(CWnd* pWnd);
    virtual void Revoke();

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    // (DROPEFFECT)-1 when not handled: the drop then goes to OnDrop with the effect of OnDragOver.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                DROPEFFECT dropList, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    // Asked before OnDragOver; an answer with DROPEFFECT_SCROLL stands for it.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    HWND m_hWnd; // the registered window, or null

protected:
    // The window's object and the screen point in its client coordinates; null when it is gone.
    CWnd* TargetWindow(POINTL ptScreen, CPoint* pPoint) const;
    void ReleaseDataObject();

    LPDATAOBJECT m_lpDataObject; // the drag in progress, from DragEnter to DragLeave or Drop

    BEGIN_INTERFACE_PART(DropTarget, IDropTarget)
    STDMETHOD(DragEnter)(LPDATAOBJECT pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragOver)(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragLeave)() override;
    STDMETHOD(Drop)(LPDATAOBJECT pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    END_INTERFACE_PART(DropTarget)

    DECLARE_INTERFACE_MAP()
};
