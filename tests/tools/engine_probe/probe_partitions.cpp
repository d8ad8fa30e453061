#include "engine_probe/probe_partitions.h"

#include <cstdint>
#include <utility>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/partitions/partition_search.h"
#include "engine_probe/probe_disk.h"

namespace {

std::uint32_t GeometryValue(std::int32_t value)
{
    return value > 0 ? static_cast<std::uint32_t>(value) : 0;
}

// The drive step while the search runs: answers the Partition Type question with "Search partition"
// and keeps the items the search adds.
class ProbeDriveStep final : public DriveStepUi
{
public:
    std::vector<std::u16string> items;

    void SetStatusText(const char16_t*) override {}
    void SetProgressPos(std::uint32_t) override {}
    void SetWaitText(const char16_t*) override {}
    void AddGroupItem(const char16_t*, const char16_t* itemText) override { items.emplace_back(itemText); }
    void ExpandRoot() override {}
    bool RunPartitionTypeDlg(bool& useExistingPartitionInfo) override
    {
        useExistingPartitionInfo = false;
        return true;
    }
};

} // namespace

ProbeEngineImage::~ProbeEngineImage()
{
    if (!attached)
        return;
    SourceState.vmdkExtent = nullptr;
    SourceState.imageSource = nullptr;
    if (SourceState.deviceIndex < kMaxDevices)
        DeviceGeometry[SourceState.deviceIndex] = {};
}

bool ProbeEngineImage::Open(std::u16string_view path)
{
    refusal.clear();
    DeviceGeometryEntry geometry;
    const ProbeImageKind kind = ImageKindFromPath(path);
    switch (kind) {
    case ProbeImageKind::Vmdk:
        if (!extent.Open(path)) {
            refusal = extent.GetOpenErrorText();
            return false;
        }
        ScanSelection.imageKind = kImageVmdk;
        SourceState.vmdkExtent = &extent;
        geometry = {GeometryValue(extent.cylinders), GeometryValue(extent.heads),
                    GeometryValue(extent.sectors)};
        break;
    case ProbeImageKind::Vhd:
    case ProbeImageKind::Vhdx:
        source.Create(kind == ProbeImageKind::Vhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
        if (!source.Open(path)) {
            refusal = source.GetOpenErrorText();
            return false;
        }
        ScanSelection.imageKind = kind == ProbeImageKind::Vhd ? kImageVhd : kImageVhdx;
        SourceState.imageSource = &source;
        geometry = {source.GetCylinders(), source.GetHeads(), source.GetSectorsPerTrack()};
        break;
    case ProbeImageKind::Unknown:
        refusal = "the file extension is not vmdk, vhd or vhdx";
        return false;
    }
    SourceState.sourceKind = kSourceImage;
    if (SourceState.deviceIndex < kMaxDevices)
        DeviceGeometry[SourceState.deviceIndex] = geometry;
    attached = true;
    return true;
}

void FillProbePartitionTable(bool search, std::vector<std::u16string>* labels)
{
    ParsePartitionTable();
    ProbeDriveStep driveStep;
    if (search) {
        DriveStepUi* const previous = engineUi.driveStep;
        const std::uint32_t previousPause = vhdxProgressPauseMs;
        engineUi.driveStep = &driveStep;
        vhdxProgressPauseMs = 0;
        ScanThreadControl.done = 0;
        SearchPartitions();
        engineUi.driveStep = previous;
        vhdxProgressPauseMs = previousPause;
    } else {
        // Without the search the rows are shown as the search's first step lists them.
        for (std::uint32_t i = 0; i < partitionCount; ++i)
            driveStep.items.push_back(PartitionItemText(i));
    }
    if (labels)
        *labels = std::move(driveStep.items);
}
