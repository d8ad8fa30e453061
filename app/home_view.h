#pragma once

// View 0, the home view: the disk image's path, the "Select" button and the scan-mode buttons. Choosing a
// mode opens the image with the frame's readers, records the choice in ScanSelection and moves the wizard
// to the drive step.
#include <afxdlgs.h>
#include <afxwin.h>

#include "hover_buttons.h"
#include "wizard_views.h"

#include <cstdint>

// The selection values of the user interface beside the engine's ScanSelection. The hover hint is the
// hover buttons' SharedHoverValue; the program folder is ProgramFolder().
struct ScanSelectionUiBlock
{
    // The step views' line about the chosen mode.
    CString modeSummary;
};

extern ScanSelectionUiBlock ScanSelectionUi;

inline constexpr UINT kHomeQuickScanButton = 131;
inline constexpr UINT kHomeFileTraceButton = 132;
inline constexpr UINT kHomeExtensiveScanButton = 133;
inline constexpr UINT kHomeSelectButton = 61491;
inline constexpr UINT kHomePathBox = 61492;

// The image kind (ScanSelection.imageKind) named by the path's extension, without regard to case; false
// for any other extension.
bool ImageKindOfPath(const CString& path, std::uint32_t& imageKind);

class CEx_StyleView : public CWizardStepView
{
    DECLARE_DYNCREATE(CEx_StyleView)
public:
    CEx_StyleView();
    ~CEx_StyleView() override;

    // 1 when the image in the path box was opened, 0 when it was refused (the reason shown).
    BOOL OpenSelectedImage();

    // Runs the "Select" dialog modally; the system's dialog unless a test put its own runner here.
    static INT_PTR (*s_pfnRunSelectDialog)(CFileDialog& dialog);

    CToolButton m_quickScanButton;
    CToolButton m_fileTraceButton;
    CToolButton m_extensiveScanButton;
    CButton m_selectButton;
    CEdit m_pathBox;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnQuickScan();
    afx_msg void OnExtensiveScan();
    afx_msg void OnFileTrace();
    afx_msg void OnSelectImage();
    DECLARE_MESSAGE_MAP()

private:
    void StartMode(std::uint32_t scanKind, LPCWSTR modeName, LPCWSTR modeSummary, std::uint32_t& modeStep);
    void DrawPathBoxFrame(CDC& dc);

    CString m_lastOpenedPath;
    // 1 while a Quick Scan choice is validated: its refusal names Extensive Scan.
    int m_nQuick = 0;
    CFont m_fontNormal;
    CFont m_fontSelect;
    CFont m_fontPath;
    CFont m_fontCaption;
    CFont m_fontHint;
    CFont m_fontTitle;
    CBrush m_whiteBrush;
};
