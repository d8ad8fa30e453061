#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CHtmlHostCallback;
class CHtmlImageLoader;

// One image URL of the document's pages. Its index in the loader never changes, so that items can
// refer to it across page loads.
struct CHtmlImageJob
{
    HBITMAP bitmap = nullptr;
    std::wstring url;
    // Written by the download thread before doneEvent is signalled; kept after decoding.
    unsigned char* data = nullptr;
    int dataSize = 0;
    // Signalled when the download ended; closed once a decode has seen it.
    HANDLE doneEvent = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
    CHtmlHostCallback* host = nullptr;
    CHtmlImageLoader* loader = nullptr;
    volatile LONG done = 0;
    // Jobs are shared only between requests with the same URL and the same value.
    int background = 0;
    // The download thread; the loader waits for it before the job goes.
    HANDLE thread = nullptr;
};

// The image jobs of a document, each downloading on a thread of its own, at most eleven at a time. Jobs
// outlive page loads; only their bitmaps are released.
class CHtmlImageLoader
{
public:
    static constexpr int kMaxDownloads = 11;

    explicit CHtmlImageLoader(CHtmlHostCallback* host);
    // Stops the downloads that have not begun and waits for every download thread to end.
    ~CHtmlImageLoader();
    CHtmlImageLoader(const CHtmlImageLoader&) = delete;
    CHtmlImageLoader& operator=(const CHtmlImageLoader&) = delete;

    // The job of this URL (compared exactly) and background flag, or -1.
    int FindJob(const wchar_t* url, int background);
    // Appends a job, which starts downloading at once.
    int AddJob(const wchar_t* url, int background);
    // Null for an index out of range.
    CHtmlImageJob* GetJob(int index);
    // Keeps the downloaded bytes, so that the next decode needs no download.
    void ReleaseBitmap(CHtmlImageJob* job);
    int JobCount();

    // UI thread. 1 when the job has a bitmap afterwards (its picture or the placeholder), 0 while its
    // download runs (wait 0) or when no memory stream could be made.
    int DecodeToBitmap(CHtmlImageJob* job, int wait);
    // Completes a requested size (0 = not given) from the picture's size, keeping its proportions.
    static void ApplyImageSize(const CHtmlImageJob* job, SIZE* size);
    // The top-left w x h pixels, unscaled.
    static void DrawImage(const CHtmlImageJob* job, HDC dc, int x, int y, int w, int h);
    // The whole picture stretched into the rectangle.
    static void DrawImageStretched(const CHtmlImageJob* job, HDC dc, int x, int y, int w, int h);

    // Download threads: waits until fewer than eleven downloads run and counts the caller in; false when
    // the loader is stopping.
    bool WaitForSlot();
    // Download threads: counts a download out and reports the finished count to the host.
    void OnJobDone();
    bool Stopping() const { return stopping != 0; }

private:
    std::vector<CHtmlImageJob*> jobs;
    CHtmlHostCallback* host;
    // Stands in for every image that cannot be loaded.
    HBITMAP placeholder;
    int running = 0;
    volatile LONG stopping = 0;
    // Guards jobs and running against the download threads.
    HANDLE mutex;
};
