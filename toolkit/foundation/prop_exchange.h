// Named, typed values saved and loaded by one routine per persisted class: the exchange says whether
// it loads or stores, and every call either writes the caller's field or fills it. Two media: a
// framework archive (values in call order, names ignored) and the registry (one key per section, one
// value per name).
#pragma once

#include <afxdisp.h>
#include <afxwin.h>

// Type codes: OLE variant numbering plus the toolkit's rectangle and size.
#define VT_EX_RECT 100
#define VT_EX_SIZE 101
// A CString value (its default a plain zero-terminated wide text).
#define VT_EX_CSTRING 30

class CXTPPropSectionEnumerator;
struct CXTPCommandBarsExchangeParam;

class CXTPPropExchange : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPPropExchange)
public:
    CXTPPropExchange();

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    BOOL IsChildSection() const { return m_bChildSection; }
    BOOL IsSectionEmptied() const { return m_bEmptySection; }
    void UseDefaultOnLoad(BOOL bUseDefaultOnLoad = TRUE) { m_bUseDefaultOnLoad = bUseDefaultOnLoad; }
    void UseDefaultOnSave(BOOL bUseDefaultOnSave = TRUE) { m_bUseDefaultOnSave = bUseDefaultOnSave; }

    virtual BOOL ExchangeValue(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) = 0;
    // Bytes as a text of letters (two a byte) through ExchangeValue. A null buffer on loading is
    // allocated with malloc and belongs to the caller.
    virtual BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes);
    virtual BOOL ExchangeClass(LPCTSTR pszPropName, CRuntimeClass*& pClass, CRuntimeClass* pDefaultClass);
    // Storing writes "Class"; loading creates the object of the stored class when it is (or derives
    // from) the expected one.
    virtual BOOL ExchangeObjectClass(CObject*& pObject, CRuntimeClass* pObjectRuntime);
    virtual CArchive* GetArchive(LPCTSTR pszPropName);
    virtual void ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive);
    // A new exchange of the same medium; the caller releases it (InternalRelease).
    virtual CXTPPropExchange* GetSection(LPCTSTR pszSection) = 0;
    virtual void EmptySection();
    virtual void WriteCount(DWORD dwCount);
    virtual DWORD ReadCount();
    virtual void Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount);
    virtual UINT Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount);
    // Whether a value equal to its default may be left out (an archive needs every value).
    virtual BOOL CanOmitDefaults() const { return TRUE; }
    virtual BOOL CanStoreBinary() const { return FALSE; }
    virtual BOOL PrepareExchange()
    {
        m_bInitialized = TRUE;
        return TRUE;
    }

    // The caller deletes the enumerator.
    CXTPPropSectionEnumerator* CreateSectionEnumerator(LPCTSTR lpszSection);
    CXTPPropSectionEnumerator* GetEnumerator(LPCTSTR lpszSection)
    {
        return CreateSectionEnumerator(lpszSection);
    }
    // "Schema" into the schema, default 16.
    void ExchangeSchema();

    // Helpers of the media: compare a value with its default, copy the default into the value.
    static BOOL AFXAPI IsSamePropValue(VARTYPE vtProp, const void* pv1, const void* pv2);
    static BOOL AFXAPI CopyPropValue(VARTYPE vtProp, void* pvDest, const void* pvSrc);
    static UINT AFXAPI GetSizeOfVarType(VARTYPE vt);

    CCmdTarget* m_pOwner;
    UINT m_nSchema;
    // The command bars' record of what their exchange writes and reads (not owned); carried into
    // sections.
    CXTPCommandBarsExchangeParam* m_pExchangeParam = NULL;

protected:
    // Child section, schema, owner, emptied and the default flags come from the parent.
    void InitSection(CXTPPropExchange* pExchangeSection);

    BOOL m_bLoading;
    BOOL m_bChildSection;
    BOOL m_bEmptySection;
    BOOL m_bInitialized;
    BOOL m_bUseDefaultOnLoad;
    BOOL m_bUseDefaultOnSave;
};

class CXTPPropExchangeArchive : public CXTPPropExchange
{
    DECLARE_DYNAMIC(CXTPPropExchangeArchive)
public:
    explicit CXTPPropExchangeArchive(CArchive& ar);

    BOOL ExchangeValue(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;
    BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes) override;
    BOOL ExchangeClass(LPCTSTR pszPropName, CRuntimeClass*& pClass, CRuntimeClass* pDefaultClass) override;
    BOOL ExchangeObjectClass(CObject*& pObject, CRuntimeClass* pObjectRuntime) override;
    CArchive* GetArchive(LPCTSTR pszPropName) override;
    void ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive) override;
    CXTPPropExchange* GetSection(LPCTSTR pszSection) override;
    void WriteCount(DWORD dwCount) override;
    DWORD ReadCount() override;
    void Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount) override;
    UINT Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount) override;
    BOOL CanOmitDefaults() const override { return FALSE; }
    BOOL CanStoreBinary() const override { return TRUE; }

protected:
    CArchive& m_ar;
};

class CXTPPropExchangeRegistry : public CXTPPropExchange
{
    DECLARE_DYNAMIC(CXTPPropExchangeRegistry)
public:
    CXTPPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection);
    ~CXTPPropExchangeRegistry() override;

    BOOL ExchangeValue(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;
    BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes) override;
    CXTPPropExchange* GetSection(LPCTSTR pszSection) override;
    void EmptySection() override;
    BOOL CanStoreBinary() const override { return TRUE; }
    BOOL PrepareExchange() override;

    // Stored blocks and texts above this are refused on loading.
    static const DWORD s_nMaxValueBytes = 16 * 1024 * 1024;

protected:
    HKEY m_hSectionKey;
    HKEY m_hParentKey;
    CString m_strSectionName;
};

// Walks numbered sections: the base name followed by 0 to count - 1, beside "Count".
class CXTPPropSectionEnumerator
{
public:
    CXTPPropSectionEnumerator(CXTPPropExchange* pContainer, LPCTSTR lpszSection);
    virtual ~CXTPPropSectionEnumerator() = default;

    // Storing writes the count, loading replaces it; nonzero when there are items.
    POSITION GetPosition(DWORD dwCount = 0, BOOL bCompactMode = TRUE);
    // The next item's section (the caller releases it).
    CXTPPropExchange* GetNext(POSITION& pos);
    DWORD GetCount() const { return m_nCount; }

protected:
    CXTPPropExchange* m_pContainer;
    CString m_strSectionName;
    DWORD m_nCount;
};

// Holds a section for a scope and releases it.
class CXTPPropExchangeSection
{
public:
    explicit CXTPPropExchangeSection(CXTPPropExchange* pExchange) : m_pExchange(pExchange) {}
    CXTPPropExchangeSection(CXTPPropExchange* pParent, LPCTSTR lpszSection)
        : m_pExchange(pParent->GetSection(lpszSection))
    {}
    ~CXTPPropExchangeSection()
    {
        if (m_pExchange != NULL)
            m_pExchange->InternalRelease();
    }
    CXTPPropExchangeSection(const CXTPPropExchangeSection&) = delete;
    CXTPPropExchangeSection& operator=(const CXTPPropExchangeSection&) = delete;
    CXTPPropExchange* operator->() const { return m_pExchange; }
    CXTPPropExchange* operator&() const { return m_pExchange; }
    CXTPPropExchange* Get() const { return m_pExchange; }

private:
    CXTPPropExchange* m_pExchange;
};

// What a loading archive still holds past its reader: a stored count is checked against it before
// anything is allocated for it.
ULONGLONG AFXAPI XTArchiveBytesLeft(CArchive& ar);

// The mark of an unset rectangle: all four fields 0x80000000.
extern const RECT UnsetRect;

BOOL AFXAPI ExchangeLong(CXTPPropExchange* pPX, LPCTSTR pszPropName, long& nValue);
BOOL AFXAPI ExchangeLongDefault(CXTPPropExchange* pPX, LPCTSTR pszPropName, long& nValue, long nDefault);
BOOL AFXAPI ExchangeInt(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault);
BOOL AFXAPI ExchangeShort(CXTPPropExchange* pPX, LPCTSTR pszPropName, short& nValue, short nDefault);
BOOL AFXAPI ExchangeByte(CXTPPropExchange* pPX, LPCTSTR pszPropName, BYTE& nValue, BYTE nDefault);
BOOL AFXAPI ExchangeBool(CXTPPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL AFXAPI ExchangeString(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue);
BOOL AFXAPI ExchangeStringDefault(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue,
                                  LPCTSTR lpszDefault);
BOOL AFXAPI ExchangeSize(CXTPPropExchange* pPX, LPCTSTR pszPropName, SIZE& szValue, SIZE szDefault);
BOOL AFXAPI ExchangeRect(CXTPPropExchange* pPX, LPCTSTR pszPropName, RECT& rcValue, const RECT& rcDefault);
BOOL AFXAPI ExchangeClassName(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRuntimeClass*& pClass,
                              CRuntimeClass* pDefaultClass);
BOOL AFXAPI ExchangeBytes(CXTPPropExchange* pPX, LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes);
// The object serialises itself into an archive kept under the name; archive and OLE exceptions
// raised there make the result FALSE.
BOOL AFXAPI ExchangeObject(CXTPPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject);
BOOL AFXAPI ExchangeObjectInstance(CXTPPropExchange* pPX, CObject*& pObject, CRuntimeClass* pObjectRuntime);
