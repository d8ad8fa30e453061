#include "html_image_loader.h"

#include "html_host_callback.h"
#include "picture_header.h"

#include <olectl.h>
#include <process.h>

#include <cstring>

namespace {

constexpr int kPlaceholderWidth = 60;
constexpr int kPlaceholderHeight = 40;
constexpr DWORD kSlotPollMs = 20;

class MutexLock
{
public:
    explicit MutexLock(HANDLE mutex) : mutex(mutex) { WaitForSingleObject(mutex, INFINITE); }
    ~MutexLock() { ReleaseMutex(mutex); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    HANDLE mutex;
};

unsigned __stdcall DownloadThread(void* parameter)
{
    CHtmlImageJob* job = static_cast<CHtmlImageJob*>(parameter);
    CHtmlImageLoader* loader = job->loader;
    if (!loader->WaitForSlot()) {
        InterlockedExchange(&job->done, 1);
        SetEvent(job->doneEvent);
        return 0;
    }
    if (job->host && !loader->Stopping()) {
        int size = 0;
        unsigned char* data = job->host->FetchResource(job->url.c_str(), &size);
        job->dataSize = data ? size : 0;
        job->data = data;
    }
    InterlockedExchange(&job->done, 1);
    SetEvent(job->doneEvent);
    loader->OnJobDone();
    return 0;
}

// Waits for a download thread while answering messages other threads send to this one's windows, so that
// a worker inside a cross-thread call never waits for us while we wait for it.
void WaitAnsweringSentMessages(HANDLE handle)
{
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// A device-dependent copy of the picture, or null.
HBITMAP CopyPictureBitmap(IPicture* picture)
{
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Handle(&handle)) || !handle)
        return nullptr;
    HBITMAP source = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP info;
    if (!GetObjectW(source, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
    if (copy) {
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, copy);
        BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        DeleteDC(from);
        DeleteDC(to);
    }
    ReleaseDC(nullptr, screen);
    return copy;
}

} // namespace

CHtmlImageLoader::CHtmlImageLoader(CHtmlHostCallback* host) : host(host)
{
    mutex = CreateMutexW(nullptr, FALSE, nullptr);
    HDC screen = GetDC(nullptr);
    placeholder = CreateCompatibleBitmap(screen, kPlaceholderWidth, kPlaceholderHeight);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, placeholder);
    RECT area = {0, 0, kPlaceholderWidth, kPlaceholderHeight};
    FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

CHtmlImageLoader::~CHtmlImageLoader()
{
    // Waiting for done alone is not enough: a thread still reports after it, through this loader.
    InterlockedExchange(&stopping, 1);
    for (CHtmlImageJob* job : jobs) {
        if (job->thread) {
            WaitAnsweringSentMessages(job->thread);
            CloseHandle(job->thread);
        }
    }
    for (CHtmlImageJob* job : jobs) {
        ReleaseBitmap(job);
        delete[] job->data;
        if (job->doneEvent)
            CloseHandle(job->doneEvent);
        delete job;
    }
    DeleteObject(placeholder);
    CloseHandle(mutex);
}

int CHtmlImageLoader::FindJob(const wchar_t* url, int background)
{
    MutexLock lock(mutex);
    for (size_t index = 0; index < jobs.size(); ++index)
        if (jobs[index]->background == background && jobs[index]->url == url)
            return static_cast<int>(index);
    return -1;
}

int CHtmlImageLoader::AddJob(const wchar_t* url, int background)
{
    CHtmlImageJob* job = new CHtmlImageJob;
    job->url = url ? url : L"";
    job->host = host;
    job->loader = this;
    job->background = background;
    job->doneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int index;
    {
        MutexLock lock(mutex);
        jobs.push_back(job);
        index = static_cast<int>(jobs.size()) - 1;
    }
    job->thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, DownloadThread, job, 0, nullptr));
    if (!job->thread) {
        // Without a thread the job is a failed download.
        InterlockedExchange(&job->done, 1);
        SetEvent(job->doneEvent);
    }
    return index;
}

CHtmlImageJob* CHtmlImageLoader::GetJob(int index)
{
    MutexLock lock(mutex);
    if (index < 0 || index >= static_cast<int>(jobs.size()))
        return nullptr;
    return jobs[static_cast<size_t>(index)];
}

void CHtmlImageLoader::ReleaseBitmap(CHtmlImageJob* job)
{
    if (job->bitmap && job->bitmap != placeholder)
        DeleteObject(job->bitmap);
    job->bitmap = nullptr;
}

int CHtmlImageLoader::JobCount()
{
    MutexLock lock(mutex);
    return static_cast<int>(jobs.size());
}

bool CHtmlImageLoader::WaitForSlot()
{
    for (;;) {
        if (stopping)
            return false;
        {
            MutexLock lock(mutex);
            if (running < kMaxDownloads) {
                ++running;
                return true;
            }
        }
        Sleep(kSlotPollMs);
    }
}

void CHtmlImageLoader::OnJobDone()
{
    int finished = 0;
    int total;
    {
        MutexLock lock(mutex);
        for (const CHtmlImageJob* job : jobs)
            if (job->done)
                ++finished;
        total = static_cast<int>(jobs.size());
        --running;
    }
    // A host that is going away hears no more.
    if (host && !stopping)
        host->ShowLoadStatus(finished, total);
}

int CHtmlImageLoader::DecodeToBitmap(CHtmlImageJob* job, int wait)
{
    if (job->bitmap)
        return 1;
    if (job->doneEvent) {
        DWORD result;
        if (wait)
            result = WaitForSingleObject(job->doneEvent, INFINITE);
        else
            result = WaitForSingleObject(job->doneEvent, 0);
        if (result != WAIT_OBJECT_0)
            return 0;
        CloseHandle(job->doneEvent);
        job->doneEvent = nullptr;
    }
    // The system's decoder sets up the whole picture a header declares before it reads a pixel, so a
    // page's picture of a few bytes could cost gigabytes: only a header read and within the limit lets the
    // bytes reach it. Anything else gets the placeholder.
    if (job->data && job->dataSize > 0 &&
        imaging::PictureHeaderWithinLimit(job->data, static_cast<size_t>(job->dataSize))) {
        HGLOBAL block = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(job->dataSize));
        if (!block)
            return 0;
        std::memcpy(block, job->data, static_cast<size_t>(job->dataSize));
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
            GlobalFree(block);
            return 0;
        }
        IPicture* picture = nullptr;
        HRESULT loaded =
            OleLoadPicture(stream, job->dataSize, TRUE, IID_IPicture, reinterpret_cast<void**>(&picture));
        stream->Release();
        GlobalFree(block);
        if (SUCCEEDED(loaded) && picture) {
            job->bitmap = CopyPictureBitmap(picture);
            picture->Release();
        }
    }
    if (!job->bitmap)
        job->bitmap = placeholder;
    BITMAP info;
    if (GetObjectW(job->bitmap, sizeof(info), &info)) {
        job->imageWidth = info.bmWidth;
        job->imageHeight = info.bmHeight;
    }
    return 1;
}

void CHtmlImageLoader::ApplyImageSize(const CHtmlImageJob* job, SIZE* size)
{
    if (size->cx && !size->cy && job->imageWidth)
        size->cy = static_cast<LONG>(static_cast<long long>(job->imageHeight) * size->cx / job->imageWidth);
    else if (size->cy && !size->cx && job->imageHeight)
        size->cx = static_cast<LONG>(static_cast<long long>(job->imageWidth) * size->cy / job->imageHeight);
    if (!size->cx)
        size->cx = job->imageWidth;
    if (!size->cy)
        size->cy = job->imageHeight;
}

void CHtmlImageLoader::DrawImage(const CHtmlImageJob* job, HDC dc, int x, int y, int w, int h)
{
    if (!job->bitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, job->bitmap);
    BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void CHtmlImageLoader::DrawImageStretched(const CHtmlImageJob* job, HDC dc, int x, int y, int w, int h)
{
    if (!job->bitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, job->bitmap);
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, w, h, memory, 0, 0, job->imageWidth, job->imageHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SelectObject(memory, previous);
    DeleteDC(memory);
}
