#include "engine/recovery/trace/file_trace_scan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/scans/quick_scan.h"
#include "engine/recovery/trace/office_naming.h"
#include "engine/recovery/trace/trace_records.h"

namespace {

constexpr std::uint32_t kSectorsPerBatch = 64;
// The leading bytes of a sector that a signature may compare.
constexpr std::uint32_t kSignatureWindow = 15;

// A chosen signature in the form the search compares: its bytes, decoded once.
struct PreparedSignature
{
    const FileSignatureRec* record = nullptr;
    std::uint8_t bytes[kSignatureWindow] = {};
    // The bits of each byte that are compared: a "?" digit of the text leaves its four out.
    std::uint8_t mask[kSignatureWindow] = {};
    std::uint32_t length = 0;
    // ".doc" and ".docx" items are named by the application that wrote them.
    bool office = false;
};

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char16_t FoldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

std::u16string_view TextOf(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

// A sector matches when its first bytes, written as hexadecimal, equal the record's text without regard
// to case, a "?" of the text standing for any digit. So the text must hold exactly two digits per
// compared byte; any other text matches nothing, and is left out here.
bool PrepareSignature(const FileSignatureRec& record, PreparedSignature& prepared)
{
    prepared.record = &record;
    prepared.length = std::clamp<std::uint32_t>(record.signatureLength, 1, kSignatureWindow);
    const char* text = record.signature ? record.signature : "";
    if (std::strlen(text) != 2 * std::size_t{prepared.length})
        return false;
    for (std::uint32_t i = 0; i < prepared.length; ++i) {
        const char highDigit = text[2 * i];
        const char lowDigit = text[2 * i + 1];
        const int high = highDigit == '?' ? 0 : HexDigitValue(highDigit);
        const int low = lowDigit == '?' ? 0 : HexDigitValue(lowDigit);
        if (high < 0 || low < 0)
            return false;
        prepared.bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
        prepared.mask[i] =
            static_cast<std::uint8_t>((highDigit == '?' ? 0x00 : 0xF0) | (lowDigit == '?' ? 0x00 : 0x0F));
    }
    const std::u16string_view extension = TextOf(record.extension);
    prepared.office = SameIgnoringCase(extension, u".doc") || SameIgnoringCase(extension, u".docx");
    return true;
}

std::vector<PreparedSignature> PrepareSignatures()
{
    std::vector<PreparedSignature> prepared;
    for (const FileSignatureRec* record = fileSignatureList.head; record; record = record->next) {
        PreparedSignature signature;
        if (PrepareSignature(*record, signature))
            prepared.push_back(signature);
    }
    return prepared;
}

// The first signature in the user's order that the sector begins with.
const PreparedSignature* FirstMatch(const std::vector<PreparedSignature>& signatures,
                                    const std::uint8_t* sector)
{
    for (const PreparedSignature& signature : signatures) {
        std::uint32_t i = 0;
        while (i < signature.length && (sector[i] & signature.mask[i]) == signature.bytes[i])
            ++i;
        if (i == signature.length)
            return &signature;
    }
    return nullptr;
}

bool IsChosenExtension(std::u16string_view extension)
{
    for (const FileSignatureRec* record = fileSignatureList.head; record; record = record->next) {
        if (SameIgnoringCase(TextOf(record->extension), extension))
            return true;
    }
    return false;
}

// The first item keeps its signature's extension; a later compound document takes the extension that
// its application gives, when the user chose a type of that extension.
std::u16string ItemExtension(const PreparedSignature& match, std::uint64_t sector)
{
    const std::u16string signatureExtension(TextOf(match.record->extension));
    if (!traceFoundList.head || !match.office)
        return signatureExtension;
    const std::u16string named = GetOfficeExtension(sector);
    if (!named.empty() && IsChosenExtension(named))
        return named;
    return signatureExtension;
}

bool StopRequested()
{
    return ScanThreadControl.done.load() != 0;
}

void AddFoundItem(const PreparedSignature& match, std::uint64_t sector, std::uint32_t number)
{
    const std::u16string extension = ItemExtension(match, sector);
    const std::u16string name = DecimalText(number) + extension;
    AddTraceFoundRec(name.c_str(), extension.c_str(), match.record->typeName, number,
                     static_cast<std::uint32_t>(sector));
    // The counters follow the list: one more item, and the entries counter keeps up from the second on.
    ++fileCount;
    if (number > 1)
        folderCount = fileCount;
    if (ScanDetailsShown.load()) {
        UiScanPanel().SetLabelText(ScanPanelLabel::FileCount, DecimalText(number).c_str());
        UiScanPanel().SetLabelText(ScanPanelLabel::LastName, name.c_str());
    }
}

} // namespace

std::uint32_t TraceFoundItemLimit = kTraceFoundItemLimit;

void FileTraceSearch()
{
    FreeTraceFoundList();
    fileCount = 0;
    folderCount = 0;

    const std::vector<PreparedSignature> signatures = PrepareSignatures();
    const std::uint64_t first = VolumeParams.rangeStart;
    const std::uint64_t last = VolumeParams.rangeEnd;
    const std::uint64_t total = last >= first ? last - first + 1 : 0;
    std::vector<std::uint8_t> batch(std::size_t{kSectorsPerBatch} * kSectorSize);
    std::uint32_t matchNumber = 0;
    std::uint32_t shownPercent = UINT32_MAX;
    std::uint64_t current = first;
    bool full = false;

    // With no usable signature nothing can be found; the range is not read for nothing.
    while (!signatures.empty() && current <= last && !full && !StopRequested()) {
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kSectorsPerBatch, last - current + 1));
        ReadSectors(0, static_cast<std::uint32_t>(current), static_cast<std::uint32_t>(current >> 32), count,
                    batch.data());
        if (ScanDetailsShown.load()) {
            const std::u16string sectorText = DecimalText(current);
            UiScanPanel().SetLabelText(ScanPanelLabel::CurrentSector, sectorText.c_str());
            UiScanPanel().SetLabelText(ScanPanelLabel::BootSectorCount, u"0");
            UiScanPanel().SetStatusText(
                (u"Reading Sector " + sectorText + u" Of " + DecimalText(last)).c_str());
        }
        for (std::uint32_t i = 0; i < count && !full && !StopRequested(); ++i, ++current) {
            const std::uint32_t percent = ProgressPercent(current - first, total);
            if (percent != shownPercent) {
                UiScanPanel().SetProgressPos(percent);
                shownPercent = percent;
            }
            const PreparedSignature* match =
                FirstMatch(signatures, batch.data() + std::size_t{i} * kSectorSize);
            if (match) {
                AddFoundItem(*match, current, ++matchNumber);
                full = matchNumber >= TraceFoundItemLimit;
            }
        }
    }
    if (full)
        UiMessages().ShowMessage(kMessageInformation, kTraceFoundLimitText);
    BuildScanResultTree(
        u"Please wait creating tree",
        [](RecoveryTreeUi& tree, TreeItemValue root) { tree.AddTraceTypeItems(root, u"Root"); },
        ListTraceTypeFolders);
}

std::uint32_t FileTraceScanThread()
{
    ForgetReadsPastImageEnd();
    // The listing asks the shell for icons and type names from this worker thread.
    const PlatformComScope com;
    if (SourceState.sourceKind == kSourceLogicalVolume) {
        const char16_t* driveEntry = VolumeParams.driveIndex < kMaxDriveEntries
                                         ? DriveEntryTable.entries[VolumeParams.driveIndex]
                                         : u"";
        // A volume that cannot be read has no parameters to find; the step is given back to the user
        // rather than left waiting for a worker that has ended.
        if (!IsUsableHandle(OpenLogicalVolume(driveEntry)))
            return ReportPartitionParamsMissing();
    }
    if (!FindScanPartitionParams())
        return 0;

    UiScanPanel().SetCounterLabels();
    UiScanPanel().SetStatusText(u"Please wait, Searching for Data...");
    FileTraceSearch();
    ScanThreadControl.running = 0;
    ScanThreadControl.done = 1;
    return 1;
}
