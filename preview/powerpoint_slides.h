#pragma once

// PowerPoint's export of a presentation's slides as GIF pictures, through its automation (late bound:
// the names are looked up on the objects PowerPoint gives).
#include <afxwin.h>

// Opens the presentation read-only and without a window, saves it as "ssss.gif" in the temporary folder
// (which writes one picture per slide into the folder "ssss" there) and quits PowerPoint. The folder of
// pictures, or an empty text when PowerPoint cannot be created or fails; PowerPoint is quit in both
// cases once it was created.
CString ExportSlidesAsPictures(const CString& strPath);
