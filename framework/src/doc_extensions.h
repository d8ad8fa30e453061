// The extensions of a document type's filter field (".a;.b", a leading '*' allowed).
#pragma once

#include <afxwin.h>

#include <vector>

inline std::vector<CString> AfxDocExtensions(const CString& filterExt)
{
    std::vector<CString> extensions;
    int nStart = 0;
    while (nStart <= filterExt.GetLength()) {
        int nEnd = filterExt.Find(L';', nStart);
        if (nEnd < 0)
            nEnd = filterExt.GetLength();
        CString one = filterExt.Mid(nStart, nEnd - nStart);
        one.TrimLeft(L'*');
        if (!one.IsEmpty())
            extensions.push_back(one);
        nStart = nEnd + 1;
    }
    return extensions;
}
