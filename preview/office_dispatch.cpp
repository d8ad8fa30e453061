#include "office_dispatch.h"

COleVariant OmittedArgument()
{
    COleVariant omitted;
    V_VT(&omitted) = VT_ERROR;
    V_ERROR(&omitted) = DISP_E_PARAMNOTFOUND;
    return omitted;
}

LPDISPATCH COfficeDispatch::GetPresentations()
{
    LPDISPATCH result = NULL;
    InvokeHelper(2001, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, VTS_NONE);
    return result;
}

void COfficeDispatch::PowerPointQuit()
{
    InvokeHelper(2021, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE);
}

LPDISPATCH COfficeDispatch::PresentationsOpen(LPCWSTR pszFileName, long nReadOnly, long nUntitled, long nWithWindow)
{
    LPDISPATCH result = NULL;
    InvokeHelper(2004, DISPATCH_METHOD, VT_DISPATCH, &result, VTS_BSTR VTS_I4 VTS_I4 VTS_I4, pszFileName,
                 nReadOnly, nUntitled, nWithWindow);
    return result;
}

void COfficeDispatch::PresentationSaveAs(LPCWSTR pszFileName, long nFileFormat, long nEmbedTrueTypeFonts)
{
    InvokeHelper(2036, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_BSTR VTS_I4 VTS_I4, pszFileName, nFileFormat,
                 nEmbedTrueTypeFonts);
}

LPDISPATCH COfficeDispatch::GetDocuments()
{
    LPDISPATCH result = NULL;
    InvokeHelper(6, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, VTS_NONE);
    return result;
}

void COfficeDispatch::WordQuit(VARIANT* pSaveChanges, VARIANT* pOriginalFormat, VARIANT* pRouteDocument)
{
    InvokeHelper(1105, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT, pSaveChanges,
                 pOriginalFormat, pRouteDocument);
}

LPDISPATCH COfficeDispatch::DocumentsAdd(VARIANT* pTemplate, VARIANT* pNewTemplate)
{
    LPDISPATCH result = NULL;
    InvokeHelper(11, DISPATCH_METHOD, VT_DISPATCH, &result, VTS_PVARIANT VTS_PVARIANT, pTemplate, pNewTemplate);
    return result;
}

LPDISPATCH COfficeDispatch::DocumentsOpen(VARIANT* pFileName, VARIANT* pConfirmConversions, VARIANT* pReadOnly,
                                          VARIANT* pAddToRecentFiles, VARIANT* pPasswordDocument,
                                          VARIANT* pPasswordTemplate, VARIANT* pRevert,
                                          VARIANT* pWritePasswordDocument, VARIANT* pWritePasswordTemplate,
                                          VARIANT* pFormat)
{
    LPDISPATCH result = NULL;
    InvokeHelper(12, DISPATCH_METHOD, VT_DISPATCH, &result,
                 VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT
                     VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT,
                 pFileName, pConfirmConversions, pReadOnly, pAddToRecentFiles, pPasswordDocument, pPasswordTemplate,
                 pRevert, pWritePasswordDocument, pWritePasswordTemplate, pFormat);
    return result;
}

void COfficeDispatch::DocumentClose(VARIANT* pSaveChanges, VARIANT* pOriginalFormat, VARIANT* pRouteDocument)
{
    InvokeHelper(1105, DISPATCH_METHOD, VT_EMPTY, NULL, VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT, pSaveChanges,
                 pOriginalFormat, pRouteDocument);
}

void COfficeDispatch::DocumentSaveAs(VARIANT* pFileName, VARIANT* pFileFormat, VARIANT* pLockComments,
                                     VARIANT* pPassword, VARIANT* pAddToRecentFiles, VARIANT* pWritePassword,
                                     VARIANT* pReadOnlyRecommended, VARIANT* pEmbedTrueTypeFonts,
                                     VARIANT* pSaveNativePictureFormat, VARIANT* pSaveFormsData,
                                     VARIANT* pSaveAsAOCELetter)
{
    InvokeHelper(102, DISPATCH_METHOD, VT_EMPTY, NULL,
                 VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT
                     VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT,
                 pFileName, pFileFormat, pLockComments, pPassword, pAddToRecentFiles, pWritePassword,
                 pReadOnlyRecommended, pEmbedTrueTypeFonts, pSaveNativePictureFormat, pSaveFormsData,
                 pSaveAsAOCELetter);
}
