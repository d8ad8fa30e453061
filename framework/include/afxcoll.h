// The non-template collections: arrays, lists and maps of pointers, objects, strings and numbers.
// They are the template collections of afxtempl.h under their own class records.
#pragma once

#include "afxtempl.h"

#define AFX_DECLARE_ARRAY(class_name, type, arg_type, declare)                                               \
    class class_name : public CArray<type, arg_type>                                                         \
    {                                                                                                        \
        declare(class_name) public : class_name() = default;                                                 \
    };

AFX_DECLARE_ARRAY(CObArray, CObject*, CObject*, DECLARE_SERIAL)
AFX_DECLARE_ARRAY(CStringArray, CString, LPCWSTR, DECLARE_SERIAL)
AFX_DECLARE_ARRAY(CDWordArray, DWORD, DWORD, DECLARE_SERIAL)
AFX_DECLARE_ARRAY(CWordArray, WORD, WORD, DECLARE_SERIAL)
AFX_DECLARE_ARRAY(CByteArray, BYTE, BYTE, DECLARE_SERIAL)
AFX_DECLARE_ARRAY(CUIntArray, UINT, UINT, DECLARE_DYNAMIC)

// Pointers have no archive form: serialising a pointer collection throws CNotSupportedException.
class CPtrArray : public CArray<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
public:
    CPtrArray() = default;
    void Serialize(CArchive& ar) override;
};

#define AFX_DECLARE_LIST(class_name, type, arg_type, declare)                                                \
    class class_name : public CList<type, arg_type>                                                          \
    {                                                                                                        \
        declare(class_name) public : explicit class_name(INT_PTR nBlockSize = 10)                            \
            : CList<type, arg_type>(nBlockSize)                                                              \
        {}                                                                                                   \
    };

AFX_DECLARE_LIST(CObList, CObject*, CObject*, DECLARE_SERIAL)
AFX_DECLARE_LIST(CStringList, CString, LPCWSTR, DECLARE_SERIAL)

class CPtrList : public CList<void*, void*>
{
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList<void*, void*>(nBlockSize) {}
    void Serialize(CArchive& ar) override;
};

#define AFX_DECLARE_MAP(class_name, key, arg_key, value, arg_value, declare)                                 \
    class class_name : public CMap<key, arg_key, value, arg_value>                                           \
    {                                                                                                        \
        declare(class_name) public : explicit class_name(INT_PTR nBlockSize = 10)                            \
            : CMap<key, arg_key, value, arg_value>(nBlockSize)                                               \
        {}                                                                                                   \
    };

AFX_DECLARE_MAP(CMapStringToString, CString, LPCWSTR, CString, LPCWSTR, DECLARE_SERIAL)
AFX_DECLARE_MAP(CMapStringToOb, CString, LPCWSTR, CObject*, CObject*, DECLARE_SERIAL)
AFX_DECLARE_MAP(CMapWordToOb, WORD, WORD, CObject*, CObject*, DECLARE_SERIAL)

#define AFX_DECLARE_PTR_MAP(class_name, key, arg_key, value, arg_value)                                      \
    class class_name : public CMap<key, arg_key, value, arg_value>                                           \
    {                                                                                                        \
        DECLARE_DYNAMIC(class_name)                                                                          \
    public:                                                                                                  \
        explicit class_name(INT_PTR nBlockSize = 10) : CMap<key, arg_key, value, arg_value>(nBlockSize) {}   \
        void Serialize(CArchive& ar) override;                                                               \
    };

AFX_DECLARE_PTR_MAP(CMapPtrToPtr, void*, void*, void*, void*)
AFX_DECLARE_PTR_MAP(CMapPtrToWord, void*, void*, WORD, WORD)
AFX_DECLARE_PTR_MAP(CMapStringToPtr, CString, LPCWSTR, void*, void*)
AFX_DECLARE_PTR_MAP(CMapWordToPtr, WORD, WORD, void*, void*)
