// The HTML message box on the display: button sets, Escape and the close box, captions, count-downs,
// remembered answers, details and custom buttons; and its style-to-buttons table on its own.
#include "html_message_box.h"

#include <gtest/gtest.h>

#include "modal_script.h"

#include <string>
#include <vector>

namespace {

std::wstring JoinCaptions(const std::vector<int>& ids)
{
    std::wstring joined;
    for (int id : ids) {
        if (!joined.empty()) {
            joined += L"|";
        }
        const wchar_t* caption = HtmlMessageBoxBuiltInCaption(id);
        joined += caption ? caption : L"?";
    }
    return joined;
}

TEST(HtmlMessageBoxButtons, StyleGivesTheButtonSetItsCaptionsAndWhetherItMayClose)
{
    struct Case
    {
        const char* name;
        UINT style;
        int customButtons;
        bool report;
        bool details;
        std::vector<int> ids;
        const wchar_t* captions;
        bool mayClose;
    };
    const Case cases[] = {
        {"set 0", MB_OK, 0, false, false, {1}, L"OK", true},
        {"set 0 with custom buttons", MB_OK, 2, false, false, {23, 24}, L"?|?", false},
        {"set 1", MB_OKCANCEL, 0, false, false, {1, 2}, L"OK|Cancel", true},
        {"set 2", MB_ABORTRETRYIGNORE, 0, false, false, {3, 4, 5}, L"Abort|Retry|Ignore", false},
        {"set 3", MB_YESNOCANCEL, 0, false, false, {6, 7, 2}, L"Yes|No|Cancel", true},
        {"set 3 with both to-all buttons",
         MB_YESNOCANCEL | kHtmlBoxYesToAll | kHtmlBoxNoToAll,
         0,
         false,
         false,
         {6, 19, 7, 20, 2},
         L"Yes|Yes to all|No|No to all|Cancel",
         true},
        {"set 4", MB_YESNO, 0, false, false, {6, 7}, L"Yes|No", false},
        {"set 4 with no to all",
         MB_YESNO | kHtmlBoxNoToAll,
         0,
         false,
         false,
         {6, 7, 20},
         L"Yes|No|No to all",
         false},
        {"set 5", MB_RETRYCANCEL, 0, false, false, {4, 2}, L"Retry|Cancel", true},
        {"set 6", MB_CANCELTRYCONTINUE, 0, false, false, {2, 10, 11}, L"Cancel|Try again|Continue", true},
        {"set 7", 7, 0, false, false, {11, 3}, L"Continue|Abort", false},
        {"set 8", 8, 0, false, false, {14, 15, 2}, L"Skip|Skip all|Cancel", true},
        {"set 9", 9, 0, false, false, {5, 16, 2}, L"Ignore|Ignore all|Cancel", true},
        {"unknown set is set 0", 12, 0, false, false, {1}, L"OK", true},
        {"help, report and more follow the set",
         MB_OKCANCEL | kHtmlBoxHelpButton,
         0,
         true,
         true,
         {1, 2, 9, 21, 31},
         L"OK|Cancel|Help|Report|More >>",
         true},
        {"custom buttons replace a closable set",
         MB_OKCANCEL,
         4,
         false,
         false,
         {23, 24, 25, 26},
         L"?|?|?|?",
         true},
        {"at most four custom buttons", MB_YESNO, 6, false, false, {23, 24, 25, 26}, L"?|?|?|?", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int> ids = HtmlMessageBoxButtonIds(c.style, c.customButtons, c.report, c.details);
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(JoinCaptions(ids), c.captions);
        EXPECT_EQ(HtmlMessageBoxMayClose(c.style, c.customButtons), c.mayClose);
    }
    EXPECT_STREQ(HtmlMessageBoxBuiltInCaption(kHtmlBoxIdLess), L"<< More");
    EXPECT_EQ(HtmlMessageBoxCaptionStringId(IDOK), 9001u);
    EXPECT_EQ(HtmlMessageBoxCaptionStringId(kHtmlBoxIdSkipAll), 9019u);
}

std::vector<std::wstring> ButtonTexts(const std::vector<ButtonInfo>& buttons)
{
    std::vector<std::wstring> texts;
    for (const ButtonInfo& button : buttons) {
        texts.push_back(button.text);
    }
    return texts;
}

TEST(HtmlMessageBox, YesNoShowsOnlyYesAndNoIgnoresEscapeAndTheCloseBoxAndReturnsTheAnswer)
{
    struct Case
    {
        const char* name;
        int press;
    };
    for (const Case& c : {Case{"yes", IDYES}, Case{"no", IDNO}}) {
        SCOPED_TRACE(c.name);
        std::vector<ButtonInfo> buttons;
        bool openAfterEscapeAndClose = false;
        bool closeGreyed = false;
        ModalScript script({ModalScript::Do([&](HWND box) {
                                buttons = VisibleButtons(box);
                                PostKey(box, VK_ESCAPE);
                                PressCloseBox(box);
                                PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                            }),
                            ModalScript::Do([&](HWND box) {
                                openAfterEscapeAndClose = IsWindowVisible(box) != FALSE;
                                closeGreyed = CloseItemGreyed(box);
                                ClickButton(box, c.press);
                            })});
        const int result =
            HtmlMessageBox(nullptr, L"Stop the <b>scan</b>?", L"Question", MB_YESNO | MB_ICONINFORMATION);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(result, c.press);
        EXPECT_EQ(ButtonTexts(buttons), (std::vector<std::wstring>{L"Yes", L"No"}));
        ASSERT_EQ(buttons.size(), 2u);
        EXPECT_EQ(buttons[0].id, IDYES);
        EXPECT_EQ(buttons[1].id, IDNO);
        EXPECT_TRUE(openAfterEscapeAndClose);
        EXPECT_TRUE(closeGreyed);
    }
}

TEST(HtmlMessageBox, AnOkBoxEndsWithCancelOnEscapeAndOnTheCloseBox)
{
    struct Case
    {
        const char* name;
        bool escape;
    };
    for (const Case& c : {Case{"escape", true}, Case{"close box", false}}) {
        SCOPED_TRACE(c.name);
        std::vector<ButtonInfo> buttons;
        ModalScript script({ModalScript::Do([&](HWND box) {
            buttons = VisibleButtons(box);
            if (c.escape) {
                PostKey(box, VK_ESCAPE);
            } else {
                PressCloseBox(box);
            }
        })});
        EXPECT_EQ(HtmlMessageBox(nullptr, L"Done.", L"Information", MB_OK | MB_ICONINFORMATION), IDCANCEL);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(ButtonTexts(buttons), (std::vector<std::wstring>{L"OK"}));
    }
}

// An owner that counts the report messages it receives.
const UINT kReportMessage = WM_APP + 7;
int g_reportsReceived = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kReportMessage) {
        ++g_reportsReceived;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateOwner(const wchar_t* caption)
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MessageBoxTestOwner";
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    return CreateWindowExW(0, L"MessageBoxTestOwner", caption, WS_POPUP, 300, 200, 600, 400, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TEST(HtmlMessageBox, AnEmptyCaptionTakesTheOwnersTextElseError)
{
    HWND owner = CreateOwner(L"Owner window");
    ASSERT_NE(owner, nullptr);
    struct Case
    {
        const char* name;
        HWND owner;
        const wchar_t* caption;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"null caption, no owner", nullptr, nullptr, L"Error"},
        {"empty caption, no owner", nullptr, L"", L"Error"},
        {"empty caption, an owner", owner, L"", L"Owner window"},
        {"a caption", nullptr, L"Corvane VMDK Recovery", L"Corvane VMDK Recovery"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring caption;
        ModalScript script({ModalScript::Do([&](HWND box) {
            caption = WindowText(box);
            ClickButton(box, IDOK);
        })});
        EXPECT_EQ(HtmlMessageBox(c.owner, L"Text", c.caption, MB_OK), IDOK);
        EXPECT_EQ(caption, c.expected);
    }
    DestroyWindow(owner);
}

TEST(HtmlMessageBox, AutoPressCountsDownOnTheDefaultButtonAndPressesIt)
{
    HtmlMessageBoxParams params;
    params.autoPressSeconds = 5;
    ModalScript script({});
    EXPECT_EQ(
        HtmlMessageBox(nullptr, L"Closing by itself.", L"Count-down", MB_OK | MB_ICONINFORMATION, &params),
        IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(script.ButtonTextHistory(IDOK),
              (std::vector<std::wstring>{L"OK = 5", L"OK = 4", L"OK = 3", L"OK = 2", L"OK = 1", L"OK"}));
}

TEST(HtmlMessageBox, ADisableCountDownInTheCaptionHoldsEveryButtonUntilItEnds)
{
    HtmlMessageBoxParams params;
    params.disableSeconds = 1;
    params.countInCaption = 1;
    std::wstring captionWhileCounting;
    std::vector<ButtonInfo> buttonsWhileCounting;
    bool closeGreyedWhileCounting = false;
    std::wstring captionAfter;
    bool closeGreyedAfter = true;
    ModalScript script({ModalScript::Do([&](HWND box) {
                            captionWhileCounting = WindowText(box);
                            buttonsWhileCounting = VisibleButtons(box);
                            closeGreyedWhileCounting = CloseItemGreyed(box);
                            // Neither a command for the disabled button nor Escape ends the box yet.
                            PostMessageW(box, WM_COMMAND, IDOK, 0);
                            PostKey(box, VK_ESCAPE);
                        }),
                        [](HWND box) { return IsWindowEnabled(GetDlgItem(box, IDOK)) != FALSE; },
                        ModalScript::Do([&](HWND box) {
                            captionAfter = WindowText(box);
                            closeGreyedAfter = CloseItemGreyed(box);
                            ClickButton(box, IDCANCEL);
                        })});
    EXPECT_EQ(HtmlMessageBox(nullptr, L"Read this first.", L"Wait", MB_OKCANCEL, &params), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(script.AllStepsRan());
    EXPECT_EQ(captionWhileCounting, L"Wait (1 seconds remaining)");
    ASSERT_EQ(buttonsWhileCounting.size(), 2u);
    EXPECT_FALSE(buttonsWhileCounting[0].enabled);
    EXPECT_FALSE(buttonsWhileCounting[1].enabled);
    EXPECT_TRUE(closeGreyedWhileCounting);
    EXPECT_EQ(captionAfter, L"Wait");
    EXPECT_FALSE(closeGreyedAfter);
}

// The remembered answers of this program, under its own file name.
std::wstring TestProgramFileName()
{
    const std::wstring path = BuildFolderFile(L"");
    std::wstring full(MAX_PATH * 4, L'\0');
    full.resize(GetModuleFileNameW(nullptr, full.data(), static_cast<DWORD>(full.size())));
    return full.substr(path.size());
}

bool ReadRawDword(const std::wstring& key, const wchar_t* value, DWORD& data)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = sizeof data;
    const LONG status =
        RegQueryValueExW(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof data;
}

class RememberedAnswers : public ::testing::Test
{
protected:
    void SetUp() override { CleanUp(); }
    void TearDown() override { CleanUp(); }
    static void CleanUp()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + TestProgramFileName()).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Message Box Test Company");
    }
    static HtmlMessageBoxParams Remembering(const wchar_t* company)
    {
        HtmlMessageBoxParams params;
        params.rememberPrefix = L"StopQuestion";
        params.rememberNumber = 7;
        params.rememberCompany = company;
        return params;
    }
};

TEST_F(RememberedAnswers, CheckingDoNotShowAgainWritesTheAnswerWhichThenReturnsAtOnceWithoutAWindow)
{
    struct Case
    {
        const char* name;
        const wchar_t* company;
        UINT extraStyle;
        bool clickCheckBox;
        int press;
        int expected;
        std::wstring key;
    };
    const std::wstring program = TestProgramFileName();
    const Case cases[] = {
        {"checked by the user", nullptr, 0, true, IDNO, IDNO, L"Software\\" + program + L"\\PPMessageBox"},
        {"checked from the start, the bit in the answer", L"Message Box Test Company", kHtmlBoxChecked, false,
         IDYES, IDYES | static_cast<int>(kHtmlBoxChecked),
         L"Software\\Message Box Test Company\\" + program + L"\\PPMessageBox"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CleanUp();
        const HtmlMessageBoxParams params = Remembering(c.company);
        const UINT style = MB_YESNO | MB_ICONQUESTION | kHtmlBoxCheckBox | c.extraStyle;
        std::wstring checkLabel;
        {
            ModalScript script({ModalScript::Do([&](HWND box) {
                for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    if ((GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
                        if (c.clickCheckBox) {
                            SendMessageW(child, BM_CLICK, 0, 0);
                        }
                    }
                    wchar_t className[16] = {};
                    GetClassNameW(child, className, 16);
                    if (_wcsicmp(className, L"Static") == 0) {
                        checkLabel = WindowText(child);
                    }
                }
                ClickButton(box, c.press);
            })});
            EXPECT_EQ(HtmlMessageBox(nullptr, L"Stop?", L"Question", style, &params), c.expected);
            EXPECT_FALSE(script.TimedOut());
        }
        EXPECT_EQ(checkLabel, L"Do not show again");
        DWORD stored = 0;
        ASSERT_TRUE(ReadRawDword(c.key, L"StopQuestion7", stored));
        EXPECT_EQ(stored, static_cast<DWORD>(c.expected));

        ModalScript noWindow({});
        EXPECT_EQ(HtmlMessageBox(nullptr, L"Stop?", L"Question", style, &params), c.expected);
        EXPECT_EQ(noWindow.TopLevelWindowsCreated(), 0);
    }
}

TEST_F(RememberedAnswers, AnUncheckedBoxWritesNothingAndAZeroValueShowsTheBox)
{
    const HtmlMessageBoxParams params = Remembering(nullptr);
    const UINT style = MB_YESNO | kHtmlBoxCheckBox;
    const std::wstring key = L"Software\\" + TestProgramFileName() + L"\\PPMessageBox";
    {
        ModalScript script({ModalScript::Do([](HWND box) { ClickButton(box, IDYES); })});
        EXPECT_EQ(HtmlMessageBox(nullptr, L"Stop?", L"Question", style, &params), IDYES);
    }
    DWORD stored = 0;
    EXPECT_FALSE(ReadRawDword(key, L"StopQuestion7", stored));

    HKEY handle = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    const DWORD zero = 0;
    RegSetValueExW(handle, L"StopQuestion7", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    RegCloseKey(handle);
    ModalScript script({ModalScript::Do([](HWND box) { ClickButton(box, IDNO); })});
    EXPECT_EQ(HtmlMessageBox(nullptr, L"Stop?", L"Question", style, &params), IDNO);
    EXPECT_NE(script.Box(), nullptr);
}

TEST(HtmlMessageBox, DetailsReportAndHelpButtonsKeepTheBoxOpen)
{
    HWND owner = CreateOwner(L"Owner");
    ASSERT_NE(owner, nullptr);
    g_reportsReceived = 0;
    HtmlMessageBoxParams params;
    params.reportMessage = kReportMessage;
    params.detailsText = L"Sector <b>2048</b> could not be read.";
    std::vector<ButtonInfo> buttons;
    RECT collapsed = {};
    RECT expanded = {};
    RECT box = {};
    std::wstring expandedCaption;
    std::wstring collapsedCaption;
    int reportsWhileOpen = 0;
    ModalScript script({ModalScript::Do([&](HWND window) {
                            buttons = VisibleButtons(window);
                            GetWindowRect(window, &collapsed);
                            box = collapsed;
                            ClickButton(window, kHtmlBoxIdMore);
                        }),
                        ModalScript::Do([&](HWND window) {
                            GetWindowRect(window, &expanded);
                            expandedCaption = WindowText(GetDlgItem(window, kHtmlBoxIdMore));
                            ClickButton(window, kHtmlBoxIdMore);
                            ClickButton(window, kHtmlBoxIdReport);
                        }),
                        ModalScript::Do([&](HWND window) {
                            collapsedCaption = WindowText(GetDlgItem(window, kHtmlBoxIdMore));
                            reportsWhileOpen = g_reportsReceived;
                            ClickButton(window, IDOK);
                        })});
    EXPECT_EQ(HtmlMessageBox(owner, L"Some sectors were skipped.", L"Details", MB_OK | MB_ICONERROR, &params),
              IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(ButtonTexts(buttons), (std::vector<std::wstring>{L"OK", L"Report", L"More >>"}));
    EXPECT_GT(expanded.bottom - expanded.top, collapsed.bottom - collapsed.top);
    EXPECT_EQ(expanded.top, collapsed.top);
    EXPECT_EQ(expandedCaption, L"<< More");
    EXPECT_EQ(collapsedCaption, L"More >>");
    EXPECT_EQ(reportsWhileOpen, 1);
    // Centred on its owner.
    RECT ownerRect = {};
    GetWindowRect(owner, &ownerRect);
    EXPECT_NEAR((box.left + box.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
    DestroyWindow(owner);

    std::vector<ButtonInfo> helpButtons;
    ModalScript helpScript({ModalScript::Do([&](HWND window) {
        helpButtons = VisibleButtons(window);
        ClickButton(window, IDCANCEL);
    })});
    EXPECT_EQ(HtmlMessageBox(nullptr, L"Help is at hand.", L"Help", MB_OKCANCEL | kHtmlBoxHelpButton),
              IDCANCEL);
    EXPECT_EQ(ButtonTexts(helpButtons), (std::vector<std::wstring>{L"OK", L"Cancel", L"Help"}));
}

TEST(HtmlMessageBox, CustomButtonsTakeTheirCaptionsTheTableAndTheDefaultIndex)
{
    const std::map<int, LPCWSTR> table = {{kHtmlBoxIdCustomFirst + 2, L"Ask later"}};
    HtmlMessageBoxParams params;
    params.customButtons = L"Keep\r\nDiscard\nLater";
    params.captionTable = &table;
    std::vector<ButtonInfo> buttons;
    int focusId = 0;
    bool closeGreyed = false;
    ModalScript script({ModalScript::Do([&](HWND box) {
        buttons = VisibleButtons(box);
        focusId = GetDlgCtrlID(GetFocus());
        closeGreyed = CloseItemGreyed(box);
        PostKey(box, VK_RETURN);
    })});
    // The second button is the default one; Enter presses it.
    EXPECT_EQ(HtmlMessageBox(nullptr, L"What now?", L"Custom", MB_OK | MB_DEFBUTTON2, &params),
              kHtmlBoxIdCustomFirst + 1);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(ButtonTexts(buttons), (std::vector<std::wstring>{L"Keep", L"Discard", L"Ask later"}));
    EXPECT_EQ(focusId, kHtmlBoxIdCustomFirst + 1);
    EXPECT_TRUE(closeGreyed);
}

} // namespace
