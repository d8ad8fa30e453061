#pragma once

// One drawing of the library: the file read into a scene and the view it is shown through.
#include <string>

#include "dxf_model.h"
#include "dxf_scene.h"
#include "dxf_view.h"

namespace dxf {

// Files larger than this are refused rather than read into memory.
inline constexpr unsigned long long kLargestFile = 256ull << 20;

class Document
{
public:
    Document();

    // Replaces the drawing with the file's (a path in the system's narrow encoding). False, with the
    // drawing left empty, when the file cannot be read or is no ASCII DXF.
    bool LoadFile(const char* path, const ProgressFunction& progress);
    bool LoadText(const char* data, std::size_t size, const ProgressFunction& progress);

    void InitView(int x, int y, int width, int height);
    void ZoomExtents();
    // False, changing nothing, for values that would make the projection meaningless.
    bool SetView(const ViewProperties& view);
    const ViewProperties& View() const { return m_view; }
    void Paint(Canvas& canvas) const;

    const Drawing& drawing() const { return m_drawing; }
    const Scene& scene() const { return m_scene; }
    const std::string& error() const { return m_error; }

private:
    Drawing m_drawing;
    Scene m_scene;
    ViewProperties m_view;
    std::string m_error;
};

} // namespace dxf
