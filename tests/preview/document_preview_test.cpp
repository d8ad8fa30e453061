// The document and media previews: the text reader on files of every encoding, the converter bridge with
// the test converter, the Office dispatch calls against a recording IDispatch, the document view in the
// preview pane of a test frame on the display (text, RTF, a Word document through the converter, PDF
// without its control), the Office processes a preview may end, and the media views.
#include <afxdisp.h>
#include <afxwin.h>

#include <gtest/gtest.h>
#include <initguid.h>
#include <wmp.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../ui_controls/modal_script.h"
#include "document_view.h"
#include "html_view.h"
#include "main_preview_view.h"
#include "media_views.h"
#include "message_dialogs.h"
#include "office_dispatch.h"
#include "office_processes.h"
#include "preview_test_frame.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "text_converter_bridge.h"
#include "text_file_reader.h"

namespace {

std::string HostFixture(const std::string& relative)
{
    return std::string(PREVIEW_FIXTURES_DIR) + "/" + relative;
}

CString Fixture(const std::string& relative)
{
    return CString(test_support::RunningPlatformPath(HostFixture(relative)).c_str());
}

// A file's bytes, by its path as the running program opens it.
std::string ReadHostFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::wstring> Lines(const CString& path)
{
    CTextFileReader reader(path);
    std::vector<std::wstring> lines;
    std::wstring line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    return lines;
}

std::string Ansi(const CString& text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), NULL, 0, NULL, NULL);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), &narrow[0], size, NULL, NULL);
    return narrow;
}

// A path as the preview hands it on: the host lower-cases it.
std::string PreviewedPath(CString path)
{
    return Ansi(path.MakeLower());
}

CString WindowTextOf(HWND hWnd)
{
    const int length = static_cast<int>(::SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return CString(text.c_str());
}

const wchar_t kSameText[] =
    L"Recovered caf\u00e9 notes\r\n\u00dcber Gr\u00f6\u00dfe: 12 \u00b5m\r\n\r\nlast line";

TEST(TextFileReaderTest, EveryEncodingReadsTheSameText)
{
    const struct
    {
        const char* file;
        int encoding;
    } cases[] = {{"same-utf16le.txt", CTextFileReader::kUtf16LittleEndian},
                 {"same-utf16be.txt", CTextFileReader::kUtf16BigEndian},
                 {"same-utf8bom.txt", CTextFileReader::kUtf8},
                 {"same-ansi.txt", CTextFileReader::kCodePage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CTextFileReader reader(Fixture(std::string("text/") + c.file));
        ASSERT_TRUE(reader.IsOpen());
        EXPECT_EQ(reader.GetEncoding(), c.encoding);
        CString text;
        EXPECT_TRUE(reader.ReadAll(text, L"\r\n"));
        EXPECT_EQ(std::wstring(text.GetString()), std::wstring(kSameText));
        // Read again from the start, the same lines come.
        reader.Rewind();
        std::wstring line;
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, L"Recovered caf\u00e9 notes");
    }
}

TEST(TextFileReaderTest, LineEndsSplitLinesAsSpecified)
{
    const struct
    {
        const char* file;
        std::vector<std::wstring> lines;
    } cases[] = {
        {"crlf.txt", {L"a", L"b"}},
        {"cr.txt", {L"a", L"b"}},
        {"lf.txt", {L"a", L"b"}},
        {"crlf-twice.txt", {L"a", L"", L"b"}},
        // LF-only text: the line end after a line's own takes one more, so two give no empty line.
        {"lf-twice.txt", {L"a", L"b"}},
        {"lf-three-times.txt", {L"a", L"", L"b"}},
        {"mixed.txt", {L"one", L"two", L"three", L"four", L"five"}},
        // An invalid lead byte is the replacement character; reading goes on.
        {"invalid-lead.txt", {L"a\uFFFDb\u20ACc"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Lines(Fixture(std::string("text/") + c.file)), c.lines);
    }
}

TEST(TextFileReaderTest, AHundredThousandLinesReadWhole)
{
    CTextFileReader reader(Fixture("text/long.log"));
    CString text;
    ASSERT_TRUE(reader.ReadAll(text, L"\r\n"));
    // 100,000 lines of 40 characters, 99,999 separators between them.
    EXPECT_EQ(text.GetLength(), 100000 * 40 + 99999 * 2);
    EXPECT_EQ(text.Right(42), CString(L"\r\nlog line 100000 of the recovered service"));
}

TEST(TextFileReaderTest, AMissingFileIsClosedAndReadsNothing)
{
    CTextFileReader reader(Fixture("text/no-such-file.txt"));
    EXPECT_FALSE(reader.IsOpen());
    std::wstring line;
    EXPECT_FALSE(reader.ReadLine(line));
    CString text;
    EXPECT_FALSE(reader.ReadAll(text, L"\r\n"));
}

// ---------------------------------------------------------------------------------------------------

class ConverterBridgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        m_temp = folder;
        m_log = m_temp + L"converter-test.log";
        ::DeleteFileW(m_log);
        ::SetEnvironmentVariableW(L"TEST_CONVERTER_LOG", m_log);
        ::SetEnvironmentVariableW(L"WORDCNV_DIR", CString(TEST_CONVERTER_DIR));
        SetConverterDiagnosticsCapture(&m_diagnostics);
        m_cnvBefore = TempCnvFiles();
    }
    void TearDown() override
    {
        SetConverterDiagnosticsCapture(NULL);
        ::SetEnvironmentVariableW(L"WORDCNV_DIR", NULL);
        ::SetEnvironmentVariableW(L"TEST_CONVERTER_LOG", NULL);
        // No "cnv" temporary file is left behind, whatever the run gave.
        EXPECT_EQ(TempCnvFiles(), m_cnvBefore);
        ::DeleteFileW(m_log);
    }
    int TempCnvFiles()
    {
        int count = 0;
        WIN32_FIND_DATAW found{};
        HANDLE hFind = ::FindFirstFileW(m_temp + L"cnv*.tmp", &found);
        if (hFind != INVALID_HANDLE_VALUE) {
            do
                ++count;
            while (::FindNextFileW(hFind, &found));
            ::FindClose(hFind);
        }
        return count;
    }
    std::string Log() { return ReadHostFile(Ansi(m_log)); }
    std::string Output() { return Ansi(m_temp + L"bridge-out.rtf"); }
    static std::string Narrow(const CString& text) { return Ansi(text); }

    CString m_temp, m_log;
    std::string m_diagnostics;
    int m_cnvBefore = 0;
};

TEST_F(ConverterBridgeTest, AWordDocumentBecomesRtfThroughTheTwoClasses)
{
    const std::string output = Output();
    ::DeleteFileA(output.c_str());
    EXPECT_EQ(ConvertWithTextConverter("MSWord8", "MSWord6RTFExp",
                                       Narrow(Fixture("documents/letter.docx")).c_str(), output.c_str()),
              0)
        << m_diagnostics;
    std::ifstream file(output, std::ios::binary);
    const std::string rtf((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(rtf.find("quarterly"), std::string::npos);
    ::DeleteFileA(output.c_str());
}

TEST_F(ConverterBridgeTest, RtfInputIsRecognisedWithoutAskingAConverter)
{
    const std::string output = Output();
    const std::string input = Narrow(Fixture("documents/letter.rtf"));
    const char* argv[] = {"wordcnv", "-x", "MSWord6RTFExp", input.c_str(), output.c_str()};
    EXPECT_EQ(WordCnvMain(5, argv), 0) << m_diagnostics;
    EXPECT_NE(m_diagnostics.find("recognised as RTF"), std::string::npos);
    EXPECT_EQ(Log().find("IsFormatCorrect32"), std::string::npos);
    EXPECT_EQ(ReadHostFile(test_support::RunningPlatformPath(HostFixture("documents/letter.rtf"))).size(),
              ReadHostFile(output).size());
    ::DeleteFileA(output.c_str());
}

TEST_F(ConverterBridgeTest, FailuresGiveOneAndTheirLines)
{
    const std::string output = Output();
    const std::string docx = Narrow(Fixture("documents/letter.docx"));
    const std::string notWord = Narrow(Fixture("documents/not-a-word-document.docx"));
    struct Case
    {
        const char* what;
        const wchar_t* folder; // WORDCNV_DIR
        const char* import;
        const char* exportClass;
        const std::string* input;
        const char* line;
    } cases[] = {
        {"no folder", L"C:\\no\\such\\folder", "MSWord8", "MSWord6RTFExp", &docx, "FindFirstFile failed"},
        {"no converters", L"C:\\windows", "MSWord8", "MSWord6RTFExp", &docx,
         "Import class MSWord8 not found"},
        {"same classes", NULL, "MSWord8", "msword8", &docx,
         "Nothing to do; import and export class are the same"},
        {"not recognised", NULL, "MSWord8", "MSWord6RTFExp", &notWord,
         "converter did not recognise input file '"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_diagnostics.clear();
        if (c.folder != NULL)
            ::SetEnvironmentVariableW(L"WORDCNV_DIR", c.folder);
        else
            ::SetEnvironmentVariableW(L"WORDCNV_DIR", CString(TEST_CONVERTER_DIR));
        // A stale output is emptied only by a converter that writes it: the view shows what it holds.
        ::DeleteFileA(output.c_str());
        EXPECT_EQ(ConvertWithTextConverter(c.import, c.exportClass, c.input->c_str(), output.c_str()), 1);
        EXPECT_NE(m_diagnostics.find(c.line), std::string::npos) << m_diagnostics;
        EXPECT_TRUE(ReadHostFile(output).empty());
    }
    ::DeleteFileA(output.c_str());
    // Texts too long for the run state fail the run instead of overflowing it.
    const std::string longClass(300, 'c');
    EXPECT_EQ(ConvertWithTextConverter(longClass.c_str(), "MSWord6RTFExp", docx.c_str(), output.c_str()), 1);
    const std::string longPath = "C:\\" + std::string(290, 'p') + ".docx";
    EXPECT_EQ(ConvertWithTextConverter("MSWord8", "MSWord6RTFExp", longPath.c_str(), output.c_str()), 1);
    // A wrong command line is the usage text and 2.
    const char* argv[] = {"wordcnv", "-i", "MSWord8", docx.c_str()};
    EXPECT_EQ(WordCnvMain(4, argv), 2);
    const char* unknown[] = {"wordcnv", "-z", docx.c_str(), output.c_str()};
    EXPECT_EQ(WordCnvMain(4, unknown), 2);
    EXPECT_NE(m_diagnostics.find("unknown option '-z'"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------------

// An IDispatch that records each call's dispatch ID, kind and argument types, and answers a property
// or method that returns an object with itself.
class CRecordingDispatch : public IDispatch
{
public:
    struct Call
    {
        DISPID id;
        WORD flags;
        std::vector<VARTYPE> types; // in the order of the declaration (the reverse of rgvarg)
    };
    std::vector<Call> calls;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRef; }
    STDMETHODIMP_(ULONG) Release() override { return --m_nRef; }
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        Call call{id, flags, {}};
        for (UINT n = params->cArgs; n-- > 0;)
            call.types.push_back(V_VT(&params->rgvarg[n]));
        calls.push_back(call);
        if (result != NULL) {
            ::VariantInit(result);
            V_VT(result) = VT_DISPATCH;
            V_DISPATCH(result) = this;
            AddRef();
        }
        return S_OK;
    }
    ULONG m_nRef = 1;
};

TEST(OfficeDispatchTest, EveryCallUsesItsDispatchIdAndArgumentTypes)
{
    CRecordingDispatch recorder;
    {
        COfficeDispatch office(&recorder);
        office.m_bAutoRelease = FALSE;
        auto release = [](LPDISPATCH p) {
            if (p != NULL)
                p->Release();
        };
        release(office.GetPresentations());
        office.PowerPointQuit();
        release(office.PresentationsOpen(L"C:\\a.ppt", 1, 1, 0));
        office.PresentationSaveAs(L"C:\\ssss.gif", 16, 0);
        release(office.GetDocuments());
        COleVariant v[11] = {OmittedArgument(), OmittedArgument(), OmittedArgument(), OmittedArgument(),
                             OmittedArgument(), OmittedArgument(), OmittedArgument(), OmittedArgument(),
                             OmittedArgument(), OmittedArgument(), OmittedArgument()};
        office.WordQuit(&v[0], &v[1], &v[2]);
        release(office.DocumentsAdd(&v[0], &v[1]));
        release(office.DocumentsOpen(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9]));
        office.DocumentClose(&v[0], &v[1], &v[2]);
        office.DocumentSaveAs(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10]);
    }
    const VARTYPE byRef = VT_VARIANT | VT_BYREF;
    const struct
    {
        DISPID id;
        WORD flags;
        std::vector<VARTYPE> types;
    } expected[] = {
        {2001, DISPATCH_PROPERTYGET, {}},
        {2021, DISPATCH_METHOD, {}},
        {2004, DISPATCH_METHOD, {VT_BSTR, VT_I4, VT_I4, VT_I4}},
        {2036, DISPATCH_METHOD, {VT_BSTR, VT_I4, VT_I4}},
        {6, DISPATCH_PROPERTYGET, {}},
        {1105, DISPATCH_METHOD, std::vector<VARTYPE>(3, byRef)},
        {11, DISPATCH_METHOD, std::vector<VARTYPE>(2, byRef)},
        {12, DISPATCH_METHOD, std::vector<VARTYPE>(10, byRef)},
        {1105, DISPATCH_METHOD, std::vector<VARTYPE>(3, byRef)},
        {102, DISPATCH_METHOD, std::vector<VARTYPE>(11, byRef)},
    };
    ASSERT_EQ(recorder.calls.size(), std::size(expected));
    for (size_t n = 0; n < recorder.calls.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(recorder.calls[n].id, expected[n].id);
        EXPECT_EQ(recorder.calls[n].flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET), expected[n].flags);
        EXPECT_EQ(recorder.calls[n].types, expected[n].types);
    }
    EXPECT_EQ(recorder.m_nRef, 1u);
}

// ---------------------------------------------------------------------------------------------------

// The stand-in controls registered under the class IDs of the PDF viewer, the media player and a Word
// application object for one test's run; what the classes had before (Wine's own player) comes back at
// its end. Their calls go into a log file of their own.
class StandInControls
{
public:
    static constexpr const wchar_t* kWordClassId = L"{5C0F3B1E-7A52-4E0B-9B7D-2F6C1D8E4A31}";

    StandInControls()
    {
        for (const wchar_t* id : {L"{D8D3A8F6-46EF-4424-AE49-4376F1FE1EB4}",
                                  L"{6BF52A52-394A-11D3-B153-00C04F79FAA6}", kWordClassId})
            Register(id);
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        m_log = CString(folder) + L"stand-in-controls.log";
        ::DeleteFileW(m_log);
        ::SetEnvironmentVariableW(L"TEST_CONTROL_LOG", m_log);
    }
    ~StandInControls()
    {
        ::SetEnvironmentVariableW(L"TEST_CONTROL_LOG", NULL);
        ::SetEnvironmentVariableW(L"TEST_CONTROL_THROW", NULL);
        ::DeleteFileW(m_log);
        for (const Saved& saved : m_saved)
            Restore(saved);
    }
    // The calls so far, one a line; reading them empties the log.
    std::vector<std::string> TakeCalls()
    {
        std::vector<std::string> calls;
        std::istringstream text(ReadHostFile(Ansi(m_log)));
        for (std::string line; std::getline(text, line);)
            calls.push_back(line);
        ::DeleteFileW(m_log);
        return calls;
    }
    void ThrowAt(DISPID id) { ::SetEnvironmentVariableW(L"TEST_CONTROL_THROW", std::to_wstring(id).c_str()); }

private:
    struct Saved
    {
        CString key;
        bool bClassKey, bServerKey;
        CString server, threading;
    };
    static CString QueryValue(HKEY hKey, const wchar_t* name)
    {
        wchar_t value[MAX_PATH] = {};
        DWORD size = sizeof(value) - sizeof(wchar_t);
        return ::RegQueryValueExW(hKey, name, NULL, NULL, reinterpret_cast<BYTE*>(value), &size) ==
                       ERROR_SUCCESS
                   ? CString(value)
                   : CString();
    }
    static void SetValue(HKEY hKey, const wchar_t* name, const CString& value)
    {
        ::RegSetValueExW(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                         static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t)));
    }
    void Register(const wchar_t* id)
    {
        Saved saved{CString(L"CLSID\\") + id, false, false, CString(), CString()};
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, saved.key, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            saved.bClassKey = true;
            ::RegCloseKey(hKey);
        }
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, saved.key + L"\\InprocServer32", 0, KEY_READ, &hKey) ==
            ERROR_SUCCESS) {
            saved.bServerKey = true;
            saved.server = QueryValue(hKey, NULL);
            saved.threading = QueryValue(hKey, L"ThreadingModel");
            ::RegCloseKey(hKey);
        }
        m_saved.push_back(saved);
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, saved.key + L"\\InprocServer32", 0, NULL, 0, KEY_WRITE,
                                    NULL, &hKey, NULL),
                  ERROR_SUCCESS);
        SetValue(hKey, NULL, CString(TEST_CONTROLS_DLL));
        SetValue(hKey, L"ThreadingModel", L"Apartment");
        ::RegCloseKey(hKey);
    }
    static void Restore(const Saved& saved)
    {
        if (!saved.bClassKey) {
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, saved.key);
            return;
        }
        if (!saved.bServerKey) {
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, saved.key + L"\\InprocServer32");
            return;
        }
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, saved.key + L"\\InprocServer32", 0, KEY_WRITE, &hKey) ==
            ERROR_SUCCESS) {
            SetValue(hKey, NULL, saved.server);
            SetValue(hKey, L"ThreadingModel", saved.threading);
            ::RegCloseKey(hKey);
        }
    }

    CString m_log;
    std::vector<Saved> m_saved;
};

class DocumentPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::SetEnvironmentVariableW(L"WORDCNV_DIR", CString(TEST_CONVERTER_DIR));
        m_pFrame = new CPreviewTestFrame;
        m_pHost = m_pFrame->CreateWithHost(L"Document preview test", CRect(0, 0, 820, 600));
        ASSERT_NE(m_pHost, nullptr);
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        Pump(50);
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"WORDCNV_DIR", NULL);
        if (m_pFrame != NULL)
            m_pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(50);
    }

    CWnd* Show(const CString& strPath, const CString& strExtension)
    {
        m_pFrame->ShowPreview(strPath, strExtension);
        Pump(80);
        return m_pHost->m_pViews[strExtension == L".avi"   ? kPreviewAvi
                                 : strExtension == L".mp3" ? kPreviewMedia
                                                           : kPreviewDocument];
    }
    CAdobeReaderView* ShowDocument(const std::string& relative)
    {
        const CString strPath = Fixture(relative);
        return DYNAMIC_DOWNCAST(CAdobeReaderView, Show(strPath, strPath.Mid(strPath.ReverseFind(L'.'))));
    }
    bool PlaceholderShows()
    {
        CWnd* pPlaceholder = m_pHost->m_pViews[kPreviewPlaceholder];
        return pPlaceholder != NULL && ::IsWindow(pPlaceholder->m_hWnd) && pPlaceholder->IsWindowVisible();
    }

    CPreviewTestFrame* m_pFrame = NULL;
    CMainPreviewView* m_pHost = NULL;
};

TEST_F(DocumentPreviewTest, TextFilesShowTheirWholeTextWithCrLf)
{
    for (const char* name : {"same-utf16le.txt", "same-utf16be.txt", "same-utf8bom.txt", "same-ansi.txt"}) {
        SCOPED_TRACE(name);
        CAdobeReaderView* pView = ShowDocument(std::string("text/") + name);
        ASSERT_NE(pView, nullptr);
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        ASSERT_TRUE(::IsWindow(pView->m_richEdit.m_hWnd));
        EXPECT_EQ(pView->m_richEdit.GetDlgCtrlID(), static_cast<int>(CAdobeReaderView::kRichEditId));
        EXPECT_EQ(std::wstring(WindowTextOf(pView->m_richEdit.m_hWnd).GetString()), std::wstring(kSameText));
        EXPECT_TRUE(pView->m_richEdit.GetStyle() & ES_READONLY);
    }
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_text_ansi");

    CAdobeReaderView* pMixed = ShowDocument("text/mixed.txt");
    ASSERT_NE(pMixed, nullptr);
    EXPECT_EQ(WindowTextOf(pMixed->m_richEdit.m_hWnd), CString(L"one\r\ntwo\r\nthree\r\nfour\r\nfive"));

    // A text file that cannot be opened leaves the view empty and the preview failed.
    CAdobeReaderView* pMissing = ShowDocument("text/no-such-file.log");
    ASSERT_NE(pMissing, nullptr);
    EXPECT_FALSE(m_pFrame->m_bPreviewOk);
}

// A text shows its first lines, as many as the long lists' records, and its first characters, and says
// what it left out in the notice of the long lists.
class LongTextTest : public DocumentPreviewTest
{
protected:
    void SetUp() override
    {
        DocumentPreviewTest::SetUp();
        ASSERT_TRUE(m_statusBar.Create(m_pFrame));
        const UINT indicator = ID_SEPARATOR;
        m_statusBar.SetIndicators(&indicator, 1);
        m_pFrame->RecalcLayout();
    }

    // The view of the file, its notice answered.
    CAdobeReaderView* ShowNoticed(const CString& strPath)
    {
        m_notice.clear();
        ModalScript script({ModalScript::Do([&](HWND box) {
            m_notice = BoxTextHolding(box, L"Loaded");
            test_support::WriteWindowScreenshot(box, L"document_preview_long_text_box");
            ClickButton(box, IDOK);
        })});
        CAdobeReaderView* pView = DYNAMIC_DOWNCAST(CAdobeReaderView, Show(strPath, L".log"));
        EXPECT_TRUE(script.AllStepsRan());
        return pView;
    }

    CStatusBar m_statusBar;
    std::wstring m_notice;
};

// A log of a hundred thousand lines, past the rich edit's default limit of 32 K characters and past the
// record limit: its first ten thousand lines, whole. The time it takes to show is printed.
TEST_F(LongTextTest, AHundredThousandLineLogShowsItsFirstLinesAndSaysSo)
{
    const DWORD start = ::GetTickCount();
    CAdobeReaderView* pLog = ShowNoticed(Fixture("text/long.log"));
    const DWORD shown = ::GetTickCount();
    ASSERT_NE(pLog, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    const CString strLog = WindowTextOf(pLog->m_richEdit.m_hWnd);
    std::printf("100,000-line log: shown in %lu ms, its text read back in %lu ms\n",
                static_cast<unsigned long>(shown - start),
                static_cast<unsigned long>(::GetTickCount() - shown));
    std::string expected = ReadHostFile(test_support::RunningPlatformPath(HostFixture("text/long.log")));
    std::string firstLines;
    std::size_t lines = 0;
    for (char c : expected) {
        if (c == '\n') {
            if (++lines == 10000)
                break;
            firstLines += '\r';
        }
        firstLines += c;
    }
    EXPECT_EQ(strLog.GetLength(), static_cast<int>(firstLines.size()));
    EXPECT_TRUE(Ansi(strLog) == firstLines);
    EXPECT_EQ(pLog->m_richEdit.GetLineCount(), 10000);
    EXPECT_EQ(m_notice, L"Loaded 10000 of 100000 total lines");
    EXPECT_EQ(std::wstring(m_statusBar.GetPaneText(0).GetString()), m_notice);
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_long_log");
}

// One line of 600 Ki characters, as a damaged disk may hold: its first 512 Ki characters, given to the rich
// edit in lines of 1024 (one line the rich edit lays out again for every row it wraps into).
TEST_F(LongTextTest, OneLongLineShowsItsFirstCharactersInShortLines)
{
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const CString strPath = CString(folder) + L"one-long-line.log";
    {
        std::ofstream out(strPath.GetString(), std::ios::binary | std::ios::trunc);
        const std::string line(600 * 1024, 'x');
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    CAdobeReaderView* pView = ShowNoticed(strPath);
    ::DeleteFileW(strPath);
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(m_notice, L"Loaded 524288 of 614400 total characters");
    // 512 lines of 1024.
    const CString strText = WindowTextOf(pView->m_richEdit.m_hWnd);
    EXPECT_EQ(strText.GetLength(), 524288 + 2 * 511);
    EXPECT_EQ(strText.Left(1026), CString(L'x', 1024) + L"\r\n");
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_long_line");
}

// The words of a text, in order.
std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

TEST_F(DocumentPreviewTest, RtfShowsTheWordsPandocGives)
{
    CAdobeReaderView* pView = ShowDocument("documents/letter.rtf");
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(Words(Ansi(WindowTextOf(pView->m_richEdit.m_hWnd))),
              Words(ReadHostFile(test_support::RunningPlatformPath(HostFixture("documents/letter.plain")))));
    EXPECT_TRUE(pView->m_richEdit.GetStyle() & ES_READONLY);
    EXPECT_TRUE(pView->m_richEdit.m_bCallbackSet);
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_rtf");
}

// An RTF text with a picture: an enhanced metafile of GDI's own, a red square of 2 cm.
std::string RtfWithPicture()
{
    const RECT frame = {0, 0, 2000, 2000};
    HDC recorder = ::CreateEnhMetaFileW(NULL, NULL, &frame, NULL);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    const RECT square = {0, 0, 75, 75};
    ::FillRect(recorder, &square, red);
    ::DeleteObject(red);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(recorder);
    std::vector<BYTE> bytes(::GetEnhMetaFileBits(metafile, 0, NULL));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    ::DeleteEnhMetaFile(metafile);
    std::string hex;
    char digits[3];
    for (const BYTE byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    return "{\\rtf1\\ansi Before the picture "
           "{\\pict\\emfblip\\picw2000\\pich2000\\picwgoal1134\\pichgoal1134 " +
           hex + "} after it.\\par}";
}

// Objects embedded in a recovered RTF text are refused, since their class would start a server with the
// disk's data; the text's pictures are no servers and still show. A class the test controls stand in for
// is refused like any other.
TEST_F(DocumentPreviewTest, RtfPicturesShowAndEmbeddedObjectsAreRefused)
{
    CRichEditStorageCallback* pCallback = new CRichEditStorageCallback;
    const CLSID metafile = {0x00000315, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const CLSID bitmap = {0x00000316, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const CLSID enhanced = {0x00000319, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    for (const CLSID& picture : {metafile, bitmap, enhanced}) {
        CLSID copy = picture;
        EXPECT_EQ(pCallback->QueryInsertObject(&copy, NULL, 0), S_OK);
    }
    CLSID server = CWPViewPDFX::kClassId;
    EXPECT_NE(pCallback->QueryInsertObject(&server, NULL, 0), S_OK);
    // Wine's control inserts a picture under no class.
    CLSID none = CLSID_NULL;
    EXPECT_EQ(pCallback->QueryInsertObject(&none, NULL, 0), S_OK);
    EXPECT_NE(pCallback->QueryInsertObject(NULL, NULL, 0), S_OK);
    pCallback->Release();

    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const CString strPath = CString(folder) + L"preview_picture.rtf";
    {
        std::ofstream out(strPath.GetString(), std::ios::binary);
        out << RtfWithPicture();
    }
    CAdobeReaderView* pView = DYNAMIC_DOWNCAST(CAdobeReaderView, Show(strPath, L".rtf"));
    ::DeleteFileW(strPath);
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_TRUE(pView->m_richEdit.m_bCallbackSet);
    IRichEditOle* pOle = NULL;
    pView->m_richEdit.SendMessage(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&pOle));
    ASSERT_NE(pOle, nullptr);
    EXPECT_EQ(pOle->GetObjectCount(), 1);
    pOle->Release();
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_rtf_picture");
}

TEST_F(DocumentPreviewTest, AWordDocumentShowsThroughTheConverterAndItsRtfIsDeleted)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const CString strRtf = CString(folder) + L"New.rtf";
    CAdobeReaderView* pView = ShowDocument("documents/letter.docx");
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(Words(Ansi(WindowTextOf(pView->m_richEdit.m_hWnd))),
              Words(ReadHostFile(test_support::RunningPlatformPath(HostFixture("documents/letter.plain")))));
    EXPECT_EQ(::GetFileAttributesW(strRtf), INVALID_FILE_ATTRIBUTES);
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_docx_converted");

    // A file the converter does not take: nothing to show, and the RTF is gone all the same.
    pView = ShowDocument("documents/not-a-word-document.docx");
    ASSERT_NE(pView, nullptr);
    EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    EXPECT_TRUE(PlaceholderShows());
    EXPECT_EQ(::GetFileAttributesW(strRtf), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DocumentPreviewTest, APdfWithoutItsControlSaysUnableToOpenThenCorruptFile)
{
    bool bAnswered = false;
    {
        ModalScript script({ModalScript::Do([&](HWND box) { bAnswered = ClickButton(box, IDOK); })});
        Show(Fixture("documents/empty.pdf"), L".pdf");
        EXPECT_TRUE(script.AllStepsRan());
    }
    EXPECT_TRUE(bAnswered);
    const MessageBoxFields fields = MessageBoxRequest.Copy();
    EXPECT_EQ(fields.text, CString(L"Unable to open."));
    EXPECT_EQ(fields.kind, kMessageKindError);
    Pump(50);
    EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    EXPECT_TRUE(PlaceholderShows());
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"document_preview_pdf_corrupt_file");
}

TEST_F(DocumentPreviewTest, APdfGoesToItsControlByDispatchId207AndAThrowIsCorruptFile)
{
    StandInControls controls;
    const CString strPath = Fixture("documents/empty.pdf");
    CAdobeReaderView* pView = DYNAMIC_DOWNCAST(CAdobeReaderView, Show(strPath, L".pdf"));
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_FALSE(PlaceholderShows());
    ASSERT_TRUE(::IsWindow(pView->m_pdf.m_hWnd));
    EXPECT_EQ(pView->m_pdf.GetDlgCtrlID(), static_cast<int>(CAdobeReaderView::kPdfControlId));
    EXPECT_EQ(controls.TakeCalls(), std::vector<std::string>{"pdf 207 " + PreviewedPath(strPath)});

    // A control that throws while it opens the file: the preview failed, "Corrupt File" shows.
    controls.ThrowAt(207);
    pView = DYNAMIC_DOWNCAST(CAdobeReaderView, Show(strPath, L".pdf"));
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(controls.TakeCalls(), std::vector<std::string>{"pdf 207 " + PreviewedPath(strPath)});
    EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    EXPECT_TRUE(m_pFrame->m_bPreviewable); // so the placeholder is 196, "Corrupt File"
    EXPECT_TRUE(PlaceholderShows());
}

// ---------------------------------------------------------------------------------------------------

// A helper process owning a top-level window of the class given on its command line.
PROCESS_INFORMATION StartWindowHelper(const wchar_t* pszClass)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, self, MAX_PATH);
    CString commandLine;
    commandLine.Format(L"\"%s\" --window-helper %s", self, pszClass);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ::CreateProcessW(NULL, commandLine.GetBuffer(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    commandLine.ReleaseBuffer();
    for (int wait = 0; wait < 200 && ProcessesOwningWindowClass(pszClass).count(process.dwProcessId) == 0;
         ++wait)
        ::Sleep(25);
    return process;
}

bool IsRunning(const PROCESS_INFORMATION& process)
{
    return ::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

void EndHelper(PROCESS_INFORMATION& process)
{
    if (IsRunning(process))
        ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
}

bool HasEnded(DWORD processId)
{
    HANDLE hProcess = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (hProcess == NULL)
        return true;
    const bool bEnded = ::WaitForSingleObject(hProcess, 5000) == WAIT_OBJECT_0;
    ::CloseHandle(hProcess);
    return bEnded;
}

// The id in the stand-in Word's "word started <id>" line, or 0.
DWORD StartedWordProcess(const std::vector<std::string>& calls)
{
    for (const std::string& call : calls)
        if (call.rfind("word started ", 0) == 0)
            return static_cast<DWORD>(std::stoul(call.substr(13)));
    return 0;
}

// Word automation through the stand-in Word: its own process (a window helper) is ended after the
// preview; the user's Word and Excel, running before, survive the preview and the view's closing.
TEST_F(DocumentPreviewTest, WordAutomationEndsOnlyTheWordItStarted)
{
    PROCESS_INFORMATION word = StartWindowHelper(L"OpusApp");
    PROCESS_INFORMATION excel = StartWindowHelper(L"XLMain");
    ASSERT_EQ(ProcessesOwningWindowClass(L"OpusApp").count(word.dwProcessId), 1u);
    ASSERT_EQ(ProcessesOwningWindowClass(L"XLMain").count(excel.dwProcessId), 1u);

    StandInControls controls;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, self, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEST_WORD_HELPER", L"\"" + CString(self) + L"\" --window-helper OpusApp");
    const CString strWordProgId = CAdobeReaderView::s_strWordProgId;
    CAdobeReaderView::s_strWordProgId = StandInControls::kWordClassId;
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const CString strRtf = CString(folder) + L"New.rtf";

    const CString strPath = Fixture("documents/letter.docx");
    CAdobeReaderView* pView = ShowDocument("documents/letter.docx");
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(WindowTextOf(pView->m_richEdit.m_hWnd), CString(L"Opened through automation: letter.docx"));
    EXPECT_EQ(::GetFileAttributesW(strRtf), INVALID_FILE_ATTRIBUTES);
    std::vector<std::string> calls = controls.TakeCalls();
    const DWORD started = StartedWordProcess(calls);
    ASSERT_NE(started, 0u);
    calls.erase(calls.begin()); // the start
    // Documents, Add and its Close, Open read-only, SaveAs RTF, Quit.
    const std::vector<std::string> expected = {"word 6",
                                               "documents 11",
                                               "document 1105",
                                               "documents 12 " + PreviewedPath(strPath),
                                               "document 102 " + Ansi(strRtf),
                                               "word 1105"};
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(HasEnded(started));
    EXPECT_TRUE(IsRunning(word));

    // Automation failing at Open: Word is not quit, the converters show the document, and the Word the
    // automation started is ended all the same.
    controls.ThrowAt(12);
    pView = ShowDocument("documents/letter.docx");
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(Words(Ansi(WindowTextOf(pView->m_richEdit.m_hWnd))),
              Words(ReadHostFile(test_support::RunningPlatformPath(HostFixture("documents/letter.plain")))));
    EXPECT_EQ(::GetFileAttributesW(strRtf), INVALID_FILE_ATTRIBUTES);
    calls = controls.TakeCalls();
    const DWORD startedAgain = StartedWordProcess(calls);
    ASSERT_NE(startedAgain, 0u);
    EXPECT_EQ(calls.back(), "documents 12 " + PreviewedPath(strPath));
    EXPECT_TRUE(HasEnded(startedAgain));

    // The view's closing ends no Excel that was running when it was made.
    Show(Fixture("text/crlf.txt"), L".txt");
    m_pFrame->ShowPreview(Fixture("text/cr.txt"), L".txt");
    Pump(50);
    EXPECT_TRUE(IsRunning(word));
    EXPECT_TRUE(IsRunning(excel));

    CAdobeReaderView::s_strWordProgId = strWordProgId;
    ::SetEnvironmentVariableW(L"TEST_WORD_HELPER", NULL);
    for (PROCESS_INFORMATION* p : {&word, &excel})
        EndHelper(*p);
}

// The Excel that showed a workbook in the web browser view is the preview's own: the next document
// view's closing ends it. The user's Excel, running before, survives.
TEST_F(DocumentPreviewTest, TheExcelOfAWorkbookPreviewIsEndedAndTheUsersSurvives)
{
    PROCESS_INFORMATION users = StartWindowHelper(L"XLMain");
    m_pFrame->ShowPreview(Fixture("documents/no-such-book.xls"), L".xls");
    Pump(80);
    ASSERT_NE(DYNAMIC_DOWNCAST(CHtml_View, m_pHost->m_pViews[kPreviewBrowser]), nullptr);
    // Excel showing the workbook in place, started while the browser view is up (its class spelt as
    // another Excel spells it: class names match whatever their case).
    PROCESS_INFORMATION previews = StartWindowHelper(L"XlMain");
    Show(Fixture("text/crlf.txt"), L".txt"); // the browser view closes
    EXPECT_TRUE(IsRunning(previews));
    Show(Fixture("text/cr.txt"), L".txt"); // the document view closes
    EXPECT_EQ(::WaitForSingleObject(previews.hProcess, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(IsRunning(users));
    for (PROCESS_INFORMATION* p : {&users, &previews})
        EndHelper(*p);
}

// ---------------------------------------------------------------------------------------------------

TEST_F(DocumentPreviewTest, AnAviPlaysInAnMciWindowThatGoesWithTheView)
{
    // Wine's MCI window cannot open this video (no decoder in the test prefix) and says so in a box of
    // its own, which the script answers.
    std::wstring mciBox;
    CWnd* pView = NULL;
    {
        ModalScript script({ModalScript::Do([&](HWND box) {
                               mciBox = WindowText(box);
                               ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                           })},
                           8000);
        pView = Show(Fixture("media/hello.avi"), L".avi");
    }
    EXPECT_EQ(mciBox, L"MCI Error");
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CAviView)));
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    const HWND hMci = ::FindWindowExW(pView->m_hWnd, NULL, L"MCIWndClass", NULL);
    EXPECT_NE(hMci, nullptr);
    EXPECT_EQ(hMci, static_cast<CAviView*>(pView)->m_hMciWnd);
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"media_preview_avi");
    Show(Fixture("text/crlf.txt"), L".txt");
    EXPECT_FALSE(::IsWindow(hMci));
}

TEST_F(DocumentPreviewTest, OtherMediaGoToThePlayerControl)
{
    CWnd* pView = Show(Fixture("media/debian.mp3"), L".mp3");
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CMyMedia)));
    // The view never reports failure, with or without a control to play.
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_FALSE(PlaceholderShows());
    // Wine's own control answers no IDispatch; the URL went in through its IWMPPlayer4 interface.
    CMyMedia* pMedia = static_cast<CMyMedia*>(pView);
    ASSERT_TRUE(::IsWindow(pMedia->m_player.m_hWnd));
    EXPECT_EQ(pMedia->m_player.GetDlgCtrlID(), static_cast<int>(CMyMedia::kPlayerId));
    IUnknown* pUnknown = pMedia->m_player.GetControlUnknown();
    ASSERT_NE(pUnknown, nullptr);
    IWMPCore* pPlayer = NULL;
    ASSERT_TRUE(SUCCEEDED(pUnknown->QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&pPlayer))));
    BSTR url = NULL;
    EXPECT_TRUE(SUCCEEDED(pPlayer->get_URL(&url)));
    // The control keeps the path in its own spelling of the drive and separators.
    CString strUrl(url), strPath = Fixture("media/debian.mp3");
    strUrl.Replace(L'/', L'\\');
    strPath.Replace(L'/', L'\\');
    EXPECT_EQ(strUrl.CompareNoCase(strPath), 0) << Ansi(strUrl) << " / " << Ansi(strPath);
    ::SysFreeString(url);
    pPlayer->Release();
    test_support::WriteClientScreenshot(m_pFrame->m_hWnd, L"media_preview_mp3");
    Show(Fixture("media/deleted.mp3"), L".mp3");
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
}

TEST_F(DocumentPreviewTest, ThePlayerControlGetsThePathAsUrlAndClosesForTheNextFile)
{
    StandInControls controls;
    const CString strPath = Fixture("media/debian.mp3");
    CWnd* pView = Show(strPath, L".mp3");
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CMyMedia)));
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    // The URL, then the open state, the play state and the status.
    const std::vector<std::string> opened = {"player 1 " + PreviewedPath(strPath), "player 2", "player 10",
                                             "player 18"};
    EXPECT_EQ(controls.TakeCalls(), opened);
    Show(Fixture("text/crlf.txt"), L".txt");
    EXPECT_EQ(controls.TakeCalls(), std::vector<std::string>{"player 3"});

    // A player that fails every call: the view still stands and reports no failure.
    for (DISPID id : {1, 3}) {
        SCOPED_TRACE(id);
        controls.ThrowAt(id);
        pView = Show(strPath, L".mp3");
        ASSERT_NE(pView, nullptr);
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        EXPECT_FALSE(PlaceholderShows());
        Show(Fixture("text/crlf.txt"), L".txt");
        EXPECT_EQ(controls.TakeCalls().size(), 5u);
    }
}

} // namespace

// The helper process of the Office process tests: a window of the given class until it is ended.
int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--window-helper") {
        const CString strClass(argv[2]);
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(NULL);
        wc.lpszClassName = strClass;
        ::RegisterClassW(&wc);
        ::CreateWindowW(strClass, L"helper", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
        MSG msg;
        while (::GetMessageW(&msg, NULL, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
