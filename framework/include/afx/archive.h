// CArchive: a buffered binary stream over a CFile in one direction, with the framework's forms of
// counts, strings, class records and object graphs (each object and each class written once,
// later mentions written as references to the first).
#pragma once

#include <unordered_map>
#include <vector>

#include "afx/cstring.h"
#include "afx/exceptions.h"
#include "afx/files.h"
#include "afx/object_model.h"

class CDocument;

class CArchive
{
public:
    enum Mode
    {
        store = 0,
        load = 1,
        bNoFlushOnDelete = 2,
        bNoByteSwap = 4
    };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    BOOL IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }
    CFile* GetFile() const { return m_pFile; }

    // The schema of the class whose object is being read; -1 after the first call.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    CDocument* m_pDocument;

    UINT Read(void* lpBuf, UINT nMax);
    // Reads exactly nCount bytes or throws CArchiveException::endOfFile.
    void EnsureRead(void* lpBuf, UINT nCount);
    void Write(const void* lpBuf, UINT nMax);
    // Writes the buffer to the file (storing) or puts the file back at the logical position (loading).
    void Flush();
    void Close();
    // Detaches from the file without writing what is buffered and without throwing.
    void Abort();

    // Text lines (UTF-16): WriteString writes the characters only, ReadString reads up to "\n".
    void WriteString(LPCWSTR lpsz);
    BOOL ReadString(CString& rString);

    CObject* ReadObject(const CRuntimeClass* pClass);
    void WriteObject(const CObject* pOb);
    // Reads a class record; with pObTag a reference to an object may come instead (result null).
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = NULL, UINT* pSchema = NULL,
                             DWORD* pObTag = NULL);
    void WriteClass(const CRuntimeClass* pClassRef);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Enters an object into the map without writing it, so later mentions are references.
    void MapObject(const CObject* pOb);
    void SetStoreParams(UINT nHashSize = 2053, UINT nBlockSize = 128);
    void SetLoadParams(UINT nGrowBy = 1024);

    // Element counts: 16 bits below 0xFFFF, else the marker 0xFFFF and 32 bits.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    CArchive& operator<<(BYTE by) { return WritePrimitive(by); }
    CArchive& operator<<(WORD w) { return WritePrimitive(w); }
    CArchive& operator<<(LONG l) { return WritePrimitive(l); }
    CArchive& operator<<(DWORD dw) { return WritePrimitive(dw); }
    CArchive& operator<<(float f) { return WritePrimitive(f); }
    CArchive& operator<<(double d) { return WritePrimitive(d); }
    CArchive& operator<<(int i) { return WritePrimitive(i); }
    CArchive& operator<<(short w) { return WritePrimitive(w); }
    CArchive& operator<<(char ch) { return WritePrimitive(ch); }
    CArchive& operator<<(wchar_t ch) { return WritePrimitive(ch); }
    CArchive& operator<<(unsigned u) { return WritePrimitive(u); }
    CArchive& operator<<(LONGLONG n) { return WritePrimitive(n); }
    CArchive& operator<<(ULONGLONG n) { return WritePrimitive(n); }
    CArchive& operator<<(bool b) { return WritePrimitive(static_cast<BYTE>(b ? 1 : 0)); }

    CArchive& operator>>(BYTE& by) { return ReadPrimitive(by); }
    CArchive& operator>>(WORD& w) { return ReadPrimitive(w); }
    CArchive& operator>>(LONG& l) { return ReadPrimitive(l); }
    CArchive& operator>>(DWORD& dw) { return ReadPrimitive(dw); }
    CArchive& operator>>(float& f) { return ReadPrimitive(f); }
    CArchive& operator>>(double& d) { return ReadPrimitive(d); }
    CArchive& operator>>(int& i) { return ReadPrimitive(i); }
    CArchive& operator>>(short& w) { return ReadPrimitive(w); }
    CArchive& operator>>(char& ch) { return ReadPrimitive(ch); }
    CArchive& operator>>(wchar_t& ch) { return ReadPrimitive(ch); }
    CArchive& operator>>(unsigned& u) { return ReadPrimitive(u); }
    CArchive& operator>>(LONGLONG& n) { return ReadPrimitive(n); }
    CArchive& operator>>(ULONGLONG& n) { return ReadPrimitive(n); }
    CArchive& operator>>(bool& b)
    {
        BYTE value = 0;
        ReadPrimitive(value);
        b = value != 0;
        return *this;
    }

protected:
    template <class T> CArchive& WritePrimitive(const T& value)
    {
        Write(&value, sizeof(T));
        return *this;
    }
    template <class T> CArchive& ReadPrimitive(T& value)
    {
        EnsureRead(&value, sizeof(T));
        return *this;
    }
    void FillBuffer(UINT nBytesNeeded);
    void CheckCount();

    UINT m_nMode;
    CFile* m_pFile;
    BOOL m_bUserBuf;
    UINT m_nBufSize;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    BOOL m_bDirectBuffer = FALSE;

    UINT m_nObjectSchema;
    UINT m_nMapCount; // next index of the shared class-and-object map; 0 is the null reference
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<void*> m_loadArray;                               // index -> class record or object
    std::vector<BYTE> m_loadIsClass;                              // index -> 1 for class records
    std::unordered_map<const CRuntimeClass*, UINT> m_loadSchemas; // schema stored with each class
};

CArchive& AFXAPI operator<<(CArchive& ar, const CString& string);
CArchive& AFXAPI operator>>(CArchive& ar, CString& string);
CArchive& AFXAPI operator<<(CArchive& ar, const CObject* pOb);
CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb);
CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb);
CArchive& AFXAPI operator<<(CArchive& ar, SIZE size);
CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size);
CArchive& AFXAPI operator<<(CArchive& ar, POINT point);
CArchive& AFXAPI operator>>(CArchive& ar, POINT& point);
CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect);
CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect);
