// The drop shadows of open popup menus: two small top-most strips per shadowed window, one along
// its right edge and one along its bottom edge, that follow their owner bar (hidden, shown and
// destroyed with it). Where the system offers per-pixel layered windows a strip is a 4-pixel alpha
// ramp in the theme's shadow colour, elsewhere a solid 2-pixel strip in the shadow system colour.
#pragma once

#include <afxwin.h>

#include "hook_managers.h"

#include <list>
#include <vector>

class CXTPCommandBar;
class CXTPControl;

// The pixels of a layered strip of cx by cy, top row first, each 0xAARRGGBB: the ramp darkens
// towards the owner and fades out at the corners. k is 1 for flat themes and 2 otherwise.
std::vector<DWORD> AFXAPI XTPShadowRampImage(int cx, int cy, BOOL bBottom, COLORREF clrShadow, int k);
// One ramp pixel: each channel of the colour times f (truncated), alpha a.
DWORD AFXAPI XTPShadowPixel(COLORREF clrShadow, double f, int a);

class CXTPShadowWnd : public CWnd, public CXTPHookSink
{
public:
    CXTPShadowWnd(BOOL bBottom, CXTPCommandBar* pOwner);
    ~CXTPShadowWnd() override;
    BOOL IsBottom() const { return m_bBottom; }
    CXTPCommandBar* GetOwnerBar() const { return m_pOwner; }
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void UpdateLayeredImage(int cx, int cy);

    BOOL m_bBottom;
    BOOL m_bFlat = FALSE;
    CXTPCommandBar* m_pOwner;
    HWND m_hwndOwner = NULL;

    friend class CXTPShadowManager;
};

class CXTPShadowManager
{
public:
    static CXTPShadowManager* AFXAPI GetInstance();
    ~CXTPShadowManager();

    // Shadows of an open popup bar, kept off the exclusion rectangle (screen coordinates).
    void CreatePopupShadow(CXTPCommandBar* pPopupBar, LPCRECT lpRectExclude);
    // Shadows under the control whose popup is open (the menu-bar item), owned by that popup.
    void CreateControlShadow(CXTPControl* pControl);
    void RemoveShadows(CXTPCommandBar* pOwner);
    // Every live strip, in creation order.
    const std::list<CXTPShadowWnd*>& GetShadows() const { return m_shadows; }
    BOOL IsLayered() const { return m_pfnUpdateLayeredWindow != NULL; }
    // The strip's thickness: 4 with layered windows, else 2.
    int GetShadowSize() const { return IsLayered() ? 4 : 2; }

    typedef BOOL(WINAPI* PFN_UPDATELAYEREDWINDOW)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                  BLENDFUNCTION*, DWORD);
    PFN_UPDATELAYEREDWINDOW m_pfnUpdateLayeredWindow = NULL;

private:
    CXTPShadowManager();
    void CreateShadow(BOOL bBottom, const CRect& rcOwner, LPCRECT lpRectExclude, CXTPCommandBar* pOwner);
    void DestroyShadow(CXTPShadowWnd* pShadow);
    static void CutOut(CXTPShadowWnd* pShadow, HRGN hRegion, const CRect& rcCut);

    std::list<CXTPShadowWnd*> m_shadows;
    friend class CXTPShadowWnd;
};
