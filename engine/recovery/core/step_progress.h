#pragma once

#include <cstdint>

#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"

// The progress bar of the file-system step's panel, moved only when its percentage changes. Shared
// by the FAT and NTFS steps; each step puts the bar back to the start where its panel expects it.
class StepProgress
{
public:
    void Start()
    {
        shown = 0;
        UiFileSystemStep().SetProgressPos(0);
    }
    void Show(std::uint64_t done, std::uint64_t total)
    {
        const std::uint32_t percent = ProgressPercent(done, total);
        if (percent != shown) {
            shown = percent;
            UiFileSystemStep().SetProgressPos(percent);
        }
    }

private:
    std::uint32_t shown = 0;
};
