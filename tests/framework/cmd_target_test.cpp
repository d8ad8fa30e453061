#include <afxwin.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> g_calls;

void Record(const wchar_t* format, UINT nID = 0)
{
    CString text;
    text.Format(format, nID);
    g_calls.push_back(text.GetString());
}

class CLevelOne : public CCmdTarget
{
public:
    afx_msg void OnOne100() { Record(L"One100"); }
    afx_msg void OnOne101() { Record(L"One101"); }
    afx_msg void OnUpdateOne100(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    afx_msg void OnRange(UINT nID) { Record(L"Range%u", nID); }
    afx_msg void OnClick(NMHDR* pNMHDR, LRESULT* pResult)
    {
        Record(L"Click%u", static_cast<UINT>(pNMHDR->idFrom));
        *pResult = 7;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CLevelOne, CCmdTarget)
    ON_COMMAND(100, OnOne100)
    ON_COMMAND(101, OnOne101)
    ON_UPDATE_COMMAND_UI(100, OnUpdateOne100)
    ON_COMMAND_RANGE(200, 209, OnRange)
    ON_NOTIFY(NM_CLICK, 300, OnClick)
END_MESSAGE_MAP()
// clang-format on

class CLevelTwo : public CLevelOne
{
public:
    afx_msg void OnTwo101() { Record(L"Two101"); }
    afx_msg void OnTwo102() { Record(L"Two102"); }
    afx_msg void OnUpdateDisable(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg BOOL OnTwo103Ex(UINT nID)
    {
        Record(L"Two%uEx", nID);
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CLevelTwo, CLevelOne)
    ON_COMMAND(101, OnTwo101)
    ON_COMMAND(102, OnTwo102)
    ON_UPDATE_COMMAND_UI(102, OnUpdateDisable)
    ON_COMMAND_EX(103, OnTwo103Ex)
END_MESSAGE_MAP()
// clang-format on

class CLevelThree : public CLevelTwo
{
public:
    afx_msg void OnThree104() { Record(L"Three104"); }
    afx_msg void OnUpdateRange(CCmdUI* pCmdUI)
    {
        if (pCmdUI->m_nID == 203) {
            pCmdUI->ContinueRouting(); // lets the next command target decide
            return;
        }
        pCmdUI->SetCheck(1);
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CLevelThree, CLevelTwo)
    ON_COMMAND(104, OnThree104)
    ON_UPDATE_COMMAND_UI_RANGE(200, 204, OnUpdateRange)
END_MESSAGE_MAP()
// clang-format on

// Records what update handlers set.
class CRecordingCmdUI : public CCmdUI
{
public:
    int enabled = -1; // -1: not set
    int checked = -1;
    void Enable(BOOL bOn) override
    {
        enabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { checked = nCheck; }
};

} // namespace

TEST(CmdTarget, CommandsFindTheirHandlersThroughThreeLevels)
{
    struct Case
    {
        const char* name;
        UINT id;
        BOOL handled;
        const wchar_t* call; // null: no handler ran
    };
    const Case cases[] = {
        {"handler two levels up", 100, TRUE, L"One100"},
        {"derived entry hides the base's", 101, TRUE, L"Two101"},
        {"handler in the class itself", 104, TRUE, L"Three104"},
        {"range passes the id", 205, TRUE, L"Range205"},
        {"range ends inclusive", 209, TRUE, L"Range209"},
        {"outside every entry", 210, FALSE, NULL},
        {"extended handler's answer", 103, FALSE, L"Two103Ex"},
    };
    CLevelThree target;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_calls.clear();
        EXPECT_EQ(target.OnCmdMsg(c.id, CN_COMMAND, NULL, NULL), c.handled);
        if (c.call == NULL)
            EXPECT_TRUE(g_calls.empty());
        else
            EXPECT_EQ(g_calls, std::vector<std::wstring>{c.call});
    }
}

TEST(CmdTarget, UpdateHandlersSetTheItemState)
{
    struct Case
    {
        const char* name;
        UINT id;
        BOOL handled;
        int enabled;
        int checked;
    };
    const Case cases[] = {
        {"update handler disables the command", 102, TRUE, 0, -1},
        {"update handler two levels up enables", 100, TRUE, 1, -1},
        {"range update handler", 201, TRUE, -1, 1},
        {"handler that continues routing", 203, FALSE, -1, -1},
        {"command without update handler", 104, FALSE, -1, -1},
    };
    CLevelThree target;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_calls.clear();
        CRecordingCmdUI state;
        state.m_nID = c.id;
        EXPECT_EQ(target.OnCmdMsg(c.id, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL), c.handled);
        EXPECT_EQ(state.enabled, c.enabled);
        EXPECT_EQ(state.checked, c.checked);
        EXPECT_TRUE(g_calls.empty()) << "an update must not run the command";
    }
}

TEST(CmdTarget, DoUpdateEnablesByHandlerPresenceWhenNoUpdateHandlerSpeaks)
{
    struct Case
    {
        UINT id;
        int enabled;
    };
    const Case cases[] = {{104, 1}, {999, 0}, {102, 0}, {100, 1}};
    CLevelThree target;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        g_calls.clear();
        CRecordingCmdUI state;
        state.m_nID = c.id;
        state.DoUpdate(&target, TRUE);
        EXPECT_EQ(state.enabled, c.enabled);
        EXPECT_TRUE(g_calls.empty());
    }
}

TEST(CmdTarget, HandlerQueryAnswersWithoutCalling)
{
    CLevelThree target;
    g_calls.clear();
    AFX_CMDHANDLERINFO info = {NULL, NULL};
    EXPECT_TRUE(target.OnCmdMsg(101, CN_COMMAND, NULL, &info));
    EXPECT_EQ(info.pTarget, &target);
    EXPECT_NE(info.pmf, nullptr);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_FALSE(target.OnCmdMsg(555, CN_COMMAND, NULL, &info));
}

TEST(CmdTarget, NotificationsReachTheirHandlerWithTheResult)
{
    CLevelThree target;
    g_calls.clear();
    NMHDR header = {NULL, 300, static_cast<UINT>(NM_CLICK)};
    LRESULT result = 0;
    AFX_NOTIFY notify = {&result, &header};
    EXPECT_TRUE(target.OnCmdMsg(300, MAKELONG(NM_CLICK, WM_NOTIFY), &notify, NULL));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(g_calls, std::vector<std::wstring>{L"Click300"});
    EXPECT_FALSE(target.OnCmdMsg(300, MAKELONG(NM_DBLCLK, WM_NOTIFY), &notify, NULL));
    EXPECT_FALSE(target.OnCmdMsg(300, CN_COMMAND, NULL, NULL)) << "a notification is not a command";
}

namespace {

int g_destroyed = 0;

class CCounted : public CCmdTarget
{
public:
    ~CCounted() override
    {
        ++g_destroyed;
        if (m_bTouchSelfOnDestroy) {
            InternalAddRef(); // parts that hold their owner let go while it is destroyed
            InternalRelease();
        }
    }
    BOOL m_bTouchSelfOnDestroy = FALSE;

    BEGIN_INTERFACE_PART(Persist, IPersist)
    STDMETHOD(GetClassID)(CLSID* pClassID) override;
    END_INTERFACE_PART(Persist)
    DECLARE_INTERFACE_MAP()
};

// clang-format off
BEGIN_INTERFACE_MAP(CCounted, CCmdTarget)
    INTERFACE_PART(CCounted, IID_IPersist, Persist)
END_INTERFACE_MAP()
// clang-format on

ULONG STDMETHODCALLTYPE CCounted::XPersist::AddRef()
{
    METHOD_PROLOGUE(CCounted, Persist)
    return pThis->ExternalAddRef();
}

ULONG STDMETHODCALLTYPE CCounted::XPersist::Release()
{
    METHOD_PROLOGUE(CCounted, Persist)
    return pThis->ExternalRelease();
}

HRESULT STDMETHODCALLTYPE CCounted::XPersist::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    METHOD_PROLOGUE(CCounted, Persist)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}

HRESULT STDMETHODCALLTYPE CCounted::XPersist::GetClassID(CLSID* pClassID)
{
    *pClassID = CLSID_NULL;
    return S_OK;
}

} // namespace

TEST(CmdTarget, ReferenceCountReachingZeroDeletesOnce)
{
    struct Case
    {
        const char* name;
        int extraReferences;
        BOOL touchSelfOnDestroy;
    };
    const Case cases[] = {
        {"constructed reference only", 0, FALSE},
        {"three more references", 3, FALSE},
        {"destructor adds and releases a reference", 1, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_destroyed = 0;
        CCounted* pObject = new CCounted;
        pObject->m_bTouchSelfOnDestroy = c.touchSelfOnDestroy;
        for (int i = 0; i < c.extraReferences; ++i)
            EXPECT_EQ(pObject->InternalAddRef(), static_cast<DWORD>(i + 2));
        for (int i = c.extraReferences; i > 0; --i) {
            EXPECT_EQ(pObject->InternalRelease(), static_cast<DWORD>(i));
            EXPECT_EQ(g_destroyed, 0);
        }
        EXPECT_EQ(pObject->InternalRelease(), 0u);
        EXPECT_EQ(g_destroyed, 1);
    }
}

TEST(CmdTarget, InterfaceMapAnswersQueriesAndCounts)
{
    g_destroyed = 0;
    CCounted* pObject = new CCounted;
    IPersist* pPersist = NULL;
    ASSERT_EQ(pObject->ExternalQueryInterface(&IID_IPersist, reinterpret_cast<void**>(&pPersist)), S_OK);
    ASSERT_NE(pPersist, nullptr);
    EXPECT_EQ(pObject->m_dwRef, 2);

    IUnknown* pUnknown = NULL;
    ASSERT_EQ(pPersist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(pUnknown), static_cast<void*>(pPersist));
    IStream* pStream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(pPersist->QueryInterface(IID_IStream, reinterpret_cast<void**>(&pStream)), E_NOINTERFACE);
    EXPECT_EQ(pStream, nullptr);
    EXPECT_EQ(pObject->GetIDispatch(FALSE), nullptr) << "automation is off until enabled";

    CLSID classId;
    EXPECT_EQ(pPersist->GetClassID(&classId), S_OK);
    pUnknown->Release();
    pPersist->Release();
    EXPECT_EQ(g_destroyed, 0);
    pObject->ExternalRelease();
    EXPECT_EQ(g_destroyed, 1);
}

TEST(CmdTarget, AutomationExposesAnIDispatchThatKeepsTheObjectAlive)
{
    g_destroyed = 0;
    CCounted* pObject = new CCounted;
    pObject->EnableAutomation();
    IDispatch* pDispatch = NULL;
    ASSERT_EQ(pObject->ExternalQueryInterface(&IID_IDispatch, reinterpret_cast<void**>(&pDispatch)), S_OK);
    pObject->InternalRelease();
    EXPECT_EQ(g_destroyed, 0);
    UINT typeInfoCount = 5;
    EXPECT_EQ(pDispatch->GetTypeInfoCount(&typeInfoCount), S_OK);
    EXPECT_EQ(typeInfoCount, 0u);
    DISPPARAMS params = {};
    EXPECT_EQ(pDispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, NULL, NULL, NULL),
              DISP_E_MEMBERNOTFOUND);
    pDispatch->Release();
    EXPECT_EQ(g_destroyed, 1);
}
