// The message and question dialogs over the HTML box, the notice in its skinned template, the skins and
// the transparent label; each kind leaves a screenshot in the build folder for a person to look at.
#include "message_dialogs.h"

#include <gtest/gtest.h>

#include "modal_script.h"
#include "support/text_fit.h"

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> ButtonTexts(HWND box)
{
    std::vector<std::wstring> texts;
    for (const ButtonInfo& button : VisibleButtons(box)) {
        texts.push_back(button.text);
    }
    return texts;
}

TEST(DialogSkin, EverySkinLoadsAtItsSizeAndDepthWithoutAKeyColouredPixel)
{
    struct Case
    {
        UINT id;
        int width;
        int height;
        int bits;
    };
    const Case cases[] = {
        {IDB_SKIN_MESSAGE, 701, 135, 24},        {IDB_SKIN_WAIT, 539, 302, 24},
        {IDB_SKIN_PARTITION_TYPE, 373, 332, 24}, {IDB_SKIN_SETTINGS, 458, 434, 24},
        {IDB_SKIN_PROGRESS, 399, 174, 24},       {IDB_SKIN_PANEL, 495, 270, 32},
        {IDB_SKIN_ABOUT, 377, 65, 24},           {IDB_SKIN_FILE_FILTERS, 317, 238, 24},
        {IDB_SKIN_PROPERTIES, 359, 335, 24},     {IDB_SKIN_FIND_FILES, 593, 388, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CDialogSkin skin(c.id);
        ASSERT_NE(skin.GetBitmap(), nullptr);
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectW(skin.GetBitmap(), sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBm.bmWidth, c.width);
        EXPECT_EQ(section.dsBm.bmHeight, c.height);
        EXPECT_EQ(section.dsBm.bmBitsPixel, c.bits);
        // The region is built but would cut nothing away.
        ASSERT_NE(skin.GetBitmapRegion(), nullptr);
        RECT box = {};
        EXPECT_EQ(GetRgnBox(skin.GetBitmapRegion(), &box), SIMPLEREGION);
        EXPECT_EQ(box.right - box.left, c.width);
        EXPECT_EQ(box.bottom - box.top, c.height);
    }
}

TEST(QuestionDlg, KindsOneToThreeAnswerYesWithOneAndNoWithTwoAndCannotBeClosedOtherwise)
{
    struct Case
    {
        const char* name;
        std::uint32_t kind;
        int press;
        int expected;
    };
    const Case cases[] = {
        {"information, yes", 1, IDYES, 1},
        {"information, no", 1, IDNO, 2},
        {"error, yes", 2, IDYES, 1},
        {"error, no", 2, IDNO, 2},
        {"question, yes", 3, IDYES, 1},
        {"question, no", 3, IDNO, 2},
        // A kind beyond the three is asked as information: its own template has no room for the text.
        {"kind 4 asked as information", 4, IDYES, 1},
        {"kind 0 asked as information", 0, IDNO, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring caption;
        std::vector<std::wstring> buttons;
        bool openAfterEscapeAndClose = false;
        bool hasTemplateText = true;
        ModalScript script({ModalScript::Do([&](HWND box) {
                                caption = WindowText(box);
                                buttons = ButtonTexts(box);
                                hasTemplateText = GetDlgItem(box, IDC_MESSAGE_TEXT) != nullptr;
                                PostKey(box, VK_ESCAPE);
                                PressCloseBox(box);
                            }),
                            ModalScript::Do([&](HWND box) {
                                openAfterEscapeAndClose = IsWindowVisible(box) != FALSE;
                                ClickButton(box, c.press);
                            })});
        MessageBoxRequest.Set(L"Do you want to stop file searching ?", c.kind);
        CQuestionDlg dialog;
        EXPECT_EQ(dialog.DoModal(), c.expected);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(caption, L"Corvane VMDK Recovery");
        EXPECT_EQ(buttons, (std::vector<std::wstring>{L"Yes", L"No"}));
        EXPECT_FALSE(hasTemplateText);
        EXPECT_TRUE(openAfterEscapeAndClose);
    }
}

TEST(MessageDlg, KindsOneToThreeShowTheHtmlBoxWithOkAndLeaveAScreenshot)
{
    struct Case
    {
        const char* name;
        std::uint32_t kind;
        const wchar_t* text;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"information", 1, L"Recovery snapshot saved to <b>D:\\Recovered\\scan.vqdx</b>.",
         L"message_kind1_information.bmp"},
        {"error", 2,
         L"Unable to open the image <b>disk.vmdk</b>.<br>Sector <font color=#C00000>2048</font> could not be "
         L"read.",
         L"message_kind2_error.bmp"},
        {"question", 3, L"The partition table looks damaged.<br>The search may take <i>a long time</i>.",
         L"message_kind3_question.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring caption;
        std::vector<std::wstring> buttons;
        bool written = false;
        ModalScript script({ModalScript::Do([&](HWND box) {
            caption = WindowText(box);
            buttons = ButtonTexts(box);
            written = WriteWindowBitmap(box, BuildFolderFile(c.screenshot));
            ClickButton(box, IDOK);
        })});
        MessageBoxRequest.Set(c.text, c.kind);
        CMessageDlg dialog;
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(caption, L"Corvane VMDK Recovery");
        EXPECT_EQ(buttons, (std::vector<std::wstring>{L"OK"}));
        EXPECT_TRUE(written);
    }

    ModalScript escape({ModalScript::Do([](HWND box) { PostKey(box, VK_ESCAPE); })});
    MessageBoxRequest.Set(L"Unable to read the drive.", kMessageKindError);
    CMessageDlg dialog;
    EXPECT_EQ(dialog.DoModal(), 2);
}

TEST(QuestionDlg, LeavesAScreenshot)
{
    bool written = false;
    ModalScript script({ModalScript::Do([&](HWND box) {
        written = WriteWindowBitmap(box, BuildFolderFile(L"question_kind3.bmp"));
        ClickButton(box, IDNO);
    })});
    MessageBoxRequest.Set(
        L"Do you want to stop file searching? This may result in incomplete <br>recovery and you "
        L"will need to restart the process again.",
        kMessageKindQuestion);
    CQuestionDlg dialog;
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_TRUE(written);
}

TEST(MessageDlg, TheDialogKeepsTheRequestItWasConstructedWith)
{
    bool hasTemplateText = true;
    std::vector<std::wstring> buttons;
    ModalScript script({ModalScript::Do([&](HWND box) {
        hasTemplateText = GetDlgItem(box, IDC_MESSAGE_TEXT) != nullptr;
        buttons = ButtonTexts(box);
        ClickButton(box, IDOK);
    })});
    MessageBoxRequest.Set(L"An error of the first caller.", kMessageKindError);
    CMessageDlg dialog;
    // Another thread's request, written after the dialog was made, does not change it.
    MessageBoxRequest.Set(L"A notice of a later caller.", kMessageKindNotice);
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_FALSE(hasTemplateText);
    EXPECT_EQ(buttons, (std::vector<std::wstring>{L"OK"}));
}

// The skin's pixels, as the dialog should show them where no control covers it.
COLORREF SkinPixel(HBITMAP skin, int x, int y)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, skin);
    const COLORREF colour = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    return colour;
}

int PixelsUnlikeSkin(HWND box, HBITMAP skin, const RECT& area)
{
    const std::vector<COLORREF> shown = ClientPixels(box, area);
    int differing = 0;
    size_t index = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            differing += index < shown.size() && shown[index] != SkinPixel(skin, x, y);
            ++index;
        }
    }
    return differing;
}

TEST(MessageDlg, TheNoticeShowsItsOwnSkinnedTemplateWithTheTextLiterallyAndTheProgramsIcon)
{
    const wchar_t* text = L"Data has been not found in this <b>partition</b> & its folders.";
    std::wstring caption;
    std::wstring label;
    std::wstring okText;
    HICON shownIcon = nullptr;
    bool cancelHidden = false;
    bool written = false;
    int skinDifferences = -1;
    int traceOfLongText = -1;
    int differencesUnderLongText = -1;
    CDialogSkin skin(IDB_SKIN_MESSAGE);
    ModalScript script({ModalScript::Do([&](HWND box) {
        caption = WindowText(box);
        label = WindowText(GetDlgItem(box, IDC_MESSAGE_TEXT));
        okText = WindowText(GetDlgItem(box, IDOK));
        cancelHidden = GetDlgItem(box, IDCANCEL) && !IsWindowVisible(GetDlgItem(box, IDCANCEL));
        shownIcon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, IDC_MESSAGE_ICON, STM_GETICON, 0, 0));
        written = WriteWindowBitmap(box, BuildFolderFile(L"message_kind4_notice.bmp"));

        // The skin shows where no control lies: the top-left corner and the right edge.
        RECT client = {};
        GetClientRect(box, &client);
        skinDifferences =
            PixelsUnlikeSkin(box, skin.GetBitmap(), {0, 0, 12, 12}) +
            PixelsUnlikeSkin(box, skin.GetBitmap(), {client.right - 6, 0, client.right, client.bottom});

        // A shorter text over a longer one leaves nothing of the longer one on the skin.
        HWND labelWindow = GetDlgItem(box, IDC_MESSAGE_TEXT);
        RECT labelRect = {};
        GetWindowRect(labelWindow, &labelRect);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&labelRect), 2);
        const RECT rightHalf = {(labelRect.left + labelRect.right) / 2, labelRect.top, labelRect.right,
                                labelRect.bottom};
        SetWindowTextW(labelWindow, std::wstring(80, L'W').c_str());
        UpdateWindow(box);
        differencesUnderLongText = PixelsUnlikeSkin(box, skin.GetBitmap(), rightHalf);
        SetWindowTextW(labelWindow, L"I");
        traceOfLongText = PixelsUnlikeSkin(box, skin.GetBitmap(), rightHalf);
        ClickButton(box, IDOK);
    })});
    MessageBoxRequest.Set(text, kMessageKindNotice);
    CMessageDlg dialog;
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(caption, L"Corvane VMDK Recovery");
    EXPECT_EQ(label, text);
    EXPECT_EQ(okText, L"&Ok");
    EXPECT_TRUE(cancelHidden);
    EXPECT_EQ(shownIcon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NOTICE)));
    EXPECT_NE(shownIcon, nullptr);
    EXPECT_TRUE(written);
    EXPECT_EQ(skinDifferences, 0);
    EXPECT_GT(differencesUnderLongText, 0);
    EXPECT_EQ(traceOfLongText, 0);

    ModalScript escape({ModalScript::Do([](HWND box) { PostKey(box, VK_ESCAPE); })});
    MessageBoxRequest.Set(L"Closed with Escape.", kMessageKindNotice);
    CMessageDlg escaped;
    EXPECT_EQ(escaped.DoModal(), 2);
    EXPECT_FALSE(escape.TimedOut());
}

// The notice's label takes its text whole, one line or several, and Ok stays below it inside the dialog.
TEST(MessageDlg, TheNoticeFitsItsLabelAndItselfToTheText)
{
    struct Case
    {
        const char* name;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"one short line", L"Data has been not found."},
        {"the nothing-found message",
         L"Data has been not found in this partition. please select amother partition and perform Scan."},
        {"three lines",
         L"Data has been not found in this partition. The disk image file is cut short: files stored past "
         L"its end cannot be listed or saved whole. Please select another partition or a whole copy of the "
         L"disk image file and perform Scan."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string cut = "not seen";
        RECT label = {};
        RECT ok = {};
        RECT client = {};
        ModalScript script({ModalScript::Do([&](HWND box) {
            HWND labelWindow = GetDlgItem(box, IDC_MESSAGE_TEXT);
            cut = test_support::TextCutIn(labelWindow);
            GetWindowRect(labelWindow, &label);
            GetWindowRect(GetDlgItem(box, IDOK), &ok);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&label), 2);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&ok), 2);
            GetClientRect(box, &client);
            WriteWindowBitmap(box, BuildFolderFile(L"message_kind4_notice_fitted.bmp"));
            ClickButton(box, IDOK);
        })});
        MessageBoxRequest.Set(c.text, kMessageKindNotice);
        CMessageDlg dialog;
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(cut, "") << "the label cuts the text";
        EXPECT_GE(ok.top, label.bottom) << "Ok stands over the text";
        EXPECT_LE(ok.bottom, client.bottom) << "Ok is cut by the dialog's edge";
    }
}

} // namespace
