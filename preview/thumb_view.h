#pragma once

// The thumbnail preview: the pictures the document collected from a folder, as a list of numbered
// 160 x 120 thumbnails, each framed in black on white.
#include <afxcmn.h>
#include <afxcview.h>

class CThumbView : public CListView
{
    DECLARE_DYNCREATE(CThumbView)
public:
    static constexpr int kThumbWidth = 160;
    static constexpr int kThumbHeight = 120;

    CThumbView();

    void OnInitialUpdate() override;
    // Rebuilds every thumbnail from the document's collected names.
    void AddThumbnail();

    CImageList m_imageList;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    DECLARE_MESSAGE_MAP()

private:
    void CreateImageList();
};
