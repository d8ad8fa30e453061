#include "engine/recovery/core/engine_alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/platform/platform_io.h"

namespace {

std::atomic<long> allocationsBeforeFailure{-1};

bool InjectedFailure()
{
    long remaining = allocationsBeforeFailure.load();
    while (remaining >= 0) {
        if (allocationsBeforeFailure.compare_exchange_weak(remaining, remaining - 1))
            return remaining == 0;
    }
    return false;
}

} // namespace

void ReportOutOfMemory()
{
    UiMessages().ShowMessage(kMessageError, kOutOfMemoryText);
    PlatformExitProcess(0);
}

void* EngineAlloc(std::size_t size)
{
    void* block = InjectedFailure() ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (!block)
        ReportOutOfMemory();
    return block;
}

std::size_t TextLength(const char16_t* text)
{
    std::size_t length = 0;
    if (text)
        while (text[length])
            ++length;
    return length;
}

std::size_t TextLength(const char* text)
{
    return text ? std::strlen(text) : 0;
}

char16_t* CopyText(const char16_t* text)
{
    const std::size_t length = TextLength(text);
    auto* copy = static_cast<char16_t*>(EngineAlloc((length + 1) * sizeof(char16_t)));
    if (length)
        std::memcpy(copy, text, length * sizeof(char16_t));
    copy[length] = 0;
    return copy;
}

char* CopyText(const char* text)
{
    const std::size_t length = TextLength(text);
    auto* copy = static_cast<char*>(EngineAlloc(length + 1));
    if (length)
        std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

void FailEngineAllocationAfterForTests(long allocationsThatSucceed)
{
    allocationsBeforeFailure.store(allocationsThatSucceed < 0 ? -1 : allocationsThatSucceed);
}
