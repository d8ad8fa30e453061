// The application object of the toolkit tests and what several test files share.
#pragma once

#include <afxwin.h>

#include "ui_controls/test_surface.h"

#include <cstdint>
#include <string>
#include <vector>

class CToolkitTestApp : public CWinApp
{
public:
    CToolkitTestApp() : CWinApp(L"ToolkitFoundationTests") {}

    // Message boxes would stop the run; they are recorded and answered with m_nMessageBoxAnswer.
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    std::vector<std::wstring> m_messageBoxes;
    int m_nMessageBoxAnswer = IDYES;
    // Set: the framework's own message box shows (tests find it on the display and close it).
    bool m_bShowMessageBoxes = false;
};

extern CToolkitTestApp theApp;

// The shared 32-bit memory surface of the control tests, with a framework DC over it.
class PixelSurface : public TestSurface
{
public:
    PixelSurface(int width, int height, COLORREF fill) : TestSurface(width, height, fill)
    {
        m_dc.Attach(TestSurface::dc());
    }
    ~PixelSurface() { m_dc.Detach(); }

    CDC* dc() { return &m_dc; }

private:
    CDC m_dc;
};

// Whether every channel of the two colours differs by at most the tolerance.
bool ColorsNear(COLORREF a, COLORREF b, int tolerance);

// Text for test messages (ASCII; anything else as '?').
std::string Narrow(const wchar_t* text);

// A file beside the test program (the build folder).
std::wstring BuildFolderFile(const std::wstring& name);

// A 16 x 16 icon of one colour inside a border of another, nBorder pixels wide (0: no border).
HICON MakeSquareIcon(COLORREF clrInner, COLORREF clrBorder, int nBorder);
