// The command line: split as the C run-time library splits it, read into a CCommandLineInfo, and
// carried out at start-up by a program run through AfxWinMain with the usual InitInstance; and the
// application's printer set-up command.
#include <afxadv.h>
#include <afxdao.h>
#include <afxole.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell_test_support.h"
#include "support/screenshot.h"
#include "test_app.h"

namespace {

std::vector<std::wstring> ToStrings(const std::vector<CString>& args)
{
    std::vector<std::wstring> strings;
    for (const CString& arg : args)
        strings.emplace_back(arg.GetString());
    return strings;
}

TEST(CommandLineSplit, ArgumentsComeApartAsTheCRuntimeMakesThem)
{
    struct Case
    {
        const wchar_t* commandLine;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   \t ", {}},
        {L"\"C:\\dir with space\\A.TDOC\"", {L"C:\\dir with space\\A.TDOC"}},
        {L"\"a b c\" d e", {L"a b c", L"d", L"e"}},
        {L"\"ab\\\"c\" \"\\\\\" d", {L"ab\"c", L"\\", L"d"}},
        {L"a\\\\\\b d\"e f\"g h", {L"a\\\\\\b", L"de fg", L"h"}},
        {L"a\\\\\\\"b c d", {L"a\\\"b", L"c", L"d"}},
        {L"a\\\\\\\\\"b c\" d e", {L"a\\\\b c", L"d", L"e"}},
        {L"a\"b\"\" c d", {L"ab\" c d"}},
        {L"/pt \"x.tdoc\"\t\"\" port", {L"/pt", L"x.tdoc", L"", L"port"}},
        {L"C:\\folder\\ end\\", {L"C:\\folder\\", L"end\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command line [" << c.commandLine << "]");
        EXPECT_EQ(ToStrings(AfxSplitCommandLine(c.commandLine)), c.expected);
    }
}

// Runs ParseCommandLine over a command line as the application's own.
void ParseAsApplication(LPCWSTR lpszCommandLine, CCommandLineInfo& info)
{
    CString commandLine(lpszCommandLine);
    LPTSTR lpOld = theApp.m_lpCmdLine;
    theApp.m_lpCmdLine = commandLine.GetBuffer();
    theApp.ParseCommandLine(info);
    commandLine.ReleaseBuffer();
    theApp.m_lpCmdLine = lpOld;
}

TEST(CommandLineInfo, FlagsInAnyCaseAndTheFirstOtherArgumentMakeTheRequest)
{
    struct Case
    {
        const wchar_t* commandLine;
        int nShellCommand;
        const wchar_t* file;
        const wchar_t* printer;
        const wchar_t* driver;
        const wchar_t* port;
        BOOL bEmbedded;
        BOOL bAutomated;
    };
    const Case cases[] = {
        {L"", CCommandLineInfo::FileNew, L"", L"", L"", L"", FALSE, FALSE},
        {L"\"C:\\dir with space\\A.TDOC\"", CCommandLineInfo::FileOpen, L"C:\\dir with space\\A.TDOC", L"",
         L"", L"", FALSE, FALSE},
        {L"first.tdoc second.tdoc", CCommandLineInfo::FileOpen, L"first.tdoc", L"", L"", L"", FALSE, FALSE},
        {L"/P doc.tdoc", CCommandLineInfo::FilePrint, L"doc.tdoc", L"", L"", L"", FALSE, FALSE},
        {L"doc.tdoc -p", CCommandLineInfo::FilePrint, L"doc.tdoc", L"", L"", L"", FALSE, FALSE},
        {L"/pt doc.tdoc \"Printer One\" winspool LPT1: extra", CCommandLineInfo::FilePrintTo, L"doc.tdoc",
         L"Printer One", L"winspool", L"LPT1:", FALSE, FALSE},
        {L"/dde", CCommandLineInfo::FileNew, L"", L"", L"", L"", FALSE, FALSE},
        {L"/DDE doc.tdoc", CCommandLineInfo::FileOpen, L"doc.tdoc", L"", L"", L"", FALSE, FALSE},
        {L"-Embedding", CCommandLineInfo::FileNew, L"", L"", L"", L"", TRUE, FALSE},
        {L"/automation", CCommandLineInfo::FileNew, L"", L"", L"", L"", FALSE, TRUE},
        {L"/Unregister", CCommandLineInfo::AppUnregister, L"", L"", L"", L"", FALSE, FALSE},
        {L"-UNREGSERVER", CCommandLineInfo::AppUnregister, L"", L"", L"", L"", FALSE, FALSE},
        {L"/unknown doc.tdoc", CCommandLineInfo::FileOpen, L"doc.tdoc", L"", L"", L"", FALSE, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command line [" << c.commandLine << "]");
        CCommandLineInfo info;
        ParseAsApplication(c.commandLine, info);
        EXPECT_EQ(static_cast<int>(info.m_nShellCommand), c.nShellCommand);
        EXPECT_EQ(info.m_strFileName, c.file);
        EXPECT_EQ(info.m_strPrinterName, c.printer);
        EXPECT_EQ(info.m_strDriverName, c.driver);
        EXPECT_EQ(info.m_strPortName, c.port);
        EXPECT_EQ(info.m_bRunEmbedded, c.bEmbedded);
        EXPECT_EQ(info.m_bRunAutomated, c.bAutomated);
        EXPECT_EQ(info.m_bShowSplash, !c.bEmbedded && !c.bAutomated);
    }
}

// Records what ParseParam is given.
class CRecordingCommandLineInfo : public CCommandLineInfo
{
public:
    void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast) override
    {
        CString call;
        call.Format(L"%s|%d|%d", pszParam, bFlag, bLast);
        m_calls.emplace_back(call.GetString());
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
    std::vector<std::wstring> m_calls;
};

TEST(CommandLineInfo, ParseParamSeesPrintToWithTheFileAndItsThreeParameters)
{
    CRecordingCommandLineInfo info;
    ParseAsApplication(L"/PT \"C:\\dir with space\\A.TDOC\" \"HP LaserJet\" winspool \"\\\\server\\port\"",
                       info);
    EXPECT_EQ(info.m_calls,
              (std::vector<std::wstring>{L"PT|1|0", L"C:\\dir with space\\A.TDOC|0|0", L"HP LaserJet|0|0",
                                         L"winspool|0|0", L"\\\\server\\port|0|1"}));
    EXPECT_EQ(static_cast<int>(info.m_nShellCommand), static_cast<int>(CCommandLineInfo::FilePrintTo));
    EXPECT_EQ(info.m_strPortName, L"\\\\server\\port");
}

VOID CALLBACK SafetyQuit(HWND, UINT, UINT_PTR, DWORD)
{
    ::PostQuitMessage(99);
}

BOOL CALLBACK CountVisible(HWND hWnd, LPARAM lParam)
{
    if (::IsWindowVisible(hWnd))
        ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int VisibleThreadWindows()
{
    int nVisible = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountVisible, reinterpret_cast<LPARAM>(&nVisible));
    return nVisible;
}

// What one start-up saw.
struct StartUp
{
    int nExitCode = -1;
    BOOL bInitInstance = FALSE;
    bool bMainWindowShown = false;
    CString documentPath;
    CString recentFirst;
};

// A program's usual InitInstance, run through AfxWinMain with the command line: start-up services,
// the recent-file list of 4, the template with its shell registration, then the command line. A
// start-up that succeeds closes its main window, so the loop ends and ExitInstance runs.
StartUp RunProgram(LPCWSTR lpszCommandLine, LPCWSTR lpszScreenshot = NULL)
{
    StartUp result;
    theApp.m_initInstance = [&] {
        AfxEnableControlContainer();
        EXPECT_TRUE(AfxOleInit());
        AfxGetModuleState()->m_dwVersion = 0x0601;
        AfxDaoInit();
        EXPECT_TRUE(theApp.Enable3dControls());
        EXPECT_TRUE(COleObjectFactory::UpdateRegistryAll());
        theApp.LoadStdProfileSettings();
        theApp.AddDocTemplate(NewShellTemplate());
        theApp.EnableShellOpen();
        theApp.RegisterShellFileTypes(TRUE);

        CCommandLineInfo info;
        theApp.ParseCommandLine(info);
        result.bInitInstance = theApp.ProcessShellCommand(info);
        if (!result.bInitInstance)
            return FALSE;
        CFrameWnd* pFrame = static_cast<CFrameWnd*>(theApp.m_pMainWnd);
        result.bMainWindowShown = pFrame->IsWindowVisible() != FALSE;
        if (CDocument* pDoc = pFrame->GetActiveDocument())
            result.documentPath = pDoc->GetPathName();
        result.recentFirst = (*theApp.m_pRecentFileList)[0];
        if (lpszScreenshot != NULL)
            test_support::WriteWindowScreenshot(pFrame->m_hWnd, lpszScreenshot);
        pFrame->PostMessage(WM_CLOSE);
        return TRUE;
    };
    theApp.m_exitInstance = [] {
        AfxDaoTerm();
        return 0;
    };
    const UINT_PTR nSafety = ::SetTimer(NULL, 0, 20000, SafetyQuit);
    CString commandLine(lpszCommandLine);
    result.nExitCode = AfxWinMain(::GetModuleHandle(NULL), NULL, commandLine.GetBuffer(), SW_SHOWNOACTIVATE);
    commandLine.ReleaseBuffer();
    ::KillTimer(NULL, nSafety);
    theApp.m_initInstance = nullptr;
    theApp.m_exitInstance = nullptr;
    theApp.m_lpCmdLine = const_cast<LPTSTR>(L"");
    DrainMessages();
    return result;
}

class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.m_messageBoxes.clear();
        CShellView::s_nPrintDirect = 0;
    }
    void TearDown() override
    {
        // The types the start-ups registered go from the classes root.
        if (theApp.m_pDocManager == NULL)
            theApp.AddDocTemplate(NewShellTemplate());
        theApp.UnregisterShellFileTypes();
        delete theApp.m_pDocManager;
        theApp.m_pDocManager = NULL;
        delete theApp.m_pRecentFileList;
        theApp.m_pRecentFileList = NULL;
        DrainMessages();
    }
    static void ForgetTemplates()
    {
        delete theApp.m_pDocManager;
        theApp.m_pDocManager = NULL;
    }
    ScopedTestProfile m_profile{L"CorvaneFrameworkStartUpTest"};
};

TEST_F(StartUpTest, EachCommandLineEndsAsTheShellAskedWithTheRecentListWrittenAtExit)
{
    const CString document = WriteShellDocument(L"A.TDOC", L"opened from the command line");
    const CString missing = WriteShellDocument(L"gone.tdoc", L"");
    ::DeleteFileW(missing);
    const CString quotedDocument = L"\"" + document + L"\"";
    const CString typeKey = L"Software\\Classes\\Test.Document";

    struct Case
    {
        const wchar_t* name;
        CString commandLine;
        BOOL bInitInstance;
        const wchar_t* documentPath; // null: none opened
        int nPrintDirect;
        std::vector<std::wstring> messages;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {L"none: a new document in a main window", L"", TRUE, L"", 0, {}, L"startup_file_new"},
        {L"a quoted path with blanks opens", quotedDocument, TRUE, document, 0, {}, L"startup_file_open"},
        {L"a missing file", L"\"" + missing + L"\"", FALSE, NULL, 0, {L"Failed to open document."}, NULL},
        {L"print", L"/p " + quotedDocument, FALSE, NULL, 1, {}, NULL},
        {L"print to", L"/pt " + quotedDocument + L" Printer Driver Port", FALSE, NULL, 1, {}, NULL},
        {L"unregister", L"/Unregister", FALSE, NULL, 0, {}, NULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        theApp.m_messageBoxes.clear();
        CShellView::s_nPrintDirect = 0;
        const StartUp result = RunProgram(c.commandLine, c.screenshot);
        EXPECT_EQ(result.bInitInstance, c.bInitInstance);
        EXPECT_EQ(result.nExitCode, 0);
        if (c.bInitInstance) {
            EXPECT_TRUE(result.bMainWindowShown);
            EXPECT_EQ(result.documentPath, c.documentPath);
        }
        EXPECT_EQ(CShellView::s_nPrintDirect, c.nPrintDirect);
        EXPECT_EQ(theApp.m_messageBoxes, c.messages);
        // No window outlives a start-up, failed or not.
        EXPECT_EQ(theApp.m_pMainWnd, nullptr);
        EXPECT_EQ(VisibleThreadWindows(), 0);
        if (c.documentPath != NULL && *c.documentPath != 0) {
            // The opened file is entry 1 of the list, and exit wrote it.
            EXPECT_EQ(result.recentFirst, c.documentPath);
            const RawRegistryValue file1 =
                ReadRawValue(HKEY_CURRENT_USER, m_profile.SectionKey(L"Recent File List"), L"File1");
            EXPECT_EQ(file1.dwType, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(file1.data, StringBytes(c.documentPath));
        }
        // Every start-up registered the type; unregistering took it away again.
        EXPECT_EQ(RegistryKeyExists(HKEY_CURRENT_USER, typeKey), std::wstring(c.name) != L"unregister");
        ForgetTemplates();
    }
    ::DeleteFileW(document);
}

std::vector<std::wstring> g_dialogTexts;
UINT_PTR g_nDialogTimer = 0;
int g_nDialogTicks = 0;

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam)
{
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWnd, szClass, 16);
    if (::IsWindowVisible(hWnd) && wcscmp(szClass, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Finds a dialog of this thread, keeps its texts and a picture, and answers it.
VOID CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hDialog = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&hDialog));
    if (hDialog == NULL) {
        if (++g_nDialogTicks > 50)
            ::KillTimer(NULL, g_nDialogTimer);
        return;
    }
    ::KillTimer(NULL, g_nDialogTimer);
    for (HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        wchar_t szText[256] = {};
        ::GetWindowTextW(hChild, szText, 256);
        if (szText[0] != 0)
            g_dialogTexts.emplace_back(szText);
    }
    test_support::WriteWindowScreenshot(hDialog, L"print_setup_without_printer");
    ::PostMessageW(hDialog, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
}

TEST(PrintSetup, TheSystemsDialogShowsAndWithoutAPrinterSaysSo)
{
    g_dialogTexts.clear();
    g_nDialogTicks = 0;
    g_nDialogTimer = ::SetTimer(NULL, 0, 200, AnswerDialog);
    theApp.OnFilePrintSetup();
    ::KillTimer(NULL, g_nDialogTimer);
    // Without a printer (as under Wine) that is the system's message; with one, its set-up dialog.
    EXPECT_FALSE(g_dialogTexts.empty());
    DrainMessages();
}

} // namespace
