// The File Types dialog over signature files written here and over the program's own Raw.dat: the tree
// of categories, the three check states, the signatures that OK chooses, the size limit, and a missing
// file.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "box_answerer.h"
#include "engine/recovery/core/engine_state.h"
#include "file_types_dlg.h"
#include "message_dialogs.h"
#include "partition_step_ids.h"
#include "support/screenshot.h"
#include "support/test_paths.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

void PutField(std::string& out, const std::string& data)
{
    out.push_back(static_cast<char>(data.size() & 0xFF));
    out.push_back(static_cast<char>(data.size() >> 8));
    out += data;
}

std::string Record(char category, const std::string& extension, const std::string& typeName,
                   const std::string& signature)
{
    std::string out = {'\x01', '\x00', category};
    PutField(out, extension);
    PutField(out, typeName);
    PutField(out, std::to_string(signature.size()));
    PutField(out, signature);
    PutField(out, "");
    return out;
}

class SignatureFile
{
public:
    explicit SignatureFile(const std::string& bytes)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        const std::string name = test_support::UniqueTempName("file_types_", ".dat");
        m_path = std::wstring(folder) + std::wstring(name.begin(), name.end());
        std::ofstream out(m_path.c_str(), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~SignatureFile() { ::DeleteFileW(m_path.c_str()); }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

class FileTypesDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(StartedFrame(), nullptr);
        FreeFileSignatureList();
        TraceItemSizeMiB = 1;
    }
    void TearDown() override
    {
        if (m_dialog.GetSafeHwnd() != NULL)
            m_dialog.DestroyWindow();
        FreeFileSignatureList();
        TraceItemSizeMiB = 1;
        PumpMessages(10);
    }

    void Open(const std::wstring& path)
    {
        m_dialog.m_strSignatureFile = path.c_str();
        ASSERT_TRUE(m_dialog.Create(IDD_FILE_TYPES, StartedFrame()));
        m_dialog.ShowWindow(SW_SHOW);
        PumpMessages(20);
    }

    HTREEITEM Child(HTREEITEM parent, const wchar_t* text)
    {
        CFileTypeTreeCtrl& tree = m_dialog.GetTree();
        for (HTREEITEM item = tree.GetChildItem(parent); item != NULL; item = tree.GetNextSiblingItem(item)) {
            if (tree.GetItemText(item) == text)
                return item;
        }
        return NULL;
    }

    std::vector<std::wstring> Children(HTREEITEM parent)
    {
        std::vector<std::wstring> texts;
        CFileTypeTreeCtrl& tree = m_dialog.GetTree();
        for (HTREEITEM item = tree.GetChildItem(parent); item != NULL; item = tree.GetNextSiblingItem(item))
            texts.emplace_back(static_cast<LPCWSTR>(tree.GetItemText(item)));
        return texts;
    }

    int State(HTREEITEM item) { return m_dialog.GetTree().GetItemCheckState(item); }

    // Clicks OK as the user does; the dialog is modeless here, so OK only hides it.
    void PressOk()
    {
        m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PumpMessages(20);
    }

    std::vector<std::u16string> SignatureExtensions()
    {
        std::vector<std::u16string> extensions;
        for (const FileSignatureRec* record = fileSignatureList.head; record; record = record->next)
            extensions.emplace_back(record->extension);
        return extensions;
    }

    CFileTypesDlg m_dialog;
};

TEST_F(FileTypesDlgTest, CategoriesHoldTheirTypesAndStartChecked)
{
    const SignatureFile file(Record('4', ".jpg", "JPEG Image", "\xFF\xD8\xFF\xE0") +
                             Record('9', ".exe", "Program", "MZ\x90") + Record('Z', ".odd", "Odd", "ODD1") +
                             Record('4', ".jpg", "JPEG Image", "\xFF\xD8\xFF\xE1") +
                             Record('0', ".zip", "ZIP Archive", "PK\x03\x04"));
    Open(file.Path());
    CFileTypeTreeCtrl& tree = m_dialog.GetTree();
    const HTREEITEM root = tree.GetRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree.GetItemText(root), L"File Types");
    EXPECT_EQ(Children(root), (std::vector<std::wstring>{L"Graphics Files", L"Other Files", L"Archive Files"}));
    EXPECT_EQ(Children(Child(root, L"Other Files")), (std::vector<std::wstring>{L".exe", L".odd"}));
    EXPECT_EQ(Children(Child(root, L"Graphics Files")), (std::vector<std::wstring>{L".jpg", L".jpg"}));
    for (HTREEITEM item : {root, Child(root, L"Other Files"), tree.GetChildItem(Child(root, L"Other Files"))})
        EXPECT_EQ(State(item), 1);
    EXPECT_TRUE((tree.GetItemState(root, TVIS_EXPANDED) & TVIS_EXPANDED) != 0);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(m_dialog.m_hWnd, L"app_file_types_crafted"));
}

TEST_F(FileTypesDlgTest, ChecksGoDownAndPartlyCheckedGoesUp)
{
    const SignatureFile file(Record('4', ".jpg", "JPEG Image", "\xFF\xD8\xFF\xE0") +
                             Record('4', ".png", "PNG Image", "\x89PNG") +
                             Record('1', ".pdf", "PDF Document", "%PDF-"));
    Open(file.Path());
    CFileTypeTreeCtrl& tree = m_dialog.GetTree();
    const HTREEITEM root = tree.GetRootItem();
    const HTREEITEM graphics = Child(root, L"Graphics Files");
    const HTREEITEM png = Child(graphics, L".png");

    tree.ToggleCheck(png);
    EXPECT_EQ(State(png), 0);
    EXPECT_EQ(State(graphics), 2);
    EXPECT_EQ(State(root), 2);

    tree.ToggleCheck(graphics); // a partly checked category is unchecked with its types
    EXPECT_EQ(State(graphics), 0);
    EXPECT_EQ(State(Child(graphics, L".jpg")), 0);
    tree.ToggleCheck(graphics);
    EXPECT_EQ(State(Child(graphics, L".jpg")), 1);
    EXPECT_EQ(State(png), 1);
    EXPECT_EQ(State(root), 1);

    // A click on the state image toggles as the user sees it.
    tree.Expand(graphics, TVE_EXPAND);
    PumpMessages(10);
    CRect rect;
    tree.GetItemRect(png, &rect, TRUE);
    UINT flags = 0;
    CPoint point(rect.left - 1, rect.CenterPoint().y);
    for (; point.x > 0; --point.x) {
        if (tree.HitTest(point, &flags) == png && (flags & TVHT_ONITEMSTATEICON) != 0)
            break;
    }
    ASSERT_GT(point.x, 0);
    tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(State(png), 0);
    EXPECT_EQ(State(graphics), 2);
}

// Two records of one extension are both chosen; each record becomes one signature, in file order, with
// its dotted extension; the unchecked types are left out.
TEST_F(FileTypesDlgTest, OkChoosesEveryRecordOfTheCheckedExtensions)
{
    const SignatureFile file(Record('4', ".jpg", "JPEG Image", "\xFF\xD8\xFF\xE0") +
                             Record('4', ".png", "PNG Image", "\x89PNG") +
                             Record('4', ".jpg", "JPEG Image", "\xFF\xD8\xFF\xE1") +
                             Record('1', ".pdf", "PDF Document", "%PDF-"));
    Open(file.Path());
    CFileTypeTreeCtrl& tree = m_dialog.GetTree();
    const HTREEITEM root = tree.GetRootItem();
    tree.ToggleCheck(Child(Child(root, L"Graphics Files"), L".png"));
    tree.ToggleCheck(Child(root, L"Document Files"));
    // Only the first of the two ".jpg" items stays checked: it still chooses both records.
    HTREEITEM secondJpg = tree.GetNextSiblingItem(tree.GetChildItem(Child(root, L"Graphics Files")));
    secondJpg = tree.GetNextSiblingItem(secondJpg);
    ASSERT_EQ(tree.GetItemText(secondJpg), L".jpg");
    tree.ToggleCheck(secondJpg);

    PressOk();
    EXPECT_EQ(SignatureExtensions(), (std::vector<std::u16string>{u".jpg", u".jpg"}));
    ASSERT_NE(fileSignatureList.head, nullptr);
    EXPECT_STREQ(fileSignatureList.head->signature, "FFD8FFE0");
    EXPECT_EQ(fileSignatureList.head->signatureLength, 4u);
    EXPECT_STREQ(fileSignatureList.head->next->signature, "FFD8FFE1");
    EXPECT_FALSE(m_dialog.IsWindowVisible());
}

TEST_F(FileTypesDlgTest, SizeLimitIsStoredAsMegabytesAndReselectedByValue)
{
    const SignatureFile file(Record('4', ".png", "PNG Image", "\x89PNG"));
    Open(file.Path());
    CComboBox* combo = static_cast<CComboBox*>(m_dialog.GetDlgItem(IDC_FILE_TYPE_SIZE));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->GetCount(), 26);
    EXPECT_EQ(combo->GetCurSel(), 0);
    const int entry = combo->FindStringExact(-1, L"25 MB");
    ASSERT_EQ(entry, 20);
    combo->SetCurSel(entry);
    PressOk();
    EXPECT_EQ(TraceItemSizeMiB, 25u);

    m_dialog.DestroyWindow();
    Open(file.Path());
    combo = static_cast<CComboBox*>(m_dialog.GetDlgItem(IDC_FILE_TYPE_SIZE));
    CString text;
    combo->GetLBText(combo->GetCurSel(), text);
    EXPECT_EQ(text, L"25 MB");
}

TEST_F(FileTypesDlgTest, WithoutTheFileOnlyTheRootShowsAndOkRefuses)
{
    Open(L"Z:\\nonexistent\\folder\\Raw.dat");
    CFileTypeTreeCtrl& tree = m_dialog.GetTree();
    ASSERT_NE(tree.GetRootItem(), nullptr);
    EXPECT_EQ(tree.GetCount(), 1u);
    std::vector<MessageBoxFields> shown;
    {
        BoxAnswerer answerer(IDOK);
        PressOk();
        shown = answerer.Requests();
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Please select a file types and then \r\nclick [Scan] to continue with recovery.");
    EXPECT_EQ(shown[0].kind, 2u);
    EXPECT_TRUE(m_dialog.IsWindowVisible());
    EXPECT_EQ(fileSignatureList.head, nullptr);
}

TEST_F(FileTypesDlgTest, ShippedFileFillsTheTree)
{
    Open(std::wstring(RAW_DAT_FILE));
    CFileTypeTreeCtrl& tree = m_dialog.GetTree();
    const HTREEITEM root = tree.GetRootItem();
    EXPECT_EQ(Children(root).size(), 10u);
    EXPECT_NE(Child(Child(root, L"Graphics Files"), L".jpg"), nullptr);
    EXPECT_NE(Child(Child(root, L"Document Files"), L".pdf"), nullptr);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(m_dialog.m_hWnd, L"app_file_types"));
}

} // namespace
