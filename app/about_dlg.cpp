#include "about_dlg.h"

#include "dialog_fonts.h"
#include "message_box_resource_ids.h"
#include "resource.h"

namespace {

constexpr UINT kStaticIds[8] = {IDC_ABOUT_LINE_1, IDC_ABOUT_LINE_2, IDC_ABOUT_VERSION, IDC_ABOUT_MAKER,
                                IDC_ABOUT_LINE_3, IDC_ABOUT_LINE_4, IDC_ABOUT_LINE_5,  IDC_ABOUT_TITLE};

constexpr wchar_t kWebSite[] = L"https://www.corvane.example/";
constexpr wchar_t kSupportMail[] = L"mailto:support@corvane.example";
constexpr wchar_t kSalesMail[] = L"mailto:sales@corvane.example";
constexpr wchar_t kProductPage[] = L"https://www.corvane.example/vmdk-recovery/";

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX), m_skin(IDB_SKIN_ABOUT) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 8; ++i)
        DDX_Control(pDX, kStaticIds[i], m_statics[i]);
    DDX_Control(pDX, IDC_ABOUT_WEB_SITE, m_webSite);
    DDX_Control(pDX, IDC_ABOUT_SALES_MAIL, m_salesMail);
    DDX_Control(pDX, IDC_ABOUT_SUPPORT_MAIL, m_supportMail);
    DDX_Control(pDX, IDC_ABOUT_PRODUCT_PAGE, m_productPage);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateArialFont(m_boldFont, 15, FW_BOLD);
    CreateArialFont(m_normalFont, 14, FW_NORMAL);
    SetWindowText(L"About Corvane VMDK Recovery");
    for (CStatic& label : m_statics)
        label.SetFont(&m_normalFont);
    m_statics[7].SetFont(&m_boldFont);
    m_statics[7].SetWindowText(L"Corvane VMDK Recovery");
    m_statics[2].SetWindowText(L"Version 1.0");
    m_statics[3].SetWindowText(L"Made by Corvane Software");
    const struct
    {
        CHyperLink* link;
        const wchar_t* url;
    } links[] = {{&m_webSite, kWebSite},
                 {&m_supportMail, kSupportMail},
                 {&m_salesMail, kSalesMail},
                 {&m_productPage, kProductPage}};
    for (const auto& entry : links) {
        entry.link->SetFont(&m_normalFont);
        entry.link->SetWindowText(entry.url);
        entry.link->SetURL(entry.url);
        entry.link->SetUnderline(1);
    }
    return TRUE;
}

BOOL CAboutDlg::OnEraseBkgnd(CDC* pDC)
{
    // The skin is the banner along the top; the rest of the dialog is the skins' light surface.
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(0xF8, 0xFA, 0xFC));
    m_skin.Paint(pDC);
    return TRUE;
}

void CAboutDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    HICON icon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    dc.DrawIcon((client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
                (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
}
