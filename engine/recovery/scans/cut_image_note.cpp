#include "engine/recovery/scans/cut_image_note.h"

#include "engine/recovery/core/sector_source.h"

std::u16string CutImageScanText(bool nothingFound)
{
    if (!AnyReadStoppedAtImageEnd())
        return {};
    const std::u16string cut =
        u"The disk image file is cut short: the scan needed data past its end. Files stored "
        u"past its end cannot be listed or saved whole.";
    if (!nothingFound)
        return cut;
    return u"Data has been not found in this partition, but it need not be empty: " + cut;
}
