// COleDropTarget: a window's IDropTarget, and the CView defaults that it passes drags on to.
#include <afxole.h>

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

// clang-format off
BEGIN_INTERFACE_MAP(COleDropTarget, CCmdTarget)
    INTERFACE_PART(COleDropTarget, IID_IDropTarget, DropTarget)
END_INTERFACE_MAP()
// clang-format on

namespace {

CView* AsView(CWnd* pWnd)
{
    return pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CView)) ? static_cast<CView*>(pWnd) : NULL;
}

} // namespace

COleDropTarget::COleDropTarget() : m_hWnd(NULL), m_lpDataObject(NULL) {}

COleDropTarget::~COleDropTarget()
{
    // Not virtual here: a derived class is gone already.
    COleDropTarget::Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    if (m_hWnd != NULL || pWnd == NULL || pWnd->m_hWnd == NULL || pWnd->m_pDropTarget != NULL)
        return FALSE;
    // Only a permanent object hears of its window's end, which must revoke the registration.
    if (CWnd::FromHandlePermanent(pWnd->m_hWnd) != pWnd)
        return FALSE;
    // Fails when OLE is not initialised on this thread, or the window has a target already.
    if (FAILED(::RegisterDragDrop(pWnd->m_hWnd, &m_xDropTarget)))
        return FALSE;
    m_hWnd = pWnd->m_hWnd;
    pWnd->m_pDropTarget = this;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    ReleaseDataObject();
    if (m_hWnd == NULL)
        return;
    ::RevokeDragDrop(m_hWnd);
    CWnd* pWnd = CWnd::FromHandlePermanent(m_hWnd);
    if (pWnd != NULL && pWnd->m_pDropTarget == this)
        pWnd->m_pDropTarget = NULL;
    m_hWnd = NULL;
}

void COleDropTarget::ReleaseDataObject()
{
    if (m_lpDataObject != NULL) {
        m_lpDataObject->Release();
        m_lpDataObject = NULL;
    }
}

CWnd* COleDropTarget::TargetWindow(POINTL ptScreen, CPoint* pPoint) const
{
    if (m_hWnd == NULL)
        return NULL;
    CWnd* pWnd = CWnd::FromHandlePermanent(m_hWnd);
    if (pWnd == NULL)
        return NULL;
    CPoint point(ptScreen.x, ptScreen.y);
    ::ScreenToClient(m_hWnd, &point);
    *pPoint = point;
    return pWnd;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                                       CPoint point)
{
    CView* pView = AsView(pWnd);
    return pView != NULL ? pView->OnDragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    CView* pView = AsView(pWnd);
    return pView != NULL ? pView->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    CView* pView = AsView(pWnd);
    return pView != NULL ? pView->OnDrop(pDataObject, dropEffect, point) : FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                    DROPEFFECT dropList, CPoint point)
{
    CView* pView = AsView(pWnd);
    return pView != NULL ? pView->OnDropEx(pDataObject, dropDefault, dropList, point)
                         : static_cast<DROPEFFECT>(-1);
}

void COleDropTarget::OnDragLeave(CWnd* pWnd)
{
    CView* pView = AsView(pWnd);
    if (pView != NULL)
        pView->OnDragLeave();
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    CView* pView = AsView(pWnd);
    return pView != NULL ? pView->OnDragScroll(dwKeyState, point) : DROPEFFECT_NONE;
}

/////////////////////////////////////////////////////////////////////////////
// IDropTarget. The virtual calls may throw; nothing crosses back into the system's loop.

ULONG STDMETHODCALLTYPE COleDropTarget::XDropTarget::AddRef()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    return pThis->ExternalAddRef();
}

ULONG STDMETHODCALLTYPE COleDropTarget::XDropTarget::Release()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    return pThis->ExternalRelease();
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragEnter(LPDATAOBJECT pDataObj, DWORD grfKeyState,
                                                                 POINTL pt, DWORD* pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pdwEffect == NULL)
        return E_INVALIDARG;
    const DWORD dwAllowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    pThis->ReleaseDataObject();
    CPoint point;
    CWnd* pWnd = pThis->TargetWindow(pt, &point);
    if (pWnd == NULL || pDataObj == NULL)
        return S_OK;
    pDataObj->AddRef(); // kept for DragOver, which the system calls without it
    pThis->m_lpDataObject = pDataObj;
    try {
        COleDataObject dataObject;
        dataObject.Attach(pDataObj, FALSE);
        *pdwEffect =
            pThis->OnDragEnter(pWnd, &dataObject, grfKeyState, point) & (dwAllowed | DROPEFFECT_SCROLL);
    } catch (CException* e) {
        e->Delete();
        *pdwEffect = DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt,
                                                                DWORD* pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pdwEffect == NULL)
        return E_INVALIDARG;
    const DWORD dwAllowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    CPoint point;
    CWnd* pWnd = pThis->TargetWindow(pt, &point);
    if (pWnd == NULL || pThis->m_lpDataObject == NULL)
        return S_OK;
    try {
        DROPEFFECT dropEffect = pThis->OnDragScroll(pWnd, grfKeyState, point);
        if ((dropEffect & DROPEFFECT_SCROLL) == 0) {
            COleDataObject dataObject;
            dataObject.Attach(pThis->m_lpDataObject, FALSE);
            dropEffect = pThis->OnDragOver(pWnd, &dataObject, grfKeyState, point);
        }
        *pdwEffect = dropEffect & (dwAllowed | DROPEFFECT_SCROLL);
    } catch (CException* e) {
        e->Delete();
        *pdwEffect = DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragLeave()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    CWnd* pWnd = pThis->m_hWnd != NULL ? CWnd::FromHandlePermanent(pThis->m_hWnd) : NULL;
    try {
        if (pWnd != NULL)
            pThis->OnDragLeave(pWnd);
    } catch (CException* e) {
        e->Delete();
    }
    pThis->ReleaseDataObject();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::Drop(LPDATAOBJECT pDataObj, DWORD grfKeyState,
                                                            POINTL pt, DWORD* pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pdwEffect == NULL)
        return E_INVALIDARG;
    const DWORD dwAllowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    CPoint point;
    CWnd* pWnd = pThis->TargetWindow(pt, &point);
    if (pWnd != NULL && pDataObj != NULL) {
        try {
            COleDataObject dataObject;
            dataObject.Attach(pDataObj, FALSE);
            // The effect the target answers for the drop's own point and keys.
            const DROPEFFECT dropDefault =
                pThis->OnDragOver(pWnd, &dataObject, grfKeyState, point) & dwAllowed & ~DROPEFFECT_SCROLL;
            DROPEFFECT dropEffect = pThis->OnDropEx(pWnd, &dataObject, dropDefault, dwAllowed, point);
            if (dropEffect == static_cast<DROPEFFECT>(-1))
                dropEffect =
                    dropDefault != DROPEFFECT_NONE && pThis->OnDrop(pWnd, &dataObject, dropDefault, point)
                        ? dropDefault
                        : DROPEFFECT_NONE;
            *pdwEffect = dropEffect & dwAllowed;
        } catch (CException* e) {
            e->Delete();
            *pdwEffect = DROPEFFECT_NONE;
        }
    }
    pThis->ReleaseDataObject();
    return S_OK;
}

/////////////////////////////////////////////////////////////////////////////
// CView: a view accepts nothing unless it says otherwise.

DROPEFFECT CView::OnDragEnter(COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT CView::OnDragOver(COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

void CView::OnDragLeave() {}

BOOL CView::OnDrop(COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT CView::OnDropEx(COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return static_cast<DROPEFFECT>(-1);
}

DROPEFFECT CView::OnDragScroll(DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}
