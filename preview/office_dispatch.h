#pragma once

// Thin dispatch drivers for Word and PowerPoint automation: each call is one dispatch ID on the held
// IDispatch. Failures come as the framework's OLE exceptions.
#include <afxdisp.h>

// An omitted optional argument: VT_ERROR with DISP_E_PARAMNOTFOUND.
COleVariant OmittedArgument();

class COfficeDispatch : public COleDispatchDriver
{
public:
    COfficeDispatch() = default;
    explicit COfficeDispatch(LPDISPATCH lpDispatch) : COleDispatchDriver(lpDispatch) {}

    // PowerPoint
    LPDISPATCH GetPresentations();
    void PowerPointQuit();
    LPDISPATCH PresentationsOpen(LPCWSTR pszFileName, long nReadOnly, long nUntitled, long nWithWindow);
    void PresentationSaveAs(LPCWSTR pszFileName, long nFileFormat, long nEmbedTrueTypeFonts);

    // Word
    LPDISPATCH GetDocuments();
    void WordQuit(VARIANT* pSaveChanges, VARIANT* pOriginalFormat, VARIANT* pRouteDocument);
    LPDISPATCH DocumentsAdd(VARIANT* pTemplate, VARIANT* pNewTemplate);
    LPDISPATCH DocumentsOpen(VARIANT* pFileName, VARIANT* pConfirmConversions, VARIANT* pReadOnly,
                             VARIANT* pAddToRecentFiles, VARIANT* pPasswordDocument, VARIANT* pPasswordTemplate,
                             VARIANT* pRevert, VARIANT* pWritePasswordDocument, VARIANT* pWritePasswordTemplate,
                             VARIANT* pFormat);
    void DocumentClose(VARIANT* pSaveChanges, VARIANT* pOriginalFormat, VARIANT* pRouteDocument);
    void DocumentSaveAs(VARIANT* pFileName, VARIANT* pFileFormat, VARIANT* pLockComments, VARIANT* pPassword,
                        VARIANT* pAddToRecentFiles, VARIANT* pWritePassword, VARIANT* pReadOnlyRecommended,
                        VARIANT* pEmbedTrueTypeFonts, VARIANT* pSaveNativePictureFormat,
                        VARIANT* pSaveFormsData, VARIANT* pSaveAsAOCELetter);
};
