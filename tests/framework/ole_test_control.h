// The in-process control server the control-hosting tests drive: its classes, its dispatch members
// and what it records of the calls its controls receive.
#pragma once

#include <windows.h>

#include <guiddef.h>

// {6A1D3C50-0B7E-4F43-9D11-3E5C7A0B2F01} and its siblings.
#define TEST_CONTROL_GUID(last)                                                                              \
    {                                                                                                        \
        0x6A1D3C50, 0x0B7E, 0x4F43,                                                                          \
        {                                                                                                    \
            0x9D, 0x11, 0x3E, 0x5C, 0x7A, 0x0B, 0x2F, last                                                   \
        }                                                                                                    \
    }
// A windowed control with IDispatch.
static const CLSID CLSID_TestControl = TEST_CONTROL_GUID(0x01);
// In-place active without a window of its own.
static const CLSID CLSID_TestWindowless = TEST_CONTROL_GUID(0x02);
// A windowed control without IDispatch.
static const CLSID CLSID_TestNoDispatch = TEST_CONTROL_GUID(0x03);
// Created only with the licence key (IClassFactory2).
static const CLSID CLSID_TestLicensed = TEST_CONTROL_GUID(0x04);
// Persists through IPersistStorage only.
static const CLSID CLSID_TestStorageOnly = TEST_CONTROL_GUID(0x05);
#define TEST_CONTROL_PROGID L"FrameworkTest.Control"
#define TEST_CONTROL_LICENCE_KEY L"framework-test-licence"

// Dispatch members of the test control.
#define TEST_DISPID_OPEN 207      // method (BSTR path) -> BOOL TRUE, records the path
#define TEST_DISPID_TEXT 1        // BSTR property (also what the control paints)
#define TEST_DISPID_NUMBER 10     // I4 property
#define TEST_DISPID_RAISE 300     // method that raises an exception (DISP_E_EXCEPTION)
#define TEST_DISPID_ARGUMENTS 301 // method recording its arguments; sets a by-reference VARIANT to 77
#define TEST_DISPID_SELF 302      // property get -> the control's own IDispatch
#define TEST_RAISE_SCODE 0x80040201L
#define TEST_RAISE_SOURCE L"FrameworkTest.Control"
#define TEST_RAISE_DESCRIPTION L"The file could not be opened."

// Keys the control's TranslateAccelerator takes (S_OK); others go on to its window.
#define TEST_CONTROL_ACCELERATOR VK_F2

struct TestControlRecord
{
    LONG nObjects; // live control objects
    LONG nInvokes; // dispatch calls that reached a control
    wchar_t szLastPath[260];
    // Ambient properties read when the client site was set.
    BOOL bAmbientUserMode;
    BOOL bAmbientUIDead;
    BOOL bAmbientFont;
    LONG nAmbientBackColor;
    // The life cycle of the last control.
    BOOL bClientSiteSet;
    BOOL bInitNew;        // IPersistStreamInit::InitNew
    BOOL bStorageInitNew; // IPersistStorage::InitNew
    int nInPlaceDeactivates;
    int nClosesNoSave;
    BOOL bClientSiteCleared;
    RECT rcLastObjectRects; // SetObjectRects' position
    int nObjectRects;
    SIZEL sizeExtent;    // the last SetExtent
    int nAccelerators;   // TranslateAccelerator calls with WM_KEYDOWN
    int nWindowKeyDowns; // WM_KEYDOWN that reached the control's window
    // The arguments of TEST_DISPID_ARGUMENTS, left to right.
    int nArguments;
    VARTYPE argTypes[8];
    double argValues[8];   // numbers as they came
    wchar_t szArgText[64]; // the first BSTR argument
};

typedef TestControlRecord*(WINAPI* PFN_TEST_CONTROL_RECORD)();
