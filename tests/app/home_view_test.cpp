// The home view: its controls and hint, choosing a scan mode with the real test disks, the refusals with
// their texts, and the "Select" dialog.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "box_answerer.h"
#include "engine/recovery/core/engine_state.h"
#include "home_view.h"
#include "resource.h"
#include "results_view.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "wizard_state.h"

#include <atomic>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring TestDisk(const std::string& name)
{
    return Wide(test_support::JoinPath(test_support::TestDisksDir(), name));
}

// A file in the temporary folder with the bytes given; removed with the object.
class TempFile
{
public:
    TempFile(const std::string& extension, const std::vector<char>& bytes)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        m_path = folder + Wide(test_support::UniqueTempName("home_view_", extension));
        std::ofstream out(m_path.c_str(), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { ::DeleteFileW(m_path.c_str()); }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

std::vector<char> FirstBytes(const std::wstring& path, std::size_t count)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::vector<char> bytes(count);
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

class HomeViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartedFrame();
        ASSERT_NE(m_pFrame, nullptr);
        theApp.SwitchView(kViewHome);
        m_pView = DYNAMIC_DOWNCAST(CEx_StyleView, theApp.GetView(kViewHome));
        ASSERT_NE(m_pView, nullptr);
        SharedHoverValue = 0;
        PumpMessages(20);
    }
    void TearDown() override
    {
        theApp.SwitchView(kViewHome);
        if (m_pView != NULL)
            m_pView->m_pathBox.SetWindowText(L"");
        PumpMessages(10);
    }

    CString PathBox() const
    {
        CString text;
        m_pView->m_pathBox.GetWindowText(text);
        return text;
    }

    // Sends a mode command with the path in the box; the messages shown on the way.
    std::vector<MessageBoxFields> Choose(const std::wstring& path, UINT command)
    {
        m_pView->m_pathBox.SetWindowText(path.c_str());
        BoxAnswerer answerer(IDOK);
        m_pView->SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        PumpMessages(20);
        return answerer.Requests();
    }

    CMainFrame* m_pFrame = NULL;
    CEx_StyleView* m_pView = NULL;
};

TEST_F(HomeViewTest, ShowsThePathBoxSelectAndOnlyQuickScanAndTheHintFollowsTheMouse)
{
    CWnd* pQuick = m_pView->GetDlgItem(kHomeQuickScanButton);
    ASSERT_NE(pQuick, nullptr);
    EXPECT_TRUE(pQuick->IsWindowVisible());
    EXPECT_FALSE(m_pView->GetDlgItem(kHomeFileTraceButton)->IsWindowVisible());
    EXPECT_FALSE(m_pView->GetDlgItem(kHomeExtensiveScanButton)->IsWindowVisible());
    EXPECT_TRUE(m_pView->GetDlgItem(kHomePathBox)->IsWindowVisible());
    CString select;
    m_pView->GetDlgItem(kHomeSelectButton)->GetWindowText(select);
    EXPECT_EQ(std::wstring(select), L"Select");

    // The layout from the client's centre.
    CRect client;
    m_pView->GetClientRect(&client);
    CRect quick;
    pQuick->GetWindowRect(&quick);
    m_pView->ScreenToClient(&quick);
    EXPECT_EQ(quick, CRect(client.Width() / 2 - 96, client.Height() / 2 - 81, client.Width() / 2 + 77,
                           client.Height() / 2 + 122));
    CRect box;
    m_pView->GetDlgItem(kHomePathBox)->GetWindowRect(&box);
    m_pView->ScreenToClient(&box);
    EXPECT_EQ(box.TopLeft(), CPoint(client.Width() / 2 - 249, client.Height() / 2 - 148));
    EXPECT_EQ(box.Size(), CSize(400, 25));

    // The plain hint needs the pointer away from the button, wherever an earlier test left it.
    ::SetCursorPos(0, 0);
    for (int i = 0; i < 20 && (SharedHoverValue != 0 || m_pView->m_quickScanButton.IsHovering()); ++i)
        PumpMessages(20);
    EXPECT_EQ(SharedHoverValue, 0u);
    m_pView->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(50);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pView->m_hWnd, L"app_home_view"));

    CRect screenQuick;
    pQuick->GetWindowRect(&screenQuick);
    ::SetCursorPos(screenQuick.CenterPoint().x, screenQuick.CenterPoint().y);
    for (int i = 0; i < 20 && SharedHoverValue != 1; ++i) {
        ::SetCursorPos(screenQuick.CenterPoint().x + i % 2, screenQuick.CenterPoint().y);
        PumpMessages(20);
    }
    EXPECT_EQ(SharedHoverValue, 1u);
    m_pView->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(50);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pView->m_hWnd, L"app_home_view_hover"));
    ::SetCursorPos(0, 0);
    PumpMessages(50);
}

TEST_F(HomeViewTest, EachImageKindOpensUnderQuickScanAndEndsOnTheDriveStep)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    const struct
    {
        const char* name;
        std::uint32_t kind;
    } disks[] = {
        {"mbr-ext05.vmdk", kImageVmdk}, {"mbr-ext05.vhd", kImageVhd}, {"mbr-ext05.vhdx", kImageVhdx}};
    for (const auto& disk : disks) {
        SCOPED_TRACE(disk.name);
        theApp.SwitchView(kViewHome);
        m_pFrame->m_flags.loadSnapshot = 0;
        EXPECT_TRUE(Choose(TestDisk(disk.name), kHomeQuickScanButton).empty());
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewDrive));
        EXPECT_EQ(ScanSelection.imageKind, disk.kind);
        EXPECT_EQ(ScanSelection.scanKind, kScanQuick);
        EXPECT_EQ(ScanSelection.modeName, u"Quick Scan");
        EXPECT_EQ(WizardStepState.quick, 1u);
        EXPECT_EQ(m_pFrame->m_flags.open, 0);
        EXPECT_EQ(m_pFrame->m_flags.loadSnapshot, 1);
        EXPECT_EQ(std::wstring(ScanSelectionUi.modeSummary),
                  L"Selected Mode  : Recovery Scan \r\nDrive Type         : Virtual Machine Disk");
    }
}

TEST_F(HomeViewTest, HiddenModesStartByTheirCommandsWithTheirNamesSummariesAndColumns)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    const struct
    {
        UINT command;
        std::uint32_t scanKind;
        const char16_t* name;
        const wchar_t* summary;
        int columns;
    } modes[] = {
        {kHomeExtensiveScanButton, kScanExtensive, u"Extensive Scan",
         L"Selected Mode   : Recovery Scan \r\nDrive Type          : Virtual Machine Disk", 6},
        {kHomeFileTraceButton, kScanFileTrace, u"File Trace", L"Selected Mode : File Trace", 3},
        // Chosen again without Back: the columns are replaced, not added.
        {kHomeFileTraceButton, kScanFileTrace, u"File Trace", L"Selected Mode : File Trace", 3},
    };
    auto* pResults = DYNAMIC_DOWNCAST(CThirdView_HDD, theApp.GetView(kViewResults));
    for (const auto& mode : modes) {
        theApp.SwitchView(kViewHome);
        EXPECT_TRUE(Choose(TestDisk("mbr-ext05.vmdk"), mode.command).empty());
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewDrive));
        EXPECT_EQ(ScanSelection.scanKind, mode.scanKind);
        EXPECT_EQ(ScanSelection.modeName, mode.name);
        EXPECT_EQ(std::wstring(ScanSelectionUi.modeSummary), mode.summary);
        if (pResults != nullptr) {
            EXPECT_EQ(pResults->GetResultColumnCount(), mode.columns);
        }
    }
}

TEST_F(HomeViewTest, RefusalsShowTheirTextAndLeaveTheViewAndThePathBox)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    std::vector<char> vmdk = FirstBytes(TestDisk("mbr-ext05.vmdk"), 65536);
    ASSERT_GE(vmdk.size(), 4u);
    vmdk[0] = 'X';
    const TempFile badVmdk(".vmdk", vmdk);
    const TempFile badVhd(".vhd", std::vector<char>(4096, '\x5A'));
    const TempFile rawImage(".img", FirstBytes(TestDisk("mbr-ext05.vmdk"), 65536));
    const std::wstring missing = TestDisk("no-such-disk.vmdk");
    const std::wstring vmdkText =
        L"This VMDK file is highly corrupted or Invalid file type. Please select other VMDK file to recover.";

    const struct
    {
        std::wstring path;
        UINT command;
        std::wstring text;
        std::uint32_t kind;
    } cases[] = {
        {L"", kHomeQuickScanButton, L"\nPlease Select VMDK file...", 1},
        {L"   ", kHomeExtensiveScanButton, L"\nPlease Select VMDK file...", 1},
        {missing, kHomeQuickScanButton, missing + L" file does not exists.", 1},
        {badVmdk.Path(), kHomeQuickScanButton, vmdkText, 2},
        {badVhd.Path(), kHomeQuickScanButton,
         L"This VHD/VHDX file is either not readable using Quick Scan or highly corrupted. Please select "
         L"extensive scan to recover.",
         2},
        {badVhd.Path(), kHomeExtensiveScanButton,
         L"This VHD/VHDX file is highly corrupted or Invalid file type. Please select other file to recover.",
         2},
        {badVhd.Path(), kHomeFileTraceButton,
         L"This VHD/VHDX file is highly corrupted or Invalid file type. Please select other file to recover.",
         2},
        {rawImage.Path(), kHomeQuickScanButton, vmdkText, 2},
    };
    for (const auto& refusal : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::string(refusal.path.begin(), refusal.path.end()) << " / " << refusal.command);
        const std::vector<MessageBoxFields> shown = Choose(refusal.path, refusal.command);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(std::wstring(shown[0].text), refusal.text);
        EXPECT_EQ(shown[0].kind, refusal.kind);
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
        EXPECT_EQ(std::wstring(PathBox()), refusal.path);
    }
}

// The "Select" dialog as the view set it up, answered the way a user picks a file: the name typed into
// the dialog's buffer and OK. The system's dialog itself is not run: under the test's display its first
// folder listing can block without end.
struct SelectDialogSeen
{
    std::wstring title;
    std::wstring filter;
    DWORD flags = 0;
    int runs = 0;
};

SelectDialogSeen g_selectDialog;
std::wstring g_selectAnswer;

INT_PTR AnswerSelectDialog(CFileDialog& dialog)
{
    ++g_selectDialog.runs;
    g_selectDialog.title = dialog.m_ofn.lpstrTitle != NULL ? dialog.m_ofn.lpstrTitle : L"";
    // The filter is pairs of texts ended by an empty one; kept with '|' between them.
    for (LPCWSTR part = dialog.m_ofn.lpstrFilter; part != NULL && *part != 0; part += wcslen(part) + 1)
        g_selectDialog.filter += std::wstring(part) + L"|";
    g_selectDialog.flags = dialog.m_ofn.Flags;
    if (g_selectAnswer.empty())
        return IDCANCEL;
    wcsncpy(dialog.m_ofn.lpstrFile, g_selectAnswer.c_str(), dialog.m_ofn.nMaxFile - 1);
    return IDOK;
}

// The system's dialog itself, driven from a second thread through its file-name box and Open. It starts
// in the disks' folder: a first listing of the whole Unix root under Wine can take minutes. A dialog still
// up after the safety time is cancelled.
TEST_F(HomeViewTest, TheSystemsSelectDialogTakesTheTypedName)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    const std::wstring disk = TestDisk("mbr-ext05.vmdk");
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(disk.substr(0, disk.rfind(L'\\')).c_str());
    CEx_StyleView::s_pfnRunSelectDialog = NULL;
    std::atomic<bool> answered{false};
    std::thread driver([&] {
        const ULONGLONG started = ::GetTickCount64();
        for (;;) {
            HWND dialog = ::FindWindowExW(NULL, NULL, L"#32770", L"Add VMDK file to recover.");
            const bool shown = dialog != NULL && ::IsWindowVisible(dialog);
            if (!shown && answered)
                return;
            if (shown && (answered || ::GetTickCount64() - started > 20000)) {
                if (::GetTickCount64() - started > 20000)
                    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else if (shown) {
                // The explorer-style dialog's name box is a combo box (1148); older ones have the edit 1152.
                HWND nameBox = ::GetDlgItem(dialog, 1148);
                if (nameBox == NULL)
                    nameBox = ::GetDlgItem(dialog, 1152);
                ::SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(disk.c_str()));
                ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
                answered = true;
            }
            if (!shown && ::GetTickCount64() - started > 30000)
                return;
            ::Sleep(50);
        }
    });
    m_pView->SendMessage(WM_COMMAND, MAKEWPARAM(kHomeSelectButton, BN_CLICKED), 0);
    driver.join();
    ::SetCurrentDirectoryW(previous);
    EXPECT_TRUE(answered);
    EXPECT_EQ(std::wstring(PathBox()), disk);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
}

TEST_F(HomeViewTest, SelectPutsTheChosenFileInThePathBoxAndOpensNothing)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    const std::wstring disk = TestDisk("mbr-ext05.vmdk");
    const std::wstring missing = TestDisk("no-such-disk.vmdk");
    m_pFrame->m_flags.loadSnapshot = 0;
    CEx_StyleView::s_pfnRunSelectDialog = AnswerSelectDialog;
    const struct
    {
        const char* name;
        std::wstring answer;
        std::wstring pathBox;
        std::wstring message;
    } cases[] = {
        {"cancelled", L"", L"before", L""},
        {"an image", disk, disk, L""},
        {"a missing file", missing, L"before", L"no-such-disk.vmdk file does not exists."},
    };
    for (const auto& choice : cases) {
        SCOPED_TRACE(choice.name);
        g_selectDialog = SelectDialogSeen();
        g_selectAnswer = choice.answer;
        m_pView->m_pathBox.SetWindowText(L"before");
        BoxAnswerer answerer(IDOK);
        m_pView->SendMessage(WM_COMMAND, MAKEWPARAM(kHomeSelectButton, BN_CLICKED), 0);
        PumpMessages(20);
        EXPECT_EQ(g_selectDialog.runs, 1);
        EXPECT_EQ(g_selectDialog.title, L"Add VMDK file to recover.");
        EXPECT_EQ(g_selectDialog.filter, L"Virtual Machine Disk(*.vmdk)|*.vmdk|");
        EXPECT_EQ(g_selectDialog.flags & (OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY),
                  static_cast<DWORD>(OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY));
        EXPECT_EQ(std::wstring(PathBox()), choice.pathBox);
        if (choice.message.empty()) {
            EXPECT_TRUE(answerer.Requests().empty());
        } else {
            ASSERT_EQ(answerer.Requests().size(), 1u);
            EXPECT_EQ(std::wstring(answerer.Requests()[0].text), choice.message);
            EXPECT_EQ(answerer.Requests()[0].kind, 3u);
        }
        // Nothing is opened: the wizard stays, the frame's snapshot flag too.
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
        EXPECT_EQ(m_pFrame->m_flags.loadSnapshot, 0);
    }
    CEx_StyleView::s_pfnRunSelectDialog = NULL;
}

} // namespace
