#include <afxcoll.h>

#include <vector>

#include <gtest/gtest.h>

namespace {

// Exposes the allocated size, which the growth rule decides.
template <class TYPE> class CInspectedArray : public CArray<TYPE, const TYPE&>
{
public:
    INT_PTR Capacity() const { return this->m_nMaxSize; }
};

} // namespace

TEST(Collections, ArrayGrowsInTheFrameworkSteps)
{
    // The automatic step is max(4, min(1024, size / 8)) elements; the first block is exact.
    struct Step
    {
        INT_PTR sizeAfterAdd;
        INT_PTR capacity;
    };
    const Step steps[] = {{1, 1},   {2, 5},   {5, 5},   {6, 9},   {33, 33},
                          {34, 37}, {41, 41}, {42, 46}, {47, 51}, {52, 57}};
    CInspectedArray<int> array;
    size_t next = 0;
    for (INT_PTR size = 1; size <= 52; ++size) {
        EXPECT_EQ(array.Add(static_cast<int>(size)), size - 1);
        if (next < std::size(steps) && steps[next].sizeAfterAdd == size) {
            SCOPED_TRACE(size);
            EXPECT_EQ(array.Capacity(), steps[next].capacity);
            ++next;
        }
    }
    EXPECT_EQ(next, std::size(steps));

    CInspectedArray<int> large;
    large.SetSize(9000);
    EXPECT_EQ(large.Capacity(), 9000);
    large.Add(1);
    EXPECT_EQ(large.Capacity(), 9000 + 1024) << "the step is capped at 1024";

    CInspectedArray<int> fixedStep;
    fixedStep.SetSize(0, 10);
    fixedStep.Add(1);
    EXPECT_EQ(fixedStep.Capacity(), 10);
    for (int i = 0; i < 10; ++i)
        fixedStep.Add(i);
    EXPECT_EQ(fixedStep.Capacity(), 20);
}

TEST(Collections, ArrayEditsKeepElementsIntact)
{
    CStringArray names;
    names.Add(L"b");
    names.InsertAt(0, L"a");
    names.Add(L"d");
    names.InsertAt(2, L"c", 2);
    names.SetAtGrow(6, L"g");
    std::vector<std::wstring> actual;
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        actual.push_back(names[i].GetString());
    EXPECT_EQ(actual, (std::vector<std::wstring>{L"a", L"b", L"c", L"c", L"d", L"", L"g"}));
    names.RemoveAt(1, 3);
    EXPECT_EQ(names.GetSize(), 4);
    EXPECT_STREQ(names[1], L"d");

    // Adding an element of the array itself while it grows must copy it before the block moves.
    CArray<CString, const CString&> self;
    self.Add(L"first");
    for (int i = 0; i < 20; ++i)
        self.Add(self[0]);
    EXPECT_STREQ(self[20], L"first");

    CDWordArray numbers;
    bool thrown = false;
    try {
        numbers.RemoveAt(0);
    } catch (CInvalidArgException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown) << "an index outside the array is refused, not used";
}

TEST(Collections, MapIteratesBucketByBucketNewestFirst)
{
    // Bucket of a key: (key >> 4) % 17. Keys 1, 272 and 5 share bucket 0; 16, 17, 288 and 300 bucket 1.
    const UINT inserted[] = {1, 16, 17, 33, 272, 288, 5, 300};
    const UINT expected[] = {5, 272, 1, 300, 288, 17, 16, 33};
    CMap<UINT, UINT, int, int> map;
    EXPECT_EQ(map.GetHashTableSize(), 17u);
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    for (UINT key : inserted)
        map[key] = static_cast<int>(key) * 10;
    map.SetAt(17, 170); // replacing a value keeps the key's place
    std::vector<UINT> order;
    for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
        UINT key = 0;
        int value = 0;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(value, static_cast<int>(key) * 10);
        order.push_back(key);
    }
    EXPECT_EQ(order, std::vector<UINT>(std::begin(expected), std::end(expected)));

    EXPECT_TRUE(map.RemoveKey(272));
    EXPECT_FALSE(map.RemoveKey(272));
    int value = 0;
    EXPECT_FALSE(map.Lookup(272, value));
    EXPECT_TRUE(map.Lookup(5, value));
    EXPECT_EQ(value, 50);
    EXPECT_EQ(map.GetCount(), 7);
}

TEST(Collections, PointerAndStringMapsHashLikeTheFramework)
{
    // Pointer keys use the address bits above the low four; strings hash as h * 33 + c.
    CMapPtrToPtr pointers;
    void* const a = reinterpret_cast<void*>(0x1000); // bucket 0x100 % 17 = 1
    void* const b = reinterpret_cast<void*>(0x0010); // bucket 1
    void* const c = reinterpret_cast<void*>(0x0000); // bucket 0
    void* const d = reinterpret_cast<void*>(0x0018); // bucket 1
    pointers[a] = a;
    pointers[b] = b;
    pointers[d] = d;
    pointers[c] = c;
    std::vector<void*> order;
    for (POSITION pos = pointers.GetStartPosition(); pos != NULL;) {
        void* key = NULL;
        void* value = NULL;
        pointers.GetNextAssoc(pos, key, value);
        order.push_back(key);
    }
    EXPECT_EQ(order, (std::vector<void*>{c, d, b, a}));

    // "b" hashes to 98 (bucket 13), "a" to 97 (12), "ab" to 97 * 33 + 98 = 3299 (1).
    CMapStringToString strings;
    strings[L"b"] = L"2";
    strings[L"a"] = L"1";
    strings.SetAt(L"ab", L"12");
    std::vector<std::wstring> keys;
    for (POSITION pos = strings.GetStartPosition(); pos != NULL;) {
        CString key;
        CString text;
        strings.GetNextAssoc(pos, key, text);
        keys.push_back(key.GetString());
    }
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"ab", L"a", L"b"}));
    CString found;
    EXPECT_TRUE(strings.Lookup(L"ab", found));
    EXPECT_STREQ(found, L"12");
}

TEST(Collections, ListPositionsWalkBothWays)
{
    CStringList list;
    POSITION b = list.AddTail(L"b");
    list.AddHead(L"a");
    list.InsertAfter(b, L"d");
    list.InsertBefore(list.Find(L"d"), L"c");
    std::vector<std::wstring> forward;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        forward.push_back(list.GetNext(pos).GetString());
    EXPECT_EQ(forward, (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    std::vector<std::wstring> backward;
    for (POSITION pos = list.GetTailPosition(); pos != NULL;)
        backward.push_back(list.GetPrev(pos).GetString());
    EXPECT_EQ(backward, (std::vector<std::wstring>{L"d", L"c", L"b", L"a"}));

    EXPECT_EQ(list.FindIndex(2), list.Find(L"c"));
    EXPECT_EQ(list.Find(L"a", list.GetHeadPosition()), nullptr) << "the search starts after startAfter";
    list.RemoveAt(list.Find(L"b"));
    EXPECT_STREQ(list.RemoveHead(), L"a");
    EXPECT_STREQ(list.RemoveTail(), L"d");
    EXPECT_STREQ(list.GetHead(), L"c");
    EXPECT_EQ(list.GetCount(), 1);

    // Nodes come from blocks; many more than one block's worth, removed and added again.
    CList<int, int> numbers(3);
    for (int i = 0; i < 100; ++i)
        numbers.AddTail(i);
    for (int i = 0; i < 50; ++i)
        numbers.RemoveHead();
    for (int i = 0; i < 10; ++i)
        numbers.AddHead(-i);
    EXPECT_EQ(numbers.GetCount(), 60);
    EXPECT_EQ(numbers.GetHead(), -9);
    EXPECT_EQ(numbers.GetTail(), 99);
}

TEST(Collections, TypedPointerCollectionsCastBack)
{
    CTypedPtrArray<CPtrArray, int*> array;
    int values[3] = {1, 2, 3};
    for (int& value : values)
        array.Add(&value);
    EXPECT_EQ(*array[2], 3);
    CTypedPtrMap<CMapWordToPtr, WORD, int*> map;
    map.SetAt(7, &values[1]);
    int* found = NULL;
    EXPECT_TRUE(map.Lookup(7, found));
    EXPECT_EQ(found, &values[1]);
    CTypedPtrList<CPtrList, int*> list;
    list.AddTail(&values[0]);
    EXPECT_EQ(list.GetHead(), &values[0]);
}
