// The program as a user meets it: started in its own process, with its registry values read back raw.
#include "program_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "support/screenshot.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <iterator>

namespace {

constexpr wchar_t kProfileKey[] = L"Software\\Corvane VMDK Recovery\\Corvane VMDK Recovery";
const std::vector<std::wstring> kYesNo = {L"Yes", L"No"};
const std::vector<std::wstring> kOk = {L"OK"};

std::wstring Fixture(const wchar_t* name)
{
    return std::wstring(APP_FIXTURES_DIR) + L"\\" + name;
}

std::wstring Upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return text;
}

// The result list inside the shown view, when the shown view is the results view.
// The result list (id 165) anywhere inside the shown view: it stands in the view's splitter bars.
HWND ResultList(HWND frame)
{
    HWND view = ProgramDriver::ShownView(frame);
    HWND found = nullptr;
    if (view != nullptr) {
        EnumChildWindows(
            view,
            [](HWND window, LPARAM result) -> BOOL {
                wchar_t name[32] = {};
                GetClassNameW(window, name, 32);
                if (wcscmp(name, L"SysListView32") != 0 || GetDlgCtrlID(window) != 165)
                    return TRUE;
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
    }
    return found;
}

// A REG_DWORD of the program's profile; -1 when it is missing or of another type.
long long ProfileDword(const std::wstring& section, const std::wstring& name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRegistryValue(HKEY_CURRENT_USER, std::wstring(kProfileKey) + L"\\" + section, name, type,
                           data) ||
        type != REG_DWORD || data.size() != sizeof(DWORD))
        return -1;
    DWORD value = 0;
    memcpy(&value, data.data(), sizeof value);
    return value;
}

// The saved bars' layout and options: every "CommandBars..." section of the profile.
void DeleteCommandBarsProfile()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProfileKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> sections;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::wstring(name).starts_with(L"CommandBars"))
            sections.push_back(name);
    }
    for (const std::wstring& section : sections)
        RegDeleteTreeW(key, section.c_str());
    RegCloseKey(key);
}

// The Bar<n> section of the saved layout that holds the bar with this id; empty when none does.
std::wstring SavedBarSection(long long barId)
{
    for (long long i = 0; i < ProfileDword(L"CommandBars-Summary", L"Bars"); ++i) {
        const std::wstring section = L"CommandBars-Bar" + std::to_wstring(i);
        if (ProfileDword(section, L"BarID") == barId)
            return section;
    }
    return L"";
}

// Exit, answered Yes; true when the program ended with code 0.
bool ExitWithYes(ProgramDriver& program, HWND frame)
{
    ProgramDriver::PostCommand(frame, 32809);
    HWND box = program.WaitForBox(kProgramTitle, kYesNo);
    if (box == nullptr)
        return false;
    ProgramDriver::ClickButton(box, L"Yes");
    DWORD exitCode = 1;
    return program.WaitForExit(15000, exitCode) && exitCode == 0;
}

// Where the bars and the shown view of a started program stood once its start had settled.
struct BarsSeen
{
    bool ended = false;
    bool menuBarShown = false;
    bool toolBarShown = false;
    bool zoomed = false;
    RECT menuBar = {};
    RECT view = {};
    size_t visibleViews = 0;
};

// Starts the program, looks at its bars (leaving a screenshot when named) and ends it with Exit and Yes.
BarsSeen StartAndExitWithYes(const wchar_t* screenshot)
{
    BarsSeen seen;
    ProgramDriver program;
    HWND frame = program.Start() ? program.WaitForFrame() : nullptr;
    if (frame == nullptr)
        return seen;
    Sleep(1000);
    HWND menuBar = ProgramDriver::Descendant(frame, L"Menu Bar");
    HWND toolBar = ProgramDriver::Descendant(frame, L"Standard");
    HWND view = ProgramDriver::ShownView(frame);
    if (menuBar == nullptr || toolBar == nullptr || view == nullptr)
        return seen;
    seen.menuBarShown = IsWindowVisible(menuBar);
    seen.toolBarShown = IsWindowVisible(toolBar);
    seen.zoomed = IsZoomed(frame);
    GetWindowRect(menuBar, &seen.menuBar);
    GetWindowRect(view, &seen.view);
    seen.visibleViews = ProgramDriver::VisibleViews(frame).size();
    if (screenshot != nullptr) {
        EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(frame, screenshot));
    }
    seen.ended = ExitWithYes(program, frame);
    return seen;
}

int ColumnCount(HWND list)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : -1;
}

TEST(Program, StartsOnTheHomeViewInARestoredFrameAndRegistersItsDocumentType)
{
    ProgramDriver program;
    ASSERT_TRUE(program.Start());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(ProgramDriver::Text(frame), kProgramTitle);
    // Late notices of the start's show states arrive after the frame is found.
    Sleep(1000);
    const std::vector<HWND> views = ProgramDriver::VisibleViews(frame);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(views[0]), kShownViewId);
    EXPECT_EQ(ResultList(frame), nullptr) << "the home view is shown, not the results";
    // The menu bar of the command bars stands in for the frame's own menu.
    EXPECT_EQ(GetMenu(frame), nullptr);
    EXPECT_FALSE(IsZoomed(frame));
    EXPECT_FALSE(IsIconic(frame));
    RECT rect = {};
    GetWindowRect(frame, &rect);
    EXPECT_GE(rect.right - rect.left, 875);
    EXPECT_GE(rect.bottom - rect.top, 690);
    Sleep(300);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(frame, L"app_main_frame"));

    const std::wstring path = ProgramDriver::ProgramPath();
    EXPECT_EQ(ReadRegistryText(HKEY_CLASSES_ROOT, L".vqdx", L""), L"Corvane.Document");
    EXPECT_EQ(ReadRegistryText(HKEY_CLASSES_ROOT, L".vqdx\\shell\\open\\command", L""), path + L" \"%0\"");
    EXPECT_EQ(ReadRegistryText(HKEY_CLASSES_ROOT, L"Corvane.Document\\DefaultIcon", L""), path + L",0");
    EXPECT_EQ(ReadRegistryText(HKEY_CLASSES_ROOT, L"Corvane.Document\\shell\\open\\command", L""),
              path + L" \"%0\"");
}

TEST(Program, ASecondCopySaysAnotherIsRunningAndEndsWhileTheFirstGoesOn)
{
    ProgramDriver first;
    ASSERT_TRUE(first.Start());
    HWND frame = first.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    ProgramDriver second;
    ASSERT_TRUE(second.Start());
    HWND box = second.WaitForBox(kProgramTitle, kOk);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ProgramDriver::PushButtonTexts(box), kOk);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(box, L"app_second_instance"));
    // The second copy made no frame of its own.
    for (HWND window : second.TopLevelWindows())
        EXPECT_EQ(ProgramDriver::ClassName(window), L"#32770");
    ProgramDriver::ClickButton(box, L"OK");
    DWORD exitCode = 1;
    EXPECT_TRUE(second.WaitForExit(10000, exitCode));

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.Answers(frame));
    EXPECT_EQ(ProgramDriver::VisibleViews(frame).size(), 1u);
}

TEST(Program, ExitAsksFirstNoKeepsTheProgramAndYesEndsItWithCodeZeroAfterSavingItsState)
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(kProfileKey) + L"\\Settings").c_str(),
                       L"Window Position");
    DeleteCommandBarsProfile();
    ProgramDriver program;
    ASSERT_TRUE(program.Start());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    // The command and the close box both ask; with no scan nothing else is asked.
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Exit command");
        if (closeBox)
            PostMessageW(frame, WM_CLOSE, 0, 0);
        else
            ProgramDriver::PostCommand(frame, 32809);
        HWND box = program.WaitForBox(kProgramTitle, kYesNo);
        ASSERT_NE(box, nullptr);
        if (!closeBox) {
            EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(box, L"app_exit_question"));
        }
        ProgramDriver::ClickButton(box, L"No");
        Sleep(1000);
        EXPECT_EQ(program.WaitForBox(kProgramTitle, {}, 0), nullptr) << "a further box was shown";
        EXPECT_TRUE(program.Running());
        EXPECT_TRUE(program.Answers(frame));
        EXPECT_EQ(ProgramDriver::VisibleViews(frame).size(), 1u);
    }

    ASSERT_TRUE(ExitWithYes(program, frame)) << "Yes ends the program with code 0";

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, std::wstring(kProfileKey) + L"\\Settings",
                                  L"Window Position", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data.size(), 48u);
    // The bars' layout: the menu bar and the toolbar (its id is its resource's, 128), both shown, on this
    // screen.
    EXPECT_EQ(ProfileDword(L"CommandBars-Summary", L"Bars"), 2);
    EXPECT_EQ(ProfileDword(L"CommandBars-Summary", L"ScreenCX"), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(ProfileDword(L"CommandBars-Summary", L"ScreenCY"), GetSystemMetrics(SM_CYSCREEN));
    const std::wstring toolBar = SavedBarSection(128);
    ASSERT_FALSE(toolBar.empty());
    EXPECT_EQ(ProfileDword(toolBar, L"Visible"), -1) << "a shown bar stores no Visible value";
    EXPECT_EQ(ProfileDword(toolBar, L"Floating"), -1);
    // The program has no accelerator table, so its shortcut manager has no shortcuts to keep.
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, std::wstring(kProfileKey) + L"\\CommandBars",
                                   L"Accelerators", type, data));
}

TEST(Program, ASecondStartLaysItsBarsOutAsTheLastExitSavedThem)
{
    // A hidden toolbar left behind would change every later start.
    struct CleanUp
    {
        CleanUp() { DeleteCommandBarsProfile(); }
        ~CleanUp() { DeleteCommandBarsProfile(); }
    } cleanUp;
    const BarsSeen first = StartAndExitWithYes(nullptr);
    ASSERT_TRUE(first.ended);
    EXPECT_TRUE(first.toolBarShown);

    // As a user's hidden toolbar is kept: the bar's saved entry says so.
    const std::wstring section = SavedBarSection(128);
    ASSERT_FALSE(section.empty());
    const DWORD hidden = 0;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kProfileKey) + L"\\" + section).c_str(),
                              L"Visible", REG_DWORD, &hidden, sizeof hidden),
              ERROR_SUCCESS);

    const BarsSeen second = StartAndExitWithYes(L"app_saved_layout_without_toolbar");
    ASSERT_TRUE(second.ended);
    EXPECT_FALSE(second.toolBarShown);
    EXPECT_TRUE(second.menuBarShown);
    EXPECT_EQ(second.menuBar.bottom - second.menuBar.top, first.menuBar.bottom - first.menuBar.top);
    EXPECT_EQ(second.menuBar.right - second.menuBar.left, first.menuBar.right - first.menuBar.left);
    // The view takes the toolbar's rows.
    EXPECT_LT(second.view.top - second.menuBar.bottom, first.view.top - first.menuBar.bottom);
    EXPECT_EQ(second.visibleViews, 1u);
    EXPECT_FALSE(second.zoomed);
    EXPECT_EQ(ProfileDword(SavedBarSection(128), L"Visible"), 0) << "the next exit keeps the hidden bar";
}

TEST(Program, ASnapshotNamedOnTheCommandLineOpensInTheResultsViewWithTheColumnsOfItsMode)
{
    struct Case
    {
        const char* name;
        const wchar_t* file;
        int columns;
    };
    const Case cases[] = {
        {"Quick Scan", L"quick.vqdx", 6},
        {"File Trace", L"trace.vqdx", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Quoted and in upper case, as a user may type it.
        const std::wstring argument = L"\"" + Upper(Fixture(c.file)) + L"\"";
        ProgramDriver program;
        ASSERT_TRUE(program.Start(argument));
        HWND frame = nullptr;
        HWND list = nullptr;
        const ULONGLONG deadline = GetTickCount64() + 30000;
        while (GetTickCount64() < deadline && list == nullptr) {
            Sleep(20);
            frame = program.WaitForFrame(0);
            list = frame != nullptr ? ResultList(frame) : nullptr;
        }
        ASSERT_NE(list, nullptr) << "the results view was not shown";
        Sleep(500);
        EXPECT_EQ(ColumnCount(list), c.columns);
        EXPECT_EQ(ProgramDriver::VisibleViews(frame).size(), 1u);
        if (c.columns == 6) {
            EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(frame, L"app_command_line_snapshot"));
        }
    }
}

TEST(Program, ADocumentOfAnotherFirstCharacterIsAnInvalidFileAndTheHomeViewStays)
{
    ProgramDriver program;
    ASSERT_TRUE(program.Start(L"\"" + Fixture(L"bogus.vqdx") + L"\""));
    HWND box = program.WaitForBox(kProgramTitle, kOk);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(box, L"app_invalid_file"));
    ProgramDriver::ClickButton(box, L"OK");
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    Sleep(500);
    EXPECT_EQ(ResultList(frame), nullptr);
    EXPECT_EQ(ProgramDriver::VisibleViews(frame).size(), 1u);
    EXPECT_TRUE(program.Answers(frame));
}

} // namespace
