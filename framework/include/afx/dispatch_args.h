// The typed argument list behind InvokeHelper and SetProperty. As with CString::Format, every
// argument is captured with its own type, so the parameter string (VTS_ codes) is checked against
// the arguments actually given, in number and kind, before anything is called: a wrong parameter
// string throws COleException instead of reading what was never passed.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstddef>
#include <type_traits>

#include "afx/format_args.h"

// Parameter codes: one byte per argument, concatenated ("VTS_BSTR VTS_I4"). The code is the
// argument's VARTYPE; VTS_PVARIANT passes a VARIANT* by reference.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_CY "\x06"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_PVARIANT "\x4C"
// The by-reference bit of a parameter code.
#define VT_MFCBYREF 0x40

namespace afx_dispatch {

enum class ArgKind
{
    Integer,
    Floating,
    Text,
    Dispatch,
    Unknown,
    ConstVariant, // const VARIANT*: by value only
    Variant,      // VARIANT*: by value or by reference
    Currency,
};

struct DispArg
{
    ArgKind kind;
    union {
        long long asInteger;
        double asFloating;
        const wchar_t* asText;
        IDispatch* asDispatch;
        IUnknown* asUnknown;
        const VARIANT* asConstVariant;
        VARIANT* asVariant;
        CY asCurrency;
    };
    int nTextLength = -1; // length of asText when known (a CString may hold embedded zeros)
};

template <class T> DispArg MakeDispArg(const T& value)
{
    using Decayed = std::remove_cv_t<std::decay_t<T>>;
    DispArg arg{};
    if constexpr (afx_format::WideTextLike<Decayed>) {
        arg.kind = ArgKind::Text;
        arg.asText = value.GetString();
        arg.nTextLength = value.GetLength();
    } else if constexpr (std::is_same_v<Decayed, wchar_t*> || std::is_same_v<Decayed, const wchar_t*>) {
        arg.kind = ArgKind::Text;
        arg.asText = value;
    } else if constexpr (std::is_null_pointer_v<Decayed>) {
        arg.kind = ArgKind::Dispatch; // a null interface
        arg.asDispatch = NULL;
    } else if constexpr (std::is_convertible_v<Decayed, IDispatch*>) {
        arg.kind = ArgKind::Dispatch;
        arg.asDispatch = value;
    } else if constexpr (std::is_convertible_v<Decayed, VARIANT*>) {
        arg.kind = ArgKind::Variant;
        arg.asVariant = value;
    } else if constexpr (std::is_convertible_v<Decayed, const VARIANT*>) {
        arg.kind = ArgKind::ConstVariant;
        arg.asConstVariant = value;
    } else if constexpr (std::is_convertible_v<Decayed, IUnknown*>) {
        arg.kind = ArgKind::Unknown;
        arg.asUnknown = value;
    } else if constexpr (std::is_same_v<Decayed, CY>) {
        arg.kind = ArgKind::Currency;
        arg.asCurrency = value;
    } else if constexpr (std::is_same_v<Decayed, bool>) {
        arg.kind = ArgKind::Integer;
        arg.asInteger = value ? 1 : 0;
    } else if constexpr (std::is_enum_v<Decayed>) {
        return MakeDispArg(static_cast<std::underlying_type_t<Decayed>>(value));
    } else if constexpr (std::is_integral_v<Decayed>) {
        arg.kind = ArgKind::Integer;
        arg.asInteger = static_cast<long long>(value);
    } else if constexpr (std::is_floating_point_v<Decayed>) {
        arg.kind = ArgKind::Floating;
        arg.asFloating = static_cast<double>(value);
    } else {
        static_assert(sizeof(Decayed) == 0, "this type cannot be a dispatch argument");
    }
    return arg;
}

// The parameter string as given: VTS_ codes (a char string), a BYTE array, or NULL for none.
inline const BYTE* ParamInfoOf(const BYTE* pbParamInfo)
{
    return pbParamInfo;
}
inline const BYTE* ParamInfoOf(const char* pszParamInfo)
{
    return reinterpret_cast<const BYTE*>(pszParamInfo);
}
template <class T> const BYTE* ParamInfoOf(T)
{
    static_assert(std::is_integral_v<T> || std::is_null_pointer_v<T>, "parameters are a VTS_ string or NULL");
    return NULL;
}

// Calls the member of pDispatch: checks the arguments against the parameter string, passes them
// right to left (a property put as the named DISPID_PROPERTYPUT argument), converts the result to
// vtRet into pvRet. Throws COleException (also for a null pDispatch: E_NOINTERFACE) or
// COleDispatchException (the member raised an exception). Defined in ole_dispatch.cpp.
void Invoke(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
            const BYTE* pbParamInfo, const DispArg* pArgs, std::size_t nArgs);

template <class... Args>
void InvokeTyped(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                 const BYTE* pbParamInfo, const Args&... args)
{
    if constexpr (sizeof...(Args) == 0) {
        Invoke(pDispatch, dwDispID, wFlags, vtRet, pvRet, pbParamInfo, NULL, 0);
    } else {
        const DispArg captured[] = {MakeDispArg(args)...};
        Invoke(pDispatch, dwDispID, wFlags, vtRet, pvRet, pbParamInfo, captured, sizeof...(Args));
    }
}

// A property put of one value of type vtProp.
template <class T>
void SetPropertyTyped(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, const T& value)
{
    const BYTE paramInfo[2] = {static_cast<BYTE>(vtProp), 0};
    InvokeTyped(pDispatch, dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, NULL, paramInfo, value);
}

} // namespace afx_dispatch
