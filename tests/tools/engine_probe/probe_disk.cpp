#include "engine_probe/probe_disk.h"

ProbeImageKind ImageKindFromPath(std::u16string_view path)
{
    const size_t dot = path.find_last_of(u'.');
    const size_t separator = path.find_last_of(u"/\\");
    if (dot == std::u16string_view::npos || (separator != std::u16string_view::npos && separator > dot))
        return ProbeImageKind::Unknown;
    std::u16string extension(path.substr(dot + 1));
    for (char16_t& c : extension)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    if (extension == u"vmdk")
        return ProbeImageKind::Vmdk;
    if (extension == u"vhd")
        return ProbeImageKind::Vhd;
    if (extension == u"vhdx")
        return ProbeImageKind::Vhdx;
    return ProbeImageKind::Unknown;
}

const char* ImageKindName(ProbeImageKind kind)
{
    switch (kind) {
    case ProbeImageKind::Vmdk:
        return "vmdk";
    case ProbeImageKind::Vhd:
        return "vhd";
    case ProbeImageKind::Vhdx:
        return "vhdx";
    case ProbeImageKind::Unknown:
        break;
    }
    return "unknown";
}

bool ProbeDisk::Open(std::u16string_view path)
{
    kind = ImageKindFromPath(path);
    refusal.clear();
    switch (kind) {
    case ProbeImageKind::Vmdk:
        if (vmdk.Open(path))
            return true;
        refusal = vmdk.GetOpenErrorText();
        return false;
    case ProbeImageKind::Vhd:
    case ProbeImageKind::Vhdx:
        source.Create(kind == ProbeImageKind::Vhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
        if (source.Open(path))
            return true;
        refusal = source.GetOpenErrorText();
        return false;
    case ProbeImageKind::Unknown:
        break;
    }
    refusal = "the file extension is not vmdk, vhd or vhdx";
    return false;
}

uint64_t ProbeDisk::GetSize()
{
    return kind == ProbeImageKind::Vmdk ? vmdk.GetDiskSize() : source.GetDiskSize();
}

uint32_t ProbeDisk::GetCylinders()
{
    return kind == ProbeImageKind::Vmdk ? static_cast<uint32_t>(vmdk.cylinders) : source.GetCylinders();
}

uint32_t ProbeDisk::GetHeads()
{
    return kind == ProbeImageKind::Vmdk ? static_cast<uint32_t>(vmdk.heads) : source.GetHeads();
}

uint32_t ProbeDisk::GetSectorsPerTrack()
{
    return kind == ProbeImageKind::Vmdk ? static_cast<uint32_t>(vmdk.sectors) : source.GetSectorsPerTrack();
}

bool ProbeDisk::Seek(uint64_t offset)
{
    return kind == ProbeImageKind::Vmdk ? vmdk.SeekVirtual(offset) != 0 : source.SeekVirtual(offset) != 0;
}

bool ProbeDisk::Read(void* buffer, uint32_t count)
{
    return kind == ProbeImageKind::Vmdk ? vmdk.Read(buffer, count) != 0 : source.Read(buffer, count) != 0;
}

uint64_t ProbeDisk::GetPosition() const
{
    return kind == ProbeImageKind::Vmdk ? vmdk.GetVirtualPosition() : source.GetVirtualPosition();
}

bool ProbeDisk::StoppedAtFileEnd() const
{
    return kind == ProbeImageKind::Vmdk ? vmdk.ReadStoppedAtFileEnd() : source.ReadStoppedAtFileEnd();
}
