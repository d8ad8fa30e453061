// Advanced file helpers: CSharedFile, a memory file in movable global memory (clipboard and OLE data).
#pragma once

#include "afx.h"
#include "afx/recent_file_list.h"

class CSharedFile : public CMemFile
{
    DECLARE_DYNAMIC(CSharedFile)
public:
    explicit CSharedFile(UINT nAllocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT nGrowBytes = 4096);
    ~CSharedFile() override;

    // Reads or writes the caller's block. The file never frees it; with bAllowGrow it may
    // reallocate it when writing past its end, and Detach hands back the current handle.
    void SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow = TRUE);
    // Hands the global block (unlocked) to the caller and empties the file.
    HGLOBAL Detach();

    void Close() override;
    void Abort() override;

protected:
    BYTE* Alloc(SIZE_T nBytes) override;
    BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes) override;
    void Free(BYTE* lpMem) override;

    UINT m_nAllocFlags;
    HGLOBAL m_hGlobalMemory;
    BOOL m_bAllowGrow;
};
