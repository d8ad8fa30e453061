// The customise sheet: while it is open the command bars are in customise mode, a right click on a
// control opens the control's context menu (reset, delete, name, the button image, the style, a
// group before it), and its pages edit the toolbars, drag commands onto them, assign shortcut keys
// and set the options.
#pragma once

#include "command_bars.h"
#include "control_edit.h"
#include "customize/customize_pages.h"

#include <afxext.h>

#include <vector>

class CXTPCustomizeSheet;

// The control context menu: its items ask the sheet for their state and send it their commands.
class CXTPCustomizeContextPopup : public CXTPPopupBar
{
    DECLARE_DYNCREATE(CXTPCustomizeContextPopup)
public:
    CXTPCustomizeSheet* m_pSheet = NULL;
    void OnUpdateCmdUI(BOOL bDisableIfNoHandler = TRUE) override;
};

// The grid of stock images of "Change Button Image": near square, 23 pixels a column.
class CXTPCustomizeImagesPopup : public CXTPPopupToolBar
{
    DECLARE_DYNCREATE(CXTPCustomizeImagesPopup)
public:
    int m_nWidth = 0;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
};

// The name field of the context menu. Its label takes the set label width plus 10 pixels, and the
// 10 pixels alone when it shows no label (not set to, or no caption).
class CXTPCustomizeNameEdit : public CXTPControlEdit
{
    DECLARE_DYNCREATE(CXTPCustomizeNameEdit)
public:
    // The width of the label's text; a change lays the field out again.
    void SetLabelTextWidth(int nWidth);
    int GetLabelTextWidth() const { return m_nLabelTextWidth; }
    int GetOwnLabelWidth() const override;

protected:
    int m_nLabelTextWidth = 0;
};

// A category of the commands page: its name and its controls (one reference each).
struct XTP_CUSTOMIZE_CATEGORY
{
    CString strName;
    std::vector<CXTPControl*> controls;
};

class CXTPCustomizeSheet : public CPropertySheet
{
    DECLARE_DYNAMIC(CXTPCustomizeSheet)
public:
    explicit CXTPCustomizeSheet(CXTPCommandBars* pCommandBars);
    ~CXTPCustomizeSheet() override;

    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
    // The control the context menu acts on: the command bars' customise selection.
    CXTPControl* GetTarget() const { return m_pCommandBars->GetDragControl(); }

    // Categories for the commands page; without any the page makes one per control category found
    // on the bars, in the order first seen.
    void AddCategory(LPCTSTR lpszName, const std::vector<CXTPControl*>& controls);
    const std::vector<XTP_CUSTOMIZE_CATEGORY>& GetCategories();

    // The context menu of the selected control at a screen point, tracked modally.
    void ShowContextMenu(CPoint ptScreen);
    CXTPCustomizeContextPopup* GetContextPopup() const { return m_pContextPopup; }
    CXTPCustomizeNameEdit* GetNameEdit() const { return m_pNameEdit; }
    // The stock images of "Change Button Image", numbered from 1, and their popup.
    CXTPImageManager* GetStockImages() const { return m_pStockImages; }
    int GetStockImageCount() const;
    CXTPCustomizeImagesPopup* GetStockImagesPopup() const { return m_pImagesPopup; }

    // The state and the commands of the context menu (ids 9315 to 9326).
    void UpdateCommand(CCmdUI* pCmdUI);
    void RunCommand(UINT nId, CXTPControl* pSender = NULL);
    // The image commands, one by one.
    BOOL CopyButtonImage();
    BOOL PasteButtonImage();
    // The button image editor over the control's image; OK stores the picture as its own image.
    BOOL EditButtonImage();
    void ChangeButtonImage(int nStockImage);
    // An id no image of the command bars' image manager uses yet.
    UINT NewImageId() const;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnInitDialog() override;

    CXTPCustomizeToolbarsPage m_pageToolbars;
    CXTPCustomizeCommandsPage m_pageCommands;
    CXTPCustomizeKeyboardPage m_pageKeyboard;
    CXTPCustomizeOptionsPage m_pageOptions;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BuildContextPopup();
    // The width of a text in the bars' menu font.
    int MeasureMenuText(const CString& strText) const;
    // Every command ends with the target's bar laid out and drawn again.
    void RefreshTarget(CXTPControl* pControl);
    // 0x2862 from an item of the context menu: the name field commits, others run their command;
    // ids of others go on to the command bars' site.
    LRESULT OnControlExecuted(WPARAM wParam, LPARAM lParam);

    CXTPCommandBars* m_pCommandBars;
    CXTPCustomizeContextPopup* m_pContextPopup = NULL;
    CXTPCustomizeImagesPopup* m_pImagesPopup = NULL;
    CXTPCustomizeNameEdit* m_pNameEdit = NULL;
    CXTPImageManager* m_pStockImages = NULL;
    std::vector<XTP_CUSTOMIZE_CATEGORY> m_categories;
};
