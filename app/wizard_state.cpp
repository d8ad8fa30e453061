#include "wizard_state.h"

#include "engine/recovery/core/engine_state.h"
#include "recovery_app.h"
#include "recovery_doc.h"
#include "results_view.h"

WizardStepStateBlock WizardStepState;

std::uint32_t& CurrentModeStep()
{
    switch (ScanSelection.scanKind) {
    case kScanFileTrace:
        return WizardStepState.fileTrace;
    case kScanQuick:
        return WizardStepState.quick;
    default:
        return WizardStepState.extensive;
    }
}

bool ScanFinishedAndUnsaved()
{
    return WizardStepState.resultsReady == kResultsReady &&
           (WizardStepState.extensive == 4 || WizardStepState.quick == 3 || WizardStepState.fileTrace == 3);
}

CString SlideFolderPath()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    CString path = length > 0 && length <= MAX_PATH ? CString(folder) : CString();
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    return path + L"ssss";
}

void ResetResultsAndTempFiles()
{
    CWinThread* pThread = AfxGetThread();
    CFrameWnd* pFrame = pThread != NULL ? dynamic_cast<CFrameWnd*>(pThread->m_pMainWnd) : NULL;
    if (pFrame == NULL)
        return;
    auto* pDocument = dynamic_cast<CEx_StyleDoc*>(pFrame->GetActiveDocument());
    if (pDocument == NULL)
        return;
    if (auto* pResults = dynamic_cast<CThirdView_HDD*>(
            RecoveryApp() != NULL ? RecoveryApp()->GetView(kViewResults) : NULL)) {
        for (const CString& path : pResults->ResultList().TempPreviewFiles)
            ::DeleteFileW(path);
    }
    const CString folder = SlideFolderPath();
    pDocument->DeleteFolderFiles(folder);
    ::RemoveDirectoryW(folder);
}
