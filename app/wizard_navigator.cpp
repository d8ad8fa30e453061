#include "wizard_navigator.h"

#include "drive_step_view.h"
#include "file_system_panel.h"
#include "file_system_step_view.h"
#include "main_frame.h"
#include "partition_step_view.h"
#include "recovery_app.h"
#include "results_state.h"
#include "results_view.h"
#include "wizard_state.h"

namespace {

template <typename View> View* Step(UINT index)
{
    CRecoveryApp* pApp = RecoveryApp();
    return pApp != NULL ? dynamic_cast<View*>(pApp->GetView(index)) : NULL;
}

CMainFrame* Frame()
{
    return RecoveryApp() != NULL ? RecoveryApp()->GetMainFrame() : NULL;
}

// The frame's step flags for the view about to be shown: the source tree chooses a drive only on the
// drive step and a partition only on the partition step; no step but the results offers the result
// commands.
void SetStepFlags(UINT view)
{
    CMainFrame* pFrame = Frame();
    if (pFrame == NULL)
        return;
    pFrame->m_nDriveStepCurrent = view == kViewHome || view == kViewDrive ? 1 : 0;
    pFrame->m_nPartitionStepCurrent = view == kViewPartition ? 1 : 0;
    pFrame->m_nPartitionSelection = 1;
    if (view != kViewResults) {
        pFrame->m_flags.results = 0;
        pFrame->m_flags.extensiveResults = 0;
    }
}

void Show(UINT view)
{
    SetStepFlags(view);
    if (CRecoveryApp* pApp = RecoveryApp())
        pApp->SwitchView(view);
}

} // namespace

namespace WizardNavigator {

void PartitionSearchEnded()
{
    if (auto* pDrive = Step<CFirstView_HDD>(kViewDrive))
        pDrive->ShowForChoosing();
    if (auto* pPartition = Step<CSecondView_HDD>(kViewPartition))
        pPartition->ShowForChoosing();
    Show(kViewPartition);
}

void BackToDriveStep()
{
    if (auto* pPartition = Step<CSecondView_HDD>(kViewPartition))
        pPartition->Leave();
    // The drive is chosen again before the next search, as on the first arrival.
    if (auto* pDrive = Step<CFirstView_HDD>(kViewDrive)) {
        pDrive->ShowForChoosing();
        pDrive->m_pDrivePanel->HideDetails();
    }
    Show(kViewDrive);
}

void SectorScanEnded()
{
    if (auto* pFileSystem = Step<CFileSystemView>(kViewFileSystem))
        pFileSystem->ShowForChoosing();
    Show(kViewFileSystem);
}

void BackToPartitionStep()
{
    if (auto* pFileSystem = Step<CFileSystemView>(kViewFileSystem))
        pFileSystem->Leave();
    if (auto* pPartition = Step<CSecondView_HDD>(kViewPartition)) {
        pPartition->ShowForChoosing();
        pPartition->ShowScannedRange();
    }
    SelectedSourceIndex() = -1;
    WizardStepState.extensive = 3;
    WizardStepState.resultsReady = 0;
    Show(kViewPartition);
}

void BackFromResults(std::uint32_t scanKind)
{
    if (scanKind == kScanExtensive) {
        if (auto* pFileSystem = Step<CFileSystemView>(kViewFileSystem)) {
            pFileSystem->GetPanel()->ClearInfo();
            pFileSystem->ShowForChoosing();
        }
        Show(kViewFileSystem);
        return;
    }
    if (auto* pPartition = Step<CSecondView_HDD>(kViewPartition)) {
        pPartition->ShowForChoosing();
        pPartition->ShowChoiceHint();
    }
    Show(kViewPartition);
}

void ShowResults(std::uint32_t scanKind)
{
    if (CMainFrame* pFrame = Frame()) {
        pFrame->m_flags.results = scanKind == kScanExtensive ? 0 : 1;
        pFrame->m_flags.extensiveResults = scanKind == kScanExtensive ? 1 : 0;
    }
    Show(kViewResults);
    if (auto* pResults = Step<CThirdView_HDD>(kViewResults))
        pResults->ShowCommandButtons();
}

void Home()
{
    if (auto* pFileSystem = Step<CFileSystemView>(kViewFileSystem))
        pFileSystem->Leave();
    if (auto* pPartition = Step<CSecondView_HDD>(kViewPartition))
        pPartition->Leave();
    if (auto* pDrive = Step<CFirstView_HDD>(kViewDrive)) {
        pDrive->Leave();
        pDrive->ShowForChoosing();
    }
    WizardStepState = WizardStepStateBlock();
    if (CMainFrame* pFrame = Frame())
        pFrame->m_flags.loadSnapshot = 0;
    Show(kViewHome);
    if (CMainFrame* pFrame = Frame())
        pFrame->EnableOpenCommand(1);
}

void NothingFound()
{
    auto* pResults = Step<CThirdView_HDD>(kViewResults);
    if (pResults == NULL) {
        Home();
        return;
    }
    AutoHomeMarker = 5;
    pResults->OnHome();
    AutoHomeMarker = 0;
}

} // namespace WizardNavigator
