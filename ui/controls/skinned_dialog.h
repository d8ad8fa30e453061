#pragma once

#include <afxwin.h>

// What every skinned dialog holds: its skin bitmap, painted as the whole background when the dialog's
// background is erased, and the two regions that go with it. The regions are built and kept for the
// dialog's lifetime but never given to a window: every window of the program stays rectangular (the skins
// hold no key-coloured pixel, so the cut region would cover the whole bitmap anyway).
class CDialogSkin
{
public:
    // The pure green that would be cut out of a skin.
    static constexpr COLORREF kKeyColour = RGB(0, 255, 0);

    // Loads the bitmap from the program's resources as a DIB section at its stored size; a bitmap that
    // cannot be loaded leaves the dialog on its default background.
    explicit CDialogSkin(UINT bitmapId);
    ~CDialogSkin();
    CDialogSkin(const CDialogSkin&) = delete;
    CDialogSkin& operator=(const CDialogSkin&) = delete;

    HBITMAP GetBitmap() const { return m_bitmap; }
    HRGN GetBitmapRegion() const { return m_bitmapRegion; }

    // The skin copied unscaled to (0, 0) of the device context; FALSE when there is nothing to paint, so
    // that the caller hands the erase to the default handling.
    BOOL Paint(CDC* pDC) const;

private:
    HBITMAP m_bitmap = nullptr;
    HRGN m_pointRegion = nullptr;
    HRGN m_bitmapRegion = nullptr;
};
