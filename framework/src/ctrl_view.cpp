// Control views: the view's window is the common control itself, which paints itself.
#include <afxcview.h>

IMPLEMENT_DYNAMIC(CCtrlView, CView)
IMPLEMENT_DYNCREATE(CListView, CCtrlView)
IMPLEMENT_DYNCREATE(CTreeView, CCtrlView)

// clang-format off
BEGIN_MESSAGE_MAP(CCtrlView, CView)
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

CCtrlView::CCtrlView(LPCTSTR lpszClass, DWORD dwStyle) : m_strClass(lpszClass), m_dwDefaultStyle(dwStyle) {}

CCtrlView::~CCtrlView() = default;

BOOL CCtrlView::PreCreateWindow(CREATESTRUCT& cs)
{
    AfxInitCommonControls();
    cs.lpszClass = m_strClass;
    cs.style |= m_dwDefaultStyle;
    return CView::PreCreateWindow(cs);
}

void CCtrlView::OnDraw(CDC*) {}

void CCtrlView::OnPaint()
{
    Default(); // the control draws itself
}

CListView::CListView() : CCtrlView(WC_LISTVIEW, AFX_WS_DEFAULT_VIEW) {}

CListView::~CListView()
{
    m_listCtrl.m_hWnd = NULL; // the wrapper never owned the window
}

CListCtrl& CListView::GetListCtrl() const
{
    // The wrapper is not in the handle map: messages of the window still reach this view.
    m_listCtrl.m_hWnd = m_hWnd;
    return m_listCtrl;
}

CTreeView::CTreeView() : CCtrlView(WC_TREEVIEW, AFX_WS_DEFAULT_VIEW) {}

CTreeView::~CTreeView()
{
    m_treeCtrl.m_hWnd = NULL;
}

CTreeCtrl& CTreeView::GetTreeCtrl() const
{
    m_treeCtrl.m_hWnd = m_hWnd;
    return m_treeCtrl;
}
