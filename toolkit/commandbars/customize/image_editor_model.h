// The picture the button image editor works on, without windows: a 32-bit picture with its alpha
// flag, the six tools, the sixteen levels of undo and redo, clear and the move by one pixel. The
// dialog turns mouse and commands into these calls and draws what they leave.
#pragma once

#include <afxwin.h>

#include <deque>
#include <memory>

// A pixel of this colour is transparent (in a picture without alpha).
#define XTP_IMAGEEDITOR_TRANSPARENT RGB(255, 254, 255)

enum XTPImageEditorTool
{
    xtpImageEditorPencil = 0,
    xtpImageEditorFill = 1,
    xtpImageEditorPickColor = 2,
    xtpImageEditorLine = 3,
    xtpImageEditorRectangle = 4,
    xtpImageEditorEllipse = 5,
};

// A top-down 32-bit DIB section. Without alpha a pixel is its colour (the transparent colour for
// none); with alpha it carries straight (not premultiplied) alpha and alpha 0 is transparent.
class CXTPImageEditorBitmap
{
public:
    // Fully transparent; an empty size or a failed allocation leaves GetHandle null.
    CXTPImageEditorBitmap(CSize size, BOOL bAlpha);
    ~CXTPImageEditorBitmap();
    CXTPImageEditorBitmap(const CXTPImageEditorBitmap&) = delete;
    CXTPImageEditorBitmap& operator=(const CXTPImageEditorBitmap&) = delete;

    std::unique_ptr<CXTPImageEditorBitmap> Clone() const;
    BOOL IsValid() const { return m_hBitmap != NULL; }
    HBITMAP GetHandle() const { return m_hBitmap; }
    CSize GetSize() const { return m_size; }
    BOOL IsAlpha() const { return m_bAlpha; }

    // The colour of a pixel; a transparent one reads as XTP_IMAGEEDITOR_TRANSPARENT.
    COLORREF GetPixel(int x, int y) const;
    // 0 to 255; a picture without alpha answers 0 for transparent pixels and 255 for the rest.
    BYTE GetAlpha(int x, int y) const;
    // The transparent colour makes the pixel transparent; any other colour is opaque.
    void SetPixel(int x, int y, COLORREF clr);
    // The raw pixel as stored (0xAARRGGBB), for copying between pictures.
    DWORD GetRaw(int x, int y) const { return m_pBits[y * m_size.cx + x]; }
    void SetRaw(int x, int y, DWORD dwPixel) { m_pBits[y * m_size.cx + x] = dwPixel; }
    BOOL Contains(CPoint point) const
    {
        return point.x >= 0 && point.y >= 0 && point.x < m_size.cx && point.y < m_size.cy;
    }
    // Same size, alpha flag and pixels.
    BOOL IsEqual(const CXTPImageEditorBitmap& other) const;

    // A picture of the size from straight-alpha 32-bit rows (top-down, width x height pixels):
    // larger sources are scaled down to fit, smaller ones centred on transparency.
    static std::unique_ptr<CXTPImageEditorBitmap> FromPixels(const DWORD* pPixels, int nWidth, int nHeight,
                                                             BOOL bAlpha, CSize size);

private:
    HBITMAP m_hBitmap = NULL;
    DWORD* m_pBits = NULL;
    CSize m_size;
    BOOL m_bAlpha;
};

// The header of a top-down 32-bit picture of the size, as the editor's pictures are laid out.
BITMAPINFO AFXAPI XTPImageEditorBitmapInfo(CSize size);

class CXTPImageEditorModel
{
public:
    static const int kUndoLevels = 16;

    explicit CXTPImageEditorModel(CSize size = CSize(16, 16));

    // A new picture to edit (null: a transparent one of the model's size); undo and redo empty.
    void SetPicture(std::unique_ptr<CXTPImageEditorBitmap> pPicture);
    const CXTPImageEditorBitmap& GetPicture() const { return *m_pPicture; }
    CSize GetSize() const { return m_size; }

    // Choosing Pick Color keeps the tool before it to return to.
    void SetTool(int nTool);
    int GetTool() const { return m_nTool; }
    int GetPreviousTool() const { return m_nPreviousTool; }

    // A press on a cell with the colour of the selected picker. Pencil and the shapes start a
    // stroke (a press on a cell of that colour draws transparency); Fill Color fills and commits.
    // Pick Color answers the cell's colour in *pPicked, returns to the previous tool and changes
    // nothing. FALSE outside the picture.
    BOOL Press(CPoint cell, COLORREF clrSelected, COLORREF* pPicked = NULL);
    // The stroke reaches another cell: the pencil sets it, a shape is drawn afresh from its start.
    void DragTo(CPoint cell);
    // Ends a stroke and commits it.
    void Release();
    BOOL IsDrawing() const { return m_pBefore != NULL; }

    BOOL CanUndo() const { return !m_undo.empty(); }
    BOOL CanRedo() const { return !m_redo.empty(); }
    int GetUndoCount() const { return static_cast<int>(m_undo.size()); }
    void Undo();
    void Redo();
    void Clear();
    // Shifts the picture by one pixel; what is uncovered becomes transparent.
    void Move(int dx, int dy);
    // A pasted or imported picture becomes the current one; FALSE (nothing changes) for null.
    BOOL Replace(std::unique_ptr<CXTPImageEditorBitmap> pPicture);

private:
    // The current picture goes to the undo list as it was before the change.
    void Commit(std::unique_ptr<CXTPImageEditorBitmap> pBefore);
    void DrawShape(CPoint cell);

    CSize m_size;
    std::unique_ptr<CXTPImageEditorBitmap> m_pPicture;
    std::unique_ptr<CXTPImageEditorBitmap> m_pBefore; // during a stroke
    std::deque<std::unique_ptr<CXTPImageEditorBitmap>> m_undo;
    std::deque<std::unique_ptr<CXTPImageEditorBitmap>> m_redo;
    int m_nTool = xtpImageEditorPencil;
    int m_nPreviousTool = xtpImageEditorPencil;
    CPoint m_ptStart;
    COLORREF m_clrDraw = 0;
};
