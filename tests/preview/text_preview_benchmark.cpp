// Not a test: prints what the plain-text preview costs under this system's rich edit for the texts a
// damaged disk may hold (many empty lines, one long line, runs of NUL in the code page and in UTF-16),
// as the preview shows them (the time to a shown view, the memory it keeps, what was streamed), and the
// rich edit alone on the same text in other forms, to tell the program's cost from the control's.
//
//   text_preview_benchmark [--gtest_filter=...]      (TEXT_BENCH_SCALE=0.25 for a quarter of each size)
#include <afxwin.h>

#include <afxcmn.h>
#include <gtest/gtest.h>
#include <psapi.h>
#include <richedit.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "../ui_controls/modal_script.h"
#include "document_view.h"
#include "main_preview_view.h"
#include "preview_test_frame.h"

namespace {

double Scale()
{
    const char* text = std::getenv("TEXT_BENCH_SCALE");
    const double scale = text != nullptr ? std::atof(text) : 1.0;
    return scale > 0 ? scale : 1.0;
}

struct Sample
{
    const char* name;
    std::string bytes;
};

std::vector<Sample> Samples()
{
    const double scale = Scale();
    const auto size = [&](double bytes) { return static_cast<std::size_t>(bytes * scale); };
    std::string utf16Nuls = "\xFF\xFE";
    utf16Nuls.append(size(200000) * 2, '\0');
    std::string words;
    while (words.size() < size(4 << 20))
        words += "recovered ";
    return {{"800 KB of empty lines (LF)", std::string(size(800000), '\n')},
            {"800 KB of empty lines (CR LF)",
             [&] {
                 std::string text;
                 for (std::size_t i = 0; i < size(400000); ++i)
                     text += "\r\n";
                 return text;
             }()},
            {"one 4 MiB line of letters", std::string(size(4 << 20), 'x')},
            {"one 4 MiB line of words", words},
            {"1 MiB of NUL", std::string(size(1 << 20), '\0')},
            {"200,000 UTF-16 NULs", utf16Nuls},
            {"5 MiB of 80-column lines", [&] {
                 std::string text;
                 const std::string line = std::string(78, 'a') + "\r\n";
                 while (text.size() < size(5 << 20))
                     text += line;
                 return text;
             }()}};
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The working set: Wine reports no private usage.
double MemoryMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize / 1048576.0;
}

CString WriteSample(const Sample& sample)
{
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const CString strPath = CString(folder) + L"text_preview_benchmark.txt";
    std::ofstream(strPath.GetString(), std::ios::binary | std::ios::trunc)
        .write(sample.bytes.data(), static_cast<std::streamsize>(sample.bytes.size()));
    return strPath;
}

TEST(TextPreviewBenchmark, ThePreviewAsTheUserSeesIt)
{
    std::printf("%-32s %10s %10s %12s %12s  %s\n", "text", "seconds", "MiB kept", "characters", "rows",
                "notice");
    for (const Sample& sample : Samples()) {
        const CString strPath = WriteSample(sample);
        auto* pFrame = new CPreviewTestFrame;
        CMainPreviewView* pHost = pFrame->CreateWithHost(L"Text preview benchmark", CRect(0, 0, 900, 600));
        ASSERT_NE(pHost, nullptr);
        pFrame->ShowWindow(SW_SHOW);
        Pump(50);
        const double before = MemoryMiB();
        const auto start = std::chrono::steady_clock::now();
        std::wstring notice;
        {
            // The notice of a text shown in part is answered at once; the time to it counts.
            ModalScript script({ModalScript::Do([&](HWND box) {
                                   notice = BoxTextHolding(box, L"Loaded");
                                   ClickButton(box, IDOK);
                               })},
                               600000);
            pFrame->ShowPreview(strPath, L".txt");
            pFrame->UpdateWindow();
            Pump(20);
        }
        const double seconds = Seconds(start);
        const double kept = MemoryMiB() - before;
        auto* pView = dynamic_cast<CAdobeReaderView*>(pHost->m_pViews[kPreviewDocument]);
        long characters = 0, rows = 0;
        if (pView != NULL && ::IsWindow(pView->m_richEdit.m_hWnd)) {
            characters = pView->m_richEdit.GetTextLength();
            rows = pView->m_richEdit.GetLineCount();
        }
        std::printf("%-32s %10.2f %10.1f %12ld %12ld  %ls\n", sample.name, seconds, kept, characters, rows,
                    notice.c_str());
        std::fflush(stdout);
        pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(50);
        ::DeleteFileW(strPath);
    }
}

struct Stream
{
    const BYTE* bytes;
    std::size_t left;
    long calls = 0;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got)
{
    Stream& stream = *reinterpret_cast<Stream*>(cookie);
    const std::size_t count = std::min<std::size_t>(stream.left, static_cast<std::size_t>(wanted));
    std::memcpy(buffer, stream.bytes, count);
    stream.bytes += count;
    stream.left -= count;
    *got = static_cast<LONG>(count);
    ++stream.calls;
    return 0;
}

// The rich edit alone, made as the preview makes it, on one UTF-16 text.
void StreamInto(const char* name, const std::wstring& text)
{
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), L"Rich edit benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                    CRect(0, 0, 900, 600), NULL, 0);
    CRichEditCtrl edit;
    CRect rect;
    parent.GetClientRect(&rect);
    edit.Create(CAdobeReaderView::kRichEditStyle, rect, &parent, 1);
    edit.LimitText(0x7FFFFFFE);
    CFont font;
    font.CreateFont(15, 15, 0, 0, 400, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, 0x20, L"Arial");
    edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), FALSE);
    const double before = MemoryMiB();
    const auto start = std::chrono::steady_clock::now();
    edit.SetRedraw(FALSE);
    Stream stream{reinterpret_cast<const BYTE*>(text.data()), text.size() * sizeof(wchar_t)};
    EDITSTREAM editStream{};
    editStream.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
    editStream.pfnCallback = ReadStream;
    edit.StreamIn(SF_TEXT | SF_UNICODE, editStream);
    edit.SetRedraw(TRUE);
    edit.Invalidate();
    edit.UpdateWindow();
    const double seconds = Seconds(start);
    std::printf("%-44s %10.2f %10.1f %10ld %12ld\n", name, seconds, MemoryMiB() - before, stream.calls,
                edit.GetLineCount());
    std::fflush(stdout);
    edit.DestroyWindow();
    parent.DestroyWindow();
    Pump(20);
}

TEST(TextPreviewBenchmark, TheRichEditAloneOnEachForm)
{
    const double scale = Scale();
    const auto size = [&](double count) { return static_cast<std::size_t>(count * scale); };
    std::printf("%-44s %10s %10s %10s %12s\n", "text streamed", "seconds", "MiB kept", "callbacks", "rows");
    std::wstring crlf, cr;
    for (std::size_t i = 0; i < size(400000); ++i)
        crlf += L"\r\n", cr += L'\r';
    StreamInto("400,000 empty lines, CR LF", crlf);
    StreamInto("400,000 empty lines, CR", cr);
    StreamInto("1 Mi NULs in one line", std::wstring(size(1 << 20), L'\0'));
    StreamInto("1 Mi spaces in one line", std::wstring(size(1 << 20), L' '));
    StreamInto("1 Mi letters in one line", std::wstring(size(1 << 20), L'x'));
    for (std::size_t length : {256u, 1024u, 4096u}) {
        std::wstring cut;
        for (std::size_t at = 0; at < size(1 << 20); at += length)
            cut += std::wstring(length, L'x') + L"\r\n";
        StreamInto(("1 Mi letters in lines of " + std::to_string(length)).c_str(), cut);
    }
}

} // namespace
