#include <afxadv.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

class CInspectedMemFile : public CMemFile
{
public:
    using CMemFile::CMemFile;
    SIZE_T BufferSize() const { return m_nBufferSize; }
};

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

} // namespace

TEST(Files, MemoryFileGrowsInWholeStepsAndZeroFillsGaps)
{
    struct Case
    {
        UINT growBytes;
        UINT writeAt;
        UINT writeSize;
        SIZE_T bufferSize;
        ULONGLONG length;
    };
    const Case cases[] = {
        {1024, 0, 1, 1024, 1},
        {1024, 0, 1024, 1024, 1024},
        {1024, 0, 1025, 2048, 1025},
        {100, 250, 10, 300, 260},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.writeAt + c.writeSize);
        CInspectedMemFile file(c.growBytes);
        std::vector<BYTE> data(c.writeSize, 0x5A);
        file.Seek(c.writeAt, CFile::begin);
        file.Write(data.data(), c.writeSize);
        EXPECT_EQ(file.BufferSize(), c.bufferSize);
        EXPECT_EQ(file.GetLength(), c.length);
        std::vector<BYTE> back(static_cast<size_t>(c.length) + 8, 0xEE);
        file.SeekToBegin();
        EXPECT_EQ(file.Read(back.data(), static_cast<UINT>(back.size())), c.length);
        for (UINT i = 0; i < c.writeAt; ++i)
            ASSERT_EQ(back[i], 0) << "gap byte " << i;
        EXPECT_EQ(back[c.writeAt], 0x5A);
    }
}

TEST(Files, MemoryFileOverACallersBlock)
{
    BYTE block[4] = {1, 2, 3, 4};
    CMemFile file(block, sizeof(block));
    EXPECT_EQ(file.GetLength(), 4u);
    file.Seek(2, CFile::begin);
    BYTE two[2] = {9, 9};
    file.Write(two, 2);
    EXPECT_EQ(block[3], 9);
    bool thrown = false;
    try {
        file.Write(two, 1); // no growth allowed past the caller's block
    } catch (CMemoryException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    thrown = false;
    try {
        file.Seek(-1, CFile::begin);
    } catch (CFileException* e) {
        thrown = e->m_cause == CFileException::badSeek;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(file.Detach(), block);
}

TEST(Files, SharedFileHandsOverItsGlobalBlock)
{
    CSharedFile writer(GMEM_MOVEABLE | GMEM_DDESHARE, 4096);
    const char text[] = "clipboard bytes";
    writer.Write(text, sizeof(text));
    HGLOBAL hMem = writer.Detach();
    ASSERT_NE(hMem, nullptr);
    EXPECT_GE(GlobalSize(hMem), sizeof(text));

    {
        CSharedFile reader;
        reader.SetHandle(hMem, FALSE);
        char back[sizeof(text)] = {};
        EXPECT_EQ(reader.Read(back, sizeof(back)), sizeof(back));
        EXPECT_STREQ(back, text);
    }
    // The reader did not free the caller's block.
    EXPECT_NE(GlobalLock(hMem), nullptr);
    GlobalUnlock(hMem);
    GlobalFree(hMem);
}

TEST(Files, DiskFileReadsWritesAndReportsErrors)
{
    const std::wstring path = TempPath(L"framework_files_test.bin");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("0123456789", 10);
        EXPECT_EQ(file.GetLength(), 10u);
        file.SetLength(4);
        EXPECT_STREQ(file.GetFileName(), L"framework_files_test.bin");
    }
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 4u);
    EXPECT_STREQ(buffer, "0123");
    EXPECT_EQ(file.Seek(-2, CFile::end), 2u);
    file.Close();
    CFile::Remove(path.c_str());

    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    int cause = -1;
    try {
        CFile::Remove(path.c_str());
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CFileException::fileNotFound);
}

TEST(Files, StdioFileReadsLines)
{
    const std::wstring path = TempPath(L"framework_stdio_test.txt");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString(L"first line\n");
        file.WriteString(CString(L'x', 600) + L"\n");
        file.WriteString(L"last without end");
    }
    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeText);
    CString line;
    std::vector<std::wstring> lines;
    while (file.ReadString(line))
        lines.push_back(line.GetString());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"first line");
    EXPECT_EQ(lines[1].size(), 600u);
    EXPECT_EQ(lines[2], L"last without end");
    file.Close();
    CFile::Remove(path.c_str());
}
