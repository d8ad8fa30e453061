// Stand-ins for the outside components the document and media previews drive, as one in-process COM
// server that a test registers for its own run:
// - the PDF viewer control (its class ID): a windowed control whose method 207 takes the path;
// - the media player control (its class ID): property 1 takes the URL, method 3 closes, 2, 10 and 18
//   answer the states and the status;
// - a Word application object (a class ID of its own): Documents, Add, Open, Close, SaveAs and Quit by
//   their dispatch IDs. Creating it starts the helper process named by TEST_WORD_HELPER, as Word's own
//   process would start (its "OpusApp" window is up before the object is handed out); SaveAs writes a small
//   RTF naming the opened file.
// Every call is appended, one line each, to the file named by TEST_CONTROL_LOG. A call whose dispatch ID
// is in TEST_CONTROL_THROW (a number) fails with an exception, as a failing component would.
#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const CLSID kPdfClassId = {0xD8D3A8F6, 0x46EF, 0x4424, {0xAE, 0x49, 0x43, 0x76, 0xF1, 0xFE, 0x1E, 0xB4}};
const CLSID kPlayerClassId = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
// {5C0F3B1E-7A52-4E0B-9B7D-2F6C1D8E4A31}
const CLSID kWordClassId = {0x5C0F3B1E, 0x7A52, 0x4E0B, {0x9B, 0x7D, 0x2F, 0x6C, 0x1D, 0x8E, 0x4A, 0x31}};

const wchar_t kWindowClass[] = L"CorvaneTestControl";

HINSTANCE g_hInstance = NULL;
LONG g_nObjects = 0;
LONG g_nLocks = 0;

std::string Utf8(const wchar_t* text)
{
    if (text == NULL)
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 1), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, NULL, NULL);
    narrow.resize(size > 0 ? static_cast<size_t>(size - 1) : 0);
    return narrow;
}

void Log(const std::string& line)
{
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TEST_CONTROL_LOG", path, MAX_PATH) == 0)
        return;
    if (FILE* f = _wfopen(path, L"ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

bool ThrowsAt(DISPID id)
{
    char value[32] = {};
    if (::GetEnvironmentVariableA("TEST_CONTROL_THROW", value, sizeof(value)) == 0)
        return false;
    return std::atol(value) == id;
}

// The string a declared argument holds, by value or by reference.
const wchar_t* StringArgument(DISPPARAMS* params, UINT declared)
{
    if (params == NULL || declared >= params->cArgs)
        return NULL;
    VARIANT* v = &params->rgvarg[params->cArgs - 1 - declared];
    if (V_VT(v) == (VT_VARIANT | VT_BYREF))
        v = V_VARIANTREF(v);
    if (V_VT(v) == VT_BSTR)
        return V_BSTR(v);
    if (V_VT(v) == (VT_BSTR | VT_BYREF))
        return *V_BSTRREF(v);
    return NULL;
}

LRESULT CALLBACK ControlWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC hDC = ::BeginPaint(hWnd, &paint);
        RECT rect;
        ::GetClientRect(hWnd, &rect);
        ::FillRect(hDC, &rect, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        wchar_t text[128] = {};
        ::GetWindowTextW(hWnd, text, 128);
        ::DrawTextW(hDC, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::EndPaint(hWnd, &paint);
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

struct WindowSearch
{
    DWORD processId;
    bool bFound;
};

BOOL CALLBACK FindWordWindow(HWND hWnd, LPARAM lParam)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(lParam);
    wchar_t name[64] = {};
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (processId == search.processId && ::GetClassNameW(hWnd, name, 64) > 0 &&
        ::lstrcmpW(name, L"OpusApp") == 0)
        search.bFound = true;
    return search.bFound ? FALSE : TRUE;
}

bool OwnsWordWindow(DWORD processId)
{
    WindowSearch search{processId, false};
    ::EnumWindows(FindWordWindow, reinterpret_cast<LPARAM>(&search));
    return search.bFound;
}

// An object's references; the last release deletes it.
struct RefCount
{
    LONG nRef = 1;
    ULONG Add() { return static_cast<ULONG>(::InterlockedIncrement(&nRef)); }
    template <class Object> ULONG Drop(Object* pObject)
    {
        const LONG nLeft = ::InterlockedDecrement(&nRef);
        if (nLeft == 0)
            delete pObject;
        return static_cast<ULONG>(nLeft);
    }
};

enum class Kind
{
    Pdf,
    Player,
    WordApplication,
    WordDocuments,
    WordDocument
};

class StandIn : public IOleObject, public IOleInPlaceObject, public IPersistStreamInit, public IDispatch
{
public:
    explicit StandIn(Kind kind) : m_kind(kind)
    {
        ::InterlockedIncrement(&g_nObjects);
        if (m_kind == Kind::WordApplication)
            StartWordProcess();
    }
    virtual ~StandIn()
    {
        if (m_pSite != NULL)
            m_pSite->Release();
        ::InterlockedDecrement(&g_nObjects);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        const bool bControl = m_kind == Kind::Pdf || m_kind == Kind::Player;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else if (bControl && riid == IID_IOleObject)
            *ppv = static_cast<IOleObject*>(this);
        else if (bControl && (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject))
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else if (bControl && (riid == IID_IPersistStreamInit || riid == IID_IPersist))
            *ppv = static_cast<IPersistStreamInit*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_count.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_count.Drop(this); }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pSite) override
    {
        if (m_pSite != NULL)
            m_pSite->Release();
        m_pSite = pSite;
        if (m_pSite != NULL)
            m_pSite->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** ppSite) override
    {
        *ppSite = m_pSite;
        if (m_pSite != NULL)
            m_pSite->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override { return S_OK; }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override
    {
        *ppmk = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** ppData) override
    {
        *ppData = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND hwndParent, LPCRECT rect) override
    {
        if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW)
            return E_NOTIMPL;
        if (m_hWnd == NULL) {
            const RECT r = rect != NULL ? *rect : RECT{0, 0, 0, 0};
            m_hWnd = ::CreateWindowExW(
                0, kWindowClass, m_kind == Kind::Pdf ? L"PDF stand-in" : L"Player stand-in", WS_CHILD, r.left,
                r.top, r.right - r.left, r.bottom - r.top, hwndParent, NULL, g_hInstance, NULL);
        }
        return m_hWnd != NULL ? S_OK : E_FAIL;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** ppEnum) override
    {
        *ppEnum = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override { return GetClassID(pClsid); }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR* ppsz) override
    {
        *ppsz = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL* pSize) override
    {
        pSize->cx = pSize->cy = 0;
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD* pdwConnection) override
    {
        *pdwConnection = 0;
        return E_NOTIMPL;
    }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** ppEnum) override
    {
        *ppEnum = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override
    {
        *pdwStatus = 0;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject (the window goes with the site that hosts it)
    STDMETHODIMP GetWindow(HWND* phWnd) override
    {
        *phWnd = m_hWnd;
        return m_hWnd != NULL ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        if (m_hWnd != NULL && ::IsWindow(m_hWnd) && pos != NULL)
            ::MoveWindow(m_hWnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* pClsid) override
    {
        *pClsid = m_kind == Kind::Pdf ? kPdfClassId : kPlayerClassId;
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* pSize) override
    {
        pSize->QuadPart = 0;
        return S_OK;
    }
    STDMETHODIMP InitNew() override { return S_OK; }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppInfo) override
    {
        *ppInfo = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT*) override
    {
        static const char* const kKinds[] = {"pdf", "player", "word", "documents", "document"};
        std::string line = std::string(kKinds[static_cast<int>(m_kind)]) + " " + std::to_string(id);
        if (const wchar_t* text = StringArgument(params, 0))
            line += " " + Utf8(text);
        Log(line);
        if (result != NULL)
            ::VariantInit(result);
        if (ThrowsAt(id)) {
            if (excepInfo != NULL) {
                ZeroMemory(excepInfo, sizeof(*excepInfo));
                excepInfo->scode = E_FAIL;
                excepInfo->bstrSource = ::SysAllocString(L"stand-in");
                excepInfo->bstrDescription = ::SysAllocString(L"The stand-in was told to fail.");
            }
            return DISP_E_EXCEPTION;
        }
        switch (m_kind) {
        case Kind::Pdf:
            if (id != 207)
                return DISP_E_MEMBERNOTFOUND;
            if (result != NULL) {
                V_VT(result) = VT_BOOL;
                V_BOOL(result) = VARIANT_TRUE;
            }
            return S_OK;
        case Kind::Player:
            return PlayerCall(id, flags, result);
        default:
            return WordCall(id, params, result);
        }
    }

private:
    HRESULT PlayerCall(DISPID id, WORD flags, VARIANT* result)
    {
        if ((id == 1 && (flags & DISPATCH_PROPERTYPUT)) || id == 3)
            return S_OK;
        if ((id == 2 || id == 10) && result != NULL) {
            V_VT(result) = VT_I4;
            V_I4(result) = 0;
            return S_OK;
        }
        if (id == 18 && result != NULL) {
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = ::SysAllocString(L"");
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT WordCall(DISPID id, DISPPARAMS* params, VARIANT* result)
    {
        StandIn* pReturned = NULL;
        if (m_kind == Kind::WordApplication && id == 6) {
            pReturned = new StandIn(Kind::WordDocuments);
        } else if (m_kind == Kind::WordDocuments && (id == 11 || id == 12)) {
            pReturned = new StandIn(Kind::WordDocument);
            if (const wchar_t* path = StringArgument(params, 0))
                pReturned->m_strOpened = path;
        } else if (m_kind == Kind::WordDocument && id == 102) {
            return SaveAsRtf(StringArgument(params, 0));
        } else if (id != 1105) { // Close on a document, Quit on the application
            return DISP_E_MEMBERNOTFOUND;
        }
        if (pReturned != NULL) {
            if (result != NULL) {
                V_VT(result) = VT_DISPATCH;
                V_DISPATCH(result) = static_cast<IDispatch*>(pReturned);
            } else {
                pReturned->Release();
            }
        }
        return S_OK;
    }

    HRESULT SaveAsRtf(const wchar_t* path)
    {
        if (path == NULL)
            return DISP_E_TYPEMISMATCH;
        const std::wstring opened = m_strOpened.substr(m_strOpened.find_last_of(L"\\/") + 1);
        std::string rtf = "{\\rtf1\\ansi Opened through automation: ";
        for (char c : Utf8(opened.c_str())) {
            if (c == '\\' || c == '{' || c == '}')
                rtf += '\\';
            rtf += c;
        }
        rtf += "\\par}";
        FILE* f = _wfopen(path, L"wb");
        if (f == NULL)
            return STG_E_ACCESSDENIED;
        std::fwrite(rtf.data(), 1, rtf.size(), f);
        std::fclose(f);
        return S_OK;
    }

    // Word's own process: the helper named by the test, up and taking input before the call returns.
    void StartWordProcess()
    {
        wchar_t commandLine[1024] = {};
        if (::GetEnvironmentVariableW(L"TEST_WORD_HELPER", commandLine, 1024) == 0)
            return;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            return;
        // Word's window is up by the time its automation object is handed out.
        for (int wait = 0; wait < 400 && !OwnsWordWindow(process.dwProcessId); ++wait)
            ::Sleep(25);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        Log("word started " + std::to_string(process.dwProcessId));
    }

    RefCount m_count;
    Kind m_kind;
    IOleClientSite* m_pSite = NULL;
    HWND m_hWnd = NULL;
    std::wstring m_strOpened;
};

class ClassFactory : public IClassFactory
{
public:
    explicit ClassFactory(Kind kind) : m_kind(kind) {}
    virtual ~ClassFactory() = default;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_count.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_count.Drop(this); }
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        *ppv = NULL;
        if (pOuter != NULL)
            return CLASS_E_NOAGGREGATION;
        StandIn* pObject = new StandIn(m_kind);
        const HRESULT hr = pObject->QueryInterface(riid, ppv);
        pObject->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL bLock) override
    {
        if (bLock)
            ::InterlockedIncrement(&g_nLocks);
        else
            ::InterlockedDecrement(&g_nLocks);
        return S_OK;
    }

private:
    RefCount m_count;
    Kind m_kind;
};

} // namespace

extern "C"
{

    BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
    {
        if (reason == DLL_PROCESS_ATTACH) {
            g_hInstance = hInstance;
            WNDCLASSW wc{};
            wc.lpfnWndProc = ControlWindowProc;
            wc.hInstance = hInstance;
            wc.hCursor = ::LoadCursorW(NULL, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.lpszClassName = kWindowClass;
            ::RegisterClassW(&wc);
        } else if (reason == DLL_PROCESS_DETACH) {
            ::UnregisterClassW(kWindowClass, hInstance);
        }
        return TRUE;
    }

    __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
    {
        *ppv = NULL;
        Kind kind;
        if (IsEqualCLSID(clsid, kPdfClassId))
            kind = Kind::Pdf;
        else if (IsEqualCLSID(clsid, kPlayerClassId))
            kind = Kind::Player;
        else if (IsEqualCLSID(clsid, kWordClassId))
            kind = Kind::WordApplication;
        else
            return CLASS_E_CLASSNOTAVAILABLE;
        ClassFactory* pFactory = new ClassFactory(kind);
        const HRESULT hr = pFactory->QueryInterface(riid, ppv);
        pFactory->Release();
        return hr;
    }

    __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow()
    {
        return g_nObjects == 0 && g_nLocks == 0 ? S_OK : S_FALSE;
    }

} // extern "C"
