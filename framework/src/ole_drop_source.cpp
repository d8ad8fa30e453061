// COleDropSource and COleDataSource::DoDragDrop: starting a drag and answering the system's drag loop.
#include <afxole.h>

IMPLEMENT_DYNAMIC(COleDropSource, CCmdTarget)

// clang-format off
BEGIN_INTERFACE_MAP(COleDropSource, CCmdTarget)
    INTERFACE_PART(COleDropSource, IID_IDropSource, DropSource)
END_INTERFACE_MAP()
// clang-format on

namespace {

bool IsMouseMessage(UINT nMsg)
{
    return (nMsg >= WM_MOUSEFIRST && nMsg <= WM_MOUSELAST) ||
           (nMsg >= WM_NCMOUSEMOVE && nMsg <= WM_NCXBUTTONDBLCLK);
}

bool IsButtonUp(UINT nMsg)
{
    return nMsg == WM_LBUTTONUP || nMsg == WM_RBUTTONUP || nMsg == WM_MBUTTONUP || nMsg == WM_NCLBUTTONUP ||
           nMsg == WM_NCRBUTTONUP || nMsg == WM_NCMBUTTONUP;
}

} // namespace

COleDropSource::COleDropSource()
    : m_bDragStarted(FALSE), m_dwButtonCancel(MK_RBUTTON), m_dwButtonDrop(MK_LBUTTON),
      m_rectStartDrag(0, 0, 0, 0)
{}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed || (dwKeyState & m_dwButtonCancel) != 0)
        return DRAGDROP_S_CANCEL;
    if ((dwKeyState & m_dwButtonDrop) == 0)
        return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    m_bDragStarted = FALSE;
    int nButtonKey = 0;
    if (::GetKeyState(VK_LBUTTON) < 0) {
        nButtonKey = VK_LBUTTON;
        m_dwButtonDrop = MK_LBUTTON;
        m_dwButtonCancel = MK_RBUTTON;
    } else if (::GetKeyState(VK_RBUTTON) < 0) {
        nButtonKey = VK_RBUTTON;
        m_dwButtonDrop = MK_RBUTTON;
        m_dwButtonCancel = MK_LBUTTON;
    } else {
        return FALSE; // the button is up already: a click, not a drag
    }

    CRect rectStay = m_rectStartDrag;
    rectStay.NormalizeRect();
    rectStay.InflateRect(::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG));
    const DWORD dwDelay = static_cast<DWORD>(::GetProfileIntW(L"windows", L"DragDelay", DD_DEFDRAGDELAY));
    const HWND hWndCapture = pWnd != NULL ? pWnd->GetSafeHwnd() : NULL;
    if (hWndCapture != NULL)
        ::SetCapture(hWndCapture);

    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (hWndCapture != NULL && ::GetCapture() != hWndCapture)
            break; // someone else took the mouse
        MSG msg;
        if (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (IsButtonUp(msg.message) || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                break;
            if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
                if (!rectStay.PtInRect(msg.pt)) {
                    m_bDragStarted = TRUE;
                    break;
                }
                continue;
            }
            // Input waits for the drag to start or not; everything else (painting, timers) goes on.
            if (IsMouseMessage(msg.message) || (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            continue;
        }
        // A window of another thread may have the mouse: the button and the cursor are asked directly.
        if (::GetAsyncKeyState(nButtonKey) >= 0)
            break;
        POINT ptCursor;
        if (::GetCursorPos(&ptCursor) && !rectStay.PtInRect(ptCursor)) {
            m_bDragStarted = TRUE;
            break;
        }
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        if (elapsed >= dwDelay) {
            m_bDragStarted = TRUE;
            break;
        }
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, static_cast<DWORD>(dwDelay - elapsed), QS_ALLINPUT);
    }
    if (hWndCapture != NULL && ::GetCapture() == hWndCapture)
        ::ReleaseCapture();
    return m_bDragStarted;
}

ULONG STDMETHODCALLTYPE COleDropSource::XDropSource::AddRef()
{
    METHOD_PROLOGUE(COleDropSource, DropSource)
    return pThis->ExternalAddRef();
}

ULONG STDMETHODCALLTYPE COleDropSource::XDropSource::Release()
{
    METHOD_PROLOGUE(COleDropSource, DropSource)
    return pThis->ExternalRelease();
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    METHOD_PROLOGUE(COleDropSource, DropSource)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::QueryContinueDrag(BOOL fEscapePressed,
                                                                         DWORD grfKeyState)
{
    METHOD_PROLOGUE(COleDropSource, DropSource)
    try {
        return pThis->QueryContinueDrag(fEscapePressed, grfKeyState);
    } catch (CException* e) {
        e->Delete();
        return DRAGDROP_S_CANCEL;
    }
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::GiveFeedback(DWORD dwEffect)
{
    METHOD_PROLOGUE(COleDropSource, DropSource)
    try {
        return pThis->GiveFeedback(dwEffect);
    } catch (CException* e) {
        e->Delete();
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource)
{
    COleDropSource dropSource;
    if (pDropSource == NULL)
        pDropSource = &dropSource;
    if (lpRectStartDrag != NULL) {
        pDropSource->m_rectStartDrag = *lpRectStartDrag;
    } else {
        CPoint ptCursor;
        ::GetCursorPos(&ptCursor);
        pDropSource->m_rectStartDrag.SetRect(ptCursor.x, ptCursor.y, ptCursor.x, ptCursor.y);
    }
    // The window that holds the mouse while the drag may start: the one that captured it, else the
    // focus.
    HWND hWnd = ::GetCapture();
    if (hWnd == NULL)
        hWnd = ::GetFocus();
    if (!pDropSource->OnBeginDrag(hWnd != NULL ? CWnd::FromHandle(hWnd) : NULL))
        return DROPEFFECT_NONE;

    // The system's loop holds its own references; the source needs no more than the caller's.
    DWORD dwEffect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(&m_xDataObject, &pDropSource->m_xDropSource, dwEffects, &dwEffect);
    if (hr != DRAGDROP_S_DROP)
        return DROPEFFECT_NONE;
    return dwEffect & dwEffects;
}
