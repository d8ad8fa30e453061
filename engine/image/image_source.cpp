#include "engine/image/image_source.h"

#include "engine/image/vhd_image.h"
#include "engine/image/vhdx_image.h"

CImageSource::CImageSource() : kind(kKindNone), cylinders(0), heads(0) {}

CImageSource::~CImageSource()
{
    if (vhdx)
        vhdx->Close();
    vhdx.reset();
    vhd.reset();
}

void* CImageSource::Create(uint32_t kindValue)
{
    kind = kindValue;
    if (kindValue == kKindVhd) {
        if (vhd)
            vhd->Close();
        vhd = std::make_unique<CVhdImage>();
        return vhd.get();
    }
    if (kindValue == kKindVhdx) {
        if (vhdx)
            vhdx->Close();
        vhdx = std::make_unique<CVhdxImage>();
        return vhdx.get();
    }
    return nullptr;
}

int CImageSource::Open(std::u16string_view path)
{
    if (kind == kKindVhd && vhd)
        return vhd->Open(path);
    if (kind == kKindVhdx && vhdx)
        return vhdx->Open(path);
    return 0;
}

int CImageSource::SeekVirtual(uint64_t virtualOffset)
{
    if (kind == kKindVhd && vhd)
        return vhd->SeekVirtual(virtualOffset);
    if (kind == kKindVhdx && vhdx)
        return vhdx->SeekVirtual(virtualOffset);
    return 0;
}

int CImageSource::Read(void* buffer, uint32_t count)
{
    if (kind == kKindVhd && vhd)
        return vhd->Read(buffer, count);
    if (kind == kKindVhdx && vhdx)
        return vhdx->Read(buffer, count);
    return 0;
}

uint64_t CImageSource::GetVirtualPosition() const
{
    if (kind == kKindVhd && vhd)
        return vhd->GetVirtualPosition();
    if (kind == kKindVhdx && vhdx)
        return vhdx->GetVirtualPosition();
    return 0;
}

bool CImageSource::ReadStoppedAtFileEnd() const
{
    if (kind == kKindVhd && vhd)
        return vhd->ReadStoppedAtFileEnd();
    if (kind == kKindVhdx && vhdx)
        return vhdx->ReadStoppedAtFileEnd();
    return false;
}

int CImageSource::Close()
{
    if (kind == kKindVhd && vhd)
        return vhd->Close();
    if (kind == kKindVhdx && vhdx) {
        vhdx->Close();
        return 1;
    }
    return 0;
}

uint32_t CImageSource::GetCylinders()
{
    if (kind == kKindVhd && vhd)
        cylinders = vhd->cylinders;
    return cylinders;
}

uint32_t CImageSource::GetHeads()
{
    if (kind == kKindVhd && vhd)
        heads = vhd->heads;
    return heads;
}

uint32_t CImageSource::GetSectorsPerTrack()
{
    return kind == kKindVhd && vhd ? vhd->sectorsPerTrack : 0;
}

uint64_t CImageSource::GetDiskSize()
{
    if (kind == kKindVhd && vhd)
        return vhd->GetDiskSize();
    if (kind == kKindVhdx && vhdx)
        return vhdx->GetDiskSize();
    return 0;
}

std::u16string CImageSource::GetDiskTypeName()
{
    return kind == kKindVhdx && vhdx ? vhdx->GetDiskTypeName() : std::u16string();
}

uint32_t CImageSource::GetDataBlockCount()
{
    return kind == kKindVhdx && vhdx ? vhdx->GetDataBlockCount() : 0;
}

uint32_t CImageSource::GetBatEntryCount()
{
    return kind == kKindVhdx && vhdx ? vhdx->GetBatEntryCount() : 0;
}

ImageOpenError CImageSource::GetOpenError() const
{
    if (kind == kKindVhd && vhd)
        return vhd->GetOpenError();
    if (kind == kKindVhdx && vhdx)
        return vhdx->GetOpenError();
    return ImageOpenError::UnknownImageKind;
}
