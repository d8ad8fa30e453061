// The accessibility base: the child id of a variant, the IAccessible part of a test object and its
// reference count, and the round trip through WM_GETOBJECT and oleacc.dll in the same process.
#include "accessible_base.h"

#include <gtest/gtest.h>

#include "toolkit_test_app.h"

namespace {

VARIANT LongVariant(long n)
{
    VARIANT variant = {};
    variant.vt = VT_I4;
    variant.lVal = n;
    return variant;
}

VARIANT ShortVariant(short n)
{
    VARIANT variant = {};
    variant.vt = VT_I2;
    variant.iVal = n;
    return variant;
}

// A variant that refers to a value of type vt.
VARIANT ByReference(VARTYPE vt, void* pValue)
{
    VARIANT variant = {};
    variant.vt = VT_BYREF | vt;
    variant.byref = pValue;
    return variant;
}

TEST(AccessibleBase, ChildIdOfAVariant)
{
    long value = 42;
    short shortValue = -5;
    VARIANT i4 = LongVariant(7);
    VARIANT i2 = ShortVariant(-3);
    VARIANT refI4 = ByReference(VT_I4, &value);
    VARIANT refI2 = ByReference(VT_I2, &shortValue);
    VARIANT nullRef = ByReference(VT_I4, nullptr);
    VARIANT pointsToI2 = ByReference(VT_VARIANT, &i2);
    VARIANT shortMinusFive = ShortVariant(-5);
    VARIANT pointsToMinusFive = ByReference(VT_VARIANT, &shortMinusFive);
    VARIANT pointsToRef = ByReference(VT_VARIANT, &refI4);
    VARIANT self = ByReference(VT_VARIANT, nullptr);
    self.pvarVal = &self;
    VARIANT chainEnd = ByReference(VT_VARIANT, &pointsToI2);
    VARIANT nullVariantRef = ByReference(VT_VARIANT, nullptr);
    VARIANT bstr = {};
    bstr.vt = VT_BSTR;
    bstr.bstrVal = SysAllocString(L"7");
    VARIANT empty = {};

    struct Case
    {
        const char* name;
        const VARIANT* variant;
        long expected;
    };
    const Case cases[] = {
        {"VT_I4", &i4, 7},
        {"VT_I2 is sign-extended", &i2, -3},
        {"VT_I4 by reference", &refI4, 42},
        {"VT_I2 by reference", &refI2, -5},
        {"null reference", &nullRef, -1},
        {"variant by reference", &pointsToI2, -3},
        {"variant by reference to VT_I2 -5", &pointsToMinusFive, -5},
        {"variant by reference to a reference", &pointsToRef, 42},
        {"variant referring to itself", &self, -1},
        {"two levels of variant references", &chainEnd, -1},
        {"null variant reference", &nullVariantRef, -1},
        {"VT_BSTR", &bstr, -1},
        {"VT_EMPTY", &empty, -1},
        {"null pointer", nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetChildIdFromVariant(c.variant), c.expected);
    }
    SysFreeString(bstr.bstrVal);
}

// A command target that carries the base, as bars and controls do.
class CAccessibleTarget : public CCmdTarget, public CXTAccessibleBase
{
public:
    CCmdTarget* GetOwnerCmdTarget() override { return this; }
    HRESULT get_accName(VARIANT, BSTR* pszName) override
    {
        *pszName = SysAllocString(L"Accessible target");
        return S_OK;
    }

    DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CAccessibleTarget, CCmdTarget)
INTERFACE_PART(CAccessibleTarget, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

TEST(AccessibleBase, TheInterfaceCountsOnItsOwnerAndAnswersOnlyFocusAndSelection)
{
    CAccessibleTarget target;
    IAccessible* pAccessible = target.GetAccessible();
    // The interface is the second table pointer of the base.
    EXPECT_EQ(reinterpret_cast<char*>(pAccessible),
              reinterpret_cast<char*>(static_cast<CXTAccessibleBase*>(&target)) + sizeof(void*));
    EXPECT_EQ(target.m_dwRef, 1);
    EXPECT_EQ(pAccessible->AddRef(), 2u);
    EXPECT_EQ(target.m_dwRef, 2);
    IAccessible* pQueried = nullptr;
    ASSERT_EQ(pAccessible->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pQueried)), S_OK);
    EXPECT_EQ(pQueried, pAccessible);
    EXPECT_EQ(target.m_dwRef, 3);
    IUnknown* pUnknown = nullptr;
    EXPECT_EQ(pAccessible->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&pUnknown)),
              E_NOINTERFACE);
    pQueried->Release();
    EXPECT_EQ(pAccessible->Release(), 1u);

    VARIANT self = LongVariant(CHILDID_SELF);
    VARIANT out = {};
    BSTR text = nullptr;
    IDispatch* pDispatch = nullptr;
    long number = 0;
    UINT count = 0;
    struct Case
    {
        const char* name;
        HRESULT result;
        HRESULT expected;
    };
    const Case cases[] = {
        {"get_accParent", pAccessible->get_accParent(&pDispatch), E_NOTIMPL},
        {"get_accChildCount", pAccessible->get_accChildCount(&number), E_NOTIMPL},
        {"get_accChild", pAccessible->get_accChild(self, &pDispatch), E_NOTIMPL},
        {"get_accValue", pAccessible->get_accValue(self, &text), E_NOTIMPL},
        {"get_accDescription", pAccessible->get_accDescription(self, &text), E_NOTIMPL},
        {"get_accRole", pAccessible->get_accRole(self, &out), E_NOTIMPL},
        {"get_accState", pAccessible->get_accState(self, &out), E_NOTIMPL},
        {"get_accHelp", pAccessible->get_accHelp(self, &text), E_NOTIMPL},
        {"get_accHelpTopic", pAccessible->get_accHelpTopic(&text, self, &number), E_NOTIMPL},
        {"get_accKeyboardShortcut", pAccessible->get_accKeyboardShortcut(self, &text), E_NOTIMPL},
        {"get_accFocus", pAccessible->get_accFocus(&out), S_FALSE},
        {"get_accSelection", pAccessible->get_accSelection(&out), S_FALSE},
        {"get_accDefaultAction", pAccessible->get_accDefaultAction(self, &text), E_NOTIMPL},
        {"accSelect", pAccessible->accSelect(SELFLAG_TAKEFOCUS, self), E_NOTIMPL},
        {"accLocation", pAccessible->accLocation(&number, &number, &number, &number, self), E_NOTIMPL},
        {"accNavigate", pAccessible->accNavigate(NAVDIR_NEXT, self, &out), E_NOTIMPL},
        {"accHitTest", pAccessible->accHitTest(1, 1, &out), E_NOTIMPL},
        {"accDoDefaultAction", pAccessible->accDoDefaultAction(self), E_NOTIMPL},
        {"put_accName", pAccessible->put_accName(self, nullptr), E_NOTIMPL},
        {"put_accValue", pAccessible->put_accValue(self, nullptr), E_NOTIMPL},
        {"GetTypeInfoCount", pAccessible->GetTypeInfoCount(&count), E_NOTIMPL},
        {"GetTypeInfo", pAccessible->GetTypeInfo(0, 0, nullptr), E_NOTIMPL},
        {"GetIDsOfNames", pAccessible->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL},
        {"Invoke", pAccessible->Invoke(0, IID_NULL, 0, 0, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.expected);
    }
    // A carrier's own answer goes through the interface.
    ASSERT_EQ(pAccessible->get_accName(self, &text), S_OK);
    EXPECT_STREQ(text, L"Accessible target");
    SysFreeString(text);
    EXPECT_EQ(target.m_dwRef, 1);
    CallNotifyWinEvent(EVENT_OBJECT_FOCUS, NULL, OBJID_CLIENT, CHILDID_SELF);
}

// A window that hands out the target's interface for its client area.
class CAccessibleWnd : public CWnd
{
public:
    CAccessibleTarget m_target;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT)
            return CallLresultFromObject(IID_IAccessible, wParam, m_target.GetAccessible());
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(AccessibleBase, WindowObjectRoundTripsThroughOleAccInTheSameProcess)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
    {
        CAccessibleWnd wnd;
        ASSERT_TRUE(
            wnd.CreateEx(0, AfxRegisterWndClass(0), L"accessible", WS_POPUP, CRect(0, 0, 20, 20), NULL, 0));
        IAccessible* pAccessible = nullptr;
        ASSERT_EQ(CallAccessibleObjectFromWindow(wnd.m_hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                                 IID_IAccessible, reinterpret_cast<void**>(&pAccessible)),
                  S_OK);
        ASSERT_NE(pAccessible, nullptr);
        VARIANT self = LongVariant(CHILDID_SELF);
        BSTR name = nullptr;
        EXPECT_EQ(pAccessible->get_accName(self, &name), S_OK);
        EXPECT_STREQ(name, L"Accessible target");
        SysFreeString(name);
        VARIANT focus = {};
        EXPECT_EQ(pAccessible->get_accFocus(&focus), S_FALSE);
        pAccessible->Release();
        // Every reference that the round trip took has been given back.
        EXPECT_EQ(wnd.m_target.m_dwRef, 1);
        wnd.DestroyWindow();
    }
    CoUninitialize();
}

TEST(WithoutAccessibilityLibrary, TheWrappersFailWithEFail)
{
    ASSERT_EQ(LoadLibraryW(L"oleacc.dll"), nullptr) << "runs with WINRUN_DLL_OVERRIDES=oleacc=d";
    CAccessibleWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, AfxRegisterWndClass(0), L"accessible", WS_POPUP, CRect(0, 0, 20, 20), NULL, 0));
    IAccessible* pAccessible = nullptr;
    EXPECT_EQ(CallAccessibleObjectFromWindow(wnd.m_hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                             reinterpret_cast<void**>(&pAccessible)),
              E_FAIL);
    EXPECT_EQ(pAccessible, nullptr);
    EXPECT_EQ(CallLresultFromObject(IID_IAccessible, 0, wnd.m_target.GetAccessible()),
              static_cast<LRESULT>(E_FAIL));
    // The window's own answer to WM_GETOBJECT fails the same way, and nothing else happens.
    EXPECT_EQ(wnd.SendMessage(WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)),
              static_cast<LRESULT>(E_FAIL));
    EXPECT_EQ(wnd.m_target.m_dwRef, 1);
    CallNotifyWinEvent(EVENT_OBJECT_FOCUS, wnd.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    wnd.DestroyWindow();
}

} // namespace
