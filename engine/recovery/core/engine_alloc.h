#pragma once

// Heap allocation of the engine's records and texts. Records and texts come from the C heap and go back
// with free(); an allocation that fails is never returned to the caller: the user is told
// "Out of memory, close other applications and run again" and the process ends.

#include <cstddef>
#include <new>

inline constexpr char16_t kOutOfMemoryText[] = u"Out of memory, close other applications and run again";

// Shows the out-of-memory error (message kind 2) and ends the process with exit code 0. Nothing is freed
// or saved first.
[[noreturn]] void ReportOutOfMemory();

// malloc() that never returns null.
void* EngineAlloc(std::size_t size);

// A zero-filled record of a trivial type from the C heap, to be released with free().
template <class Record> Record* AllocateRecord()
{
    return new (EngineAlloc(sizeof(Record))) Record{};
}

std::size_t TextLength(const char16_t* text);
std::size_t TextLength(const char* text);

// Heap copies with their terminator; a null text is copied as the empty text.
char16_t* CopyText(const char16_t* text);
char* CopyText(const char* text);

// Tests make the n-th following allocation fail (0 = the next one); a negative count restores normal
// allocation.
void FailEngineAllocationAfterForTests(long allocationsThatSucceed);
