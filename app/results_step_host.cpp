#include "results_step_host.h"

#include "command_bars.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/trace/trace_records.h"
#include "home_view.h"
#include "main_frame.h"
#include "recovery_app.h"
#include "resource.h"
#include "results_view.h"
#include "wizard_navigator.h"
#include "wizard_state.h"

namespace {

class CResultsStepHost final : public ResultsHost
{
public:
    void SwitchView(int index) override
    {
        if (CRecoveryApp* pApp = RecoveryApp())
            pApp->SwitchView(static_cast<UINT>(index));
    }

    // The frame keeps its active view itself; the application needs no copy.
    void NoteActiveView() override {}

    bool ScanResultsReady() override { return WizardStepState.resultsReady == kResultsReady; }

    std::wstring ModeSummary() override { return static_cast<LPCWSTR>(ScanSelectionUi.modeSummary); }

    bool ReportLoadProgress(std::uint32_t percent) override
    {
        CMainFrame* pFrame = Frame();
        if (pFrame == NULL || !pFrame->ShellUi().HasProgressDlg())
            return false;
        pFrame->ShellUi().SetProgressDlgPos(percent);
        return true;
    }

    void ShowPreview(const std::wstring& path, const std::wstring& extension) override
    {
        if (CMainFrame* pFrame = Frame())
            pFrame->ShowPreview(path.c_str(), extension.c_str());
    }

    int TrackContextMenu(CMenu* pMenu, int x, int y) override
    {
        CMainFrame* pFrame = Frame();
        if (pFrame == NULL || pFrame->GetCommandBars() == NULL)
            return 0;
        return pFrame->GetCommandBars()->TrackContextMenu(
            pMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y);
    }

    void RunFrameCommand(unsigned int command) override
    {
        if (CMainFrame* pFrame = Frame())
            pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }

    void SaveSnapshot() override
    {
        if (CMainFrame* pFrame = Frame())
            pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SAVE_SNAPSHOT, 0), 0);
    }

    void ResetResultsAndTempFiles() override { ::ResetResultsAndTempFiles(); }

    // The step flags are the navigator's, set for the view that Back or Home shows.
    void ResetFrameResultsFlags() override
    {
        CMainFrame* pFrame = Frame();
        if (pFrame == NULL)
            return;
        pFrame->m_flags.results = 0;
        pFrame->m_flags.extensiveResults = 0;
    }

    void ReturnToPartitionStep(std::uint32_t scanKind) override
    {
        if (scanKind == kScanFileTrace) {
            FreeTraceFoundList();
            FreeFileSignatureList();
            WizardStepState.fileTrace = 2;
        } else {
            FreeScanLists();
            WizardStepState.quick = 2;
        }
        WizardNavigator::BackFromResults(scanKind);
    }

    void ReturnToFileSystemStep() override
    {
        FreeScanLists();
        FreeFolderLists();
        WizardStepState.extensive = 3;
        WizardNavigator::BackFromResults(kScanExtensive);
    }

    void ReturnHome() override { WizardNavigator::Home(); }

private:
    static CMainFrame* Frame() { return RecoveryApp() != NULL ? RecoveryApp()->GetMainFrame() : NULL; }
};

} // namespace

ResultsHost& ApplicationResultsHost()
{
    static CResultsStepHost host;
    return host;
}

void ShowScanResults()
{
    WizardNavigator::ShowResults(ScanSelection.scanKind);
}
