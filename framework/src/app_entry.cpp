// The program's entry point belongs to the framework: a program defines its application object
// and links with -municode; the start-up code finds this wWinMain in the library.
#include <afxwin.h>

extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
