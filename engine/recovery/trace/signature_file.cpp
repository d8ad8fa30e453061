#include "engine/recovery/trace/signature_file.h"

#include <algorithm>

#include "engine/image/byte_order.h"
#include "engine/recovery/platform/platform_io.h"

namespace {

// Takes one length-prefixed field at `offset`; false when the length or the field passes the end.
bool TakeField(const std::uint8_t* bytes, std::size_t size, std::size_t& offset, std::string& field)
{
    if (size - offset < kSignatureFieldLengthSize)
        return false;
    const std::size_t length = ReadLittleEndian16(bytes, offset);
    offset += kSignatureFieldLengthSize;
    if (size - offset < length)
        return false;
    field.assign(reinterpret_cast<const char*>(bytes + offset), length);
    offset += length;
    return true;
}

// Leading decimal digits as a number, held to `limit`.
std::uint64_t LeadingDecimal(const std::string& text, std::uint64_t limit)
{
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), limit);
    }
    return value;
}

} // namespace

SignatureFileContents ParseSignatureFile(const std::uint8_t* bytes, std::size_t size)
{
    SignatureFileContents contents;
    std::size_t offset = 0;
    while (offset < size) {
        SignatureFileRecord record;
        std::size_t at = offset + kSignatureRecordFieldsOffset;
        if (size - offset < kSignatureRecordFieldsOffset || !TakeField(bytes, size, at, record.extension) ||
            !TakeField(bytes, size, at, record.typeName) ||
            !TakeField(bytes, size, at, record.compareLengthText) ||
            !TakeField(bytes, size, at, record.signature) || !TakeField(bytes, size, at, record.lastField)) {
            contents.complete = false;
            break;
        }
        record.recordNumber = static_cast<std::uint32_t>(contents.records.size());
        record.category = static_cast<char>(bytes[offset + kSignatureRecordCategoryOffset]);
        contents.records.push_back(std::move(record));
        offset = at;
    }
    return contents;
}

SignatureFileContents ReadSignatureFile(const char16_t* path)
{
    SignatureFileContents none;
    const PlatformHandle handle = PlatformOpenForRead(path, ReadShare::ReadOnly);
    if (!IsUsableHandle(handle))
        return none;
    std::vector<std::uint8_t> bytes;
    std::uint8_t piece[16384];
    std::uint32_t got = 0;
    bool ok = true;
    while ((ok = PlatformRead(handle, piece, sizeof piece, &got)) && got > 0) {
        if (bytes.size() + got > kMaxSignatureFileBytes) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), piece, piece + got);
    }
    PlatformCloseHandle(handle);
    if (!ok)
        return none;
    return ParseSignatureFile(bytes.data(), bytes.size());
}

const char16_t* SignatureCategoryName(char category)
{
    static const char16_t* const kNames[] = {
        u"Archive Files", u"Document Files", u"Database Files", u"E-mail Files", u"Graphics Files",
        u"Sound Files",   u"Media Files",    u"Internet Files", u"CAD Files",
    };
    if (category >= '0' && category <= '8')
        return kNames[category - '0'];
    return u"Other Files";
}

std::u16string SignatureText(const std::string& text)
{
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return wide;
}

std::string SignatureHex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 0x0F]);
    }
    return hex;
}

std::string SignaturePatternHex(const SignatureFileRecord& record)
{
    const std::size_t length = SignatureCompareLength(record);
    std::string hex = SignatureHex(record.signature.substr(0, length));
    if (record.signature.size() >= 2 * length) {
        const std::string mask = SignatureHex(record.signature.substr(length, length));
        for (std::size_t digit = 0; digit < hex.size(); ++digit) {
            if (mask[digit] == '0')
                hex[digit] = '?';
        }
    }
    return hex;
}

std::uint32_t SignatureCompareLength(const SignatureFileRecord& record)
{
    const std::uint64_t asked = LeadingDecimal(record.compareLengthText, kMaxSignatureCompareLength);
    const std::uint64_t length = std::clamp<std::uint64_t>(asked, 1, kMaxSignatureCompareLength);
    // A signature shorter than its compare length could never match; it is compared on what it has.
    const std::uint64_t own = std::max<std::size_t>(record.signature.size(), 1);
    return static_cast<std::uint32_t>(std::min(length, own));
}

std::uint32_t SignatureLastValue(const SignatureFileRecord& record)
{
    return static_cast<std::uint32_t>(LeadingDecimal(SignatureHex(record.lastField), UINT32_MAX));
}

FileSignatureRec* AddSignatureFromRecord(const SignatureFileRecord& record)
{
    const std::uint32_t length = SignatureCompareLength(record);
    const std::string hex = SignaturePatternHex(record);
    const std::u16string extension = SignatureText(record.extension);
    const std::u16string typeName = SignatureText(record.typeName);
    return AddFileSignatureRec(extension.c_str(), typeName.c_str(), length, hex.c_str(),
                               SignatureLastValue(record));
}
