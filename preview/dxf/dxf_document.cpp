#include "dxf_document.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace dxf {

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

Document::Document() : m_view(InitialView(0, 0, 0, 0)) {}

bool Document::LoadFile(const char* path, const ProgressFunction& progress)
{
    m_drawing = Drawing();
    m_scene = Scene();
    std::unique_ptr<std::FILE, FileCloser> file(path != nullptr ? std::fopen(path, "rb") : nullptr);
    if (!file) {
        m_error = "the file cannot be opened";
        return false;
    }
    std::vector<char> data;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
        if (data.size() + got > kLargestFile) {
            m_error = "the file is too large";
            return false;
        }
        data.insert(data.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) {
        m_error = "the file cannot be read";
        return false;
    }
    return LoadText(data.data(), data.size(), progress);
}

bool Document::LoadText(const char* data, std::size_t size, const ProgressFunction& progress)
{
    m_scene = Scene();
    if (!ReadDrawing(data, size, m_drawing, m_error, progress))
        return false;
    BuildScene(m_drawing, m_scene);
    return true;
}

void Document::InitView(int x, int y, int width, int height)
{
    m_view = InitialView(x, y, width, height);
}

void Document::ZoomExtents()
{
    ZoomToExtents(m_view, m_scene.extents);
}

bool Document::SetView(const ViewProperties& view)
{
    if (!IsUsableView(view))
        return false;
    m_view = view;
    m_view.size = static_cast<std::int32_t>(sizeof(ViewProperties));
    return true;
}

void Document::Paint(Canvas& canvas) const
{
    PaintScene(m_scene, m_view, canvas);
}

} // namespace dxf
