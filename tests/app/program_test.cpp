// The program as a user meets it: started in its own process, with its registry values read back raw.
#include "program_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "support/screenshot.h"

#include <algorithm>
#include <cwctype>

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
HWND ResultList(HWND frame)
{
    HWND view = ProgramDriver::ShownView(frame);
    return view != nullptr ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
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
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(kProfileKey) + L"\\CommandBars").c_str(),
                       L"Accelerators");
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

    ProgramDriver::PostCommand(frame, 32809);
    HWND box = program.WaitForBox(kProgramTitle, kYesNo);
    ASSERT_NE(box, nullptr);
    ProgramDriver::ClickButton(box, L"Yes");
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(15000, exitCode));
    EXPECT_EQ(exitCode, 0u);

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, std::wstring(kProfileKey) + L"\\Settings",
                                  L"Window Position", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data.size(), 48u);
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, std::wstring(kProfileKey) + L"\\CommandBars",
                                  L"Accelerators", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    // Two shortcuts of six bytes each.
    EXPECT_EQ(data.size(), 12u);
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
