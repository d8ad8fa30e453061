#include "engine/recovery/trace/trace_records.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"

namespace {

std::u16string_view BoundedTypeName(const char16_t* typeName)
{
    std::size_t length = 0;
    while (typeName && length < kMaxTypeNameLength && typeName[length])
        ++length;
    return {typeName ? typeName : u"", length};
}

char16_t* CopyTypeName(std::u16string_view typeName)
{
    auto* copy = static_cast<char16_t*>(EngineAlloc((typeName.size() + 1) * sizeof(char16_t)));
    if (!typeName.empty())
        std::memcpy(copy, typeName.data(), typeName.size() * sizeof(char16_t));
    copy[typeName.size()] = 0;
    return copy;
}

// One copy of each type name for all found items: a search names thousands of items by a handful of
// types, and each copy would cost up to half a kilobyte.
class TypeNamePool
{
public:
    char16_t* Share(const char16_t* typeName)
    {
        const std::u16string_view text = BoundedTypeName(typeName);
        const auto found = byText.find(text);
        if (found != byText.end())
            return found->second;
        char16_t* copy = CopyTypeName(text);
        names.push_back(copy);
        byText.emplace(std::u16string_view(copy, text.size()), copy);
        return copy;
    }

    void Free()
    {
        for (char16_t* name : names)
            std::free(name);
        names.clear();
        byText.clear();
    }

private:
    std::vector<char16_t*> names;
    std::unordered_map<std::u16string_view, char16_t*> byText;
};

TypeNamePool& ItemTypeNames()
{
    static TypeNamePool pool;
    return pool;
}

} // namespace

FileSignatureRec* AddFileSignatureRec(const char16_t* extension, const char16_t* typeName,
                                      std::uint32_t signatureLength, const char* signature,
                                      std::uint32_t number)
{
    auto* record = AllocateRecord<FileSignatureRec>();
    record->extension = CopyText(extension);
    record->typeName = CopyTypeName(BoundedTypeName(typeName));
    record->signatureLength = signatureLength;
    record->signature = CopyText(signature);
    record->number = number;
    LinkAtTail(fileSignatureList, record);
    return record;
}

TraceFoundRec* AddTraceFoundRec(const char16_t* fileName, const char16_t* extension, const char16_t* typeName,
                                std::uint32_t entryId, std::uint32_t startSector)
{
    auto* record = AllocateRecord<TraceFoundRec>();
    record->name = CopyText(fileName);
    record->extension = CopyText(extension);
    record->typeName = ItemTypeNames().Share(typeName);
    record->sector = startSector;
    record->number = entryId;
    LinkAtTail(traceFoundList, record);
    return record;
}

void FreeTraceFoundList()
{
    TraceFoundRec* record = traceFoundList.head;
    while (record) {
        TraceFoundRec* next = record->next;
        std::free(record->name);
        std::free(record->extension);
        std::free(record);
        record = next;
    }
    traceFoundList = {};
    ItemTypeNames().Free();
}

void FreeFileSignatureList()
{
    FileSignatureRec* record = fileSignatureList.head;
    while (record) {
        FileSignatureRec* next = record->next;
        std::free(record->extension);
        std::free(record->typeName);
        std::free(record->signature);
        std::free(record);
        record = next;
    }
    fileSignatureList = {};
}

char* BytesToHex(const std::uint8_t* bytes, std::uint32_t count)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    auto* text = static_cast<char*>(EngineAlloc(2 * static_cast<std::size_t>(count) + 1));
    for (std::uint32_t i = 0; i < count; ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    text[2 * static_cast<std::size_t>(count)] = 0;
    return text;
}

char* SwapHexWordBytes(const char* text)
{
    std::size_t length = 0;
    while (text && length < 4 && text[length])
        ++length;
    auto at = [&](std::size_t index) { return index < length ? text[index] : '\0'; };
    auto* swapped = static_cast<char*>(EngineAlloc(5));
    swapped[0] = at(2);
    swapped[1] = at(3);
    swapped[2] = at(0);
    swapped[3] = at(1);
    swapped[4] = 0;
    return swapped;
}
