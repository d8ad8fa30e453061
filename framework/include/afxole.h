// OLE support: initialisation of the OLE libraries for the thread, data transfer through the OLE
// clipboard and drag and drop, plus automation and shared memory files.
#pragma once

#include <ole2.h>

#include "afx/ole_data_object.h"
#include "afx/ole_drag_drop.h"
#include "afxadv.h"
#include "afxdisp.h"
#include "afxext.h"

// Initialises OLE for the calling thread; FALSE when the libraries cannot be initialised.
BOOL AFXAPI AfxOleInit();
