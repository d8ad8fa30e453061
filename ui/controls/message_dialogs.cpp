#include "message_dialogs.h"

#include "html_message_box.h"

CMessageBoxRequest MessageBoxRequest;

CMessageBoxRequest::CMessageBoxRequest()
{
    ::InitializeCriticalSection(&m_lock);
}

CMessageBoxRequest::~CMessageBoxRequest()
{
    ::DeleteCriticalSection(&m_lock);
}

void CMessageBoxRequest::Set(LPCWSTR text, std::uint32_t kind)
{
    const CString copy(text != NULL ? text : L"");
    ::EnterCriticalSection(&m_lock);
    m_fields.text = copy;
    m_fields.kind = kind;
    ::LeaveCriticalSection(&m_lock);
}

MessageBoxFields CMessageBoxRequest::Copy() const
{
    ::EnterCriticalSection(&m_lock);
    MessageBoxFields copy = m_fields;
    ::LeaveCriticalSection(&m_lock);
    return copy;
}

namespace {

// Both dialogs show their HTML box on the same quiet near-white relief.
HtmlMessageBoxParams MessageDialogBoxParams()
{
    HtmlMessageBoxParams params;
    params.messageArea.separatorStyle = HtmlMessageBoxArea::SeparatorNone;
    params.messageArea.captionAlignment = HtmlMessageBoxArea::CaptionCentre;
    params.messageArea.separatorCaption = NULL;
    params.messageArea.backgroundEffect = 12; // vbump
    params.messageArea.colour1 = RGB(0xF2, 0xF2, 0xF2);
    params.messageArea.colour2 = RGB(0xF2, 0xF2, 0xF2);
    params.messageArea.colour3 = RGB(0xF2, 0xF2, 0xF2);
    return params;
}

// The HTML box's style of each kind: icon bits and, for the question, the Yes/No button set.
UINT KindIcon(std::uint32_t kind)
{
    switch (kind) {
    case kMessageKindInformation:
        return MB_ICONINFORMATION;
    case kMessageKindError:
        return MB_ICONERROR;
    default:
        return MB_ICONQUESTION;
    }
}

bool ShownByHtmlBox(std::uint32_t kind)
{
    return kind >= kMessageKindInformation && kind <= kMessageKindQuestion;
}

// The label takes its text whole: a line stands in the middle of the label's place; a text that needs
// more lines makes the label, and the dialog with it, taller, and what stands below moves down.
void FitLabelToText(CWnd& dialog, CWnd& label)
{
    CRect place;
    label.GetWindowRect(&place);
    dialog.ScreenToClient(&place);
    CString text;
    label.GetWindowText(text);
    CRect needed(0, 0, place.Width(), 0);
    {
        CClientDC dc(&label);
        CFont* pOld = dc.SelectObject(label.GetFont());
        dc.DrawText(text, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
        dc.SelectObject(pOld);
    }
    const int grow = needed.Height() - place.Height();
    if (grow <= 0) {
        label.MoveWindow(place.left, place.top - grow / 2, place.Width(), needed.Height());
        return;
    }
    for (CWnd* pChild = dialog.GetWindow(GW_CHILD); pChild != NULL; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
        CRect child;
        pChild->GetWindowRect(&child);
        dialog.ScreenToClient(&child);
        if (child.top >= place.bottom)
            pChild->MoveWindow(child.left, child.top + grow, child.Width(), child.Height());
    }
    label.MoveWindow(place.left, place.top, place.Width(), needed.Height());
    CRect window;
    dialog.GetWindowRect(&window);
    dialog.SetWindowPos(NULL, 0, 0, window.Width(), window.Height() + grow, SWP_NOMOVE | SWP_NOZORDER);
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CMessageDlgBase, CDialog)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

CMessageDlgBase::CMessageDlgBase(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_request(MessageBoxRequest.Copy()), m_skin(IDB_SKIN_MESSAGE)
{}

int CMessageDlgBase::ShowHtmlBox(UINT nButtons) const
{
    const HtmlMessageBoxParams params = MessageDialogBoxParams();
    return ::HtmlMessageBox(NULL, m_request.text, kMessageCaption, nButtons | KindIcon(m_request.kind),
                            &params);
}

BOOL CMessageDlgBase::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC)) {
        return TRUE;
    }
    return CDialog::OnEraseBkgnd(pDC);
}

CMessageDlg::CMessageDlg(CWnd* pParent) : CMessageDlgBase(IDD_MESSAGE_DLG, pParent)
{
    m_messageFont.CreateFont(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

INT_PTR CMessageDlg::DoModal()
{
    if (ShownByHtmlBox(m_request.kind)) {
        return ShowHtmlBox(MB_OK);
    }
    return CDialog::DoModal();
}

void CMessageDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MESSAGE_ICON, m_icon);
    DDX_Control(pDX, IDOK, m_okButton);
    DDX_Control(pDX, IDC_MESSAGE_TEXT, m_messageLabel);
}

BOOL CMessageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_messageLabel.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_messageFont.GetSafeHandle()), TRUE);
    m_okButton.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_messageFont.GetSafeHandle()), TRUE);
    m_messageLabel.SetWindowText(m_request.text);
    FitLabelToText(*this, m_messageLabel);
    if (m_request.kind == kMessageKindNotice) {
        if (HICON icon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_NOTICE))) {
            m_icon.SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
    }
    return TRUE;
}

CQuestionDlg::CQuestionDlg(CWnd* pParent) : CMessageDlgBase(IDD_QUESTION_DLG, pParent)
{
    if (!ShownByHtmlBox(m_request.kind)) {
        m_request.kind = kMessageKindInformation;
    }
}

INT_PTR CQuestionDlg::DoModal()
{
    if (ShownByHtmlBox(m_request.kind)) {
        return ShowHtmlBox(MB_YESNO) == IDYES ? kQuestionAnswerYes : kQuestionAnswerNo;
    }
    return CDialog::DoModal();
}

void CQuestionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MESSAGE_ICON, m_icon);
    DDX_Control(pDX, IDCANCEL, m_noButton);
    DDX_Control(pDX, IDOK, m_yesButton);
    // The question's own template has no text control.
    if (GetDlgItem(IDC_MESSAGE_TEXT) != NULL) {
        DDX_Control(pDX, IDC_MESSAGE_TEXT, m_messageLabel);
    }
}

BOOL CQuestionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_messageLabel.GetSafeHwnd() != NULL) {
        m_messageLabel.SetWindowText(m_request.text);
    }
    return TRUE;
}
