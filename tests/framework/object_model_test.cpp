#include <afx.h>

#include <memory>

#include <gtest/gtest.h>

namespace {

class CShapeBase : public CObject
{
    DECLARE_DYNAMIC(CShapeBase)
};
IMPLEMENT_DYNAMIC(CShapeBase, CObject)

class CCircle : public CShapeBase
{
    DECLARE_DYNCREATE(CCircle)
};
IMPLEMENT_DYNCREATE(CCircle, CShapeBase)

class CFilledCircle : public CCircle
{
    DECLARE_SERIAL(CFilledCircle)
};
IMPLEMENT_SERIAL(CFilledCircle, CCircle, 3)

} // namespace

TEST(ObjectModel, CreatesObjectsByClassName)
{
    struct Case
    {
        const char* name;
        const CRuntimeClass* expected; // null: nothing can be created
    };
    const Case cases[] = {
        {"CCircle", RUNTIME_CLASS(CCircle)},
        {"CFilledCircle", RUNTIME_CLASS(CFilledCircle)},
        {"CShapeBase", NULL}, // registered, but abstract for creation
        {"ccircle", NULL},    // names are case-sensitive
        {"CCircleX", NULL},
        {"", NULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CObject> object(CRuntimeClass::CreateObject(c.name));
        if (c.expected == NULL) {
            EXPECT_EQ(object, nullptr);
            continue;
        }
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->GetRuntimeClass(), c.expected);
    }
    std::unique_ptr<CObject> wide(CRuntimeClass::CreateObject(L"CFilledCircle"));
    ASSERT_NE(wide, nullptr);
    EXPECT_TRUE(wide->IsKindOf(RUNTIME_CLASS(CFilledCircle)));
    EXPECT_EQ(CRuntimeClass::FromName(L"CFilled\u00e9Circle"), nullptr);
}

TEST(ObjectModel, TypeTestsFollowTheClassChain)
{
    CFilledCircle filled;
    CCircle circle;
    EXPECT_TRUE(filled.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(filled.IsKindOf(RUNTIME_CLASS(CShapeBase)));
    EXPECT_TRUE(filled.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CFilledCircle)));
    EXPECT_TRUE(RUNTIME_CLASS(CFilledCircle)->IsDerivedFrom(RUNTIME_CLASS(CShapeBase)));
    EXPECT_FALSE(RUNTIME_CLASS(CShapeBase)->IsDerivedFrom(RUNTIME_CLASS(CCircle)));

    EXPECT_TRUE(filled.IsSerializable());
    EXPECT_FALSE(circle.IsSerializable());
    EXPECT_EQ(RUNTIME_CLASS(CFilledCircle)->m_wSchema, 3u);
    EXPECT_EQ(RUNTIME_CLASS(CFilledCircle)->m_nObjectSize, static_cast<int>(sizeof(CFilledCircle)));
}

TEST(ObjectModel, RegistryListsEveryImplementedClassOnce)
{
    struct Count
    {
        int circles = 0;
        int objects = 0;
    } count;
    AfxDoForAllClasses(
        [](const CRuntimeClass* pClass, void* pContext) {
            Count* pCount = static_cast<Count*>(pContext);
            pCount->circles += strcmp(pClass->m_lpszClassName, "CCircle") == 0;
            pCount->objects += strcmp(pClass->m_lpszClassName, "CObject") == 0;
        },
        &count);
    EXPECT_EQ(count.circles, 1);
    EXPECT_EQ(count.objects, 1);
}
