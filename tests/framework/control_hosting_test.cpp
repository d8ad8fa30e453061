// ActiveX controls hosted as child windows, dispatch calls on them and on automation objects, form
// views and the web-browser view, on the test display. The controls are those of a small server
// DLL built with the tests (registered for the current user while they run) and the system's own
// WebBrowser and media player.
#include <afxdisp.h>
#include <afxhtml.h>
#include <afxole.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control_test_ids.h"
#include "ole_test_control.h"
#include "support/screenshot.h"
#include "test_app.h"

namespace {

const UINT kControlId = 185;

// Ends the run when a test hangs (a control that never returns, a loop that never ends).
class CSafetyTimer
{
public:
    explicit CSafetyTimer(DWORD dwMs) : m_dwMs(dwMs)
    {
        m_hStop = ::CreateEvent(NULL, TRUE, FALSE, NULL);
        m_hThread = ::CreateThread(NULL, 0, &CSafetyTimer::Watch, this, 0, NULL);
    }
    ~CSafetyTimer()
    {
        ::SetEvent(m_hStop);
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        ::CloseHandle(m_hStop);
    }

private:
    static DWORD WINAPI Watch(LPVOID lpParam)
    {
        CSafetyTimer* pThis = static_cast<CSafetyTimer*>(lpParam);
        if (::WaitForSingleObject(pThis->m_hStop, pThis->m_dwMs) == WAIT_TIMEOUT) {
            ::fputs("safety timer: the test hung\n", stderr);
            ::fflush(stderr);
            ::ExitProcess(3);
        }
        return 0;
    }
    DWORD m_dwMs;
    HANDLE m_hStop;
    HANDLE m_hThread;
};

// An export of the test server as the function type it has.
template <class F> F ExportOf(HMODULE hModule, const char* pszName)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
}

// The test server: loaded, registered for the current user, and removed after the run.
struct TestServer
{
    HMODULE hModule = NULL;
    TestControlRecord* pRecord = NULL;

    bool Register()
    {
        hModule = ::LoadLibraryW(L"framework_test_control.dll");
        if (hModule == NULL)
            return false;
        auto pfnRegister = ExportOf<HRESULT(WINAPI*)()>(hModule, "DllRegisterServer");
        auto pfnRecord = ExportOf<PFN_TEST_CONTROL_RECORD>(hModule, "GetTestControlRecord");
        if (pfnRegister == NULL || pfnRecord == NULL || FAILED(pfnRegister()))
            return false;
        pRecord = pfnRecord();
        return true;
    }
    void Unregister()
    {
        if (hModule == NULL)
            return;
        auto pfnUnregister = ExportOf<HRESULT(WINAPI*)()>(hModule, "DllUnregisterServer");
        if (pfnUnregister != NULL)
            pfnUnregister();
        ::CoFreeUnusedLibraries();
        ::FreeLibrary(hModule);
        hModule = NULL;
    }
};

TestServer g_server;

// A view that holds controls and draws a plain background.
class CHostView : public CView
{
    DECLARE_DYNCREATE(CHostView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, RGB(235, 242, 255));
        pDC->TextOut(8, 8, CString(L"host view"));
    }
    CWnd m_wndControl;
};
IMPLEMENT_DYNCREATE(CHostView, CView)

// A frame holding one view of the given class over its client area, shown without activation.
template <class TView> TView* MakeFrameWithView(CFrameWnd*& pFrame, const CRect& rect, CRuntimeClass* pClass)
{
    pFrame = new CFrameWnd;
    if (!pFrame->Create(NULL, L"Control host", WS_OVERLAPPEDWINDOW, rect))
        return NULL;
    CCreateContext context;
    context.m_pNewViewClass = pClass;
    TView* pView = static_cast<TView*>(pFrame->CreateView(&context, AFX_IDW_PANE_FIRST));
    pFrame->RecalcLayout();
    ShowWithoutActivating(*pFrame);
    pFrame->UpdateWindow();
    return pView;
}

CRect RectInParent(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(NULL, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CString ClassOf(HWND hWnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    return CString(name);
}

// The display shows what the windows painted (the screen is read back for screenshots, and the
// windows of the previous test may still be going).
void SettleDisplay()
{
    for (int i = 0; i < 10; ++i) {
        DrainMessages();
        ::Sleep(30);
    }
}

SCODE ScodeOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (COleException* e) {
        const SCODE sc = e->m_sc;
        e->Delete();
        return sc;
    }
    return S_OK;
}

} // namespace

// Runs before any test enables the container.
TEST(ControlContainerOff, CreateControlFailsWithNoWindowAndNoLeak)
{
    CSafetyTimer safety(30000);
    ASSERT_TRUE(AfxOleInit());
    ASSERT_TRUE(g_server.Register());
    ASSERT_FALSE(AfxIsControlContainerEnabled());
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), L"parent", WS_OVERLAPPEDWINDOW,
                                CRect(0, 0, 200, 200), NULL, 0));
    CWnd control;
    EXPECT_FALSE(control.CreateControl(CLSID_TestControl, L"aa", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50),
                                       &parent, kControlId));
    EXPECT_EQ(control.m_hWnd, (HWND)NULL);
    EXPECT_EQ(::GetWindow(parent.m_hWnd, GW_CHILD), (HWND)NULL);
    EXPECT_EQ(g_server.pRecord->nObjects, 0);
    parent.DestroyWindow();
}

class ControlHostingTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        AfxOleInit();
        if (g_server.hModule == NULL)
            g_server.Register();
        AfxEnableControlContainer();
    }
    void SetUp() override
    {
        ASSERT_NE(g_server.pRecord, nullptr);
        m_pRecord = g_server.pRecord;
        const LONG nObjects = m_pRecord->nObjects;
        *m_pRecord = {};
        m_pRecord->nObjects = nObjects;
    }
    void TearDown() override
    {
        if (m_pFrame != NULL && ::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        DrainMessages();
        EXPECT_EQ(m_pRecord->nObjects, 0) << "a control was not released";
    }
    CHostView* MakeHost(const CRect& rect = CRect(0, 0, 480, 360))
    {
        return MakeFrameWithView<CHostView>(m_pFrame, rect, RUNTIME_CLASS(CHostView));
    }
    // A host view whose m_wndControl is the test control as the media preview places its player.
    CHostView* MakeHostWithControl(const CRect& rect = CRect(40, 200, 100, 200))
    {
        CHostView* pView = MakeHost();
        if (pView == NULL ||
            !pView->m_wndControl.CreateControl(CLSID_TestControl, L"aa", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                               rect, pView, kControlId))
            return NULL;
        return pView;
    }

    CSafetyTimer m_safety{60000};
    TestControlRecord* m_pRecord = NULL;
    CFrameWnd* m_pFrame = NULL;
};

TEST_F(ControlHostingTest, TheControlsOwnWindowIsTheChildAndMovesThroughItsSite)
{
    CHostView* pView = MakeHostWithControl();
    ASSERT_NE(pView, nullptr);
    CWnd& control = pView->m_wndControl;

    // The control's own window, under the view, with the id, style and rectangle asked for.
    HWND hWnd = ::GetDlgItem(pView->m_hWnd, kControlId);
    ASSERT_NE(hWnd, (HWND)NULL);
    EXPECT_EQ(control.m_hWnd, hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &control);
    EXPECT_EQ(ClassOf(hWnd), L"FrameworkTestControlWindow");
    EXPECT_EQ(RectInParent(hWnd), CRect(40, 200, 100, 200));
    const LONG_PTR style = ::GetWindowLongPtr(hWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(control.GetControlUnknown() != NULL, true);

    // Set up as a control expects: site first, new state, ambient properties of a running program.
    EXPECT_TRUE(m_pRecord->bClientSiteSet);
    EXPECT_TRUE(m_pRecord->bInitNew);
    EXPECT_TRUE(m_pRecord->bAmbientUserMode);
    EXPECT_FALSE(m_pRecord->bAmbientUIDead);
    EXPECT_TRUE(m_pRecord->bAmbientFont);
    EXPECT_EQ(static_cast<COLORREF>(m_pRecord->nAmbientBackColor), ::GetSysColor(COLOR_BTNFACE));

    // Moving the window tells the control, which moves itself.
    control.MoveWindow(20, 40, 300, 120);
    EXPECT_EQ(CRect(m_pRecord->rcLastObjectRects), CRect(20, 40, 320, 160));
    EXPECT_EQ(RectInParent(hWnd), CRect(20, 40, 320, 160));
    control.SetWindowPos(NULL, 30, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(RectInParent(hWnd), CRect(30, 50, 330, 170));
    const CString shown = L"hosted control";
    control.SetProperty(TEST_DISPID_TEXT, VT_BSTR, shown);
    pView->Invalidate();
    SettleDisplay();
    test_support::WriteFramedWindowScreenshot(m_pFrame->m_hWnd, L"control_hosted_in_view");

    // The view's end deactivates the control, closes it unsaved, clears its site and releases it.
    pView->DestroyWindow();
    EXPECT_EQ(m_pRecord->nObjects, 0);
    EXPECT_EQ(m_pRecord->nClosesNoSave, 1);
    EXPECT_GE(m_pRecord->nInPlaceDeactivates, 1);
    EXPECT_TRUE(m_pRecord->bClientSiteCleared);
}

TEST_F(ControlHostingTest, DispatchCallsReachTheControlAndConvertTheirResults)
{
    CHostView* pView = MakeHostWithControl();
    ASSERT_NE(pView, nullptr);
    CWnd& control = pView->m_wndControl;

    BOOL bOpened = FALSE;
    const CString path = L"C:\\Recovered files\\report.pdf";
    control.InvokeHelper(TEST_DISPID_OPEN, DISPATCH_METHOD, VT_BOOL, &bOpened, VTS_BSTR, path);
    EXPECT_TRUE(bOpened);
    EXPECT_STREQ(m_pRecord->szLastPath, path.GetString());

    // Properties round-trip, and results convert to the type asked for.
    control.SetProperty(TEST_DISPID_TEXT, VT_BSTR, L"first");
    CString text;
    control.GetProperty(TEST_DISPID_TEXT, VT_BSTR, &text);
    EXPECT_EQ(text, L"first");
    control.SetProperty(TEST_DISPID_NUMBER, VT_I4, 0x80000005UL); // a colour's bit pattern
    long nColour = 0;
    control.GetProperty(TEST_DISPID_NUMBER, VT_I4, &nColour);
    EXPECT_EQ(static_cast<unsigned long>(nColour), 0x80000005UL);
    control.SetProperty(TEST_DISPID_NUMBER, VT_I4, 42);
    long nNumber = 0;
    control.GetProperty(TEST_DISPID_NUMBER, VT_I4, &nNumber);
    EXPECT_EQ(nNumber, 42);
    control.GetProperty(TEST_DISPID_NUMBER, VT_BSTR, &text);
    EXPECT_EQ(text, L"42");
    short nShort = 0;
    control.GetProperty(TEST_DISPID_NUMBER, VT_I2, &nShort);
    EXPECT_EQ(nShort, 42);
    // A text that is no number: the conversion's failure, not a wrong value.
    control.SetProperty(TEST_DISPID_TEXT, VT_BSTR, L"not a number");
    EXPECT_EQ(ScodeOf([&] { control.GetProperty(TEST_DISPID_TEXT, VT_I4, &nNumber); }), DISP_E_TYPEMISMATCH);

    // Arguments arrive right to left, each as its parameter's type; VTS_PVARIANT by reference.
    COleVariant byRef(5L);
    COleVariant byValue(L"variant text");
    control.InvokeHelper(TEST_DISPID_ARGUMENTS, DISPATCH_METHOD, VT_EMPTY, NULL,
                         VTS_I2 VTS_R8 VTS_BOOL VTS_BSTR VTS_VARIANT VTS_PVARIANT, 7, 2.5, TRUE, L"text",
                         static_cast<const VARIANT*>(&byValue), static_cast<VARIANT*>(&byRef));
    ASSERT_EQ(m_pRecord->nArguments, 6);
    const VARTYPE expectedTypes[] = {VT_I2, VT_R8, VT_BOOL, VT_BSTR, VT_BSTR, VT_VARIANT | VT_BYREF};
    const double expectedValues[] = {7, 2.5, -1 /* VARIANT_TRUE */, -1, -1, 5};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_pRecord->argTypes[i], expectedTypes[i]);
        EXPECT_EQ(m_pRecord->argValues[i], expectedValues[i]);
    }
    EXPECT_STREQ(m_pRecord->szArgText, L"text");
    EXPECT_EQ(V_VT(&byRef), VT_I4);
    EXPECT_EQ(V_I4(&byRef), 77);
    EXPECT_EQ(V_VT(&byValue), VT_BSTR); // still the caller's own string
    EXPECT_STREQ(V_BSTR(&byValue), L"variant text");

    // A dispatch result comes with its own reference.
    LPDISPATCH pSelf = NULL;
    control.GetProperty(TEST_DISPID_SELF, VT_DISPATCH, &pSelf);
    ASSERT_NE(pSelf, nullptr);
    COleDispatchDriver self(pSelf);
    self.InvokeHelper(TEST_DISPID_OPEN, DISPATCH_METHOD, VT_BOOL, &bOpened, VTS_BSTR, L"through the driver");
    EXPECT_STREQ(m_pRecord->szLastPath, L"through the driver");
    self.ReleaseDispatch();

    // The control's exception arrives with its details.
    bool bCaught = false;
    try {
        control.InvokeHelper(TEST_DISPID_RAISE, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE);
    } catch (COleDispatchException* e) {
        bCaught = true;
        EXPECT_EQ(e->m_strDescription, TEST_RAISE_DESCRIPTION);
        EXPECT_EQ(e->m_strSource, TEST_RAISE_SOURCE);
        EXPECT_EQ(e->m_scError, static_cast<SCODE>(TEST_RAISE_SCODE));
        EXPECT_EQ(e->m_wCode, 0);
        wchar_t message[128] = {};
        EXPECT_TRUE(e->GetErrorMessage(message, 128));
        EXPECT_STREQ(message, TEST_RAISE_DESCRIPTION);
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
    // An unknown member is the system's error, as a COleException.
    EXPECT_EQ(ScodeOf([&] { control.InvokeHelper(999, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE); }),
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(ControlHostingTest, AParameterStringThatDoesNotFitTheArgumentsThrowsBeforeTheCall)
{
    CHostView* pView = MakeHostWithControl(CRect(0, 0, 80, 40));
    ASSERT_NE(pView, nullptr);
    CWnd& control = pView->m_wndControl;
    BOOL b = FALSE;
    const COleVariant constant(1L);
    const struct
    {
        const char* name;
        std::function<void()> call;
        SCODE sc;
    } cases[] = {
        {"one argument short",
         [&] { control.InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &b, VTS_BSTR VTS_I4, L"x"); },
         DISP_E_BADPARAMCOUNT},
        {"one argument over",
         [&] { control.InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &b, VTS_NONE, L"x"); },
         DISP_E_BADPARAMCOUNT},
        {"no parameter string", [&] { control.InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &b, NULL, 5); },
         DISP_E_BADPARAMCOUNT},
        {"a number for a string",
         [&] { control.InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &b, VTS_BSTR, 5); }, DISP_E_TYPEMISMATCH},
        {"a string for a number",
         [&] { control.InvokeHelper(10, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_I4, L"5"); },
         DISP_E_TYPEMISMATCH},
        {"a double for a BOOL",
         [&] { control.InvokeHelper(10, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_BOOL, 1.0); },
         DISP_E_TYPEMISMATCH},
        {"a constant variant by reference",
         [&] {
             control.InvokeHelper(10, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_PVARIANT,
                                  static_cast<const VARIANT*>(&constant));
         },
         DISP_E_TYPEMISMATCH},
        {"an unknown code", [&] { control.InvokeHelper(10, DISPATCH_METHOD, VT_EMPTY, NULL, "\x7F", 5); },
         DISP_E_BADVARTYPE},
        {"a property put of the wrong kind", [&] { control.SetProperty(TEST_DISPID_TEXT, VT_BSTR, 12); },
         DISP_E_TYPEMISMATCH},
        {"a number too large for a short", [&] { control.SetProperty(TEST_DISPID_NUMBER, VT_I2, 70000); },
         DISP_E_OVERFLOW},
        {"a number too large for a long", [&] { control.SetProperty(TEST_DISPID_NUMBER, VT_I4, 1LL << 40); },
         DISP_E_OVERFLOW},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScodeOf(c.call), c.sc);
    }
    EXPECT_EQ(m_pRecord->nInvokes, 0);
}

TEST_F(ControlHostingTest, DispatchCallsWithoutAControlOrWithoutIDispatchThrowNoInterface)
{
    CHostView* pView = MakeHost();
    ASSERT_NE(pView, nullptr);
    BOOL b = FALSE;
    EXPECT_EQ(ScodeOf([&] { pView->InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &b, VTS_BSTR, L"x"); }),
              E_NOINTERFACE);
    CWnd& control = pView->m_wndControl;
    ASSERT_TRUE(control.CreateControl(CLSID_TestNoDispatch, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 40),
                                      pView, kControlId));
    EXPECT_NE(control.GetControlUnknown(), nullptr);
    EXPECT_EQ(ScodeOf([&] { control.InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &b, VTS_BSTR, L"x"); }),
              E_NOINTERFACE);
    long n = 0;
    EXPECT_EQ(ScodeOf([&] { control.GetProperty(10, VT_I4, &n); }), E_NOINTERFACE);
}

TEST_F(ControlHostingTest, ControlsThatCannotBeHostedLeaveNoWindowAndNoObject)
{
    CHostView* pView = MakeHost();
    ASSERT_NE(pView, nullptr);
    CLSID unregistered = CLSID_TestControl;
    unregistered.Data4[7] = 0x7F;
    const struct
    {
        const char* name;
        CLSID clsid;
    } cases[] = {
        {"class not registered", unregistered},
        {"control without a window", CLSID_TestWindowless},
        {"licensed control without its key", CLSID_TestLicensed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CWnd control;
        EXPECT_FALSE(control.CreateControl(c.clsid, L"aa", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 40), pView,
                                           kControlId));
        EXPECT_EQ(control.m_hWnd, (HWND)NULL);
        EXPECT_EQ(control.GetControlUnknown(), nullptr);
        EXPECT_EQ(::GetDlgItem(pView->m_hWnd, kControlId), (HWND)NULL);
        EXPECT_EQ(m_pRecord->nObjects, 0);
    }
    CWnd byName;
    EXPECT_FALSE(
        byName.CreateControl(L"FrameworkTest.NoSuchControl", L"", WS_CHILD, CRect(0, 0, 8, 8), pView, 1));
    // A temporary parent object could not keep the container.
    CWnd onTemporary;
    HWND hWndPlain = ::CreateWindowW(L"STATIC", L"", WS_CHILD, 0, 0, 50, 50, pView->m_hWnd, NULL, NULL, NULL);
    EXPECT_FALSE(onTemporary.CreateControl(CLSID_TestControl, L"", WS_CHILD, CRect(0, 0, 8, 8),
                                           CWnd::FromHandle(hWndPlain), 1));
    ::DestroyWindow(hWndPlain);

    // With its key the licensed control is made; a control without a stream takes a storage; a
    // ProgID names a class.
    CWnd licensed, storageOnly, named;
    BSTR key = ::SysAllocString(TEST_CONTROL_LICENCE_KEY);
    EXPECT_TRUE(licensed.CreateControl(CLSID_TestLicensed, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 40),
                                       pView, 1, NULL, FALSE, key));
    ::SysFreeString(key);
    EXPECT_TRUE(storageOnly.CreateControl(CLSID_TestStorageOnly, L"", WS_CHILD | WS_VISIBLE,
                                          CRect(0, 50, 80, 90), pView, 2));
    EXPECT_TRUE(m_pRecord->bStorageInitNew);
    EXPECT_TRUE(named.CreateControl(TEST_CONTROL_PROGID, L"", WS_CHILD, CRect(0, 100, 80, 140), pView, 3));
    EXPECT_FALSE(::IsWindowVisible(named.m_hWnd)); // no WS_VISIBLE asked for
    EXPECT_EQ(m_pRecord->nObjects, 3);
    // Destroying one control's window ends that control alone.
    named.DestroyWindow();
    EXPECT_EQ(named.m_hWnd, (HWND)NULL);
    EXPECT_EQ(m_pRecord->nObjects, 2);
    // The others end with their parent, before their wrappers go.
    pView->DestroyWindow();
    EXPECT_EQ(licensed.m_hWnd, (HWND)NULL);
    EXPECT_EQ(storageOnly.m_hWnd, (HWND)NULL);
}

TEST_F(ControlHostingTest, KeyboardMessagesGoToTheControlsTranslateAcceleratorFirst)
{
    CHostView* pView = MakeHostWithControl(CRect(10, 10, 110, 60));
    ASSERT_NE(pView, nullptr);
    CWnd& control = pView->m_wndControl;
    DrainMessages();
    // The accelerator key is taken by the control; another key goes on to its window.
    ::PostMessage(control.m_hWnd, WM_KEYDOWN, TEST_CONTROL_ACCELERATOR, 0);
    ::PostMessage(control.m_hWnd, WM_KEYDOWN, 'A', 0);
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT)
        AfxPumpMessage();
    EXPECT_EQ(m_pRecord->nAccelerators, 2);
    EXPECT_EQ(m_pRecord->nWindowKeyDowns, 1);
}

TEST_F(ControlHostingTest, TheDispatchDriverCreatesAttachesAndReleases)
{
    COleDispatchDriver driver;
    COleException error;
    ASSERT_TRUE(driver.CreateDispatch(CLSID_TestControl, &error));
    EXPECT_TRUE(driver.m_bAutoRelease);
    BOOL bOpened = FALSE;
    driver.InvokeHelper(TEST_DISPID_OPEN, DISPATCH_METHOD, VT_BOOL, &bOpened, VTS_BSTR, L"by class id");
    EXPECT_TRUE(bOpened);
    driver.SetProperty(TEST_DISPID_NUMBER, VT_I4, 9);
    long n = 0;
    driver.GetProperty(TEST_DISPID_NUMBER, VT_I4, &n);
    EXPECT_EQ(n, 9);

    // A copy holds its own reference; detaching hands the reference over.
    {
        COleDispatchDriver copy(driver);
        EXPECT_EQ(copy.m_lpDispatch, driver.m_lpDispatch);
    }
    EXPECT_EQ(m_pRecord->nObjects, 1);
    LPDISPATCH pDispatch = driver.DetachDispatch();
    EXPECT_EQ(driver.m_lpDispatch, nullptr);
    {
        COleDispatchDriver borrowed;
        borrowed.AttachDispatch(pDispatch, FALSE); // not ours to release
    }
    EXPECT_EQ(m_pRecord->nObjects, 1);
    driver.AttachDispatch(pDispatch);
    driver.ReleaseDispatch();
    EXPECT_EQ(m_pRecord->nObjects, 0);
    EXPECT_EQ(ScodeOf([&] { driver.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE); }),
              E_NOINTERFACE);

    COleDispatchDriver byName;
    ASSERT_TRUE(byName.CreateDispatch(TEST_CONTROL_PROGID));
    byName.InvokeHelper(TEST_DISPID_OPEN, DISPATCH_METHOD, VT_BOOL, &bOpened, VTS_BSTR, L"by name");
    EXPECT_STREQ(m_pRecord->szLastPath, L"by name");
    byName.ReleaseDispatch();

    // No Office here: the ProgID is unknown, and the reason is in the exception record.
    COleDispatchDriver word;
    COleException wordError;
    EXPECT_FALSE(word.CreateDispatch(L"Word.Application", &wordError));
    EXPECT_EQ(wordError.m_sc, static_cast<SCODE>(0x800401F3));
    EXPECT_EQ(word.m_lpDispatch, nullptr);
}

// Form views.

namespace {

class CTestForm : public CFormView
{
    DECLARE_DYNCREATE(CTestForm)
public:
    CTestForm() : CFormView(IDD_TEST_FORM) {}
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_FORM_NAME, m_strName); }
    CString m_strName = L"initial";
    int m_nApplied = 0;

protected:
    afx_msg void OnApply()
    {
        ++m_nApplied;
        UpdateData(TRUE);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestForm, CFormView)
// clang-format off
BEGIN_MESSAGE_MAP(CTestForm, CFormView)
    ON_BN_CLICKED(IDC_FORM_APPLY, OnApply)
END_MESSAGE_MAP()
// clang-format on

} // namespace

TEST_F(ControlHostingTest, AFormViewIsItsTemplateAsAChildWithDialogDataExchange)
{
    CTestForm* pForm =
        MakeFrameWithView<CTestForm>(m_pFrame, CRect(0, 0, 420, 240), RUNTIME_CLASS(CTestForm));
    ASSERT_NE(pForm, nullptr);
    EXPECT_EQ(pForm->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    const LONG_PTR style = ::GetWindowLongPtr(pForm->m_hWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_CAPTION);
    // It fills the frame's client area.
    CRect client, form;
    m_pFrame->GetClientRect(&client);
    form = RectInParent(pForm->m_hWnd);
    EXPECT_EQ(form, client);

    pForm->OnInitialUpdate();
    CWnd* pEdit = pForm->GetDlgItem(IDC_FORM_NAME);
    ASSERT_NE(pEdit, nullptr);
    CString text;
    pEdit->GetWindowText(text);
    EXPECT_EQ(text, L"initial");
    // Read from the frame's own surface: the screen itself may not show the last child painted yet.
    SettleDisplay();
    test_support::WriteFramedWindowScreenshot(m_pFrame->m_hWnd, L"form_view");
    // A click on the button reaches the view's map, which reads the edit back.
    pEdit->SetWindowText(L"typed by the user");
    pForm->GetDlgItem(IDC_FORM_APPLY)->SendMessage(BM_CLICK);
    EXPECT_EQ(pForm->m_nApplied, 1);
    EXPECT_EQ(pForm->m_strName, L"typed by the user");
    EXPECT_TRUE(pForm->GetDlgItem(IDC_FORM_APPLY)->IsWindowVisible());
}

// The web-browser view.

TEST_F(ControlHostingTest, TheHtmlViewKeepsTheBrowserOverItsClientAreaAndNavigates)
{
    CHtmlView* pView =
        MakeFrameWithView<CHtmlView>(m_pFrame, CRect(0, 0, 520, 380), RUNTIME_CLASS(CHtmlView));
    ASSERT_NE(pView, nullptr);
    ASSERT_NE(pView->m_pBrowserApp, nullptr);
    HWND hBrowser = pView->m_wndBrowser.m_hWnd;
    ASSERT_NE(hBrowser, (HWND)NULL);
    EXPECT_EQ(::GetParent(hBrowser), pView->m_hWnd);

    for (const CSize& size : {CSize(520, 380), CSize(640, 300), CSize(300, 500)}) {
        SCOPED_TRACE(size.cx);
        m_pFrame->SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_pFrame->RecalcLayout();
        CRect client;
        pView->GetClientRect(&client);
        EXPECT_EQ(RectInParent(hBrowser), client);
    }

    // A local page: the call returns (without the HTML engine the page stays blank).
    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    const std::wstring page = std::wstring(szTemp) + L"framework_html_view_test.htm";
    HANDLE hFile = ::CreateFileW(page.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    const char html[] = "<html><body><h1>Preview</h1></body></html>";
    DWORD written = 0;
    ::WriteFile(hFile, html, sizeof(html) - 1, &written, NULL);
    ::CloseHandle(hFile);
    pView->Navigate2(page.c_str());
    const ULONGLONG until = ::GetTickCount64() + 1000;
    while (::GetTickCount64() < until) {
        DrainMessages();
        ::Sleep(20);
    }
    std::printf("location after navigation: '%ls'\n", pView->GetLocationURL().GetString());
    pView->Stop();
    pView->Navigate(L"about:blank");
    SettleDisplay();
    test_support::WriteFramedWindowScreenshot(m_pFrame->m_hWnd, L"html_view");
    m_pFrame->DestroyWindow();
    m_pFrame = NULL;
    ::DeleteFileW(page.c_str());
}

TEST_F(ControlHostingTest, TheSystemsMediaPlayerWithoutIDispatchThrowsInsteadOfCrashing)
{
    CHostView* pView = MakeHost();
    ASSERT_NE(pView, nullptr);
    static const CLSID clsidMediaPlayer = {
        0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
    CWnd& player = pView->m_wndControl;
    // Placed as the media preview places it. Wine's player is an in-place window without IDispatch.
    ASSERT_TRUE(player.CreateControl(clsidMediaPlayer, L"aa", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                     CRect(40, 200, 100, 200), pView, kControlId));
    EXPECT_EQ(::GetDlgItem(pView->m_hWnd, kControlId), player.m_hWnd);
    IDispatch* pDispatch = NULL;
    const bool bHasDispatch = SUCCEEDED(
        player.GetControlUnknown()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch)));
    if (pDispatch != NULL)
        pDispatch->Release();
    // What the media preview asks of it: without IDispatch every call is a COleException.
    const std::function<void()> calls[] = {
        [&] { player.SetProperty(1, VT_BSTR, L"C:\\missing.wmv"); },
        [&] {
            long nState = 0;
            player.GetProperty(2, VT_I4, &nState);
        },
        [&] {
            CString status;
            player.GetProperty(18, VT_BSTR, &status);
        },
        [&] { player.InvokeHelper(3, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE); },
    };
    for (const auto& call : calls) {
        if (!bHasDispatch) {
            EXPECT_EQ(ScodeOf(call), E_NOINTERFACE);
        }
    }
    player.MoveWindow(0, 0, 200, 100);
}

// Locale-aware texts of automation dates and amounts.

TEST(OleTexts, DatesAndCurrencyParseAndFormatForTheLocale)
{
    const LCID lcidUS = 0x0409;
    COleDateTime date;
    EXPECT_TRUE(date.ParseDateTime(L"1/2/2003 4:05:06 PM", 0, lcidUS));
    EXPECT_EQ(date.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(date.Format(L"%m %d %y"), L"01 02 03");
    EXPECT_EQ(date.Format(L"%Y-%m-%d %H:%M:%S %I %j %w %% %q"), L"2003-01-02 16:05:06 04 002 4 % %q");
    EXPECT_EQ(date.Format(0, lcidUS), L"1/2/2003 4:05:06 PM");
    EXPECT_EQ(date.Format(VAR_DATEVALUEONLY, lcidUS), L"1/2/2003");

    COleDateTime timeOnly;
    EXPECT_TRUE(timeOnly.ParseDateTime(L"16:05", VAR_TIMEVALUEONLY, lcidUS));
    EXPECT_EQ(timeOnly.GetHour(), 16);

    for (const wchar_t* bad : {L"not a date", L"", L"13/45/2003"}) {
        SCOPED_TRACE(testing::Message() << CString(bad).GetString());
        COleDateTime parsed(2020, 1, 1, 0, 0, 0);
        EXPECT_FALSE(parsed.ParseDateTime(bad, 0, lcidUS));
        EXPECT_EQ(parsed.GetStatus(), COleDateTime::invalid);
        EXPECT_EQ(parsed.Format(L"%Y"), L"Invalid DateTime");
    }
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    EXPECT_EQ(nullDate.Format(), L"");

    COleCurrency amount;
    EXPECT_TRUE(amount.ParseCurrency(L"1,234.50", 0, lcidUS));
    EXPECT_EQ(amount.m_cur.int64, 12345000);
    EXPECT_EQ(amount.Format(0, lcidUS), L"1234.5");
    COleCurrency again;
    EXPECT_TRUE(again.ParseCurrency(amount.Format(0, lcidUS), 0, lcidUS));
    EXPECT_EQ(again, amount);
    // German writes the same amount with the separators the other way round.
    EXPECT_TRUE(again.ParseCurrency(L"1.234,50", 0, 0x0407));
    EXPECT_EQ(again.m_cur.int64, 12345000);
    EXPECT_EQ(again.Format(0, 0x0407), L"1234,5");
    for (const wchar_t* bad : {L"twelve", L"", L"1e400"}) {
        SCOPED_TRACE(testing::Message() << CString(bad).GetString());
        COleCurrency parsed(5, 0);
        EXPECT_FALSE(parsed.ParseCurrency(bad, 0, lcidUS));
        EXPECT_EQ(parsed.GetStatus(), COleCurrency::invalid);
        EXPECT_EQ(parsed.m_cur.int64, 0);
    }
}

// Last: the test server leaves the registry as it found it.
TEST(ControlServerCleanup, TheServerIsUnregistered)
{
    g_server.Unregister();
    HKEY hKey = NULL;
    EXPECT_NE(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\" TEST_CONTROL_PROGID, 0, KEY_READ, &hKey),
        ERROR_SUCCESS);
    CLSID clsid;
    EXPECT_TRUE(FAILED(::CLSIDFromProgID(TEST_CONTROL_PROGID, &clsid)));
}
