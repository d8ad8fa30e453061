#include "engine_shell_ui.h"

#include "file_dialog_ex.h"
#include "progress_dlg.h"
#include "recovery_app.h"

#include <string>

namespace {

LPCWSTR Wide(const char16_t* text)
{
    return text != nullptr ? reinterpret_cast<LPCWSTR>(text) : L"";
}

// The system's filter is pairs of description and pattern ending in an empty string; a filter given as
// a lone pattern is its own description.
std::wstring SystemFilter(const char16_t* filter)
{
    std::wstring pattern = Wide(filter);
    std::wstring result = pattern;
    result += L'\0';
    result += pattern;
    result += L'\0';
    result += L'\0';
    return result;
}

} // namespace

CWizardShellUi::CWizardShellUi() = default;
CWizardShellUi::~CWizardShellUi() = default;

void CWizardShellUi::SwitchView(int index)
{
    if (CRecoveryApp* pApp = RecoveryApp())
        pApp->SwitchView(static_cast<UINT>(index));
}

void CWizardShellUi::CreateProgressDlg(const char16_t* text)
{
    m_progress = std::make_unique<CProgressDlg>();
    if (!m_progress->Create(AfxGetMainWnd())) {
        m_progress.reset();
        return;
    }
    m_progress->SetRange(0, 100);
    m_progress->SetStatus(Wide(text));
    m_progress->ShowWindow(SW_SHOW);
    m_progress->UpdateWindow();
}

void CWizardShellUi::SetProgressDlgText(const char16_t* text)
{
    if (m_progress)
        m_progress->SetStatus(Wide(text));
}

void CWizardShellUi::SetProgressDlgPos(std::uint32_t percent)
{
    if (m_progress && m_progress->GetSafeHwnd() != NULL)
        m_progress->SendMessage(kProgressSetPosMessage, percent);
}

void CWizardShellUi::DestroyProgressDlg()
{
    if (m_progress && m_progress->GetSafeHwnd() != NULL)
        m_progress->DestroyWindow();
    m_progress.reset();
}

bool CWizardShellUi::RunFileDialog(const FileDialogRequest& request, std::u16string& path)
{
    wchar_t fileName[MAX_PATH] = {};
    wcsncpy(fileName, Wide(request.fileName), MAX_PATH - 1);
    const std::wstring filter = SystemFilter(request.filter);
    const wchar_t* defaultExtension = Wide(request.defaultExtension);
    CFileDialogEx dialog(request.open ? TRUE : FALSE, *defaultExtension != L'\0' ? defaultExtension : NULL,
                         fileName, request.flags, filter.c_str(), AfxGetMainWnd());
    if (request.title != nullptr && *request.title != u'\0')
        dialog.m_ofn.lpstrTitle = Wide(request.title);
    if (dialog.DoModal() != IDOK)
        return false;
    POSITION position = dialog.GetStartPosition();
    const CString chosen = dialog.GetNextPathName(position);
    path.assign(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(chosen)), chosen.GetLength());
    return true;
}

bool CWizardShellUi::HasProgressDlg() const
{
    return m_progress && m_progress->GetSafeHwnd() != NULL;
}
