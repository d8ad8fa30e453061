#pragma once

// The partition table of a disk image as the program builds it, for the probe's commands: open the image
// with the reader its extension names, attach it to the engine, register its geometry, read the table
// and, when asked, search the disk. A command that takes "--partition N" uses row N - 1 of
// partitionTable after FillProbePartitionTable.

#include <string>
#include <string_view>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"

// One image attached to the engine as the program's image selection attaches it (ScanSelection.imageKind
// from the extension, SourceState's readers, source kind image), with its geometry in
// DeviceGeometry[SourceState.deviceIndex] as the drive step registers it: from the VMDK descriptor, or
// from the image source for VHD and VHDX. Detached again when destroyed; one at a time.
class ProbeEngineImage
{
public:
    ProbeEngineImage() = default;
    ~ProbeEngineImage();
    ProbeEngineImage(const ProbeEngineImage&) = delete;
    ProbeEngineImage& operator=(const ProbeEngineImage&) = delete;

    // False when the image is refused; GetRefusal says why.
    bool Open(std::u16string_view path);
    const std::string& GetRefusal() const { return refusal; }

private:
    CVmdkSparseExtent extent;
    CImageSource source;
    std::string refusal;
    bool attached = false;
};

// Fills partitionTable and partitionCount for the attached image the way the drive step does
// (ParsePartitionTable), and with `search` then runs SearchPartitions on this thread as if the user had
// chosen "Search partition". `labels`, when given, receives per row the text of its item in the source
// tree. The VHDX stand-in progress runs without its pauses.
void FillProbePartitionTable(bool search, std::vector<std::u16string>* labels = nullptr);
