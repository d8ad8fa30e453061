#pragma once

// The wizard's shell as the engine's snapshot readers and writers use it: the view switch, the progress
// window and the program's file dialog.
#include <afxwin.h>

#include "engine/recovery/core/engine_ui.h"

#include <memory>

class CProgressDlg;

class CWizardShellUi final : public WizardShellUi
{
public:
    CWizardShellUi();
    ~CWizardShellUi() override;

    void SwitchView(int index) override;
    void CreateProgressDlg(const char16_t* text) override;
    void SetProgressDlgText(const char16_t* text) override;
    void SetProgressDlgPos(std::uint32_t percent) override;
    void DestroyProgressDlg() override;
    bool RunFileDialog(const FileDialogRequest& request, std::u16string& path) override;
    // True while the progress window is shown.
    bool HasProgressDlg() const;

private:
    std::unique_ptr<CProgressDlg> m_progress;
};
