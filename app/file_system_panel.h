#pragma once

// The right-hand pane of the file-system step: the chosen file system's values (start, sectors per
// cluster, size; for NTFS the MFT and its mirror), and while the file-system worker runs its status line
// and progress bar, which the worker drives through FileSystemStepUi from its own thread (one window
// call each, as the partition panel's).
#include <afxwin.h>

#include <cstdint>
#include <functional>

#include "engine/recovery/core/engine_ui.h"
#include "step_panel.h"

class CFileSystemForm : public CStepPanel, public FileSystemStepUi
{
    DECLARE_DYNCREATE(CFileSystemForm)
public:
    CFileSystemForm();

    // FileSystemStepUi, callable from the worker.
    void SetStatusText(const char16_t* text) override;
    void SetProgressPos(std::uint32_t percent) override;
    void HideScanButton() override;
    // Run on the worker before each status text is shown; tests hold the worker here while they ask
    // the stop question.
    std::function<void()> m_onStatusText;

    void ShowProgress();
    void HideProgress();
    void ShowStatusText();
    void HideStatusText();
    void ClearInfo();
    void SetFatCaptions();
    void SetNtfsCaptions();
    void ShowFatInfo(LPCWSTR start, LPCWSTR sectorsPerCluster, LPCWSTR size);
    void ShowNtfsInfo(LPCWSTR start, LPCWSTR sectorsPerCluster, LPCWSTR mftStart, LPCWSTR mirrorStart,
                      LPCWSTR size);
    void SetHintText(LPCWSTR text);

    // The button that the worker hides at its end (the step's Stop); set by the step.
    CWnd* m_pScanButton = NULL;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    void SetCaptions(const wchar_t* const* captions);

    CButton m_group;
    CStatic m_title;
    CBrush m_titleBrush;
};
