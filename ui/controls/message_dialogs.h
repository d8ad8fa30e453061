#pragma once

#include <afxwin.h>

#include "message_box_resource_ids.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

#include <cstdint>

// Every message that the program shows in its own style goes through MessageBoxRequest: the caller sets
// the text and the kind, constructs CMessageDlg (one OK button) or CQuestionDlg (Yes or No) on its stack
// and calls DoModal. Kinds 1 to 3 are shown by HtmlMessageBox (the text may be HTML); kind 4 is the
// notice in the skinned template with the program's own icon, its text shown literally.

inline constexpr std::uint32_t kMessageKindInformation = 1;
inline constexpr std::uint32_t kMessageKindError = 2;
inline constexpr std::uint32_t kMessageKindQuestion = 3;
inline constexpr std::uint32_t kMessageKindNotice = 4;

// What CQuestionDlg::DoModal returns.
inline constexpr int kQuestionAnswerYes = 1;
inline constexpr int kQuestionAnswerNo = 2;

// The caption of every message of the program.
inline constexpr wchar_t kMessageCaption[] = L"Corvane VMDK Recovery";

struct MessageBoxFields
{
    CString text;
    std::uint32_t kind = 0;
};

// The two process-wide values that a caller writes before it constructs a dialog. Workers and the
// user-interface thread both write them, so they are written together and read as one copy; a dialog
// takes its copy when it is constructed and is not touched by a later request.
class CMessageBoxRequest
{
public:
    CMessageBoxRequest();
    ~CMessageBoxRequest();
    CMessageBoxRequest(const CMessageBoxRequest&) = delete;
    CMessageBoxRequest& operator=(const CMessageBoxRequest&) = delete;

    // A caller always writes both values.
    void Set(LPCWSTR text, std::uint32_t kind);
    MessageBoxFields Copy() const;

private:
    mutable CRITICAL_SECTION m_lock;
    MessageBoxFields m_fields;
};

extern CMessageBoxRequest MessageBoxRequest;

// What both message dialogs share: the request copied when constructed, the HTML box that shows
// kinds 1 to 3, and the skinned template with its icon and text controls for the rest.
class CMessageDlgBase : public CDialog
{
public:
    // The request as the dialog copied it.
    const MessageBoxFields& GetRequest() const { return m_request; }

protected:
    CMessageDlgBase(UINT nIDTemplate, CWnd* pParent);

    // The request in the HTML box with the given buttons and the icon of its kind; the box's answer.
    int ShowHtmlBox(UINT nButtons) const;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    MessageBoxFields m_request;
    CStatic m_icon;
    CTransparentStatic m_messageLabel;
    CDialogSkin m_skin;
};

// A notice with one OK button: returns 1 for OK, 2 when closed with Escape or the close box.
class CMessageDlg : public CMessageDlgBase
{
public:
    explicit CMessageDlg(CWnd* pParent = NULL);

    INT_PTR DoModal() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CButton m_okButton;
    CFont m_messageFont;
};

// A Yes/No question: returns 1 for Yes and 2 for No; Escape and the close box leave it open. A kind
// other than 1 to 3 is asked as kind 1, since the question's own template has no place for the text.
class CQuestionDlg : public CMessageDlgBase
{
public:
    explicit CQuestionDlg(CWnd* pParent = NULL);

    INT_PTR DoModal() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CButton m_noButton;
    CButton m_yesButton;
};
