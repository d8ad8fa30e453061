// Layouts stored under a scratch registry key (read back raw: every value with its type) and in
// archives: a fresh layout's sections, round trips, schema 9, unused containers, and loads that must
// fail and leave the current layout as it was.
#include "docking_pane_mini_wnd.h"
#include "docking_test_frame.h"
#include "prop_exchange.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kTestKey[] = L"Software\\CorvaneDockingLayoutTest";

// "Section\Name" -> "type:value" for every value under the key, DWORDs in decimal.
typedef std::map<std::wstring, std::wstring> RegistryDump;

void DumpKey(HKEY hKey, const std::wstring& prefix, RegistryDump& dump)
{
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nName = 256;
        BYTE data[1024];
        DWORD nData = sizeof(data);
        DWORD type = 0;
        if (::RegEnumValueW(hKey, i, name, &nName, NULL, &type, data, &nData) != ERROR_SUCCESS)
            break;
        std::wstring value;
        if (type == REG_DWORD && nData == 4) {
            DWORD dw = 0;
            memcpy(&dw, data, 4);
            value = L"dword:" + std::to_wstring(static_cast<long>(dw));
        } else if (type == REG_SZ) {
            value = std::wstring(L"sz:") + std::wstring(reinterpret_cast<wchar_t*>(data), nData / 2).c_str();
        } else {
            value = L"type" + std::to_wstring(type);
        }
        dump[prefix + name] = value;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nName = 256;
        if (::RegEnumKeyExW(hKey, i, name, &nName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY hSub = NULL;
        if (::RegOpenKeyExW(hKey, name, 0, KEY_READ, &hSub) == ERROR_SUCCESS) {
            DumpKey(hSub, prefix + name + L"\\", dump);
            ::RegCloseKey(hSub);
        }
    }
}

RegistryDump Dump(const wchar_t* lpszSection = L"Layout")
{
    RegistryDump dump;
    HKEY hKey = NULL;
    const std::wstring key = std::wstring(kTestKey) + L"\\" + lpszSection;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        DumpKey(hKey, L"", dump);
        ::RegCloseKey(hKey);
    }
    return dump;
}

void SetDword(const wchar_t* lpszSubKey, const wchar_t* lpszName, DWORD dwValue)
{
    const std::wstring key = std::wstring(kTestKey) + L"\\Layout\\" + lpszSubKey;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), lpszName, REG_DWORD, &dwValue, sizeof(dwValue));
}

class LayoutPersistenceTest : public ::testing::Test
{
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    static BOOL Store(CXTPDockingPaneLayout* pLayout, const wchar_t* lpszSection = L"Layout",
                      UINT nSchema = 16)
    {
        HKEY hKey = NULL;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
        CXTPPropExchangeRegistry px(FALSE, hKey, lpszSection);
        px.m_nSchema = nSchema;
        const BOOL bResult = pLayout->DoPropExchange(&px);
        ::RegCloseKey(hKey);
        return bResult;
    }
    static BOOL Load(CXTPDockingPaneLayout* pLayout, const wchar_t* lpszSection = L"Layout")
    {
        HKEY hKey = NULL;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
        CXTPPropExchangeRegistry px(TRUE, hKey, lpszSection);
        const BOOL bResult = pLayout->DoPropExchange(&px);
        ::RegCloseKey(hKey);
        return bResult;
    }
    static std::vector<BYTE> Archive(CXTPDockingPaneLayout* pLayout) { return ArchiveLayout(pLayout); }
    static BOOL LoadArchive(CXTPDockingPaneLayout* pLayout, const std::vector<BYTE>& bytes)
    {
        CMemFile file(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        CXTPPropExchangeArchive px(ar);
        return pLayout->DoPropExchange(&px);
    }
};

typedef std::unique_ptr<CXTPDockingPaneLayout, void (*)(CXTPDockingPaneLayout*)> LayoutPtr;

LayoutPtr NewLayout(CXTPDockingPaneManager& manager)
{
    return LayoutPtr(manager.CreateLayout(), [](CXTPDockingPaneLayout* p) { p->InternalRelease(); });
}

TEST_F(LayoutPersistenceTest, AFreshLayoutWritesTheClientAndTheTopContainer)
{
    CXTPDockingPaneManager manager;
    LayoutPtr layout = NewLayout(manager);
    ASSERT_TRUE(Store(layout.get()));
    const RegistryDump expected = {
        {L"Summary\\Panes", L"dword:2"},  {L"Summary\\TopContainer", L"dword:2"},
        {L"Summary\\Client", L"dword:1"}, {L"Pane-1\\Type", L"dword:4"},
        {L"Pane-2\\Type", L"dword:2"},    {L"Pane-2\\Horiz", L"dword:1"},
        {L"Pane-2\\Panes", L"dword:1"},   {L"Pane-2\\Pane-1", L"dword:1"},
    };
    EXPECT_EQ(Dump(), expected);
}

class FrameLayoutPersistenceTest : public LayoutPersistenceTest
{
protected:
    void SetUp() override
    {
        LayoutPersistenceTest::SetUp();
        m_frame = std::make_unique<CDockingTestFrame>();
        ASSERT_TRUE(m_frame->CreateTestFrame());
        m_manager = &m_frame->m_paneManager;
        m_first = m_frame->AddPane(1, L"First\nF", CSize(180, 180), xtpPaneDockLeft);
        m_second = m_frame->AddPane(2, L"Second", CSize(140, 140), xtpPaneDockBottom);
        m_third = static_cast<CXTPDockingPane*>(
            m_manager->CreatePaneOfType(xtpPaneTypeDockingPane, m_manager->GetLayout()));
        m_third->SetID(3);
        m_third->SetTitle(L"Third");
        m_third->SetTabColor(RGB(10, 20, 30));
        m_third->SetHelpID(33);
        m_third->SetTag(7);
        static_cast<CXTPDockingPaneTabbedContainer*>(m_first->GetContainer())->AttachPane(m_third);
        m_frame->Layout();
    }
    void TearDown() override
    {
        m_frame->DestroyWindow();
        m_frame.reset();
        LayoutPersistenceTest::TearDown();
    }
    // A failed load leaves the manager's layout and its panes as they were.
    void ExpectOldLayoutIntact(CXTPDockingPaneLayout* pOld)
    {
        EXPECT_EQ(m_manager->GetLayout(), pOld);
        EXPECT_EQ(m_manager->FindPane(1), m_first);
        EXPECT_EQ(m_manager->FindPane(3), m_third);
        EXPECT_EQ(m_third->GetContainer(), m_first->GetContainer());
    }

    std::unique_ptr<CDockingTestFrame> m_frame;
    CXTPDockingPaneManager* m_manager = nullptr;
    CXTPDockingPane* m_first = nullptr;
    CXTPDockingPane* m_second = nullptr;
    CXTPDockingPane* m_third = nullptr;
};

TEST_F(FrameLayoutPersistenceTest, ThreePanesInTwoContainersComeBackEqual)
{
    ASSERT_TRUE(Store(m_manager->GetLayout()));
    const RegistryDump stored = Dump();
    EXPECT_EQ(stored.at(L"Pane-3\\Title"), L"sz:First\nF");
    for (const auto& entry : stored)
        EXPECT_NE(entry.second.substr(0, 5), L"type") << Narrow(entry.first.c_str());

    CXTPDockingPaneLayout* pLoaded = m_manager->CreateLayout();
    ASSERT_TRUE(Load(pLoaded));
    ASSERT_TRUE(Store(pLoaded, L"Again"));
    EXPECT_EQ(Dump(L"Again"), stored);

    // The application's window of a pane outlives the old layout's containers.
    HWND hwndChild =
        ::CreateWindowW(L"STATIC", L"child", WS_CHILD, 0, 0, 10, 10,
                        m_first->GetContainer()->GetWindow()->m_hWnd, NULL, AfxGetInstanceHandle(), NULL);
    m_first->Attach(hwndChild);

    // Made current, it gets its windows and lays out like the old one.
    m_manager->SetLayout(pLoaded);
    m_frame->Layout();
    CXTPDockingPane* pThird = m_manager->FindPane(3);
    ASSERT_NE(pThird, nullptr);
    EXPECT_EQ(pThird->GetTabColor(), RGB(10, 20, 30));
    EXPECT_EQ(pThird->GetHelpID(), 33);
    EXPECT_EQ(pThird->GetTag(), 7u);
    CXTPDockingPaneBase* pContainer = m_manager->FindPane(1)->GetContainer();
    ASSERT_NE(pContainer, nullptr);
    EXPECT_EQ(pThird->GetContainer(), pContainer);
    ASSERT_NE(pContainer->GetWindow(), nullptr);
    EXPECT_EQ(RectInParent(pContainer->GetWindow()->m_hWnd).Width(), 180);
    EXPECT_EQ(RectInParent(m_frame->m_wndView.m_hWnd), m_manager->GetClientPane()->GetPaneWindowRect());
    EXPECT_TRUE(::IsWindow(hwndChild));
    EXPECT_EQ(::GetParent(hwndChild), m_manager->m_hWnd);
    ::DestroyWindow(hwndChild);
}

TEST_F(FrameLayoutPersistenceTest, ArchiveStoreLoadStoreIsByteIdentical)
{
    const std::vector<BYTE> first = Archive(m_manager->GetLayout());
    CXTPDockingPaneManager other;
    LayoutPtr loaded = NewLayout(other);
    ASSERT_TRUE(LoadArchive(loaded.get(), first));
    EXPECT_EQ(Archive(loaded.get()), first);

    // A pane without a record still writes its three holders, and the archive reads back.
    LayoutPtr reloaded = NewLayout(other);
    std::vector<XTP_DOCKINGPANE_INFO>& records = loaded->GetPaneList();
    records.erase(records.begin());
    const std::vector<BYTE> withoutRecord = Archive(loaded.get());
    EXPECT_EQ(withoutRecord.size(), first.size());
    EXPECT_TRUE(LoadArchive(reloaded.get(), withoutRecord));

    // A huge count of nodes ends at the archive's end.
    std::vector<BYTE> huge = first;
    const DWORD nHuge = 0x7FFFFFFF;
    memcpy(huge.data(), &nHuge, sizeof(nHuge));
    LayoutPtr hugeLayout = NewLayout(other);
    EXPECT_FALSE(LoadArchive(hugeLayout.get(), huge));
}

TEST_F(FrameLayoutPersistenceTest, BadStoresFailAndLeaveTheOldLayout)
{
    CXTPDockingPaneLayout* pOld = m_manager->GetLayout();
    ASSERT_TRUE(Store(pOld));
    const RegistryDump stored = Dump();
    const int nTop = std::stoi(stored.at(L"Summary\\TopContainer").substr(6));
    const std::wstring top = L"Pane-" + std::to_wstring(nTop);

    struct Case
    {
        const char* name;
        const wchar_t* section;
        const wchar_t* value;
        DWORD data;
    };
    const Case cases[] = {
        {"one node", L"Summary", L"Panes", 1},
        {"client on a splitter", L"Summary", L"Client", static_cast<DWORD>(nTop)},
        {"top container as its own child", top.c_str(), L"Pane-1", static_cast<DWORD>(nTop)},
        {"a floating frame", L"Pane-1", L"Type", 3},
        {"an unknown type", L"Pane-1", L"Type", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        ASSERT_TRUE(Store(pOld));
        SetDword(c.section, c.value, c.data);
        CXTPDockingPaneLayout* pLayout = m_manager->CreateLayout();
        EXPECT_FALSE(Load(pLayout));
        pLayout->InternalRelease();
        ExpectOldLayoutIntact(pOld);
    }

    // A child named by two containers: the first container's pane joins the top container as well.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(Store(pOld));
    const DWORD nTopCount = std::stoul(Dump().at(top + L"\\Panes").substr(6));
    const DWORD nFirstChild = std::stoul(Dump().at(top + L"\\Pane-1").substr(6));
    SetDword(top.c_str(), L"Panes", nTopCount + 1);
    SetDword(top.c_str(), (L"Pane-" + std::to_wstring(nTopCount + 1)).c_str(), nFirstChild);
    CXTPDockingPaneLayout* pTwice = m_manager->CreateLayout();
    EXPECT_FALSE(Load(pTwice));
    pTwice->InternalRelease();
    ExpectOldLayoutIntact(pOld);
}

TEST_F(FrameLayoutPersistenceTest, APaneWithoutAValidIdIsDroppedAndTheLoadGoesOn)
{
    m_third->SetID(0);
    ASSERT_TRUE(Store(m_manager->GetLayout()));
    CXTPDockingPaneLayout* pLayout = m_manager->CreateLayout();
    ASSERT_TRUE(Load(pLayout));
    EXPECT_EQ(pLayout->GetPaneList().size(), 2u);
    m_manager->SetLayout(pLayout);
    CXTPDockingPane* pFirst = m_manager->FindPane(1);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(static_cast<CXTPDockingPaneTabbedContainer*>(pFirst->GetContainer())->GetPanes().size(), 1u);
}

TEST_F(FrameLayoutPersistenceTest, SchemaNineSkipsTabColourHelpIdAndTag)
{
    ASSERT_TRUE(Store(m_manager->GetLayout(), L"Layout", 9));
    const RegistryDump stored = Dump();
    EXPECT_EQ(stored.at(L"Summary\\Schema"), L"dword:9");
    for (const auto& entry : stored) {
        for (const wchar_t* name : {L"\\TabColor", L"\\HelpId", L"\\Tag"})
            EXPECT_EQ(entry.first.find(name), std::wstring::npos) << Narrow(entry.first.c_str());
    }
    CXTPDockingPaneLayout* pLayout = m_manager->CreateLayout();
    ASSERT_TRUE(Load(pLayout));
    m_manager->SetLayout(pLayout);
    CXTPDockingPane* pThird = m_manager->FindPane(3);
    ASSERT_NE(pThird, nullptr);
    EXPECT_EQ(pThird->m_clrTab, static_cast<COLORREF>(-1));
    EXPECT_EQ(pThird->GetHelpID(), 0);
    EXPECT_EQ(pThird->GetTag(), 0u);
}

TEST_F(LayoutPersistenceTest, AClosedContainerThatHoldsNobodyIsNotWritten)
{
    CXTPDockingPaneManager manager;
    LayoutPtr layout = NewLayout(manager);
    manager.SetLayout(layout.get());
    layout->InternalAddRef();
    CXTPDockingPane* pPane =
        static_cast<CXTPDockingPane*>(manager.CreatePaneOfType(xtpPaneTypeDockingPane, layout.get()));
    pPane->SetID(4);
    manager.DockPane(pPane, xtpPaneDockLeft);
    ASSERT_EQ(layout->GetNodeList().size(), 4u);
    manager.ClosePane(pPane);
    ASSERT_TRUE(Store(layout.get()));
    const RegistryDump stored = Dump();
    EXPECT_EQ(stored.at(L"Summary\\Panes"), L"dword:3");
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(stored.at(L"Pane-" + std::to_wstring(i) + L"\\Type"), L"dword:1");
}

} // namespace

namespace {

// The registry values whose name ends with the key name, e.g. "\\Direction".
std::vector<std::wstring> ValuesNamed(const RegistryDump& dump, const std::wstring& name)
{
    std::vector<std::wstring> values;
    for (const auto& entry : dump) {
        if (entry.first.size() > name.size() &&
            entry.first.compare(entry.first.size() - name.size(), name.size(), name) == 0)
            values.push_back(entry.second);
    }
    return values;
}

TEST_F(FrameLayoutPersistenceTest, AFloatingFrameAndASidePanelComeBackThroughTheRegistryAndAnArchive)
{
    m_manager->FloatPane(m_second, CRect(300, 200, 500, 420));
    CXTPDockingPaneMiniWnd* pMiniWnd = dynamic_cast<CXTPDockingPaneMiniWnd*>(m_second->GetFrame());
    ASSERT_NE(pMiniWnd, nullptr);
    pMiniWnd->Collapse();
    m_manager->HidePane(m_first);
    m_frame->Layout();
    ASSERT_TRUE(m_first->IsHidden());
    ASSERT_TRUE(m_third->IsHidden());

    ASSERT_TRUE(Store(m_manager->GetLayout()));
    const RegistryDump stored = Dump();
    EXPECT_EQ(ValuesNamed(stored, L"\\Direction"), std::vector<std::wstring>{L"dword:0"});
    EXPECT_EQ(ValuesNamed(stored, L"\\WindowRectLeftPos"), std::vector<std::wstring>{L"dword:300"});
    EXPECT_EQ(ValuesNamed(stored, L"\\WindowRectBottomPos"), std::vector<std::wstring>{L"dword:420"});
    EXPECT_EQ(ValuesNamed(stored, L"\\TopContaner").size(), 1u);
    EXPECT_EQ(ValuesNamed(stored, L"\\Collapsed"), std::vector<std::wstring>{L"dword:1"});
    EXPECT_EQ(ValuesNamed(stored, L"\\ExpandedHeight"), std::vector<std::wstring>{L"dword:220"});

    CXTPDockingPaneLayout* pLoaded = m_manager->CreateLayout();
    ASSERT_TRUE(Load(pLoaded));
    ASSERT_TRUE(Store(pLoaded, L"Again"));
    EXPECT_EQ(Dump(L"Again"), stored);

    const std::vector<BYTE> first = Archive(m_manager->GetLayout());
    CXTPDockingPaneManager other;
    LayoutPtr fromArchive = NewLayout(other);
    ASSERT_TRUE(LoadArchive(fromArchive.get(), first));
    EXPECT_EQ(Archive(fromArchive.get()), first);

    // Made current, the loaded layout has its strip and its frame again.
    m_manager->SetLayout(pLoaded);
    m_frame->Layout();
    CXTPDockingPane* pFirst = m_manager->FindPane(1);
    CXTPDockingPane* pSecond = m_manager->FindPane(2);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_TRUE(pFirst->IsHidden());
    CXTPDockingPaneBase* pPanel = m_manager->GetLayout()->m_wndSidePanels[xtpPaneDockLeft];
    ASSERT_NE(pPanel, nullptr);
    EXPECT_NE(pPanel->GetWindow(), nullptr);
    ASSERT_NE(pSecond->GetFrame(), nullptr);
    EXPECT_NE(pSecond->GetFrame(), m_frame.get());
    CRect rc;
    pSecond->GetFrame()->GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(300, 200, 500, 420));
}

} // namespace
