#include <afxcoll.h>
#include <afxdisp.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

int g_liveNodes = 0;

// A node refers to other nodes; the graph owns them all.
class CGraphNode : public CObject
{
    DECLARE_SERIAL(CGraphNode)
public:
    CGraphNode() { ++g_liveNodes; }
    ~CGraphNode() override { --g_liveNodes; }

    CString m_name;
    LONG m_weight = 0;
    CGraphNode* m_pNext = NULL;
    CGraphNode* m_pPartner = NULL;

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_name << m_weight;
            ar << m_pNext << m_pPartner;
        } else {
            ar >> m_name >> m_weight;
            ar >> m_pNext >> m_pPartner;
        }
    }
};
IMPLEMENT_SERIAL(CGraphNode, CObject, 1)

// A second serialisable class whose name has the same length as a name no class has.
class CGraphMark : public CObject
{
    DECLARE_SERIAL(CGraphMark)
public:
    CGraphMark() { ++g_liveNodes; }
    ~CGraphMark() override { --g_liveNodes; }
    void Serialize(CArchive&) override {}
};
IMPLEMENT_SERIAL(CGraphMark, CObject, 1)

class CGraph : public CObject
{
    DECLARE_SERIAL(CGraph)
public:
    ~CGraph() override
    {
        for (INT_PTR i = 0; i < m_nodes.GetSize(); ++i)
            delete m_nodes[i];
    }
    CTypedPtrArray<CObArray, CObject*> m_nodes;
    void Serialize(CArchive& ar) override { m_nodes.Serialize(ar); }
};
IMPLEMENT_SERIAL(CGraph, CObject, 2)

// Exposes how many classes and objects the archive has mapped.
class CCountingArchive : public CArchive
{
public:
    using CArchive::CArchive;
    UINT MapCount() const { return m_nMapCount; }
};

CGraphNode* AddNode(CGraph& graph, const wchar_t* name, LONG weight)
{
    CGraphNode* pNode = new CGraphNode;
    pNode->m_name = name;
    pNode->m_weight = weight;
    graph.m_nodes.Add(pNode);
    return pNode;
}

// Four nodes: a chain a -> b -> c -> a, partners crossing it, one node that is its own partner.
void BuildGraph(CGraph& graph)
{
    CGraphNode* a = AddNode(graph, L"alpha", 1);
    CGraphNode* b = AddNode(graph, L"\u03b2\u00eata", -2);
    CGraphNode* c = AddNode(graph, L"", 3);
    CGraphNode* d = AddNode(graph, L"delta", 4);
    a->m_pNext = b;
    b->m_pNext = c;
    c->m_pNext = a;
    a->m_pPartner = c;
    c->m_pPartner = b;
    d->m_pPartner = d;
}

std::vector<BYTE> Bytes(CMemFile& file)
{
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

int CountOccurrences(const std::vector<BYTE>& bytes, const char* text)
{
    const size_t length = std::strlen(text);
    int count = 0;
    for (size_t i = 0; i + length <= bytes.size(); ++i)
        count += std::memcmp(bytes.data() + i, text, length) == 0;
    return count;
}

int IndexOf(const CGraph& graph, const CObject* pNode)
{
    for (INT_PTR i = 0; i < graph.m_nodes.GetSize(); ++i) {
        if (graph.m_nodes[i] == pNode)
            return static_cast<int>(i);
    }
    return pNode == NULL ? -1 : -2;
}

std::vector<BYTE> StoreGraph(UINT* pMapCount = NULL)
{
    CGraph graph;
    BuildGraph(graph);
    CMemFile file;
    {
        CCountingArchive ar(&file, CArchive::store, 64); // small buffer: values cross its edge
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0xBEEF) << static_cast<LONG>(-7)
           << static_cast<DWORD>(0xFEEDF00D) << 2.5 << 1.25f << static_cast<LONGLONG>(-1) << true;
        ar << CString(L"\u00fcnicode %s text") << CString();
        ar.WriteCount(5);
        ar.WriteCount(70000);
        ar << &graph;
        ar << &graph; // the second mention is a reference
        ar << static_cast<const CObject*>(NULL);
        ar << static_cast<WORD>(0x1234);
        if (pMapCount != NULL)
            *pMapCount = ar.MapCount();
        ar.Close();
    }
    return Bytes(file);
}

} // namespace

TEST(Archive, RoundTripOfValuesStringsAndAnObjectGraph)
{
    UINT mapCount = 0;
    std::vector<BYTE> bytes = StoreGraph(&mapCount);
    EXPECT_EQ(CountOccurrences(bytes, "CGraphNode"), 1) << "each class record is written once";
    EXPECT_EQ(CountOccurrences(bytes, "CGraph"), 2) << "the graph's own record and the node's";
    EXPECT_EQ(mapCount, 1u + 2u + 5u) << "the null index, two classes, the graph and four nodes once each";

    g_liveNodes = 0;
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load, 64);
    BYTE by = 0;
    WORD w = 0;
    LONG l = 0;
    DWORD dw = 0;
    double d = 0;
    float f = 0;
    LONGLONG ll = 0;
    bool flag = false;
    CString text;
    CString empty = L"x";
    ar >> by >> w >> l >> dw >> d >> f >> ll >> flag >> text >> empty;
    EXPECT_EQ(by, 0xAB);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(l, -7);
    EXPECT_EQ(dw, 0xFEEDF00Du);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(f, 1.25f);
    EXPECT_EQ(ll, -1);
    EXPECT_TRUE(flag);
    EXPECT_STREQ(text, L"\u00fcnicode %s text");
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(ar.ReadCount(), 5u);
    EXPECT_EQ(ar.ReadCount(), 70000u);

    CObject* pFirst = ar.ReadObject(RUNTIME_CLASS(CGraph));
    CObject* pSecond = NULL;
    CObject* pNull = reinterpret_cast<CObject*>(1);
    ar >> pSecond >> pNull;
    ar >> w;
    EXPECT_EQ(w, 0x1234);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst, pSecond);
    EXPECT_EQ(pNull, nullptr);

    const CGraph& loaded = *static_cast<CGraph*>(pFirst);
    CGraph original;
    BuildGraph(original);
    ASSERT_EQ(loaded.m_nodes.GetSize(), original.m_nodes.GetSize());
    EXPECT_EQ(g_liveNodes, 8) << "four loaded and four compared-with nodes, none twice";
    for (INT_PTR i = 0; i < original.m_nodes.GetSize(); ++i) {
        SCOPED_TRACE(i);
        const CGraphNode* pWant = static_cast<const CGraphNode*>(original.m_nodes[i]);
        ASSERT_TRUE(loaded.m_nodes[i]->IsKindOf(RUNTIME_CLASS(CGraphNode)));
        const CGraphNode* pGot = static_cast<const CGraphNode*>(loaded.m_nodes[i]);
        EXPECT_STREQ(pGot->m_name, pWant->m_name);
        EXPECT_EQ(pGot->m_weight, pWant->m_weight);
        EXPECT_EQ(IndexOf(loaded, pGot->m_pNext), IndexOf(original, pWant->m_pNext));
        EXPECT_EQ(IndexOf(loaded, pGot->m_pPartner), IndexOf(original, pWant->m_pPartner));
    }
    delete pFirst;
}

TEST(Archive, StringAndCountFormsAreTheFrameworkOnes)
{
    struct Case
    {
        const char* name;
        std::function<void(CArchive&)> write;
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {"short string",
         [](CArchive& ar) { ar << CString(L"ab"); },
         {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0}},
        {"empty string", [](CArchive& ar) { ar << CString(); }, {0xFF, 0xFE, 0xFF, 0x00}},
        {"255 characters take a WORD length", [](CArchive& ar) { ar << CString(L'z', 255); },
         [] {
             std::vector<BYTE> v = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00};
             for (int i = 0; i < 255; ++i)
                 v.insert(v.end(), {'z', 0});
             return v;
         }()},
        {"small count", [](CArchive& ar) { ar.WriteCount(0xFFFE); }, {0xFE, 0xFF}},
        {"large count", [](CArchive& ar) { ar.WriteCount(0xFFFF); }, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            c.write(ar);
        }
        EXPECT_EQ(Bytes(file), c.bytes);
    }

    // Strings of programs with narrow text carry no marker and are read as ANSI.
    BYTE narrow[] = {0x03, 'a', 'b', 'c', 0xFF, 0x04, 0x00, 'w', 'x', 'y', 'z'};
    CMemFile file(narrow, sizeof(narrow));
    CArchive ar(&file, CArchive::load);
    CString first;
    CString second;
    ar >> first >> second;
    EXPECT_STREQ(first, L"abc");
    EXPECT_STREQ(second, L"wxyz");
}

namespace {

// Offset of the first class record naming the class.
size_t RecordOf(const std::vector<BYTE>& bytes, const char* name)
{
    const size_t length = std::strlen(name);
    for (size_t i = 4; i + length <= bytes.size(); ++i) {
        if (std::memcmp(bytes.data() + i, name, length) == 0)
            return i - 6; // tag 0xFFFF, schema, name length
    }
    return 0;
}

// A graph with a marker object after two nodes.
std::vector<BYTE> StoreMarkedGraph()
{
    CGraph graph;
    AddNode(graph, L"one", 1)->m_pNext = NULL;
    AddNode(graph, L"two", 2);
    CGraphMark* pMark = new CGraphMark;
    graph.m_nodes.Add(pMark);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << &graph;
    }
    return Bytes(file);
}

} // namespace

TEST(Archive, DamagedStreamsThrowTheirCauseWithoutLeaking)
{
    struct Case
    {
        const char* name;
        std::function<void(std::vector<BYTE>&)> damage;
        const CRuntimeClass* requested;
        int cause;
    };
    const Case cases[] = {
        {"class name no class has", [](std::vector<BYTE>& b) { b[RecordOf(b, "CGraphMark") + 6 + 9] = 'X'; },
         NULL, CArchiveException::badClass},
        {"class name of 64 characters or more",
         [](std::vector<BYTE>& b) { b[RecordOf(b, "CGraphMark") + 4] = 64; }, NULL,
         CArchiveException::badClass},
        {"object of another class than asked for", [](std::vector<BYTE>&) {}, RUNTIME_CLASS(CGraphNode),
         CArchiveException::badClass},
        {"schema the class does not read", [](std::vector<BYTE>& b) { b[RecordOf(b, "CGraphNode") + 2] = 9; },
         NULL, CArchiveException::badSchema},
        {"class reference to an index never stored",
         [](std::vector<BYTE>& b) {
             const size_t at = RecordOf(b, "CGraphMark");
             b[at] = 0x33;
             b[at + 1] = 0x80;
         },
         NULL, CArchiveException::badIndex},
        {"object reference past the map",
         [](std::vector<BYTE>& b) {
             const size_t at = RecordOf(b, "CGraphMark");
             b[at] = 0x40;
             b[at + 1] = 0x00;
         },
         NULL, CArchiveException::badIndex},
        {"stream cut short", [](std::vector<BYTE>& b) { b.resize(RecordOf(b, "CGraphMark") + 3); }, NULL,
         CArchiveException::endOfFile},
        {"string length beyond the stream",
         [](std::vector<BYTE>& b) {
             const size_t at = RecordOf(b, "CGraphNode") + 6 + 10;
             b[at + 3] = 0xFF; // FF FE FF then FF FFFF and a DWORD length
             b.insert(b.begin() + static_cast<std::ptrdiff_t>(at + 4), {0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F});
         },
         NULL, CArchiveException::endOfFile},
    };
    const std::vector<BYTE> good = StoreMarkedGraph();
    ASSERT_NE(RecordOf(good, "CGraphMark"), 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> bytes = good;
        c.damage(bytes);
        g_liveNodes = 0;
        int cause = -1;
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        TRY
        {
            CObject* pObject = ar.ReadObject(c.requested);
            delete pObject;
        }
        CATCH(CArchiveException, e)
        {
            cause = e->m_cause;
        }
        END_CATCH
        EXPECT_EQ(cause, c.cause);
        EXPECT_EQ(g_liveNodes, 0) << "objects read before the damage are freed";
    }

    // The undamaged stream loads.
    std::vector<BYTE> bytes = good;
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CGraph));
    EXPECT_EQ(g_liveNodes, 3);
    delete pObject;
    EXPECT_EQ(g_liveNodes, 0);
}

TEST(Archive, DirectionAndBufferRules)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store, 16);
    EXPECT_TRUE(ar.IsStoring());
    ar << static_cast<DWORD>(1);
    EXPECT_EQ(file.GetLength(), 0u) << "bytes wait in the buffer";
    ar.Flush();
    EXPECT_EQ(file.GetLength(), 4u);
    ar << static_cast<DWORD>(2);
    ar.Abort();
    EXPECT_EQ(file.GetLength(), 4u) << "Abort drops what is buffered";

    int cause = -1;
    CArchive reader(&file, CArchive::load);
    try {
        reader << static_cast<BYTE>(1);
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::readOnly);

    // A loading archive that is flushed leaves the file where its reader stands.
    file.SeekToBegin();
    file.Write("\x01\x02\x03\x04\x05\x06", 6);
    file.SeekToBegin();
    CArchive partial(&file, CArchive::load);
    BYTE first = 0;
    partial >> first;
    partial.Flush();
    EXPECT_EQ(file.GetPosition(), 1u);
}

TEST(Archive, AutomationValuesHaveArchiveForms)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << COleVariant(L"text") << COleVariant(42L) << COleVariant(2.5) << COleVariant(short(1), VT_BOOL);
        ar << COleDateTime(2024, 2, 29, 13, 14, 15) << COleCurrency(12, 3456) << CTime(1700000000);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    COleVariant text;
    COleVariant number;
    COleVariant real;
    COleVariant flag;
    COleDateTime date;
    COleCurrency money;
    CTime time;
    ar >> text >> number >> real >> flag >> date >> money >> time;
    EXPECT_TRUE(text == COleVariant(L"text"));
    EXPECT_TRUE(number == COleVariant(42L));
    EXPECT_TRUE(real == COleVariant(2.5));
    EXPECT_TRUE(flag == COleVariant(short(1), VT_BOOL));
    EXPECT_EQ(date.GetYear(), 2024);
    EXPECT_EQ(date.GetDay(), 29);
    EXPECT_EQ(date.GetSecond(), 15);
    EXPECT_EQ(money.m_cur.int64, 123456);
    EXPECT_EQ(time.GetTime(), 1700000000);
}

TEST(Archive, CollectionsSerialiseTheirElements)
{
    CMemFile file;
    {
        CStringArray strings;
        strings.Add(L"x");
        strings.Add(L"yz");
        CDWordArray numbers;
        numbers.Add(7);
        numbers.Add(0xFFFFFFFF);
        CMapStringToString map;
        map[L"k"] = L"v";
        CArchive ar(&file, CArchive::store);
        strings.Serialize(ar);
        numbers.Serialize(ar);
        map.Serialize(ar);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CStringArray strings;
    CDWordArray numbers;
    CMapStringToString map;
    strings.Serialize(ar);
    numbers.Serialize(ar);
    map.Serialize(ar);
    ASSERT_EQ(strings.GetSize(), 2);
    EXPECT_STREQ(strings[1], L"yz");
    ASSERT_EQ(numbers.GetSize(), 2);
    EXPECT_EQ(numbers[1], 0xFFFFFFFFu);
    CString value;
    EXPECT_TRUE(map.Lookup(L"k", value));
    EXPECT_STREQ(value, L"v");

    // A count far beyond the stream ends at its end instead of allocating for it.
    BYTE falseCount[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0};
    CMemFile small(falseCount, sizeof(falseCount));
    CArchive reader(&small, CArchive::load);
    int cause = -1;
    try {
        numbers.Serialize(reader);
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::endOfFile);
}
