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
    unsigned char* data = nullptr;
    int dataSize = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    CHtmlHostCallback* host = nullptr;
    CHtmlImageLoader* loader = nullptr;
    int done = 0;
    // Jobs are shared only between requests with the same URL and the same value.
    int background = 0;
};

// The image jobs of a document. Jobs outlive page loads; only their bitmaps are released.
class CHtmlImageLoader
{
public:
    explicit CHtmlImageLoader(CHtmlHostCallback* host);
    ~CHtmlImageLoader();
    CHtmlImageLoader(const CHtmlImageLoader&) = delete;
    CHtmlImageLoader& operator=(const CHtmlImageLoader&) = delete;

    // The job of this URL (compared exactly) and background flag, or -1.
    int FindJob(const wchar_t* url, int background);
    int AddJob(const wchar_t* url, int background);
    // Null for an index out of range.
    CHtmlImageJob* GetJob(int index);
    // Keeps the downloaded bytes, so that the next decode needs no download.
    void ReleaseBitmap(CHtmlImageJob* job);
    int JobCount();

private:
    std::vector<CHtmlImageJob*> jobs;
    CHtmlHostCallback* host;
    // Stands in for every image that cannot be loaded.
    HBITMAP placeholder;
    // Guards jobs against the download threads.
    HANDLE mutex;
};
