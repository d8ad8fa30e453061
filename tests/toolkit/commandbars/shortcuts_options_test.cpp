// The shortcut manager's texts, choices and stored table, and the options exchanged with the
// registry and with an archive; everything stored is read back raw from the registry.
#include "input_test_frame.h"
#include "prop_exchange.h"
#include "scratch_registry.h"

#include <cstring>

namespace input_test {
namespace {

const wchar_t kRegistryKey[] = L"CorvaneToolkitInputTest";

// The application's key under a scratch registry key of the test's own, removed before and after.
class ScratchRegistry : public commandbars_test::ScratchRegistryTest
{
protected:
    ScratchRegistry() : ScratchRegistryTest(kRegistryKey, L"InputTest") {}
};

ACCEL Accel(BYTE fVirt, WORD key, WORD cmd)
{
    ACCEL accel;
    accel.fVirt = fVirt;
    accel.key = key;
    accel.cmd = cmd;
    return accel;
}

TEST(ShortcutTexts, AcceleratorsReadAsTheirKeysInTheFixedOrder)
{
    CXTPShortcutManager manager;
    struct Case
    {
        ACCEL accel;
        const wchar_t* text;
        int nPriority;
    };
    const Case cases[] = {
        {Accel(FVIRTKEY | FCONTROL | FSHIFT, VK_F5, 1), L"Ctrl+Shift+F5", 3},
        {Accel(FVIRTKEY | FALT, 'S', 1), L"Alt+S", 2},
        {Accel(FVIRTKEY, 'A', 1), L"A", 4},
        {Accel(FVIRTKEY | FSHIFT, VK_DELETE, 1), L"Shift+Del", 1},
        {Accel(FVIRTKEY | FSHIFT | FALT | FCONTROL, VK_NUMPAD7, 1), L"Ctrl+Shift+Alt+Num 7", 3},
        // Ctrl+Break names its modifier itself.
        {Accel(FVIRTKEY | FCONTROL, VK_CANCEL, 1), L"Ctrl+Break", 3},
        // A character key is the character; Esc and Tab as characters show nothing.
        {Accel(FCONTROL, L'x', 1), L"Ctrl+x", 3},
        {Accel(0, VK_ESCAPE, 1), L"", 4},
        {Accel(FSHIFT, VK_TAB, 1), L"Shift+", 1},
        // No key: modifiers without the last "+", and nothing at all without them.
        {Accel(FVIRTKEY | FCONTROL, 0, 1), L"Ctrl", 3},
        {Accel(FVIRTKEY, 0, 1), L"", 4},
    };
    for (const Case& c : cases) {
        int nPriority = 0;
        EXPECT_EQ(CString(c.text), manager.FormatAccelerator(&c.accel, &nPriority)) << Narrow(c.text);
        EXPECT_EQ(c.nPriority, nPriority) << Narrow(c.text);
    }
    EXPECT_EQ(CString(L"Page Up"), manager.GetKeyName(VK_PRIOR));
    EXPECT_EQ(CString(L"F12"), manager.GetKeyName(VK_F12));
    EXPECT_EQ(CString(L"Oem Clear"), manager.GetKeyName(254));
}

TEST(ShortcutTexts, TheDefaultShortcutPrefersTheKeyWithoutModifiersThenCtrl)
{
    CXTPShortcutManager manager;
    const ACCEL table[] = {Accel(FVIRTKEY | FCONTROL, 'S', 10), Accel(FVIRTKEY, VK_F12, 10),
                           Accel(FVIRTKEY | FALT, 'S', 11), Accel(FVIRTKEY | FCONTROL, 'S', 11),
                           Accel(FVIRTKEY | FSHIFT, 'P', 12)};
    manager.SetAccelerators(table, 5);
    struct Case
    {
        UINT nCmd;
        const wchar_t* given;
        const wchar_t* text;
        BOOL bFound;
    };
    const Case cases[] = {{10, L"", L"F12", TRUE},
                          {11, L"", L"Ctrl+S", TRUE},
                          {11, L"Alt+S", L"Alt+S", TRUE},
                          {12, L"Ctrl+P", L"Shift+P", TRUE},
                          {13, L"stale", L"", FALSE}};
    for (const Case& c : cases) {
        CString strText = c.given;
        EXPECT_EQ(c.bFound, manager.FindDefaultAccelerator(c.nCmd, strText)) << c.nCmd;
        EXPECT_EQ(CString(c.text), strText) << c.nCmd;
    }
    // Without any table there is nothing to find.
    CXTPShortcutManager empty;
    CString strText = L"x";
    EXPECT_FALSE(empty.FindDefaultAccelerator(10, strText));
    EXPECT_TRUE(strText.IsEmpty());
}

TEST(ShortcutTexts, EscapeAloneIsAShortcutOnlyWhenAllowed)
{
    CXTPShortcutManager manager;
    EXPECT_FALSE(manager.IsAllowedAccelerator(FVIRTKEY, VK_ESCAPE));
    EXPECT_TRUE(manager.IsAllowedAccelerator(FVIRTKEY | FSHIFT, VK_ESCAPE));
    EXPECT_TRUE(manager.IsAllowedAccelerator(FVIRTKEY, VK_F1));
    manager.m_bAllowEscapeShortcut = TRUE;
    EXPECT_TRUE(manager.IsAllowedAccelerator(FVIRTKEY, VK_ESCAPE));
}

// Two layouts, so that the search across layouts runs.
class TwoLayoutShortcuts : public CXTPShortcutManager
{
protected:
    std::vector<HKL> GetKeyboardLayouts() const override
    {
        return {::GetKeyboardLayout(0), ::GetKeyboardLayout(0)};
    }
};

TEST(ShortcutTexts, AccessKeysMatchTheKeysCharacterInEitherCase)
{
    CXTPShortcutManager one;
    TwoLayoutShortcuts two;
    for (CXTPShortcutManager* pManager :
         {static_cast<CXTPShortcutManager*>(&one), static_cast<CXTPShortcutManager*>(&two)}) {
        EXPECT_TRUE(pManager->CompareAccessKey(L'f', 'F'));
        EXPECT_TRUE(pManager->CompareAccessKey(L'F', 'F'));
        EXPECT_FALSE(pManager->CompareAccessKey(L'g', 'F'));
        // A key without a character never matches.
        EXPECT_FALSE(pManager->CompareAccessKey(L'\0', VK_F2));
    }
}

TEST(ShortcutTables, ResetGoesBackToTheTableAsLoaded)
{
    CXTPShortcutManager manager;
    ASSERT_TRUE(manager.LoadAccelerators(IDR_CB_FRAME));
    EXPECT_EQ(4u, manager.GetAccelerators().size());
    const ACCEL mine[] = {Accel(FVIRTKEY, VK_F2, ID_CB_OPEN)};
    manager.SetAccelerators(mine, 1);
    CString strText;
    EXPECT_TRUE(manager.FindDefaultAccelerator(ID_CB_OPEN, strText));
    EXPECT_EQ(CString(L"F2"), strText);
    manager.Reset();
    strText.Empty();
    EXPECT_TRUE(manager.FindDefaultAccelerator(ID_CB_OPEN, strText));
    EXPECT_EQ(CString(L"Ctrl+O"), strText);
    // A missing resource leaves no table at all.
    EXPECT_FALSE(manager.LoadAccelerators(IDR_CB_BAD_COUNT));
    EXPECT_EQ(nullptr, manager.GetDefaultAccelerator());
    EXPECT_EQ(nullptr, manager.GetOriginalAccelerator());
}

using FrameShortcuts = FrameTest;

TEST_F(FrameShortcuts, WithoutTablesOfItsOwnTheManagerReadsTheFramesTable)
{
    CXTPCommandBars* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pBars->AttachFrame(m_pFrame);
    CString strText;
    EXPECT_FALSE(pBars->GetShortcutManager()->FindDefaultAccelerator(ID_CB_OPEN, strText));
    const HACCEL hFrameTable = m_pFrame->m_hAccelTable;
    m_pFrame->m_hAccelTable = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_CB_FRAME));
    EXPECT_TRUE(pBars->GetShortcutManager()->FindDefaultAccelerator(ID_CB_OPEN, strText));
    EXPECT_EQ(CString(L"Ctrl+O"), strText);
    m_pFrame->m_hAccelTable = hFrameTable;
    pBars->InternalRelease();
}

using StoredShortcuts = ScratchRegistry;

TEST_F(StoredShortcuts, TheTableIsStoredAsSixByteRecordsAndReadBackByWholeRecords)
{
    CXTPShortcutManager manager;
    // Nothing is stored without a table from the resources.
    manager.SaveShortcuts(L"CommandBars");
    EXPECT_TRUE(ReadValues(L"CommandBars").empty());

    ASSERT_TRUE(manager.LoadAccelerators(IDR_CB_FRAME));
    manager.SaveShortcuts(L"CommandBars");
    auto values = ReadValues(L"CommandBars");
    ASSERT_EQ(1u, values.count(L"Accelerators"));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), values[L"Accelerators"].first);
    const std::vector<BYTE>& bytes = values[L"Accelerators"].second;
    ASSERT_EQ(24u, bytes.size());
    // fVirt, 0, key, cmd: Ctrl+N first, as the resource lists it.
    const std::vector<BYTE> first = {FVIRTKEY | FCONTROL, 0, 'N', 0, LOBYTE(ID_CB_NEW), HIBYTE(ID_CB_NEW)};
    EXPECT_EQ(first, std::vector<BYTE>(bytes.begin(), bytes.begin() + 6));

    // 13 bytes: two whole records and a stray byte.
    const BYTE stored[13] = {FVIRTKEY, 0, VK_F3, 0, 0x10, 0x0C, FVIRTKEY | FALT, 0, 'Q', 0, 0x11, 0x0C, 0xEE};
    WriteValue(L"CommandBars", L"Accelerators", REG_BINARY, stored, sizeof(stored));
    manager.LoadShortcuts(L"CommandBars");
    std::vector<ACCEL> loaded = manager.GetAccelerators();
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ(VK_F3, loaded[0].key);
    EXPECT_EQ(0x0C10, loaded[0].cmd);
    EXPECT_EQ(FVIRTKEY | FALT, loaded[1].fVirt & ~FNOINVERT);
    EXPECT_EQ(0x0C11, loaded[1].cmd);

    // Less than one record is damage: the working table stays.
    WriteValue(L"CommandBars", L"Accelerators", REG_BINARY, stored, 5);
    manager.LoadShortcuts(L"CommandBars");
    EXPECT_EQ(2u, manager.GetAccelerators().size());
}

using StoredOptions = ScratchRegistry;

TEST_F(StoredOptions, OnlyValuesOtherThanTheirDefaultsAreStored)
{
    CXTPCommandBars* pBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    CXTPCommandBarsOptions* pOptions = pBars->GetCommandBarsOptions();
    pBars->SaveOptions(L"CommandBars");
    EXPECT_TRUE(ReadValues(L"CommandBars-Options").empty());

    pOptions->bToolBarAccelTips = TRUE;
    pOptions->bShowFullAfterDelay = FALSE;
    pOptions->animationType = 3;
    pOptions->m_mapUsedCommands = {ID_CB_OPEN, ID_CB_SAVE};
    pOptions->bSyncFloatingBars = FALSE; // not a user option
    pBars->SaveOptions(L"CommandBars");
    auto values = ReadValues(L"CommandBars-Options");
    EXPECT_EQ(3u, values.size());
    for (const auto& value : values)
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.second.first) << Narrow(value.first);
    EXPECT_EQ(1u, Dword(values[L"ToolBarAccelTips"].second));
    EXPECT_EQ(0u, Dword(values[L"ShowFullAfterDelay"].second));
    EXPECT_EQ(3u, Dword(values[L"Animation"].second));
    auto used = ReadValues(L"CommandBars-Options\\UsedCommands");
    EXPECT_EQ(2u, Dword(used[L"Count"].second));
    EXPECT_EQ(static_cast<DWORD>(ID_CB_OPEN), Dword(used[L"Item0"].second));
    EXPECT_EQ(static_cast<DWORD>(ID_CB_SAVE), Dword(used[L"Item1"].second));

    // Loading takes them back; an emptied set leaves no stale items behind.
    CXTPCommandBars* pOther = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pOther->LoadOptions(L"CommandBars");
    EXPECT_TRUE(pOther->GetCommandBarsOptions()->bToolBarAccelTips);
    EXPECT_FALSE(pOther->GetCommandBarsOptions()->bShowFullAfterDelay);
    EXPECT_EQ(3, pOther->GetCommandBarsOptions()->animationType);
    EXPECT_EQ((std::set<UINT>{ID_CB_OPEN, ID_CB_SAVE}), pOther->GetCommandBarsOptions()->m_mapUsedCommands);
    pOptions->m_mapUsedCommands.clear();
    pBars->SaveOptions(L"CommandBars");
    pOther->LoadOptions(L"CommandBars");
    EXPECT_TRUE(pOther->GetCommandBarsOptions()->m_mapUsedCommands.empty());

    pBars->InternalRelease();
    pOther->InternalRelease();
}

TEST_F(StoredOptions, SizesAreTextAndAnOldSchemaSkipsWhatItDidNotHave)
{
    CXTPCommandBarsOptions options;
    options.szIcons = CSize(24, 20);
    options.m_mapHiddenCommands = {ID_CB_PRINT};
    HKEY hAppKey = theApp.GetAppRegistryKey();
    ASSERT_NE(nullptr, hAppKey);
    {
        CXTPPropExchangeRegistry px(FALSE, hAppKey, L"Full");
        options.DoPropExchange(&px);
    }
    auto values = ReadValues(L"Full");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), values[L"IconsSize"].first);
    EXPECT_EQ(CString(L"24, 20"),
              CString(reinterpret_cast<const wchar_t*>(values[L"IconsSize"].second.data())));
    EXPECT_EQ(0u, values.count(L"PopupIconsSize"));
    EXPECT_EQ(1u, Dword(ReadValues(L"Full\\HiddenCommands")[L"Count"].second));

    // A section written with schema 7, by hand.
    WriteDword(L"Old", L"Schema", 7);
    WriteDword(L"Old", L"Animation", 2);
    WriteDword(L"Old", L"ToolBarAccelTips", 1);
    WriteDword(L"Old\\UsedCommands", L"Count", 1);
    WriteDword(L"Old\\UsedCommands", L"Item0", ID_CB_NEW);
    WriteDword(L"Old", L"KeyboardCuesUse", 2);
    for (BOOL bUserOnly : {FALSE, TRUE}) {
        CXTPCommandBarsOptions loaded;
        CXTPPropExchangeRegistry px(TRUE, hAppKey, L"Old");
        loaded.DoPropExchange(&px, bUserOnly);
        EXPECT_TRUE(loaded.bToolBarAccelTips);
        EXPECT_TRUE(loaded.m_mapUsedCommands.empty()) << bUserOnly;
        EXPECT_EQ(bUserOnly ? 2 : 0, loaded.animationType);
        EXPECT_EQ(1, loaded.keyboardCuesUse) << "schema 7 has no cue settings";
    }
    // A count larger than the items loads the items there are.
    WriteDword(L"Cut", L"Schema", 16);
    WriteDword(L"Cut\\UsedCommands", L"Count", 1000000);
    WriteDword(L"Cut\\UsedCommands", L"Item0", ID_CB_NEW);
    WriteDword(L"Cut\\UsedCommands", L"Item1", ID_CB_OPEN);
    WriteDword(L"Cut\\UsedCommands", L"Item3", ID_CB_SAVE);
    {
        CXTPCommandBarsOptions loaded;
        CXTPPropExchangeRegistry px(TRUE, hAppKey, L"Cut");
        loaded.DoPropExchange(&px, TRUE);
        EXPECT_EQ((std::set<UINT>{ID_CB_NEW, ID_CB_OPEN}), loaded.m_mapUsedCommands);
    }
    ::RegCloseKey(hAppKey);
}

TEST(ArchivedOptions, TheArchiveFormReadsBackEqualAndConsumesEveryValue)
{
    CXTPCommandBarsOptions options;
    options.bSyncFloatingBars = FALSE;
    options.bShowExpandButtonAlways = FALSE;
    options.bDblClickFloat = TRUE;
    options.szPopupIcons = CSize(20, 20);
    options.keyboardCuesUse = 5;
    options.m_mapHiddenCommands = {ID_CB_PRINT, ID_CB_SEND};
    options.m_mapUsedCommands = {ID_CB_SEND};
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        options.Serialize(ar);
    }
    const ULONGLONG nStored = file.GetLength();
    // Schema, 5 switches, the used set (count, 1 item), the animation, 2 switches, 2 sizes (as
    // written by the archive), the hidden set (count, 2 items), 3 image switches, the two switches
    // again, 4 switches, a size and 2 cue values.
    file.SeekToBegin();
    CXTPCommandBarsOptions loaded;
    {
        CArchive ar(&file, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_EQ(0u, XTArchiveBytesLeft(ar));
    }
    EXPECT_GT(nStored, 0u);
    EXPECT_FALSE(loaded.bSyncFloatingBars);
    EXPECT_FALSE(loaded.bShowExpandButtonAlways);
    EXPECT_TRUE(loaded.bDblClickFloat);
    EXPECT_EQ(CSize(20, 20), loaded.szPopupIcons);
    EXPECT_EQ(5, loaded.keyboardCuesUse);
    EXPECT_EQ(options.m_mapHiddenCommands, loaded.m_mapHiddenCommands);
    EXPECT_EQ(options.m_mapUsedCommands, loaded.m_mapUsedCommands);
}

// An exchange that stores nothing and notes the names in the order the options give them.
class NameRecorder : public CXTPPropExchange
{
public:
    explicit NameRecorder(std::vector<CString>* pNames, const CString& strPrefix = CString())
        : m_pNames(pNames), m_strPrefix(strPrefix)
    {}
    BOOL ExchangeValue(LPCTSTR pszPropName, VARTYPE, void*, const void*) override
    {
        m_pNames->push_back(m_strPrefix + pszPropName);
        return TRUE;
    }
    CXTPPropExchange* GetSection(LPCTSTR pszSection) override
    {
        auto* pSection = new NameRecorder(m_pNames, m_strPrefix + pszSection + L"/");
        InitSection(pSection);
        return pSection;
    }
    BOOL CanOmitDefaults() const override { return FALSE; }

private:
    std::vector<CString>* m_pNames;
    CString m_strPrefix;
};

TEST(ArchivedOptions, TheFullExchangeGoesInItsFixedOrderWithTwoSwitchesTwice)
{
    CXTPCommandBarsOptions options;
    std::vector<CString> names;
    NameRecorder recorder(&names);
    options.DoPropExchange(&recorder);
    const std::vector<CString> expected = {L"Schema",
                                           L"AlwaysShowFullMenus",
                                           L"ShowFullAfterDelay",
                                           L"ToolBarScreenTips",
                                           L"ToolBarAccelTips",
                                           L"LargeIcons",
                                           L"UsedCommands/Count",
                                           L"Animation",
                                           L"SyncFloatingBars",
                                           L"ShowExpandButtonAlways",
                                           L"IconsSize",
                                           L"LargeIconsSize",
                                           L"HiddenCommands/Count",
                                           L"IconsWithShadow",
                                           L"UseDisabledIcons",
                                           L"UseFadedIcons",
                                           L"SyncFloatingBars",
                                           L"ShowExpandButtonAlways",
                                           L"DblClickFloat",
                                           L"ShowTextBelowIcons",
                                           L"AltDragCustomization",
                                           L"AutoHideUnusedPopups",
                                           L"PopupIconsSize",
                                           L"KeyboardCuesUse",
                                           L"KeyboardCuesShow"};
    EXPECT_EQ(expected, names);
    names.clear();
    options.DoPropExchange(&recorder, TRUE);
    EXPECT_EQ(std::vector<CString>(expected.begin(), expected.begin() + 8), names);
}

} // namespace
} // namespace input_test
