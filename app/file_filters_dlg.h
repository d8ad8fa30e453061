#pragma once

// The frame's File Filters: the name patterns ("*.doc") that the listings and the saves let through,
// kept in the engine's FileFilterTable for the run. The dialog edits a copy in its sorted list; Close
// writes the list into the table and lists the results view's selected folder again with the new filters.
#include <afxwin.h>

#include "flat_framed_controls.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

#include <functional>

class CFileFiltersDlg : public CDialog
{
public:
    explicit CFileFiltersDlg(CWnd* pParent = NULL);

    // What Close runs once the table holds the new list: the results view's folder listed again. The frame
    // sets it; without it Close only stores the list.
    void SetRelist(std::function<void()> relist) { m_relist = std::move(relist); }

    // The longest pattern, without its terminating zero, and the most patterns the list takes.
    static constexpr int kMaxPatternLength = 19;
    static constexpr int kMaxPatterns = 99;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter: the same as Close, so that the table and its count always agree.
    void OnOK() override;
    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // Close (IDCANCEL): also Escape and the close box.
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    void ShowRefusal(LPCWSTR text);

    CFlatEdit m_edit;
    CFlatListBox m_list;
    CTransparentStatic m_caption;
    CDialogSkin m_skin;
    CFont m_font;
    std::function<void()> m_relist;
};
