// Groups and items: layouts, the toolbox behaviour's open group, hosted controls, persistence read
// back raw from the registry, the clipboard copy of an item, and drops through the panel's drop
// target with in-memory data objects.
#include "prop_exchange.h"
#include "task_panel_test_support.h"
#include "toolkit_test_app.h"

#include <afxadv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

const wchar_t kTestKey[] = L"Software\\RecoveryToolkitTests\\TaskPanel";

class TaskPanelItemsTest : public TaskPanelDialogTest
{
protected:
    TaskPanelItemsTest() : TaskPanelDialogTest(200, 300, false) {}
    void SetUp() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        TaskPanelDialogTest::SetUp();
    }
    void TearDown() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        TaskPanelDialogTest::TearDown();
    }
};

// The raw text of a registry value under the test key, or "<absent>".
std::wstring RegistryText(const std::wstring& subKey, const wchar_t* value)
{
    const std::wstring key = std::wstring(kTestKey) + (subKey.empty() ? L"" : L"\\" + subKey);
    wchar_t buffer[256] = L"";
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value, RRF_RT_ANY, &type, buffer, &size) !=
        ERROR_SUCCESS)
        return L"<absent>";
    if (type == REG_DWORD)
    {
        DWORD dwValue = 0;
        memcpy(&dwValue, buffer, sizeof(dwValue));
        return std::to_wstring(dwValue);
    }
    return buffer;
}

// An in-memory data object holding a block under the panel's format (and text when given).
COleDataSource* MakeSource(HGLOBAL hItem, const char* pszText = nullptr)
{
    COleDataSource* pSource = new COleDataSource();
    if (hItem != NULL)
        pSource->CacheGlobalData(GetTaskPanelClipboardFormat(), hItem);
    if (pszText != nullptr) {
        const size_t nLength = strlen(pszText) + 1;
        HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, nLength);
        memcpy(::GlobalLock(hText), pszText, nLength);
        ::GlobalUnlock(hText);
        pSource->CacheGlobalData(CF_TEXT, hText);
    }
    return pSource;
}

HGLOBAL BlockOf(const void* pData, size_t nBytes)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
    memcpy(::GlobalLock(hGlobal), pData, nBytes);
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

// A serialisable class that is no task-panel item.
class CNotAnItem : public CObject
{
    DECLARE_SERIAL(CNotAnItem)
};
IMPLEMENT_SERIAL(CNotAnItem, CObject, VERSIONABLE_SCHEMA | 1)

// An archive naming the class, followed by the given bytes.
HGLOBAL ArchiveNaming(CRuntimeClass* pClass, const std::vector<BYTE>& tail = {'x', 0})
{
    CSharedFile file;
    CArchive ar(&file, CArchive::store);
    ar.WriteClass(pClass);
    if (!tail.empty())
        ar.Write(tail.data(), static_cast<UINT>(tail.size()));
    ar.Close();
    // A block of exactly the bytes written: a shared file's block grows in steps whose rest would
    // read as more data.
    const size_t nLength = static_cast<size_t>(file.GetLength());
    HGLOBAL hFile = file.Detach();
    HGLOBAL hExact = BlockOf(::GlobalLock(hFile), nLength);
    ::GlobalUnlock(hFile);
    ::GlobalFree(hFile);
    return hExact;
}

// The source's data object, with a reference for the caller.
LPDATAOBJECT DataObjectOf(COleDataSource* pSource)
{
    LPDATAOBJECT pData = static_cast<LPDATAOBJECT>(pSource->GetInterface(&IID_IDataObject));
    pData->AddRef();
    return pData;
}

} // namespace

TEST_F(TaskPanelItemsTest, GroupLayouts)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Layouts");
    for (int i = 0; i < 4; i++)
        AddTestItem(pGroup, L"Item", xtpTaskItemTypeLink, static_cast<UINT>(i + 1));

    // Collapsed: the caption alone.
    pGroup->SetExpanded(FALSE);
    EXPECT_EQ(pGroup->GetCaptionHeight(), pGroup->GetTargetRect().Height());
    pGroup->SetExpanded(TRUE);
    EXPECT_EQ(pGroup->GetCaptionHeight() + pGroup->GetClientHeight(), pGroup->GetTargetRect().Height());

    // The icon grid narrower than one cell (16 + 6 + 6 = 28 pixels) keeps one column.
    pGroup->SetItemLayout(xtpTaskItemLayoutImages);
    m_panel->SetWindowPos(NULL, 0, 0, 12 + 11 + 20 + 11 + 12, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(1, pGroup->GetItemsInRow());
    EXPECT_EQ(28, pGroup->GetAt(1)->GetItemRect().top - pGroup->GetAt(0)->GetItemRect().top);
    m_panel->SetWindowPos(NULL, 0, 0, 200, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ((200 - 24 - 22) / 28, pGroup->GetItemsInRow());

    // Columns of text: a column width of 0 gives one column, 50 several.
    pGroup->SetItemLayout(xtpTaskItemLayoutImagesWithText);
    m_panel->SetMultiColumn(TRUE);
    m_panel->SetColumnWidth(0);
    EXPECT_EQ(1, pGroup->GetItemsInRow());
    m_panel->SetColumnWidth(50);
    EXPECT_EQ((200 - 24 - 22) / 50, pGroup->GetItemsInRow());
    EXPECT_EQ(pGroup->GetAt(0)->GetItemRect().top, pGroup->GetAt(1)->GetItemRect().top);
}

TEST_F(TaskPanelItemsTest, CaptionsDragFlagsAndAccessibleActions)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Rules");
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pGroup, L"Link", xtpTaskItemTypeLink, 1);
    CXTPTaskPanelGroupItem* pText = AddTestItem(pGroup, L"Text", xtpTaskItemTypeText);

    // The same caption again lays nothing out; another one does, once.
    m_panel->m_nScrollBarUpdates = 0;
    pLink->SetCaption(L"Link");
    EXPECT_EQ(0, m_panel->m_nScrollBarUpdates);
    pLink->SetCaption(L"Another link");
    EXPECT_EQ(1, m_panel->m_nScrollBarUpdates);

    // Inherited drag flags: the item's, else the group's, else the panel's, else 0xCC.
    struct Case
    {
        long nPanel, nGroup, nItem, nExpected;
    };
    const Case cases[] = {
        {1, 1, 1, 0xCC}, {0, 1, 1, 0}, {0x40, 1, 1, 0x40}, {0x40, 0x22, 1, 0x22}, {0x40, 0x22, 0x08, 0x08}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nExpected);
        m_panel->AllowDrag(c.nPanel);
        pGroup->SetAllowDrag(c.nGroup);
        pLink->SetAllowDrag(c.nItem);
        EXPECT_EQ(c.nExpected, pLink->GetAllowDrag());
    }
    CXTPTaskPanelGroupItem* pLoose = new CXTPTaskPanelGroupItem();
    pLoose->SetAllowDrag(1);
    EXPECT_EQ(0xCC, pLoose->GetAllowDrag()) << "an item without a panel";
    pLoose->InternalRelease();

    // A text line never takes the focus, however enabled and visible it is.
    EXPECT_FALSE(pText->IsAcceptFocus());
    EXPECT_TRUE(pLink->IsAcceptFocus());

    // Items select and focus themselves, and a group opens and closes, through their accessible parts.
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_EQ(S_OK, pLink->GetAccessible()->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, self));
    EXPECT_EQ(pLink, m_panel->GetFocusedItem());
    EXPECT_TRUE(pLink->IsItemSelected());
    long x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_EQ(S_OK, pLink->GetAccessible()->accLocation(&x, &y, &cx, &cy, self));
    CRect rcHit = pLink->GetHitTestRect();
    m_panel->ClientToScreen(&rcHit);
    EXPECT_EQ(CRect(x, y, x + cx, y + cy), rcHit);
    VARIANT hit;
    EXPECT_EQ(S_OK, pLink->GetAccessible()->accHitTest(rcHit.left + 1, rcHit.top + 1, &hit));
    EXPECT_EQ(S_OK, m_panel->GetAccessible()->accHitTest(rcHit.left + 1, rcHit.top + 1, &hit));
    ASSERT_EQ(VT_DISPATCH, hit.vt);
    EXPECT_EQ(static_cast<IDispatch*>(pLink->GetAccessible()), hit.pdispVal);
    hit.pdispVal->Release();
    EXPECT_EQ(S_FALSE, m_panel->GetAccessible()->accHitTest(-30000, -30000, &hit));
    BSTR action = nullptr;
    ASSERT_EQ(S_OK, pGroup->GetAccessible()->get_accDefaultAction(self, &action));
    EXPECT_STREQ(L"Expand", action);
    ::SysFreeString(action);
    EXPECT_EQ(S_OK, pGroup->GetAccessible()->accDoDefaultAction(self));
    EXPECT_FALSE(pGroup->IsExpanded());
    VARIANT state;
    ASSERT_EQ(S_OK, pGroup->GetAccessible()->get_accState(self, &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_COLLAPSED);
    ASSERT_EQ(S_OK, pLink->GetAccessible()->get_accState(self, &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_INVISIBLE) << "an item of a closed group is out of sight";
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_SELECTED);
}

TEST_F(TaskPanelItemsTest, ToolboxOpenGroupTakesTheFreeHeightSharedByAutoHeightItems)
{
    m_panel->SetBehaviour(xtpTaskPanelBehaviourToolbox);
    CXTPTaskPanelGroup* pTools = AddTestGroup(m_panel, L"Tools");
    CXTPTaskPanelGroupItem* pFixed = AddTestItem(pTools, L"Fixed", xtpTaskItemTypeLink, 1);
    pFixed->SetSize(CSize(60, 20));
    CXTPTaskPanelGroupItem* pSmall = AddTestItem(pTools, L"One share", xtpTaskItemTypeLink, 2);
    pSmall->SetSize(CSize(60, 10));
    pSmall->SetAutoHeight(TRUE);
    CXTPTaskPanelGroupItem* pLarge = AddTestItem(pTools, L"Three shares", xtpTaskItemTypeLink, 3);
    pLarge->SetSize(CSize(60, 30));
    pLarge->SetAutoHeight(TRUE);
    CXTPTaskPanelGroupItem* pAfter = AddTestItem(pTools, L"After", xtpTaskItemTypeLink, 4);
    pAfter->SetSize(CSize(60, 20));
    CXTPTaskPanelGroup* pOther = AddTestGroup(m_panel, L"Other");
    AddTestItem(pOther, L"Hidden", xtpTaskItemTypeLink, 5);
    pTools->SetExpanded(TRUE);
    ASSERT_EQ(pTools, m_panel->GetOpenGroup());
    EXPECT_FALSE(pOther->IsExpanded());

    // 300 high: margins 12 + 12, two captions, one spacing of 15; the rest is the open group's client.
    const int nCaption = pTools->GetCaptionHeight();
    const int nExpected = 300 - 24 - 2 * nCaption - 15;
    EXPECT_EQ(nExpected, pTools->GetClientHeight());
    const int nSpare = nExpected - (8 + 20 + 10 + 30 + 20 + 8);
    EXPECT_EQ(10 + nSpare * 10 / 40, pSmall->GetItemRect().Height());
    EXPECT_EQ(30 + (nSpare - nSpare * 10 / 40), pLarge->GetItemRect().Height());
    EXPECT_EQ(pLarge->GetItemRect().bottom, pAfter->GetItemRect().top);
    EXPECT_EQ(20, pAfter->GetItemRect().Height());

    // A panel too short for the group still gives it the minimum: 8 + max(32, 16 + 8) + 2.
    m_panel->SetWindowPos(NULL, 0, 0, 200, 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(8 + 32 + 2, pTools->GetClientHeight());
}

TEST_F(TaskPanelItemsTest, HostedControlStaysHiddenInACollapsedGroup)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Hosted");
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_BORDER, CRect(0, 0, 10, 10), m_panel, 1));
    CXTPTaskPanelGroupItem* pItem = new CXTPTaskPanelGroupItem();
    pItem->SetSize(CSize(120, 22));
    pItem->SetControlHandle(edit.GetSafeHwnd());
    pGroup->GetItems()->Add(pItem);
    EXPECT_TRUE(edit.IsWindowVisible());
    CRect rc;
    edit.GetWindowRect(&rc);
    EXPECT_EQ(CSize(120, 22), rc.Size());
    pGroup->SetExpanded(FALSE);
    EXPECT_FALSE(edit.IsWindowVisible());
    m_panel->Reposition(TRUE);
    EXPECT_FALSE(edit.IsWindowVisible());
    pItem->Remove();
    edit.DestroyWindow();
}

TEST_F(TaskPanelItemsTest, PersistenceWritesRawValuesAndLoadsThemBack)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Saved", TRUE);
    pGroup->SetInnerMargins(CRect(1, 2, 3, 4));
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pGroup, L"Link", xtpTaskItemTypeLink, 42);
    pLink->SetMargins(CRect(-1, 0, 5, 6));
    AddTestItem(pGroup, L"Text", xtpTaskItemTypeText);
    CXTPTaskPanelGroup* pCollapsed = AddTestGroup(m_panel, L"Closed");
    pCollapsed->SetExpanded(FALSE);
    {
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, kTestKey);
        m_panel->GetGroups()->DoPropExchange(&px);
    }
    EXPECT_EQ(L"2", RegistryText(L"", L"Count"));
    EXPECT_EQ(L"CXTPTaskPanelGroup", RegistryText(L"Item0", L"Class"));
    EXPECT_EQ(L"Saved", RegistryText(L"Item0", L"Caption"));
    EXPECT_EQ(L"1", RegistryText(L"Item0", L"Special"));
    EXPECT_EQ(L"1", RegistryText(L"Item0", L"Expanded"));
    EXPECT_EQ(L"1, 2, 3, 4", RegistryText(L"Item0", L"MarginsInner"));
    EXPECT_EQ(L"<absent>", RegistryText(L"Item0", L"MarginsOuter")) << "the marker is the default";
    EXPECT_EQ(L"<absent>", RegistryText(L"Item0", L"Enabled"));
    EXPECT_EQ(L"<absent>", RegistryText(L"Item0", L"IconPadding"));
    EXPECT_EQ(L"0", RegistryText(L"Item0", L"Type"));
    EXPECT_EQ(L"2", RegistryText(L"Item0\\Items", L"Count"));
    EXPECT_EQ(L"CXTPTaskPanelGroupItem", RegistryText(L"Item0\\Items\\Item0", L"Class"));
    EXPECT_EQ(L"42", RegistryText(L"Item0\\Items\\Item0", L"Id"));
    EXPECT_EQ(L"<absent>", RegistryText(L"Item0\\Items\\Item0", L"Type")) << "a link is the default type";
    EXPECT_EQ(L"-1, 0, 5, 6", RegistryText(L"Item0\\Items\\Item0", L"Margins"));
    EXPECT_EQ(L"2", RegistryText(L"Item0\\Items\\Item1", L"Type"));
    EXPECT_EQ(L"<absent>", RegistryText(L"Item1", L"Expanded"));

    // Loading replaces the groups and lays the panel out once, announcing the closed group's state.
    AddTestGroup(m_panel, L"Replaced");
    m_dialog->ClearNotifications();
    m_panel->m_nScrollBarUpdates = 0;
    {
        CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kTestKey);
        m_panel->GetGroups()->DoPropExchange(&px);
    }
    EXPECT_EQ(1, m_panel->m_nScrollBarUpdates);
    ASSERT_EQ(2, m_panel->GetGroupCount());
    CXTPTaskPanelGroup* pLoaded = m_panel->GetAt(0);
    EXPECT_EQ(L"Saved", std::wstring(pLoaded->GetCaption()));
    EXPECT_TRUE(pLoaded->IsSpecialGroup());
    EXPECT_EQ(CRect(1, 2, 3, 4), pLoaded->GetInnerMargins());
    ASSERT_EQ(2, pLoaded->GetCount());
    EXPECT_EQ(42u, pLoaded->GetAt(0)->GetID());
    EXPECT_EQ(CRect(-1, 0, 5, 6), pLoaded->GetAt(0)->GetMargins());
    EXPECT_EQ(xtpTaskItemTypeText, pLoaded->GetAt(1)->GetType());
    EXPECT_FALSE(m_panel->GetAt(1)->IsExpanded());
    ASSERT_EQ(2, m_dialog->CountCode(XTP_TPN_GROUPEXPANDING));
    EXPECT_TRUE(m_dialog->m_notifications[0].bExpanded);
    EXPECT_FALSE(m_dialog->m_notifications[1].bExpanded);

    // A schema of 8 has no "Visible" and no padding: they load as TRUE and the marker.
    pLink = m_panel->GetAt(0)->GetAt(0);
    pLink->SetVisible(FALSE);
    pLink->SetIconPadding(CRect(1, 1, 1, 1));
    {
        CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER,
                                    (std::wstring(kTestKey) + L"\\Item0\\Items\\Item0").c_str());
        px.m_nSchema = 8;
        pLink->DoPropExchange(&px);
    }
    EXPECT_TRUE(pLink->IsVisible());
    EXPECT_TRUE(IsTaskPanelDefaultMarker(pLink->GetIconPadding()));
}

TEST_F(TaskPanelItemsTest, LoadingAClassThatIsNoGroupFailsAsABadClass)
{
    AddTestGroup(m_panel, L"Kept until the load");
    const std::wstring section = std::wstring(kTestKey) + L"\\Item0";
    const DWORD nCount = 1;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetKeyValueW(HKEY_CURRENT_USER, kTestKey, L"Count", REG_DWORD, &nCount, sizeof(nCount)));
    const wchar_t szClass[] = L"CXTPTaskPanelGroupItem";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), L"Class", REG_SZ, szClass,
                                               sizeof(szClass)));
    int nCause = -1;
    try {
        CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kTestKey);
        m_panel->GetGroups()->DoPropExchange(&px);
    } catch (CArchiveException* e) {
        nCause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CArchiveException::badClass, nCause);
    EXPECT_FALSE(m_panel->IsUpdateLocked()) << "the lock is lowered on the way out";
    EXPECT_EQ(0, m_panel->GetGroupCount());
    AddTestGroup(m_panel, L"Still works");
    EXPECT_GT(m_panel->GetAt(0)->GetTargetRect().Height(), 0);
}

TEST_F(TaskPanelItemsTest, ClipboardCopiesRoundTripAndBadStreamsMakeNothing)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Copy");
    CXTPTaskPanelGroupItem* pLink = AddTestItem(pGroup, L"Copied link", xtpTaskItemTypeLink, 9);
    pLink->SetTooltip(L"Its tip");
    pLink->SetBold(TRUE);
    pLink->SetIconIndex(4);
    pLink->SetDragText(L"drag me");

    HGLOBAL hCopy = pLink->CopyToHGlobal();
    ASSERT_NE(nullptr, hCopy);
    // The block holds the item's bytes and nothing after them.
    std::vector<BYTE> bytes(::GlobalSize(hCopy));
    memcpy(bytes.data(), ::GlobalLock(hCopy), bytes.size());
    ::GlobalUnlock(hCopy);
    ASSERT_GT(bytes.size(), 40u);
    EXPECT_LT(bytes.size(), 400u);
    EXPECT_EQ('e', bytes[bytes.size() - 2]) << "the drag text is the last thing written";
    {
        COleDataSource* pSource = MakeSource(hCopy);
        COleDataObject data;
        data.Attach(DataObjectOf(pSource));
        CXTPTaskPanelItem* pCreated = CXTPTaskPanelItem::CreateFromOleData(&data);
        ASSERT_NE(nullptr, pCreated);
        ASSERT_TRUE(pCreated->IsKindOf(RUNTIME_CLASS(CXTPTaskPanelGroupItem)));
        CXTPTaskPanelGroupItem* pCopy = static_cast<CXTPTaskPanelGroupItem*>(pCreated);
        EXPECT_EQ(L"Copied link", std::wstring(pCopy->GetCaption()));
        EXPECT_EQ(L"Its tip", std::wstring(pCopy->GetTooltip()));
        EXPECT_EQ(9u, pCopy->GetID());
        EXPECT_EQ(4, pCopy->GetIconIndex());
        EXPECT_TRUE(pCopy->IsBold());
        EXPECT_EQ(L"drag me", std::wstring(pCopy->GetDragText()));
        pCopy->InternalRelease();
        data.Release();
        pSource->InternalRelease();
    }

    struct Case
    {
        const char* name;
        HGLOBAL hData;
    };
    // A caption whose length claims far more than the block holds.
    const std::vector<BYTE> hugeLength = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    const Case cases[] = {
        {"short", BlockOf(bytes.data(), bytes.size() / 2)},
        {"empty", BlockOf(bytes.data(), 1)},
        {"not an item", ArchiveNaming(RUNTIME_CLASS(CNotAnItem))},
        {"oversized caption", ArchiveNaming(RUNTIME_CLASS(CXTPTaskPanelGroupItem), hugeLength)},
        {"class only", ArchiveNaming(RUNTIME_CLASS(CXTPTaskPanelGroupItem), {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleDataSource* pSource = MakeSource(c.hData);
        COleDataObject data;
        data.Attach(DataObjectOf(pSource));
        CXTPTaskPanelItem* pCreated = CXTPTaskPanelItem::CreateFromOleData(&data);
        EXPECT_EQ(nullptr, pCreated);
        data.Release();
        pSource->InternalRelease();
    }
}

TEST_F(TaskPanelItemsTest, DropsInsertGroupItemsOnlyWhereTheMarkIs)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Target");
    CXTPTaskPanelGroupItem* pFirst = AddTestItem(pGroup, L"First", xtpTaskItemTypeLink, 1);
    CXTPTaskPanelGroupItem* pLast = AddTestItem(pGroup, L"Last", xtpTaskItemTypeLink, 2);
    CXTPTaskPanelGroup* pClosed = AddTestGroup(m_panel, L"Closed");
    pClosed->SetExpanded(FALSE);
    CXTPTaskPanelGroupItem* pSource = AddTestItem(pGroup, L"Dropped", xtpTaskItemTypeLink, 3);
    HGLOBAL hItem = pSource->CopyToHGlobal();
    pSource->Remove();

    auto dataWith = [](HGLOBAL hData, const char* pszText, COleDataObject& data) {
        COleDataSource* pSource = MakeSource(hData, pszText);
        data.Attach(DataObjectOf(pSource));
        pSource->InternalRelease();
    };
    auto lowerHalf = [](const CXTPTaskPanelItem* pItem) {
        const CRect rc = pItem->GetHitTestRect();
        return CPoint(rc.left + 2, rc.bottom - 2);
    };
    auto upperHalf = [](const CXTPTaskPanelItem* pItem) {
        const CRect rc = pItem->GetHitTestRect();
        return CPoint(rc.left + 2, rc.top + 1);
    };

    // From another program the data needs text as well; without it nothing is a target.
    {
        COleDataObject data;
        dataWith(hItem, nullptr, data);
        EXPECT_EQ(DROPEFFECT_NONE, m_panel->OnDragOver(&data, 0, lowerHalf(pLast)));
    }
    HGLOBAL hItem2 = pFirst->CopyToHGlobal();
    {
        COleDataObject data;
        dataWith(hItem2, "text", data);
        EXPECT_EQ(DROPEFFECT_MOVE, m_panel->OnDragOver(&data, 0, lowerHalf(pLast)));
        EXPECT_EQ(pGroup, m_panel->GetDropTargetItem()) << "below the last item the group is the target";
        EXPECT_EQ(DROPEFFECT_COPY, m_panel->OnDragOver(&data, MK_CONTROL, lowerHalf(pLast)));
        m_dialog->ClearNotifications();
        EXPECT_TRUE(m_panel->OnDrop(&data, DROPEFFECT_COPY, lowerHalf(pLast)));
        ASSERT_EQ(3, pGroup->GetCount());
        EXPECT_EQ(L"First", std::wstring(pGroup->GetAt(2)->GetCaption()));
        EXPECT_EQ(pGroup->GetAt(2), m_panel->GetFocusedItem());
        EXPECT_EQ(1, m_dialog->CountCode(XTP_TPN_ITEMDROP));
    }
    {
        COleDataObject data;
        HGLOBAL hAgain = pLast->CopyToHGlobal();
        dataWith(hAgain, "text", data);
        m_panel->OnDragOver(&data, 0, upperHalf(pFirst));
        EXPECT_EQ(pFirst, m_panel->GetDropTargetItem());
        m_panel->OnDragOver(&data, 0, lowerHalf(pFirst));
        EXPECT_EQ(pLast, m_panel->GetDropTargetItem()) << "the lower half aims at the next item";
        EXPECT_TRUE(m_panel->OnDrop(&data, DROPEFFECT_MOVE, lowerHalf(pFirst)));
        EXPECT_EQ(L"Last", std::wstring(pGroup->GetAt(1)->GetCaption()));
        EXPECT_EQ(4, pGroup->GetCount());
        // Leaving clears the target.
        m_panel->OnDragOver(&data, 0, upperHalf(pFirst));
        m_panel->GetDropTarget()->OnDragLeave(m_panel);
        EXPECT_EQ(nullptr, m_panel->GetDropTargetItem());
    }
    // A collapsed group under the drag opens after the hover time.
    {
        COleDataObject data;
        dataWith(pFirst->CopyToHGlobal(), "text", data);
        m_panel->OnDragOver(&data, 0,
                            CPoint(pClosed->GetHitTestRect().left + 30, pClosed->GetHitTestRect().top + 3));
        EXPECT_EQ(pClosed, m_panel->GetDropTargetItem());
        m_panel->SendMessage(WM_TIMER, XTP_TASKPANEL_TIMER_HOVER_EXPAND);
        EXPECT_TRUE(pClosed->IsExpanded());
        m_panel->GetDropTarget()->OnDragLeave(m_panel);
    }

    // Data naming a group, or a class that is no item, inserts nothing.
    const int nCount = pGroup->GetCount();
    struct Case
    {
        const char* name;
        HGLOBAL hData;
    };
    const Case cases[] = {
        {"a group", pClosed->CopyToHGlobal()},
        {"no item", ArchiveNaming(RUNTIME_CLASS(CNotAnItem))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleDataObject data;
        dataWith(c.hData, "text", data);
        m_panel->OnDragOver(&data, 0, lowerHalf(pFirst));
        EXPECT_FALSE(m_panel->OnDrop(&data, DROPEFFECT_COPY, lowerHalf(pFirst)));
        EXPECT_EQ(nCount, pGroup->GetCount());
        EXPECT_EQ(2, m_panel->GetGroupCount());
    }

    // This panel's own drag: the item's flags decide, and within-group flags keep it in its group.
    struct FlagCase
    {
        const char* name;
        long nFlags;
        bool bOwnGroup;
        DWORD dwKeys;
        DROPEFFECT expected;
    };
    const FlagCase flagCases[] = {
        {"move and copy in the group", 0x22, true, 0, DROPEFFECT_MOVE},
        {"move and copy in the group, Ctrl", 0x22, true, MK_CONTROL, DROPEFFECT_COPY},
        {"move and copy in the group, elsewhere", 0x22, false, 0, DROPEFFECT_NONE},
        {"copy in the panel only", 0x04, false, 0, DROPEFFECT_COPY},
        {"move in the panel only", 0x40, false, MK_CONTROL, DROPEFFECT_MOVE},
        {"out of the panel only", 0x88, true, 0, DROPEFFECT_NONE},
    };
    for (const FlagCase& c : flagCases) {
        SCOPED_TRACE(c.name);
        pFirst->SetAllowDrag(c.nFlags);
        m_panel->SetDraggedItem(pFirst);
        COleDataObject data;
        dataWith(pFirst->CopyToHGlobal(), nullptr, data);
        const CPoint pt =
            c.bOwnGroup ? upperHalf(pLast)
                        : CPoint(pClosed->GetHitTestRect().left + 30, pClosed->GetHitTestRect().top + 3);
        EXPECT_EQ(c.expected, m_panel->OnDragOver(&data, c.dwKeys, pt));
        m_panel->GetDropTarget()->OnDragLeave(m_panel);
    }
    m_panel->SetDraggedItem(nullptr);
    ::GlobalFree(hItem);
}

TEST_F(TaskPanelItemsTest, DragTextIsSizedByTheConversionItself)
{
    CXTPTaskPanelGroup* pGroup = AddTestGroup(m_panel, L"Text");
    CXTPTaskPanelGroupItem* pItem = AddTestItem(pGroup, L"Item", xtpTaskItemTypeLink, 1);
    const UINT nCodePage = ::GetACP();
    // Characters the ANSI code page holds in one byte and, where it is a double-byte one, in two.
    const std::wstring text = L"caf\u00E9 \u00FC";
    pItem->SetDragText(text.c_str());
    COleDataSource* pSource = new COleDataSource();
    ASSERT_TRUE(pItem->PrepareDrag(*pSource, TRUE));
    COleDataObject data;
    data.Attach(DataObjectOf(pSource));
    HGLOBAL hText = data.GetGlobalData(CF_TEXT);
    ASSERT_NE(nullptr, hText);
    const int nExpected = ::WideCharToMultiByte(nCodePage, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::string expected(static_cast<size_t>(nExpected), '\0');
    ::WideCharToMultiByte(nCodePage, 0, text.c_str(), -1, expected.data(), nExpected, NULL, NULL);
    // Room for every byte of the converted text and its terminator.
    EXPECT_GE(::GlobalSize(hText), static_cast<SIZE_T>(nExpected));
    EXPECT_STREQ(expected.c_str(), static_cast<const char*>(::GlobalLock(hText)));
    ::GlobalUnlock(hText);
    ::GlobalFree(hText);
    data.Release();
    pSource->InternalRelease();
}
