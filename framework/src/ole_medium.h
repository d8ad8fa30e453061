// Copies of OLE storage media for the data objects and sources.
#pragma once

#include <ole2.h>

// A new movable global with the bytes of hSource, exactly its size; null when it cannot be read.
HGLOBAL AfxOleCopyGlobal(HGLOBAL hSource);
// A medium the caller may release on its own: globals, GDI objects and metafiles copied, streams
// and storages shared (a stream through a clone of its own seek position, at its start). FALSE for
// media that cannot be copied (files).
BOOL AfxOleCopyStgMedium(CLIPFORMAT cfFormat, const STGMEDIUM& source, LPSTGMEDIUM lpDestination);
// The same, in one of the media of tymedWanted: a global handed over as a stream over a copy of
// it, a stream as a global of its whole contents.
BOOL AfxOleCopyStgMediumAs(CLIPFORMAT cfFormat, const STGMEDIUM& source, DWORD tymedWanted,
                           LPSTGMEDIUM lpDestination);
