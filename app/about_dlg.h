#pragma once

// The About box: the program's name, version and maker with links to the maker's site, mail addresses
// and product page, over the About skin.
#include <afxwin.h>

#include "skinned_dialog.h"
#include "transparent_controls.h"
#include "ui/controls/hyperlink.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CDialogSkin m_skin;
    CFont m_boldFont;
    CFont m_normalFont;
    CTransparentStatic m_statics[8];
    CHyperLink m_webSite;
    CHyperLink m_salesMail;
    CHyperLink m_supportMail;
    CHyperLink m_productPage;
};
