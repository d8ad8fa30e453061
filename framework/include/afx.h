// Core of the application framework: object model, diagnostics, exceptions, strings, files,
// archives and time. Every other afx*.h header includes this one.
#pragma once

#ifndef UNICODE
#error "The framework is built for UTF-16 text only: define UNICODE and _UNICODE."
#endif

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <tchar.h>

// winbase.h maps GetCurrentTime() to GetTickCount(); CTime and COleDateTime have a member of that name.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

#include "afx/archive.h"
#include "afx/base_types.h"
#include "afx/cstring.h"
#include "afx/diagnostics.h"
#include "afx/exceptions.h"
#include "afx/files.h"
#include "afx/object_model.h"
#include "afx/times.h"
