// What the paint-theme tests share: the GDI objects selected into a DC, to see that a paint operation
// restores what it selects (colours it may leave, as the solid fills do), and a message pump.
#pragma once

#include <afxwin.h>

struct GdiState
{
    explicit GdiState(CDC* pDC)
        : hPen(::GetCurrentObject(pDC->m_hDC, OBJ_PEN)), hBrush(::GetCurrentObject(pDC->m_hDC, OBJ_BRUSH)),
          hFont(::GetCurrentObject(pDC->m_hDC, OBJ_FONT)), hBitmap(::GetCurrentObject(pDC->m_hDC, OBJ_BITMAP))
    {}
    bool operator==(const GdiState& other) const
    {
        return hPen == other.hPen && hBrush == other.hBrush && hFont == other.hFont &&
               hBitmap == other.hBitmap;
    }
    HGDIOBJ hPen;
    HGDIOBJ hBrush;
    HGDIOBJ hFont;
    HGDIOBJ hBitmap;
};

inline void PumpMessages()
{
    MSG msg;
    for (int nRound = 0; nRound < 3; ++nRound) {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}
