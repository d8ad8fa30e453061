#include "empty_child_dialog.h"

#include <cstring>
#include <vector>

namespace {

// DLGTEMPLATEEX begins with dlgVer (1) and signature (0xFFFF), then helpID, exStyle and style.
const size_t kExtendedStyleOffset = 12;
const size_t kExtendedExStyleOffset = 8;

bool IsExtendedTemplate(const std::vector<BYTE>& bytes)
{
    return bytes.size() >= 16 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
}

DWORD ReadDword(const std::vector<BYTE>& bytes, size_t offset)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

void WriteDword(std::vector<BYTE>& bytes, size_t offset, DWORD value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

} // namespace

IMPLEMENT_DYNAMIC(CEmptyChildDlg, CDialog)

CEmptyChildDlg::CEmptyChildDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

BOOL CEmptyChildDlg::Create(CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(IDD), pParentWnd);
}

BOOL CEmptyChildDlg::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CDialog::PreCreateWindow(cs);
}

BOOL CEmptyChildDlg::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    // The system creates a dialog from its template alone, so the styles go into a copy of it.
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResource(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInst, hResource) : NULL;
    const BYTE* pBytes = hTemplate != NULL ? static_cast<const BYTE*>(::LockResource(hTemplate)) : NULL;
    if (pBytes == NULL)
        return FALSE;
    std::vector<BYTE> bytes(pBytes, pBytes + ::SizeofResource(hInst, hResource));
    const bool bExtended = IsExtendedTemplate(bytes);
    const size_t styleOffset = bExtended ? kExtendedStyleOffset : 0;
    const size_t exStyleOffset = bExtended ? kExtendedExStyleOffset : 4;
    if (bytes.size() < styleOffset + sizeof(DWORD) || bytes.size() < exStyleOffset + sizeof(DWORD))
        return FALSE;

    CREATESTRUCT cs = {};
    cs.style = static_cast<LONG>(ReadDword(bytes, styleOffset));
    cs.dwExStyle = ReadDword(bytes, exStyleOffset);
    cs.hwndParent = pParentWnd->GetSafeHwnd();
    cs.hInstance = hInst;
    cs.lpszClass = WC_DIALOG;
    if (!PreCreateWindow(cs))
        return FALSE;
    WriteDword(bytes, styleOffset, static_cast<DWORD>(cs.style));
    WriteDword(bytes, exStyleOffset, cs.dwExStyle);

    m_lpszTemplateName = lpszTemplateName;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), m_pParentWnd, hInst);
}
