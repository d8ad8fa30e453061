#pragma once

// Why a reader refused an image. The readers keep the first reason they met so that the caller can
// tell the user more than "cannot open"; the texts are stable and plain ASCII.
enum class ImageOpenError
{
    None,
    NotOpen,
    CannotOpenFile,
    FileTooSmall,

    VmdkBadMagic,
    VmdkZeroCapacity,
    VmdkStreamOptimized,
    VmdkBadGrainSize,
    VmdkBadGrainTableSize,
    VmdkDirectoryTooLarge,
    VmdkDirectoryOutsideFile,

    VhdNoFooter,
    VhdDifferencing,
    VhdUnknownDiskType,
    VhdBadDynamicHeader,
    VhdBadBlockSize,
    VhdTableOutsideFile,
    VhdTableTooSmall,
    VhdFixedSizeBeyondFile,

    VhdxBadSignature,
    VhdxNoValidHeader,
    VhdxLogToReplay,
    VhdxBadRegionTable,
    VhdxDuplicateRegion,
    VhdxUnknownRequiredRegion,
    VhdxMissingRegion,
    VhdxRegionOutsideFile,
    VhdxBadMetadataTable,
    VhdxMissingMetadataItem,
    VhdxMetadataItemOutsideRegion,
    VhdxBadBlockSize,
    VhdxBadLogicalSectorSize,
    VhdxBadDiskSize,
    VhdxDifferencing,
    VhdxBatOutsideRegion,

    UnknownImageKind,
};

const char* ImageOpenErrorText(ImageOpenError error);
