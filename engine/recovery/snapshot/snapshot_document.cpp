// What the snapshot writer and reader share: names of modes, columns, default names and extensions.
#include "engine/recovery/snapshot/snapshot_document.h"

#include <cstdio>

#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/snapshot/snapshot_records.h"

namespace {

constexpr ResultColumn kScanColumns[] = {
    {u"File Name", 200},
    {u"Type", 100},
    {u"Size(Bytes)", 100},
    {u"Creation Time (GMT)", 150},
    {u"Modification Time (GMT)", 150},
    {u"ID", 150},
};

constexpr ResultColumn kTraceColumns[] = {
    {u"File Name", 200},
    {u"Type", 100},
    {u"ID", 150},
};

char16_t LowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

} // namespace

std::span<const ResultColumn> SnapshotResultColumns(std::uint32_t scanKind)
{
    if (scanKind == kScanFileTrace)
        return kTraceColumns;
    return kScanColumns;
}

std::u16string SnapshotDefaultName(std::uint32_t scanKind, const std::tm& localTime,
                                   const std::u16string& scanSummary)
{
    const int day = localTime.tm_mday;
    const int month = localTime.tm_mon + 1;
    const int year = localTime.tm_year + 1900;
    char text[64];
    if (scanKind == kScanFileTrace)
        std::snprintf(text, sizeof text, "%02d-%02d-%04d_%02d.%02d.%02d", day, month, year, localTime.tm_hour,
                      localTime.tm_min, localTime.tm_sec);
    else
        std::snprintf(text, sizeof text, "%02d-%02d-%04d_%02d.%02d.%02d", month, day, year, localTime.tm_hour,
                      localTime.tm_min, localTime.tm_sec);
    std::u16string name;
    for (const char* c = text; *c; ++c)
        name += static_cast<char16_t>(*c);
    return name + u"_" + scanSummary;
}

std::u16string WithSnapshotExtension(std::u16string path)
{
    const std::u16string_view extension = kSnapshotExtension;
    bool ends = path.size() >= extension.size();
    for (std::size_t i = 0; ends && i < extension.size(); ++i)
        ends = LowerAscii(path[path.size() - extension.size() + i]) == extension[i];
    if (!ends)
        path += extension;
    return path;
}

char16_t SnapshotModeLetter(std::uint32_t scanKind)
{
    switch (scanKind) {
    case kScanFileTrace:
        return kSnapshotModeTrace;
    case kScanQuick:
        return kSnapshotModeQuick;
    default:
        return kSnapshotModeExtensive;
    }
}

bool SnapshotModeOfLetter(char16_t letter, std::uint32_t& scanKind, std::u16string& modeName)
{
    switch (letter) {
    case kSnapshotModeQuick:
        scanKind = kScanQuick;
        modeName = u"Quick Scan";
        return true;
    case kSnapshotModeExtensive:
        scanKind = kScanExtensive;
        modeName = u"Extensive Scan";
        return true;
    case kSnapshotModeTrace:
        scanKind = kScanFileTrace;
        modeName = u"File Trace";
        return true;
    default:
        return false;
    }
}
