#pragma once

// The File Types dialog that comes before a File Trace scan: the types of the program's "Raw.dat" in a
// tree of categories with three-state check boxes, and the size that every found item is saved at. OK
// puts the checked types into the engine's list of signatures (fileSignatureList) and the size into
// TraceItemSizeMiB.
#include <afxcmn.h>
#include <afxwin.h>

#include <cstdint>
#include <vector>

#include "engine/recovery/trace/signature_file.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

// A tree whose state image is its check state: 1 unchecked, 2 checked, 3 partly checked (some of the
// item's descendants checked). A check set on an item goes down to all its descendants and up through
// its ancestors.
class CFileTypeTreeCtrl : public CTreeCtrl
{
public:
    static constexpr int kStateUnchecked = 1;
    static constexpr int kStateChecked = 2;
    static constexpr int kStatePartly = 3;

    // The state image less one: 0 unchecked, 1 checked, 2 partly checked.
    int GetItemCheckState(HTREEITEM hItem) const;
    void SetCheckRecursive(HTREEITEM hItem, BOOL bCheck);
    // A click on the check box: an unchecked item is checked, any other unchecked.
    void ToggleCheck(HTREEITEM hItem);
    BOOL AllChildrenUnchecked(HTREEITEM hItem) const;
    BOOL AllChildrenChecked(HTREEITEM hItem) const;
    // The category node of that text under the root, added at the end when it is not there yet.
    HTREEITEM FindOrInsertCategory(LPCTSTR lpszText, int nImage);
    HTREEITEM InsertChild(HTREEITEM hParent, LPCTSTR lpszText, int nImage);

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    void SetStateImage(HTREEITEM hItem, int nState);
    void SetDescendants(HTREEITEM hItem, int nState);
};

// The size-limit entries: 1 to 20 MB, then 25 to 50 MB in steps of 5.
std::vector<std::uint32_t> FileTypeSizeEntries();

class CFileTypesDlg : public CDialog
{
public:
    explicit CFileTypesDlg(CWnd* pParent = NULL);

    // Where "Raw.dat" is read from; the program's folder unless a caller sets another.
    CString m_strSignatureFile;

    CFileTypeTreeCtrl& GetTree() { return m_tree; }
    const std::vector<SignatureFileRecord>& GetRecords() const { return m_records; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    void FillTree();
    BOOL AnyTypeChecked() const;
    void CollectChecked(HTREEITEM hItem, std::vector<bool>& chosen) const;

    CFileTypeTreeCtrl m_tree;
    CComboBox m_sizeCombo;
    CTransparentStatic m_instruction;
    CTransparentStatic m_sizeCaption;
    CTransparentStatic m_sizeUnit;
    CImageList m_icons;
    CImageList m_states;
    CDialogSkin m_skin;
    CFont m_font;
    std::vector<SignatureFileRecord> m_records;
};
