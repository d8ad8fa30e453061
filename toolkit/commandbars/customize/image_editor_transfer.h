// Pictures coming into and leaving the button image editor: an icon or bitmap handed to it, the
// clipboard (CF_BITMAP and the private "DIB32" format with alpha) and picture files. What another
// program put on the clipboard, and any file, is checked before a pixel of it is read; whatever
// fails a check gives null and the editor changes nothing.
#pragma once

#include "image_editor_model.h"

// A picture of the size from an icon (with alpha when its colour image carries any).
std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPictureFromIcon(HICON hIcon, CSize size);
// A picture of the size from a bitmap of at most 2048 x 2048 pixels; bAlpha reads its 32-bit alpha.
std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPictureFromBitmap(HBITMAP hBitmap, BOOL bAlpha,
                                                                              CSize size);
// A picture of the size from a packed 32-bit DIB of cbData bytes (the "DIB32" format): the header,
// optional colour masks and the rows. A picture with partial alpha keeps alpha; otherwise alpha 0
// is transparency.
std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPictureFromDib32(const void* pData, size_t cbData,
                                                                             CSize size);
// The packed DIB of a picture, rows bottom up, straight alpha (transparent pixels alpha 0).
std::vector<BYTE> AFXAPI XTPImageEditorDib32FromPicture(const CXTPImageEditorBitmap& picture);

CLIPFORMAT AFXAPI XTPImageEditorDib32Format();
// CF_BITMAP (transparency painted in the button-face colour) and "DIB32"; FALSE when the
// clipboard cannot be opened.
BOOL AFXAPI XTPImageEditorCopyToClipboard(const CXTPImageEditorBitmap& picture, HWND hWndOwner);
// "DIB32" when offered, else CF_BITMAP; null when neither is there or the data fails its checks.
std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPasteFromClipboard(HWND hWndOwner, CSize size);
// ".ico" and ".bmp" through LoadImage, any other file through OLE's picture loader; null when
// it cannot be loaded.
std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorImportFile(LPCTSTR lpszPath, CSize size);
