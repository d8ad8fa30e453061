// DXF drawings: the reader and the scene it builds, fitted into a view.
#include "dxf_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    dxf::Document document;
    if (document.LoadText(reinterpret_cast<const char*>(data), size, {})) {
        document.InitView(0, 0, 640, 480);
        document.ZoomExtents();
    }
    return 0;
}
