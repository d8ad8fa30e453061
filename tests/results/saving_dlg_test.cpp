// Saving from the results view over real Quick Scans of the test disks: the tree's marks, the folder
// browser, the saving dialog and its closing message, driven as the user drives them. What lands in the
// chosen folder must be byte for byte what Sleuth Kit reads (files.tsv), and nothing may land beside it.
#include "app_test_app.h"
#include "box_answerer.h"
#include "modal_script.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/trace/trace_records.h"
#include "list_wait_dlg.h"
#include "message_dialogs.h"
#include "properties_dlg.h"
#include "results_resource_ids.h"
#include "results_view.h"
#include "save_test_support.h"
#include "saving_dlg.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "support/text_fit.h"
#include "wait_dlg.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

constexpr wchar_t kSavingCaption[] = L"Data is Saving please wait...";

// Drives the boxes of one save on this thread's timer: the please-wait box closes itself, every other
// box but the saving dialog gets OK (the folder browser takes the current folder, a question Yes); the
// texts of the messages are kept. `onSaving` acts on the saving dialog while it is up; `hold` sees each
// box before it is answered and may leave it up for now (true) or choose its button.
class SaveDriver
{
public:
    using Hold = std::function<bool(HWND box, UINT& button)>;
    explicit SaveDriver(std::function<void(HWND)> onSaving = {}, Hold hold = {})
        : m_onSaving(std::move(onSaving)), m_hold(std::move(hold))
    {
        s_driver = this;
        m_timer = ::SetTimer(NULL, 0, 40, OnTimer);
        m_started = ::GetTickCount64();
    }
    ~SaveDriver()
    {
        ::KillTimer(NULL, m_timer);
        s_driver = nullptr;
    }

    std::vector<std::wstring> messages; // the static texts of each message box, joined
    std::vector<std::wstring> captions; // every box seen, by caption, in order
    // Of each message box: the icon it shows, and whether its caption has the room its text takes.
    std::vector<HICON> icons;
    std::vector<bool> captionsWhole;
    bool sawSaving = false;

private:
    static BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
    {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (std::wstring(name) == L"Static")
            *reinterpret_cast<std::wstring*>(param) += WindowText(child);
        return TRUE;
    }
    static BOOL CALLBACK VisitTop(HWND window, LPARAM)
    {
        SaveDriver* self = s_driver;
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (self == nullptr || std::wstring(name) != L"#32770" || !::IsWindowVisible(window) ||
            ::GetWindowThreadProcessId(window, NULL) != ::GetCurrentThreadId())
            return TRUE;
        const std::wstring caption = WindowText(window);
        if (caption == kSavingCaption) {
            if (!self->sawSaving)
                self->captions.push_back(caption);
            self->sawSaving = true;
            if (self->m_onSaving)
                self->m_onSaving(window);
            return TRUE;
        }
        HWND ok = ::GetDlgItem(window, IDOK);
        UINT button = IDOK;
        // A question has Yes and No.
        if (ok == NULL && ::GetDlgItem(window, IDYES) != NULL) {
            ok = ::GetDlgItem(window, IDYES);
            button = IDYES;
        }
        if (ok == NULL && ::GetTickCount64() - self->m_started < 60000)
            return TRUE; // the please-wait box
        if (self->m_answered.insert(window).second) {
            self->captions.push_back(caption);
            std::wstring text;
            ::EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&text));
            self->messages.push_back(text);
            HICON icon = NULL;
            ::EnumChildWindows(window, FindIcon, reinterpret_cast<LPARAM>(&icon));
            self->icons.push_back(icon);
            self->captionsWhole.push_back(CaptionWhole(window));
        }
        if (self->m_hold && self->m_hold(window, button))
            return TRUE;
        ok = ::GetDlgItem(window, static_cast<int>(button));
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { ::EnumWindows(VisitTop, 0); }
    static BOOL CALLBACK FindIcon(HWND child, LPARAM param)
    {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            *reinterpret_cast<HICON*>(param) =
                reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return TRUE;
    }
    // The caption's text in the caption font beside the caption's three button places, within the frame.
    static bool CaptionWhole(HWND window)
    {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        HFONT font = ::CreateFontIndirectW(&metrics.lfCaptionFont);
        HDC dc = ::GetDC(window);
        HGDIOBJ old = ::SelectObject(dc, font);
        const std::wstring caption = WindowText(window);
        SIZE text = {};
        ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
        ::SelectObject(dc, old);
        ::ReleaseDC(window, dc);
        ::DeleteObject(font);
        RECT frame = {};
        ::GetWindowRect(window, &frame);
        return frame.right - frame.left >=
               text.cx + 3 * ::GetSystemMetrics(SM_CXSIZE) + 2 * ::GetSystemMetrics(SM_CXFRAME);
    }

    static inline SaveDriver* s_driver = nullptr;
    std::function<void(HWND)> m_onSaving;
    Hold m_hold;
    std::set<HWND> m_answered;
    UINT_PTR m_timer = 0;
    ULONGLONG m_started = 0;
};

struct SavedFile
{
    std::string md5;
    std::uint64_t size = 0;
    bool operator==(const SavedFile&) const = default;
};

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Every file below the folder by its relative path (upper case, "/" separators).
std::map<std::string, SavedFile> SavedFiles(const std::filesystem::path& folder)
{
    std::map<std::string, SavedFile> saved;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const std::string bytes = ReadFileBytes(entry.path());
        std::string key = Upper(Utf8Name(std::filesystem::relative(entry.path(), folder)));
        std::replace(key.begin(), key.end(), '\\', '/');
        saved[key] = {Md5Hex(bytes), bytes.size()};
    }
    return saved;
}

class SavingTest : public MaximisedFrameTest
{
protected:
    // The scan's tree root unchecked and checked again with its box, as a click does.
    void MarkEverything()
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        HTREEITEM root = tree.GetRootItem();
        ASSERT_NE(root, nullptr);
        tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
        EXPECT_EQ(tree.GetItemCheckState(root), kTreeUnchecked);
        tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
        EXPECT_EQ(tree.GetItemCheckState(root), kTreeChecked);
    }

    // Save as the button runs it, past the folder browser: the marks prepared, then the saving dialog
    // into `target`.
    void SaveInto(const std::filesystem::path& target, SaveDriver&)
    {
        CThirdView_HDD* pResults = Results();
        pResults->PrepareSaveSelection();
        ASSERT_FALSE(pResults->ResultList().SaveFolderItems.empty() &&
                     pResults->ResultList().SaveFileIds.empty());
        pResults->SaveIntoFolder(target.wstring().c_str());
        std::printf("saved into %s: %u saved, %u failed\n", target.string().c_str(), SaveOutcome.saved,
                    SaveOutcome.failed);
    }

    // The marks saved into the target with the worker held by `hook` (see CSavingDlg::s_workerHook);
    // the texts of the messages the save showed. MessageBoxRequest is emptied first.
    std::vector<std::wstring> SaveWatched(const std::filesystem::path& target,
                                          std::function<void(int, const char16_t*, std::uint32_t)> hook)
    {
        std::filesystem::create_directories(target);
        MessageBoxRequest.Set(L"", 0);
        CSavingDlg::s_workerHook = std::move(hook);
        SaveDriver driver;
        SaveInto(target, driver);
        CSavingDlg::s_workerHook = nullptr;
        return driver.messages;
    }

    // The marks saved into the scratch folder's target, which must end with the success message.
    void SaveExpectingSuccess(const ScratchFolder& scratch)
    {
        std::filesystem::create_directories(scratch.Target());
        SaveDriver driver;
        SaveInto(scratch.Target(), driver);
        ASSERT_FALSE(driver.messages.empty());
        EXPECT_EQ(driver.messages.back(), L"Files Saved Successfully.");
        ExpectSuccessLooksSo(driver);
    }
    // The success comes with the information icon and its caption whole.
    static void ExpectSuccessLooksSo(const SaveDriver& driver)
    {
        ASSERT_FALSE(driver.icons.empty());
        EXPECT_EQ(driver.icons.back(), ::LoadIconW(NULL, IDI_INFORMATION)) << "not the information icon";
        EXPECT_TRUE(driver.captionsWhole.back()) << "the caption is cut";
    }
};

TEST_F(SavingTest, AQuickScanSavedWholeMatchesSleuthKitAndSaysSo)
{
    const Partition partition = FindPartition("mbr-ext05", "2");
    ASSERT_TRUE(QuickScanToResults(partition));
    MarkEverything();
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Target());
    {
        // The dialog as it shows the fifth file, taken from the worker while the dialog's thread serves it.
        bool shot = false;
        std::string pathCut = "not seen";
        std::wstring pathText;
        int names = 0;
        CSavingDlg::s_workerHook = [&](int kind, const char16_t*, std::uint32_t) {
            if (kind != 0 || ++names != 5)
                return;
            HWND saving = ::FindWindowW(L"#32770", kSavingCaption);
            // The dialog's timer draws the latest name; the picture is taken once it has, and after a paint,
            // so that it shows what the user sees rather than a window not drawn yet.
            wchar_t name[MAX_PATH] = {};
            for (int waited = 0; saving != NULL && waited < 10000 && name[0] == 0; waited += 10) {
                ::GetDlgItemTextW(saving, IDC_SAVING_FILE_NAME, name, MAX_PATH);
                if (name[0] == 0)
                    ::Sleep(10);
            }
            ::RedrawWindow(saving, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            int width = 0;
            int height = 0;
            const std::vector<std::uint32_t> pixels =
                test_support::CaptureFramedWindow(saving, width, height);
            shot = saving != NULL && test_support::WritePng(test_support::ScreenshotPath(L"saving_dialog"),
                                                            pixels.data(), width, height);
            pathText = WindowText(::GetDlgItem(saving, IDC_SAVING_PATH));
            pathCut = test_support::TextCutIn(::GetDlgItem(saving, IDC_SAVING_PATH));
        };
        SaveDriver driver;
        SaveInto(scratch.Target(), driver);
        CSavingDlg::s_workerHook = nullptr;
        EXPECT_TRUE(shot);
        EXPECT_EQ(pathCut, "") << "the Path value cuts " << Utf8(CString(pathText.c_str()));
        EXPECT_TRUE(driver.sawSaving);
        ASSERT_FALSE(driver.messages.empty());
        EXPECT_EQ(driver.messages.back(), L"Files Saved Successfully.");
        ExpectSuccessLooksSo(driver);
    }
    // After the save nothing is marked any more.
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeUnchecked);
    for (int row = 0; row < Results()->ResultList().GetItemCount(); ++row)
        EXPECT_NE(Results()->ResultList().GetCheckState(row), kRowStateMarked);

    const std::map<std::string, SavedFile> saved = SavedFiles(scratch.Target());
    // Deleted files by folder, size and name without its first character (which FAT keeps no more).
    std::map<std::string, std::string> deletedMd5;
    for (const auto& [key, file] : saved) {
        const std::size_t slash = key.rfind('/');
        const std::string name = key.substr(slash == std::string::npos ? 0 : slash + 1);
        deletedMd5[key.substr(0, slash == std::string::npos ? 0 : slash) + "|" + std::to_string(file.size) +
                   "|" + (name.empty() ? name : name.substr(1))] = file.md5;
    }
    int live = 0;
    int deleted = 0;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
        if (row.at(1) != "f" || row.at(3) != "0" || row.at(5) == "-" || row.at(4) == "0")
            continue;
        const std::string path = Upper(row.at(8));
        SCOPED_TRACE(path);
        if (row.at(2) == "0") {
            const auto found = saved.find(path);
            ASSERT_NE(found, saved.end()) << "live file not saved";
            EXPECT_EQ(found->second.md5, row.at(5));
            ++live;
        } else if (row.at(7) == "1") {
            const std::size_t slash = path.rfind('/');
            const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
            const auto found = deletedMd5.find(path.substr(0, slash == std::string::npos ? 0 : slash) + "|" +
                                               row.at(4) + "|" + name.substr(1));
            ASSERT_NE(found, deletedMd5.end()) << "recoverable deleted file not saved";
            EXPECT_EQ(found->second, row.at(6));
            ++deleted;
        }
    }
    EXPECT_GT(live, 10);
    EXPECT_GT(deleted, 0);
    EXPECT_EQ(ListTree(scratch.Parent()).front(), "target/");
    for (const std::string& entry : ListTree(scratch.Parent()))
        EXPECT_EQ(entry.rfind("target/", 0), 0u) << entry;
}

// The closing message of a save from a disk image cut short names the files kept with zeros, the first
// ten and how many more, and fits them in its box.
TEST(SavingClosingMessage, NamesTheFilesKeptWithZeros)
{
    SaveOutcomeBlock outcome;
    outcome.saved = 240;
    outcome.failed = 26;
    outcome.beyondImageEnd = 25;
    outcome.nothingRead = 1;
    outcome.keptWithZeros = 25;
    for (int i = 0; i < 10; ++i)
        outcome.keptWithZerosNames.push_back(u"Music\\song " + std::u16string(1, u'0' + i) + u".mp3");
    std::wstring shown;
    ModalScript script({ModalScript::Do([&](HWND box) {
        shown = WindowText(GetDlgItem(box, 0xFFFF));
        EXPECT_TRUE(test_support::WriteWindowScreenshot(box, L"saving_closing_kept_with_zeros"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    })});
    const std::u16string text = SaveOutcomeText(outcome);
    AfxMessageBox(reinterpret_cast<const wchar_t*>(text.c_str()), MB_OK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_NE(shown.find(L"Music\\song 0.mp3"), std::wstring::npos) << shown;
    EXPECT_NE(shown.find(L"Music\\song 9.mp3\r\n    and 15 more."), std::wstring::npos) << shown;
}

TEST_F(SavingTest, AFileInPlaceOfAFolderIsNamedAsAFailureNotSuccess)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    MarkEverything();
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Target());
    std::ofstream(scratch.Target() / "Level1") << "in the way";
    SaveDriver driver;
    SaveInto(scratch.Target(), driver);
    ASSERT_FALSE(driver.messages.empty());
    const std::wstring text = driver.messages.back();
    EXPECT_EQ(text.find(L"Successfully"), std::wstring::npos) << Utf8(CString(text.c_str()));
    EXPECT_NE(text.find(L"could not be created or written"), std::wstring::npos)
        << Utf8(CString(text.c_str()));
}

constexpr wchar_t kStopQuestion[] = L"Do you want to stop the saving process?";
constexpr wchar_t kStopFirstNotice[] = L"Please Stop the Saving process first.";

// Waits on the saving worker, at most 20 seconds, until the condition holds: the dialog's thread answers
// meanwhile.
void HoldWorkerUntil(const std::function<bool()>& condition)
{
    const ULONGLONG started = ::GetTickCount64();
    while (!condition() && ::GetTickCount64() - started < 20000)
        ::Sleep(10);
}

// The dialog has taken up a box's text: Stop Saving's question or the close box's notice is on its way.
bool BoxAsked(const wchar_t* text)
{
    return std::wstring(MessageBoxRequest.Copy().text) == text;
}

HWND SavingDialog()
{
    return ::FindWindowW(L"#32770", kSavingCaption);
}

// From the worker: the message posted to the saving dialog, then the worker held until the dialog has
// taken it up (the flag set, or the box that it asks first on its way), so that the press lands within
// the file the worker is at.
void PressFromWorker(UINT message, WPARAM wParam, const std::atomic<std::uint32_t>& flag,
                     const wchar_t* asks = nullptr)
{
    ::PostMessageW(SavingDialog(), message, wParam, 0);
    HoldWorkerUntil([&] { return flag != 0 || (asks != nullptr && BoxAsked(asks)); });
}

// Every file below the target is a file of the partition, whole: a live one with Sleuth Kit's bytes, a
// deleted one with its size, and its bytes where Sleuth Kit can recover them.
void ExpectEveryFileWhole(const std::filesystem::path& target, const Partition& partition)
{
    std::map<std::string, std::vector<std::string>> live;
    std::multimap<std::string, std::vector<std::string>> deleted; // by folder and name past its first letter
    const auto split = [](const std::string& path) {
        const std::size_t slash = path.rfind('/');
        const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        return path.substr(0, slash == std::string::npos ? 0 : slash) + "|" +
               (name.empty() ? name : name.substr(1));
    };
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
        if (row.size() < 9 || row[1] != "f" || row[3] != "0")
            continue;
        if (row[2] == "0")
            live[Upper(row[8])] = row;
        else
            deleted.emplace(split(Upper(row[8])), row);
    }
    for (const auto& [key, file] : SavedFiles(target)) {
        SCOPED_TRACE(key);
        if (const auto found = live.find(key); found != live.end()) {
            EXPECT_EQ(file.md5, found->second[5]);
            continue;
        }
        bool whole = false;
        const auto [first, last] = deleted.equal_range(split(key));
        for (auto row = first; row != last; ++row)
            whole = whole || (std::to_string(file.size) == row->second[4] &&
                              (row->second[7] != "1" || file.md5 == row->second[6]));
        EXPECT_TRUE(whole) << "not a whole file of the disk (" << file.size << " bytes)";
    }
}

TEST_F(SavingTest, StopSavingOrEnterAnsweredYesEndsTheSaveWithFewerFilesAndNoSuccess)
{
    struct Case
    {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    for (const Case& c : {Case{"Stop Saving", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
                          Case{"Enter", WM_KEYDOWN, VK_RETURN}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
        MarkEverything();
        ScratchFolder scratch;
        int names = 0;
        // The worker, as it shows the third file, has Stop Saving pressed and waits for the answer.
        const std::vector<std::wstring> messages =
            SaveWatched(scratch.Target(), [&](int kind, const char16_t*, std::uint32_t) {
                if (kind == 0 && ++names == 3)
                    PressFromWorker(c.message, c.wParam, SaveControl.stop, kStopQuestion);
            });
        for (const std::wstring& message : messages)
            EXPECT_EQ(message.find(L"Successfully"), std::wstring::npos);
        EXPECT_EQ(std::wstring(MessageBoxRequest.Copy().text), kStopQuestion);
        EXPECT_EQ(SaveControl.stop, 0u) << "cleared when the dialog closes";
        const std::size_t saved = SavedFiles(scratch.Target()).size();
        EXPECT_GE(saved, 2u);
        EXPECT_LE(saved, 3u);
        EXPECT_GE(names, 3);
        EXPECT_LT(names, 5);
        ResetResultsView();
    }
}

TEST_F(SavingTest, EscapeOrTheCloseBoxMidFileSkipsThatFileLeavingNothingOfItAndTheSaveGoesOn)
{
    struct Case
    {
        const char* name;
        UINT message;
        WPARAM wParam;
        const wchar_t* notice; // the message the dialog shows first, if any
    };
    const Partition partition = FindPartition("mbr-ext05", "2");
    for (const Case& c :
         {Case{"escape", WM_KEYDOWN, VK_ESCAPE, nullptr}, Case{"close box", WM_CLOSE, 0, kStopFirstNotice}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QuickScanToResults(partition));
        MarkEverything();
        ScratchFolder scratch;
        // The worker, as multi.bin's progress first moves, has the key or the close box pressed and waits
        // until the skip is asked for (or the close box's notice, before which the worker holds).
        std::vector<std::u16string> shown;
        bool pressed = false;
        const std::vector<std::wstring> messages =
            SaveWatched(scratch.Target(), [&](int kind, const char16_t* name, std::uint32_t) {
                if (kind == 0) {
                    shown.push_back(name != nullptr ? name : u"");
                } else if (!pressed && !shown.empty() &&
                           Upper(Utf8Name(std::filesystem::path(shown.back()))) == "MULTI.BIN") {
                    pressed = true;
                    PressFromWorker(c.message, c.wParam, SaveControl.skip, c.notice);
                }
            });
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), L"Files Saved Successfully.");
        ASSERT_TRUE(pressed);
        if (c.notice != nullptr) {
            EXPECT_EQ(std::wstring(MessageBoxRequest.Copy().text), c.notice);
        }
        EXPECT_EQ(SavedFiles(scratch.Target()).count("SIZES/MULTI.BIN"), 0u)
            << "the skipped file is left cut";
        ExpectEveryFileWhole(scratch.Target(), partition);
        // Every file shown after it was saved whole.
        const auto after = std::find_if(shown.begin(), shown.end(), [](const std::u16string& name) {
            return Upper(Utf8Name(std::filesystem::path(name))) == "MULTI.BIN";
        });
        ASSERT_NE(after, shown.end());
        EXPECT_GT(shown.end() - after, 5);
        EXPECT_EQ(SaveOutcome.skipped, 1u);
        EXPECT_EQ(SaveOutcome.failed, 0u);
        EXPECT_GT(SaveOutcome.saved, 35u);
        ResetResultsView();
    }
}

// Stop Saving, or closing the main window, while multi.bin is being written, the question left up for
// seconds: meanwhile the save writes nothing more. No lets it finish with every file whole; Stop's Yes
// ends it with no message and no file left cut.
TEST_F(SavingTest, AQuestionDuringTheSaveHoldsItWhileItStandsAndLeavesOnlyWholeFiles)
{
    struct Case
    {
        const char* name;
        bool frame; // the main window's close, else Stop Saving
        UINT answer;
    };
    const Partition partition = FindPartition("mbr-ext05", "2");
    for (const Case& c :
         {Case{"Stop Saving answered No", false, IDNO}, Case{"Stop Saving answered Yes", false, IDYES},
          Case{"the main window's close answered No", true, IDNO}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QuickScanToResults(partition));
        MarkEverything();
        ScratchFolder scratch;
        const std::filesystem::path target = scratch.Target();
        std::filesystem::create_directories(target);
        MessageBoxRequest.Set(L"", 0);
        const HWND frame = ::GetAncestor(Results()->GetSafeHwnd(), GA_ROOT);
        std::u16string current;
        bool pressed = false;
        CSavingDlg::s_workerHook = [&](int kind, const char16_t* name, std::uint32_t percent) {
            if (kind == 0) {
                current = name != nullptr ? name : u"";
            } else if (!pressed && percent > 0 &&
                       Upper(Utf8Name(std::filesystem::path(current))) == "MULTI.BIN") {
                pressed = true;
                if (c.frame)
                    ::PostMessageW(frame, WM_CLOSE, 0, 0);
                else
                    ::PostMessageW(SavingDialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                // Until the question is on its way, so that the press lands within this file.
                HoldWorkerUntil([] { return !std::wstring(MessageBoxRequest.Copy().text).empty(); });
            }
        };
        std::map<std::string, SavedFile> atQuestion;
        std::map<std::string, SavedFile> afterHold;
        ULONGLONG questionSeen = 0;
        // The first question held for two seconds; every question answered as the case says.
        SaveDriver driver({}, [&](HWND box, UINT& button) {
            if (::GetDlgItem(box, IDYES) == NULL)
                return false;
            if (questionSeen == 0) {
                questionSeen = ::GetTickCount64();
                atQuestion = SavedFiles(target);
            }
            if (afterHold.empty() && ::GetTickCount64() - questionSeen < 2000)
                return true;
            if (afterHold.empty())
                afterHold = SavedFiles(target);
            button = c.answer;
            return false;
        });
        SaveInto(target, driver);
        CSavingDlg::s_workerHook = nullptr;
        ASSERT_TRUE(pressed);
        ASSERT_NE(questionSeen, 0u);
        EXPECT_EQ(afterHold, atQuestion) << "the save went on behind its question";
        const std::map<std::string, SavedFile> saved = SavedFiles(target);
        ExpectEveryFileWhole(target, partition);
        if (c.answer == IDYES) {
            for (const std::wstring& message : driver.messages)
                EXPECT_EQ(message.find(L"Successfully"), std::wstring::npos);
            EXPECT_EQ(saved.count("SIZES/MULTI.BIN"), 0u) << "the file Stop landed in is left cut";
            EXPECT_EQ(SaveOutcome.skipped, 1u);
            EXPECT_LE(saved.size(), atQuestion.size());
        } else {
            ASSERT_FALSE(driver.messages.empty());
            EXPECT_EQ(driver.messages.back(), L"Files Saved Successfully.");
            EXPECT_EQ(saved.count("SIZES/MULTI.BIN"), 1u);
            EXPECT_GT(saved.size(), atQuestion.size()) << "the save did not wait for the answer";
            EXPECT_EQ(SaveOutcome.skipped, 0u);
        }
        ResetResultsView();
    }
}

// The row's name edited in the label's editor, which then loses the focus.
void RenameRow(int row, const wchar_t* name)
{
    CResultListCtrl& list = Results()->ResultList();
    list.SetSelectionMark(row);
    list.BeginRename(row);
    CEdit* pEdit = list.GetEditControl();
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText(name);
    Results()->RecoveryTree().SetFocus();
    PumpMessages(20);
}

TEST_F(SavingTest, ARenamedFileOrFolderIsSavedUnderItsNewNameWithTheSameBytes)
{
    const Partition partition = FindPartition("mbr-ext05", "2");
    ASSERT_TRUE(QuickScanToResults(partition));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    // Nothing marked, then the folder Sizes listed.
    tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
    ASSERT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeUnchecked);
    HTREEITEM sizes = NULL;
    for (HTREEITEM item = tree.GetChildItem(tree.GetRootItem()); item != NULL;
         item = tree.GetNextSiblingItem(item))
        if (tree.GetItemText(item) == L"Sizes")
            sizes = item;
    ASSERT_NE(sizes, nullptr);
    tree.OnItemClick(TVHT_ONITEMLABEL, sizes);
    int row = -1;
    for (int at = 0; at < list.GetItemCount(); ++at)
        if (list.GetItemText(at, 0).CompareNoCase(L"cluster-plus-one.bin") == 0)
            row = at;
    ASSERT_GE(row, 0);

    // Renamed, then its box marked.
    RenameRow(row, L"renamed plus one.bin");
    EXPECT_EQ(list.GetItemText(row, 0), CString(L"renamed plus one.bin"));
    list.OnBoxClick(row);
    EXPECT_EQ(tree.GetItemCheckState(sizes), kTreePartlyChecked);

    ScratchFolder scratch;
    SaveExpectingSuccess(scratch);
    std::string md5;
    for (const auto& tsv : ReadTsv(JoinPath(TestDisksDir(), partition.files)))
        if (tsv.size() > 8 && tsv[8] == "Sizes/cluster-plus-one.bin")
            md5 = tsv[5];
    const std::map<std::string, SavedFile> saved = SavedFiles(scratch.Target());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved.begin()->first, "RENAMED PLUS ONE.BIN");
    EXPECT_EQ(saved.begin()->second.md5, md5);

    // A folder renamed in the root's rows: its tree item takes the name, and its files are saved below it.
    tree.OnItemClick(TVHT_ONITEMLABEL, tree.GetRootItem());
    row = -1;
    for (int at = 0; at < list.GetItemCount(); ++at)
        if (list.GetItemText(at, 0) == L"STRADDLE")
            row = at;
    ASSERT_GE(row, 0);
    RenameRow(row, L"Straddle renamed");
    const HTREEITEM straddle = reinterpret_cast<HTREEITEM>(static_cast<TreeItemValue>(list.RowId(row)));
    EXPECT_EQ(tree.GetItemText(straddle), CString(L"Straddle renamed"));
    list.OnBoxClick(row);
    ScratchFolder second;
    SaveExpectingSuccess(second);
    const std::map<std::string, SavedFile> folder = SavedFiles(second.Target());
    EXPECT_EQ(folder.size(), 13u);
    for (const auto& [key, file] : folder)
        EXPECT_EQ(key.rfind("STRADDLE RENAMED/", 0), 0u) << key;
}

std::u16string Utf16(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return std::u16string(wide.begin(), wide.end());
}

// The path of a file as the save writes it: each component made safe as the engine makes it.
std::string SafePath(const std::string& path)
{
    std::string safe;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::u16string component = Utf16(path.substr(start, slash - start));
        if (!safe.empty())
            safe += '/';
        safe += Utf8(CString(reinterpret_cast<const wchar_t*>(MakeSafeName(component).c_str())));
        start = slash + 1;
    }
    return Upper(safe);
}

TEST_F(SavingTest, AnExtensiveScanOfNtfsSavedWholeMatchesSleuthKitWithUnsafeNamesMadeSafe)
{
    const Partition partition = FindPartition("mbr-ext05", "3");
    ASSERT_TRUE(ExtensiveScanToResults(partition));
    // The Properties of a folder count its file records, as its listing shows them.
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        HTREEITEM many = NULL;
        for (HTREEITEM item = tree.GetChildItem(tree.GetRootItem()); item != NULL;
             item = tree.GetNextSiblingItem(item))
            if (tree.GetItemText(item) == L"Many")
                many = item;
        int files = 0;
        for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files)))
            files +=
                row.size() > 8 && row[1] == "f" && row[3] == "0" && row[8].rfind("Many/", 0) == 0 ? 1 : 0;
        PropertiesReader reader(nullptr);
        ShowFolderProperties(tree, many, Results());
        EXPECT_EQ(reader.contents, std::to_wstring(files) + L" File(s) and 0 Folder(s)");
    }
    MarkEverything();
    ScratchFolder scratch;
    SaveExpectingSuccess(scratch);
    const std::map<std::string, SavedFile> saved = SavedFiles(scratch.Target());
    int live = 0;
    int deleted = 0;
    int unsafe = 0;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
        // Files' unnamed data, past the file system's own files.
        if (row.size() < 9 || row[1] != "f" || row[3] != "0" || row[8].rfind("$", 0) == 0)
            continue;
        if (row[2] != "0" && row[7] != "1")
            continue;
        SCOPED_TRACE(row[8]);
        const auto found = saved.find(SafePath(row[8]));
        ASSERT_NE(found, saved.end()) << SafePath(row[8]);
        EXPECT_EQ(found->second.md5, row[2] == "0" ? row[5] : row[6]);
        ++(row[2] == "0" ? live : deleted);
        unsafe += row[8].rfind("Unsafe/", 0) == 0 ? 1 : 0;
    }
    EXPECT_GT(live, 50);
    EXPECT_GT(deleted, 3);
    EXPECT_EQ(unsafe, 12);
    for (const std::string& entry : ListTree(scratch.Parent()))
        EXPECT_EQ(entry.rfind("target/", 0), 0u) << entry;
}

// The please-wait boxes of Save and of a folder's listing show their text whole, while their work runs.
TEST_F(SavingTest, ThePleaseWaitBoxesShowTheirTextWhole)
{
    static std::atomic<bool> release{false};
    const ModalWaitRoutine untilReleased = [](UINT_PTR, UINT_PTR, UINT_PTR, const std::atomic<bool>& stop) {
        for (int waited = 0; !release && !stop && waited < 20000; waited += 5)
            ::Sleep(5);
    };
    CWaitDlg save;
    CListWaitDlg listing;
    struct Case
    {
        const char* name;
        CModalWaitDlg& dialog;
        int textId;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"Save's", save, IDC_WAIT_DLG_TEXT, L"please_wait_save"},
        {"a listing's", listing, IDC_LIST_WAIT_TEXT, L"please_wait_listing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        release = false;
        std::wstring text;
        std::string cut = "not seen";
        ModalScript script({ModalScript::Do([&](HWND box) {
            HWND label = ::GetDlgItem(box, c.textId);
            text = WindowText(label);
            cut = test_support::TextCutIn(label);
            ::UpdateWindow(box);
            test_support::WriteFramedWindowScreenshot(box, c.screenshot);
            release = true;
        })});
        c.dialog.SetWork(untilReleased, 0, 0, 0);
        // The box's own work (Save's preparation) would end it before it is seen.
        c.dialog.CModalWaitDlg::DoModal();
        EXPECT_FALSE(script.TimedOut());
        EXPECT_NE(text.find(L"it may take some time. Please wait..."), std::wstring::npos);
        EXPECT_EQ(cut, "") << "the box cuts its text";
    }
}

// What the user sees and what Save writes, after each road that changes marks.
class MarksAgreementTest : public SavingTest
{
protected:
    static HTREEITEM ItemWithText(const wchar_t* text)
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        if (CString(text) == L"Root")
            return tree.GetRootItem();
        for (HTREEITEM item : TreeItemsBelowRoot(tree))
            if (tree.GetItemText(item) == text)
                return item;
        ADD_FAILURE() << "no tree item " << Utf8(CString(text));
        return NULL;
    }

    // The listed rows against the listed folder's box: checked, every row marked; unchecked, none and no
    // folder below partly checked; partly, some but not all. A folder's row shows its folder's box
    // checked. The marked file rows go into `marked`, named as the save names them.
    static void CheckListedRows(HTREEITEM folder, std::multiset<std::string>& marked)
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        CResultListCtrl& list = Results()->ResultList();
        int rows = 0;
        int checked = 0;
        bool partlyBelow = false;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (list.IsParentRow(row))
                continue;
            ++rows;
            const int mark = list.GetCheckState(row);
            checked += mark == 1 ? 1 : 0;
            // A folder's row, or after a File Trace a found type's row, stands for a tree item.
            if (const HTREEITEM item = list.RowTreeItem(row)) {
                EXPECT_EQ(mark == 1, tree.GetItemCheckState(item) == kTreeChecked)
                    << Utf8(list.GetItemText(row, 0));
                partlyBelow = partlyBelow || tree.GetItemCheckState(item) == kTreePartlyChecked;
            } else if (mark == 1) {
                marked.insert(SafePath(Utf8(list.GetItemText(row, 0))));
            }
        }
        switch (tree.GetItemCheckState(folder)) {
        case kTreeChecked:
            EXPECT_EQ(checked, rows) << "a checked folder shows every row marked";
            break;
        case kTreeUnchecked:
            EXPECT_EQ(checked, 0) << "an unchecked folder shows no row marked";
            EXPECT_FALSE(partlyBelow);
            break;
        default:
            EXPECT_LT(checked, rows) << "a partly checked folder shows some rows unmarked";
            EXPECT_TRUE(checked > 0 || partlyBelow) << "a partly checked folder holds marks";
            break;
        }
    }

    static std::vector<int> TreeStates()
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        std::vector<int> states{tree.GetItemCheckState(tree.GetRootItem())};
        for (HTREEITEM item : TreeItemsBelowRoot(tree))
            states.push_back(tree.GetItemCheckState(item));
        return states;
    }

    // Every folder listed by a click on its tree label, each checked against its box; the marked files
    // the user sees. Listing changes neither the tree's states nor what Save would take.
    static std::multiset<std::string> VisibleMarkedFiles()
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        CResultListCtrl& list = Results()->ResultList();
        const std::vector<int> states = TreeStates();
        Results()->PrepareSaveSelection();
        const auto folders = list.SaveFolderItems;
        const auto files = list.SaveFileIds;
        std::vector<HTREEITEM> items{tree.GetRootItem()};
        for (HTREEITEM item : TreeItemsBelowRoot(tree))
            items.push_back(item);
        std::multiset<std::string> marked;
        for (HTREEITEM item : items) {
            SCOPED_TRACE("listed " + Utf8(tree.GetItemText(item)));
            tree.OnItemClick(TVHT_ONITEMLABEL, item);
            // After a File Trace a type lists its found items and each of its extensions lists them again:
            // the files are counted where they are listed once.
            std::multiset<std::string> ignored;
            const bool again = ScanSelection.scanKind == kScanFileTrace && tree.GetChildItem(item) == NULL;
            CheckListedRows(item, again ? ignored : marked);
        }
        EXPECT_EQ(TreeStates(), states) << "listing changed the tree's marks";
        Results()->PrepareSaveSelection();
        EXPECT_EQ(list.SaveFolderItems, folders) << "listing changed the folders Save takes";
        EXPECT_EQ(list.SaveFileIds, files) << "listing changed the files Save takes";
        return marked;
    }

    // A press and release on the tree item's box, as the mouse gives them.
    static void TreeBox(HTREEITEM item)
    {
        CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
        const CPoint point = TreeBoxPoint(tree, item);
        {
            BoxAnswerer answerer(IDOK);
            tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        }
        tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    // The listed folder's rows against its box, every folder's rows against the tree, then Save: what it
    // writes is what the boxes show; with nothing shown marked it says so and writes nothing.
    void CheckAgreementAndSave(const std::vector<const char*>& savedNames,
                               const std::vector<const char*>& notSavedNames, const wchar_t* screenshot,
                               bool listedIsSelected = true)
    {
        CResultListCtrl& list = Results()->ResultList();
        // After a File Trace the list's folder is the tree's selected item, which a box pressed in the
        // tree moves without listing it.
        if (listedIsSelected) {
            SCOPED_TRACE("as the road left it");
            const int first = list.GetItemCount() > 1 && list.IsParentRow(0) ? 1 : 0;
            ASSERT_LT(first, list.GetItemCount());
            std::multiset<std::string> ignored;
            CheckListedRows(list.ListedFolderItem(first), ignored);
        }
        if (screenshot != nullptr)
            Screenshot(screenshot);
        const std::multiset<std::string> visible = VisibleMarkedFiles();
        ScratchFolder scratch;
        std::filesystem::create_directories(scratch.Target());
        if (visible.empty()) {
            BoxAnswerer answerer(IDOK);
            Results()->OnSave();
            bool told = false;
            for (const MessageBoxFields& request : answerer.Requests())
                told = told || request.text.Find(L"Please mark the file(s) and folder(s)") >= 0;
            EXPECT_TRUE(told) << "Save did not say that nothing is marked";
        } else {
            SaveExpectingSuccess(scratch);
        }
        const std::multiset<std::string> saved = SavedNames(scratch.Target());
        EXPECT_EQ(saved, visible) << "Save wrote other files than the boxes show";
        for (const char* name : savedNames)
            EXPECT_EQ(saved.count(SafePath(name)), 1u) << name;
        for (const char* name : notSavedNames)
            EXPECT_EQ(saved.count(SafePath(name)), 0u) << name;
    }

    // Every road of the table after a scan of the test disk's FAT32 volume.
    void FollowEveryRoad(bool (*scan)(const Partition&));

    static std::multiset<std::string> SavedNames(const std::filesystem::path& folder)
    {
        std::multiset<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                names.insert(Upper(Utf8Name(entry.path().filename())));
        return names;
    }
};

void MarksAgreementTest::FollowEveryRoad(bool (*scan)(const Partition&))
{
    ASSERT_TRUE(scan(FindPartition("mbr-ext05", "2")));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    const HTREEITEM root = tree.GetRootItem();
    ASSERT_NE(root, nullptr);

    // The roads, as the user takes them.
    const auto treeBox = [&](const wchar_t* folder) { TreeBox(ItemWithText(folder)); };
    const auto listFolder = [&](const wchar_t* folder) {
        tree.OnItemClick(TVHT_ONITEMLABEL, ItemWithText(folder));
    };
    const auto rowBox = [&](const wchar_t* name) {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0) << Utf8(CString(name));
        ClickRowBox(row);
    };
    const auto key = [&](const wchar_t* name, WPARAM code) {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0) << Utf8(CString(name));
        list.SetFocus();
        list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        list.SetSelectionMark(row);
        MSG message = {};
        message.hwnd = list.GetSafeHwnd();
        message.message = WM_KEYDOWN;
        message.wParam = code;
        if (!list.PreTranslateMessage(&message))
            list.SendMessage(WM_KEYDOWN, code, 0);
        PumpMessages(20);
    };
    const auto markEveryRow = [&] {
        for (int row = 0; row < list.GetItemCount(); ++row)
            if (list.GetCheckState(row) == 0)
                ClickRowBox(row);
    };
    using Steps = std::function<void()>;
    struct Case
    {
        const char* name;
        bool fromScan; // the marks a scan leaves, else nothing marked and the root listed
        Steps steps;
        std::vector<const char*> saved, notSaved;
        bool byMenu; // saved through Recover Selected of the list's menu
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"the scan's own marks", true, [] {}, {"exactly13.txt", "one.bin", "deep.txt"}, {}, false, nullptr},
        {"the root's box off and on",
         true,
         [&] {
             treeBox(L"Root");
             treeBox(L"Root");
         },
         {"exactly13.txt", "lower.txt", "deep.txt", "S01.TXT"},
         {},
         false,
         L"marks_root_box_off_and_on"},
        {"the root's box off and on, then a root file's box off",
         true,
         [&] {
             treeBox(L"Root");
             treeBox(L"Root");
             listFolder(L"Root");
             rowBox(L"exactly13.txt");
         },
         {"lower.txt", "deep.txt"},
         {"exactly13.txt"},
         false,
         nullptr},
        {"root files by their boxes and the space bar",
         false,
         [&] {
             rowBox(L"exactly13.txt");
             key(L"lower.txt", VK_SPACE);
         },
         {"exactly13.txt", "lower.txt"},
         {"UPPER.TXT", "one.bin"},
         false,
         L"marks_root_files_by_their_boxes"},
        {"every row of the root by its box",
         false,
         markEveryRow,
         {"exactly13.txt", "deep.txt", "one.bin"},
         {},
         false,
         nullptr},
        {"a folder's row",
         false,
         [&] { rowBox(L"Level1"); },
         {"readme.txt", "middle.bin", "deep.txt"},
         {"exactly13.txt"},
         false,
         nullptr},
        {"a subfolder's tree box off in the scan's tree",
         true,
         [&] { treeBox(L"Level2"); },
         {"exactly13.txt", "readme.txt", "one.bin"},
         {"middle.bin", "deep.txt"},
         false,
         L"marks_subfolder_box_off"},
        {"a file's box off in a checked folder",
         true,
         [&] {
             listFolder(L"Sizes");
             rowBox(L"one.bin");
         },
         {"multi.bin", "exactly13.txt"},
         {"one.bin"},
         false,
         nullptr},
        {"a folder's rows all off while a folder below it holds a mark",
         false,
         [&] {
             listFolder(L"Level2");
             rowBox(L"middle.bin");
             listFolder(L"Level1");
             rowBox(L"readme.txt");
             rowBox(L"readme.txt");
         },
         {"middle.bin"},
         {"readme.txt"},
         false,
         nullptr},
        {"Enter on an unmarked folder's row",
         false,
         [&] {
             rowBox(L"Sizes");
             key(L"Level1", VK_RETURN);
         },
         {"one.bin"},
         {"readme.txt"},
         false,
         nullptr},
        {"Recover Selected of the list's menu",
         false,
         [&] { rowBox(L"STRADDLE"); },
         {"S01.TXT"},
         {"exactly13.txt"},
         true,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fromScan) {
            // As the scan's end leaves them: the root checked with everything below it, its rows listed.
            tree.EngineSide().SetCheckRecursive(reinterpret_cast<TreeItemValue>(root), 1);
            tree.SelectItem(root);
            ListFolderFat(kFatRootFolder);
        } else {
            if (tree.GetItemCheckState(root) != kTreeUnchecked)
                tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
            ASSERT_EQ(tree.GetItemCheckState(root), kTreeUnchecked);
            listFolder(L"Root");
        }
        c.steps();
        if (!c.byMenu) {
            CheckAgreementAndSave(c.saved, c.notSaved, c.screenshot);
            continue;
        }
        // The folder listed when the road ends, as it shows (a box pressed in the tree selects its item
        // and lists nothing).
        {
            SCOPED_TRACE("as the road left it");
            const int first = list.GetItemCount() > 1 && list.IsParentRow(0) ? 1 : 0;
            ASSERT_LT(first, list.GetItemCount());
            std::multiset<std::string> ignored;
            CheckListedRows(list.ListedFolderItem(first), ignored);
        }
        const std::multiset<std::string> visible = VisibleMarkedFiles();

        // Recover Selected prepares the save as the Save button does; the folder browser is cancelled,
        // and what the menu's road prepared is saved as it stands.
        ScratchFolder scratch;
        std::filesystem::create_directories(scratch.Target());
        listFolder(L"Root");
        list.SetMenuTracker([](CMenu*, CPoint) { return 32777; });
        {
            BoxAnswerer answerer(IDCANCEL);
            CRect label;
            list.GetItemRect(RowNamed(L"exactly13.txt"), &label, LVIR_LABEL);
            list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(label.left + 10, label.CenterPoint().y));
        }
        list.SetMenuTracker({});
        ASSERT_FALSE(list.SaveFolderItems.empty() && list.SaveFileIds.empty());
        SaveDriver driver;
        Results()->SaveIntoFolder(scratch.Target().wstring().c_str());
        ASSERT_FALSE(driver.messages.empty());
        EXPECT_EQ(driver.messages.back(), L"Files Saved Successfully.");
        const std::multiset<std::string> saved = SavedNames(scratch.Target());
        EXPECT_EQ(saved, visible) << "Save wrote other files than the boxes show";
        for (const char* name : c.saved)
            EXPECT_EQ(saved.count(SafePath(name)), 1u) << name;
        for (const char* name : c.notSaved)
            EXPECT_EQ(saved.count(SafePath(name)), 0u) << name;
    }
}

TEST_F(MarksAgreementTest, EveryRoadThatMarksLeavesTheBoxesTheTreeAndTheSaveInAgreement)
{
    FollowEveryRoad(QuickScanToResults);
}

TEST_F(MarksAgreementTest, AfterAnExtensiveScanEveryRoadLeavesTheBoxesTheTreeAndTheSaveInAgreement)
{
    FollowEveryRoad(ExtensiveScanToResults);
}

// After an Extensive Scan of NTFS a file's ID is its MFT record's sector, a number of the same range as
// the tree's item values: a row is read against its own kind's map. And $MFT, whose record is the first
// of the table, is a root file like the others.
TEST_F(MarksAgreementTest, AfterAnExtensiveScanOfNtfsTheRootsBoxItsRowsAndTheSaveAgree)
{
    ASSERT_TRUE(ExtensiveScanToResults(FindPartition("mbr-ext05", "3")));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    const HTREEITEM root = tree.GetRootItem();
    ASSERT_NE(root, nullptr);

    // As the scan's end leaves them: the root checked with everything below it, its rows listed.
    tree.EngineSide().SetCheckRecursive(reinterpret_cast<TreeItemValue>(root), 1);
    tree.SelectItem(root);
    tree.OnItemClick(TVHT_ONITEMLABEL, root);
    ASSERT_EQ(tree.GetItemCheckState(root), kTreeChecked);
    {
        SCOPED_TRACE("the root fully checked");
        std::multiset<std::string> marked;
        CheckListedRows(root, marked);
        EXPECT_EQ(marked.count(SafePath("$MFT")), 1u) << "the $MFT row is not marked under a checked root";
        const int row = RowNamed(L"$MFT");
        ASSERT_GE(row, 0);
        Results()->PrepareSaveSelection();
        EXPECT_EQ(list.SaveFileIds.count(list.RowId(row)), 1u) << "Save leaves $MFT out";
    }

    // Nothing marked but one folder, by its row; an unmarked file's row then carries that folder's
    // tree item as its ID.
    tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
    ASSERT_EQ(tree.GetItemCheckState(root), kTreeUnchecked);
    tree.OnItemClick(TVHT_ONITEMLABEL, root);
    const int folderRow = RowNamed(L"Sizes");
    ASSERT_GE(folderRow, 0);
    ClickRowBox(folderRow);
    ASSERT_EQ(list.CheckedFolderItems.count(static_cast<TreeItemValue>(list.RowId(folderRow))), 1u);
    const int fileRow = RowNamed(L"lower.txt");
    ASSERT_GE(fileRow, 0);
    ASSERT_EQ(list.GetCheckState(fileRow), 0);
    const CString fileId = list.GetItemText(fileRow, CResultListCtrl::IdColumn());
    list.SetItemText(fileRow, CResultListCtrl::IdColumn(),
                     list.GetItemText(folderRow, CResultListCtrl::IdColumn()));
    tree.RestoreListChecks();
    EXPECT_EQ(list.GetCheckState(fileRow), 0) << "a file's row took a checked folder's mark";
    EXPECT_EQ(list.GetCheckState(folderRow), 1);
    list.SetItemText(fileRow, CResultListCtrl::IdColumn(), fileId);
}

TEST_F(MarksAgreementTest, AfterAFileTraceEveryRoadLeavesTheBoxesTheTreeAndTheSaveInAgreement)
{
    ASSERT_TRUE(FileTraceToResults(FindPartition("mbr-ext05", "2")));
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    CResultListCtrl& list = Results()->ResultList();
    const HTREEITEM root = tree.GetRootItem();
    ASSERT_NE(root, nullptr);
    for (const wchar_t* type : {L"Folder Sector", L"Boot Sector", L"FS Information"})
        ASSERT_NE(ItemWithText(type), nullptr) << "the scan found no " << Utf8(CString(type));
    // As the scan left them: nothing marked, the types listed.
    {
        SCOPED_TRACE("the scan's own marks");
        CheckAgreementAndSave({}, {}, L"marks_after_file_trace");
    }

    const auto rowBox = [&](const wchar_t* name) {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0) << Utf8(CString(name));
        ClickRowBox(row);
    };
    const auto listItem = [&](HTREEITEM item) { tree.OnItemClick(TVHT_ONITEMLABEL, item); };
    struct Case
    {
        const char* name;
        std::function<void()> steps;
    };
    const Case cases[] = {
        {"the root's box", [&] { TreeBox(root); }},
        {"the root's box on and off",
         [&] {
             TreeBox(root);
             TreeBox(root);
         }},
        {"a type's row",
         [&] {
             listItem(root);
             rowBox(L"Boot Sector");
         }},
        {"every type's row one by one",
         [&] {
             listItem(root);
             for (int row = 0; row < list.GetItemCount(); ++row)
                 ClickRowBox(row);
         }},
        {"found items by their boxes",
         [&] {
             listItem(ItemWithText(L"Folder Sector"));
             ClickRowBox(0);
             listItem(ItemWithText(L"FS Information"));
             ClickRowBox(list.GetItemCount() - 1);
         }},
        {"an extension's box in the tree", [&] { TreeBox(tree.GetChildItem(ItemWithText(L"Boot Sector"))); }},
        {"a type's box off after the root's on",
         [&] {
             TreeBox(root);
             TreeBox(ItemWithText(L"Folder Sector"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Nothing marked and the types listed, as the scan's end leaves them.
        if (tree.GetItemCheckState(root) != kTreeUnchecked)
            tree.OnItemClick(TVHT_ONITEMSTATEICON, root);
        ASSERT_EQ(tree.GetItemCheckState(root), kTreeUnchecked);
        ASSERT_TRUE(list.CheckedFileIds.empty());
        tree.SelectItem(root);
        ListTraceTypeFolders();
        c.steps();
        CheckAgreementAndSave({}, {}, nullptr, false);
    }
    FreeTraceFoundList();
    FreeFileSignatureList();
}

} // namespace
