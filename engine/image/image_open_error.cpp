#include "engine/image/image_open_error.h"

const char* ImageOpenErrorText(ImageOpenError error)
{
    switch (error) {
    case ImageOpenError::None:
        return "";
    case ImageOpenError::NotOpen:
        return "no image is open";
    case ImageOpenError::CannotOpenFile:
        return "the file cannot be opened";
    case ImageOpenError::FileTooSmall:
        return "the file is too small for an image of this kind";
    case ImageOpenError::VmdkBadMagic:
        return "not a VMDK sparse extent (no KDMV magic)";
    case ImageOpenError::VmdkZeroCapacity:
        return "the VMDK capacity is 0";
    case ImageOpenError::VmdkStreamOptimized:
        return "stream-optimized (compressed) VMDK is not supported";
    case ImageOpenError::VmdkBadGrainSize:
        return "the VMDK grain size is not a power of two from 8 sectors to 1 GiB";
    case ImageOpenError::VmdkBadGrainTableSize:
        return "the VMDK grain tables do not hold 512 entries";
    case ImageOpenError::VmdkDirectoryTooLarge:
        return "the VMDK grain directory has more than 16384 entries";
    case ImageOpenError::VmdkDirectoryOutsideFile:
        return "the VMDK grain directory lies outside the file";
    case ImageOpenError::VhdNoFooter:
        return "no VHD footer (conectix) at the end of the file";
    case ImageOpenError::VhdDifferencing:
        return "differencing VHD is not supported (its parent is not read)";
    case ImageOpenError::VhdUnknownDiskType:
        return "the VHD disk type is neither fixed nor dynamic";
    case ImageOpenError::VhdBadDynamicHeader:
        return "the VHD dynamic-disk header is missing or outside the file";
    case ImageOpenError::VhdBadBlockSize:
        return "the VHD block size is not a power of two of at least 512 bytes";
    case ImageOpenError::VhdTableOutsideFile:
        return "the VHD block allocation table lies outside the file";
    case ImageOpenError::VhdTableTooSmall:
        return "the VHD block allocation table does not cover the disk size";
    case ImageOpenError::VhdFixedSizeBeyondFile:
        return "the fixed VHD claims a disk size larger than the file holds";
    case ImageOpenError::VhdxBadSignature:
        return "not a VHDX file (no vhdxfile signature)";
    case ImageOpenError::VhdxNoValidHeader:
        return "neither VHDX header is valid";
    case ImageOpenError::VhdxLogToReplay:
        return "the VHDX has a log to replay (not cleanly closed)";
    case ImageOpenError::VhdxBadRegionTable:
        return "neither VHDX region table is valid";
    case ImageOpenError::VhdxDuplicateRegion:
        return "the VHDX region table lists the BAT or metadata region twice";
    case ImageOpenError::VhdxUnknownRequiredRegion:
        return "the VHDX has a required region of an unknown kind";
    case ImageOpenError::VhdxMissingRegion:
        return "the VHDX has no BAT or no metadata region";
    case ImageOpenError::VhdxRegionOutsideFile:
        return "a VHDX region lies outside the file";
    case ImageOpenError::VhdxBadMetadataTable:
        return "the VHDX metadata table is invalid";
    case ImageOpenError::VhdxMissingMetadataItem:
        return "a required VHDX metadata item is missing";
    case ImageOpenError::VhdxMetadataItemOutsideRegion:
        return "a VHDX metadata item lies outside the metadata region";
    case ImageOpenError::VhdxBadBlockSize:
        return "the VHDX block size is not a power of two from 1 MiB to 256 MiB";
    case ImageOpenError::VhdxBadLogicalSectorSize:
        return "the VHDX logical sector size is neither 512 nor 4096";
    case ImageOpenError::VhdxBadDiskSize:
        return "the VHDX virtual disk size is 0, above 64 TiB or not whole sectors";
    case ImageOpenError::VhdxDifferencing:
        return "differencing VHDX is not supported (its parent is not read)";
    case ImageOpenError::VhdxBatOutsideRegion:
        return "the VHDX BAT entries reach beyond the BAT region";
    case ImageOpenError::UnknownImageKind:
        return "no reader for this image kind";
    }
    return "unknown error";
}
