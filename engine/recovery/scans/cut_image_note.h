#pragma once

// What the end of a scan tells when the scan needed data past the end of a disk image file that was cut
// short (AnyReadStoppedAtImageEnd since the scan began): what it lists is not all the volume holds, and an
// empty result does not mean an empty partition.

#include <string>

// Empty when no read of the scan stopped at the image file's end. `nothingFound`: the text that stands
// instead of the nothing-found message.
std::u16string CutImageScanText(bool nothingFound);
