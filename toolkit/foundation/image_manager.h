// Command images kept per command id and per width: loaded from image lists, toolbar and bitmap
// resources (also 32-bit bitmaps with alpha), with the faded, shadow and disabled forms built on
// demand, drawn (mirrored for right-to-left windows), moved through the clipboard and saved and
// loaded through the property exchange.
#pragma once

#include <afxtempl.h>
#include <afxwin.h>
#include <commctrl.h>

class CXTPImageManager;
class CXTPImageManagerImageList;
class CXTPPropExchange;
class COleDataObject;

enum XTPImageState
{
    xtpImageNormal = 0,
    xtpImageDisabled = 1,
    xtpImageHot = 2,
    xtpImageChecked = 3, // the pressed image
};

// An icon or a 32-bit DIB section (an alpha image), owned unless shared.
class CXTPImageHandle
{
public:
    CXTPImageHandle();
    ~CXTPImageHandle();
    CXTPImageHandle(const CXTPImageHandle&) = delete;
    CXTPImageHandle& operator=(const CXTPImageHandle&) = delete;

    // Both take ownership; the bitmap is kept as a private 32-bit copy (the caller keeps its own).
    void SetIcon(HICON hIcon);
    void SetBitmap(HBITMAP hBitmap);
    // Copies of another holder's images, owned by this one.
    void CopyHandle(const CXTPImageHandle& other);
    // Another holder's images, not owned.
    void InitShared(const CXTPImageHandle& other);
    void Clear();

    BOOL IsEmpty() const { return m_hIcon == NULL && m_hBitmap == NULL; }
    BOOL IsAlpha() const { return m_hBitmap != NULL; }
    CSize GetExtent() const;
    HICON GetIcon() const { return m_hIcon; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    // The premultiplied copy that drawing with AlphaBlend needs, made once.
    HBITMAP PreMultiply();

    // With bExact and an icon group of that name, the group's entry of exactly the size; else the
    // icon image of that name (a 32-bit one as an alpha image, when alpha drawing is there).
    BOOL LoadIcon(HINSTANCE hInst, LPCTSTR lpszResourceName, int nWidth, int nHeight, BOOL bExact);

protected:
    HICON m_hIcon;
    HBITMAP m_hBitmap;
    HBITMAP m_hExtraBitmap;
    BOOL m_bOwns;
};

// One image of one command at one width.
class CXTPImageManagerIcon : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPImageManagerIcon)
public:
    CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight, CXTPImageManagerImageList* pImageList = NULL);
    ~CXTPImageManagerIcon() override;

    UINT GetID() const { return m_nID; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    CSize GetExtent() const { return CSize(m_nWidth, m_nHeight); }
    BOOL IsAlpha() const { return m_hIcon.IsAlpha(); }

    CXTPImageHandle& GetImage() { return m_hIcon; }
    CXTPImageHandle& GetFadedImage();
    CXTPImageHandle& GetShadowImage();
    CXTPImageHandle& GetHotImage() { return m_hHot.IsEmpty() ? m_hIcon : m_hHot; }
    CXTPImageHandle& GetPressedImage() { return m_hPressed.IsEmpty() ? GetHotImage() : m_hPressed; }
    BOOL HasDisabledImage() const { return !m_hDisabled.IsEmpty() || !m_hDisabledAuto.IsEmpty(); }
    // The given disabled image, else the grey one built on demand.
    CXTPImageHandle& GetDisabledImage(BOOL bCreate = TRUE);

    // Replaces the normal image (a copy of the holder), drops the derived ones and takes its size.
    void SetImage(const CXTPImageHandle& hImage);
    void SetDisabledImage(const CXTPImageHandle& hImage);
    void SetHotImage(const CXTPImageHandle& hImage);
    void SetPressedImage(const CXTPImageHandle& hImage);
    // Each channel b x (1 - t) + a x t of the pixel's brightness t; with either colour -1, grey
    // 255 x sqrt(t). Nothing when a built disabled image exists.
    void CreateDisabledImage(COLORREF clrA = COLORREF(-1), COLORREF clrB = COLORREF(-1));
    void Refresh();

    // A width of 0 means the icon's width, a height of 0 keeps the aspect.
    void Draw(CDC* pDC, CPoint pt, CXTPImageHandle& hImage, CSize sz = CSize(0, 0));
    void Draw(CDC* pDC, CPoint pt) { Draw(pDC, pt, m_hIcon); }

    // Height, schema, then the normal, disabled, hot and pressed images as bitmap pairs.
    void Serialize(CArchive& ar) override;

    CXTPImageManager* m_pImageManager;

protected:
    void DropDerived();

    UINT m_nID;
    int m_nWidth;
    int m_nHeight;
    CXTPImageHandle m_hIcon;
    CXTPImageHandle m_hFaded;
    CXTPImageHandle m_hShadow;
    CXTPImageHandle m_hHot;
    CXTPImageHandle m_hPressed;
    CXTPImageHandle m_hDisabled;
    CXTPImageHandle m_hDisabledAuto;
    WORD m_wReserved;
    CXTPImageManagerImageList* m_pImageList;

    friend class CXTPImageManager;
    friend class CXTPImageManagerIconSet;
};

typedef CMap<int, int, CXTPImageManagerIcon*, CXTPImageManagerIcon*> CXTPImageManagerIconMap;

// All widths of one command's image.
class CXTPImageManagerIconSet : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPImageManagerIconSet)
public:
    CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager);
    ~CXTPImageManagerIconSet() override;

    UINT GetID() const { return m_nID; }
    CXTPImageManagerIconMap* GetIcons() { return &m_mapIcons; }
    // The icon of that width, made when missing.
    CXTPImageManagerIcon* CreateIcon(int nWidth, int nHeight);
    // The icon of that width; else a scaled copy of the nearest one (kept), or the nearest alpha one.
    CXTPImageManagerIcon* GetIcon(int nWidth, BOOL bScaled = TRUE);
    void Refresh();
    void RemoveAll();

protected:
    UINT m_nID;
    CXTPImageManager* m_pImageManager;
    CXTPImageManagerIconMap m_mapIcons;

    friend class CXTPImageManager;
};

// An image list that serves a run of command ids from its first one.
class CXTPImageManagerImageList
{
public:
    CXTPImageManagerImageList() = default;
    ~CXTPImageManagerImageList();
    CXTPImageManagerImageList(const CXTPImageManagerImageList&) = delete;
    CXTPImageManagerImageList& operator=(const CXTPImageManagerImageList&) = delete;

    BOOL Lookup(UINT nCommand) const;
    CXTPImageManagerIcon* GetIcon(UINT nCommand);
    void Draw(CDC* pDC, CPoint pt, UINT nCommand, CSize sz);
    void Refresh() {}

    HIMAGELIST m_hImageList = NULL;
    BOOL m_bDestroyImageList = FALSE;
    UINT m_nBaseCommand = 0;
    CMap<UINT, UINT, CXTPImageManagerIcon*, CXTPImageManagerIcon*> m_mapIcons;
};

class CXTPImageManager : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPImageManager)
public:
    CXTPImageManager();
    ~CXTPImageManager() override;

    BOOL SetCommandImage(const CXTPImageHandle& hImage, UINT nCommand, int nWidth = 0, int nHeight = 0,
                         int imageState = xtpImageNormal);
    BOOL SetCommandIcon(const CXTPImageHandle& hImage, UINT nCommand);
    // Without ids, every image for its index. With fewer images than ids, an id of 0 is a separator.
    BOOL AddIconsFromImageList(HIMAGELIST hImageList, const UINT* pCommands, int nCount, int nWidth = 0,
                               int nHeight = 0, int imageState = xtpImageNormal);
    BOOL AddIconsFromBitmapHandle(HBITMAP hBitmap, const UINT* pCommands, int nCount, int nWidth, int nHeight,
                                  int imageState = xtpImageNormal, BOOL bAlpha = FALSE);
    BOOL AddIconsFromBitmap(HINSTANCE hInst, UINT nIDResourceBitmap, const UINT* pCommands, int nCount,
                            int nWidth, int nHeight, int imageState = xtpImageNormal);
    BOOL AddIconsFromToolBar(HINSTANCE hInst, UINT nIDResourceToolBar, UINT nIDResourceBitmap = 0,
                             int imageState = xtpImageNormal);
    // Serves ids nBaseCommand onwards from the list's images.
    void SetImageList(HIMAGELIST hImageList, UINT nBaseCommand, BOOL bDestroyImageList);

    CXTPImageManagerIconSet* LookupIconSet(UINT nCommand) const;
    CXTPImageManagerIcon* GetImage(UINT nCommand, int nWidth = 16);
    void RemoveIcon(UINT nCommand);
    void RemoveAll();
    void RefreshAll();
    const CMap<UINT, UINT, CXTPImageManagerIconSet*, CXTPImageManagerIconSet*>& GetImages() const
    {
        return m_mapImages;
    }

    COLORREF SetMaskColor(COLORREF clrMask)
    {
        const COLORREF clrOld = m_clrMask;
        m_clrMask = clrMask;
        return clrOld;
    }
    COLORREF GetMaskColor() const { return m_clrMask; }
    void DrawRightToLeft(BOOL bRightToLeft) { m_bDrawReverted = bRightToLeft; }
    BOOL IsDrawRightToLeft() const { return m_bDrawReverted; }

    // Whether msimg32's AlphaBlend was found.
    BOOL IsAlphaSupported() const { return m_pfnAlphaBlend != NULL; }
    // Common controls 6 or later, through the toolkit's version helper.
    static BOOL AFXAPI IsAlphaImageListSupported();
    // Nothing without AlphaBlend; a source size of 0 by 0 means the destination size.
    void DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, CPoint ptDest, CSize szDest, CPoint ptSrc = CPoint(0, 0),
                         CSize szSrc = CSize(0, 0));

    void ExchangeIcons(UINT nCommand, CXTPPropExchange* pPX);
    void DoPropExchange(CXTPPropExchange* pPX);
    void Serialize(CArchive& ar) override;

    // The command's images under "Toolkit ToolBar Image"; the owner window defaults to the main one.
    BOOL CopyToClipboard(UINT nCommand, HWND hWndOwner = NULL);
    // The next custom id with the pasted images, or 0.
    UINT PasteFromClipboard(COleDataObject* pData);
    UINT GetLastCustomID() const { return m_nCustomID; }

    static CLIPFORMAT AFXAPI GetClipboardFormat();
    static CLIPFORMAT AFXAPI GetAlphaClipboardFormat();

protected:
    CXTPImageManagerIconSet* GetOrCreateIconSet(UINT nCommand);
    void ExchangeIconsArchive(UINT nCommand, CArchive& ar);

    COLORREF m_clrMask;
    CMap<UINT, UINT, CXTPImageManagerIconSet*, CXTPImageManagerIconSet*> m_mapImages;
    CArray<CXTPImageManagerImageList*, CXTPImageManagerImageList*> m_arrImageList;
    UINT m_nCustomID;
    HMODULE m_hMsImg32;
    typedef BOOL(WINAPI* PFN_ALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    PFN_ALPHABLEND m_pfnAlphaBlend;
    BOOL m_bDrawReverted;
};

// The process-wide image manager.
CXTPImageManager* AFXAPI XTPImageManager();

// Whether a ".bmp" file's header says 32 bits per pixel.
BOOL AFXAPI IsAlphaBitmapFile(LPCTSTR lpszFileName);
// A 32-bit DIB section for a 32-bit bitmap resource that holds all its pixels; else LoadBitmap.
HBITMAP AFXAPI LoadAlphaOrPlainBitmap(HINSTANCE hInst, LPCTSTR lpszResourceName, BOOL* pbAlpha = NULL);
// The non-separator command ids of a toolbar resource (type 241) and its image size.
BOOL AFXAPI ReadToolBarResource(HINSTANCE hInst, UINT nIDResource, CArray<UINT, UINT>& arrCommands,
                                CSize& szImage);
// A private top-down 32-bit copy of a bitmap; null on failure.
HBITMAP AFXAPI CopyAlphaBitmap(HBITMAP hBitmap);
// Cuts a 32-bit bitmap into nCount pieces side by side; FALSE (nothing made) on failure.
BOOL AFXAPI SplitAlphaBitmap(HBITMAP hBitmap, int nCount, HBITMAP* pBitmaps);
HICON AFXAPI ScaleIcon(HICON hIcon, CSize szIcon, int nNewWidth);
