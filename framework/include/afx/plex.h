// CPlex: the chain of blocks that lists and maps carve their nodes from, nBlockSize nodes at a time.
#pragma once

#include <cstddef>
#include <new>

#include "afx/base_types.h"

struct alignas(8) CPlex
{
    CPlex* pNext;

    void* data() { return this + 1; }

    // Adds a block of nMax elements of cbElement bytes in front of the chain.
    static CPlex* PASCAL Create(CPlex*& pHead, size_t nMax, size_t cbElement);
    void FreeDataChain();
};
