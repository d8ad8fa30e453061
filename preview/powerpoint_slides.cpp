#include "powerpoint_slides.h"

#include <afxdisp.h>

namespace {

// PowerPoint's file format for one GIF picture per slide.
constexpr int kSaveAsGif = 16;

DISPID DispatchId(const COleDispatchDriver& object, const wchar_t* name)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (object.m_lpDispatch == NULL ||
        FAILED(object.m_lpDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        AfxThrowOleDispatchException(0, name);
    return id;
}

} // namespace

CString ExportSlidesAsPictures(const CString& strPath)
{
    COleDispatchDriver application;
    if (!application.CreateDispatch(L"PowerPoint.Application"))
        return CString();
    CString strFolder;
    try {
        COleDispatchDriver presentations;
        LPDISPATCH pDispatch = NULL;
        application.GetProperty(DispatchId(application, L"Presentations"), VT_DISPATCH, &pDispatch);
        presentations.AttachDispatch(pDispatch);
        COleDispatchDriver presentation;
        pDispatch = NULL;
        presentations.InvokeHelper(DispatchId(presentations, L"Open"), DISPATCH_METHOD, VT_DISPATCH,
                                   &pDispatch, VTS_BSTR VTS_I4 VTS_I4 VTS_I4, static_cast<LPCTSTR>(strPath),
                                   1, 1, 0);
        presentation.AttachDispatch(pDispatch);
        wchar_t temporary[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathW(256, temporary);
        if (length == 0 || length > 255)
            AfxThrowOleDispatchException(0, L"GetTempPath");
        const CString strTemporary(temporary);
        presentation.InvokeHelper(DispatchId(presentation, L"SaveAs"), DISPATCH_METHOD, VT_EMPTY, NULL,
                                  VTS_BSTR VTS_I4 VTS_I4, static_cast<LPCTSTR>(strTemporary + L"ssss.gif"),
                                  kSaveAsGif, 0);
        strFolder = strTemporary + L"ssss";
    } catch (CException* pException) {
        pException->Delete();
        strFolder.Empty();
    }
    try {
        application.InvokeHelper(DispatchId(application, L"Quit"), DISPATCH_METHOD, VT_EMPTY, NULL, VTS_NONE);
    } catch (CException* pException) {
        pException->Delete();
    }
    return strFolder;
}
