#pragma once

// The wizard's last step, the recovered files: the result list and the temporary preview copies that the
// list made (keyed by the list's counter, the path as value). The tree, the preview pane and the buttons
// stand on this view too.
#include <afxcmn.h>
#include <afxwin.h>

#include <cstdint>
#include <map>
#include <span>

struct ResultColumn;

class CThirdView_HDD : public CView
{
    DECLARE_DYNCREATE(CThirdView_HDD)
public:
    CThirdView_HDD();
    ~CThirdView_HDD() override;

    // The list's columns replaced by those given, all left-aligned.
    void SetResultColumns(std::span<const ResultColumn> columns);
    int GetResultColumnCount();

    CListCtrl m_resultList;
    // TempPreviewFiles of the result list.
    std::map<std::uint32_t, CString> m_tempPreviewFiles;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
