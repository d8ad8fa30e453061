#include "html_image_loader.h"

namespace {

constexpr int kPlaceholderWidth = 60;
constexpr int kPlaceholderHeight = 40;

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
    for (CHtmlImageJob* job : jobs) {
        ReleaseBitmap(job);
        delete[] job->data;
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
    MutexLock lock(mutex);
    jobs.push_back(job);
    return static_cast<int>(jobs.size()) - 1;
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
