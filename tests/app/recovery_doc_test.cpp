// The document's tables: image type codes, the collected image names, the current image, the folder
// clean-up and the database failure's text.
#include <afxdao.h>

#include <gtest/gtest.h>

#include "recovery_doc.h"
#include "support/test_paths.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A fresh folder in the temporary folder, removed with its files (one level) with the object.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_path = temp + Wide(test_support::UniqueTempName("recovery_doc_", ""));
        ::CreateDirectoryW(m_path.c_str(), NULL);
    }
    ~ScratchFolder()
    {
        WIN32_FIND_DATAW found = {};
        HANDLE search = ::FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring entry = m_path + L"\\" + found.cFileName;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                    ::DeleteFileW(entry.c_str());
                else if (found.cFileName[0] != L'.')
                    ::RemoveDirectoryW(entry.c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    void Add(const std::wstring& name, const std::string& bytes = "x") const
    {
        std::ofstream out((m_path + L"\\" + name).c_str(), std::ios::binary);
        out << bytes;
    }
    bool Has(const std::wstring& name) const
    {
        return ::GetFileAttributesW((m_path + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    CString Path() const { return m_path.c_str(); }

private:
    std::wstring m_path;
};

std::vector<std::wstring> Names(const CEx_StyleDoc& doc)
{
    std::vector<std::wstring> names;
    for (const CString& name : doc.m_imageNames)
        names.emplace_back(name);
    return names;
}

// A 1 x 1 bitmap file.
std::string TinyBmp()
{
    const unsigned char bytes[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0,   0, 1, 0,
                                   0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0,   0, 0, 0,
                                   0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 255, 0};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(RecoveryDoc, ImageTypeCodesByExtensionWithoutRegardToCase)
{
    const struct
    {
        const wchar_t* path;
        int code;
    } cases[] = {
        {L"a.JPEG", 3}, {L"b.tar", 0},  {L"c.jp2", 11},        {L"d.wbmp", 9}, {L"e.TIFF", 6},
        {L"f.bmp", 1},  {L"g.Ras", 15}, {L"h.emf", 10},        {L"i.ppm", 14}, {L"noextension", 0},
        {L"j.", 0},     {L"k.jpgx", 0}, {L"dir.png\\file", 0}, {L"l.jpc", 12},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(CEx_StyleDoc::IsImageFile(entry.path), entry.code) << std::wstring(entry.path).c_str();
}

TEST(RecoveryDoc, CollectsOnlyImagesLowerCasedInCodeUnitOrder)
{
    ScratchFolder folder;
    for (const wchar_t* name :
         {L"Zeta.PNG", L"alpha.jpg", L"_under.gif", L"Beta.bmp", L"notes.txt", L"b.tar"})
        folder.Add(name);
    ::CreateDirectoryW((std::wstring(folder.Path()) + L"\\sub.png").c_str(), NULL);
    CEx_StyleDoc doc;
    int refreshes = 0;
    doc.m_refreshThumbnails = [&] { ++refreshes; };
    doc.CollectImages(folder.Path());
    EXPECT_EQ(Names(doc), (std::vector<std::wstring>{L"_under.gif", L"alpha.jpg", L"beta.bmp", L"zeta.png"}));
    EXPECT_EQ(doc.m_nCurrentImage, -1);
    EXPECT_EQ(refreshes, 1);

    doc.CollectImages(folder.Path() + L"\\missing");
    EXPECT_TRUE(doc.m_imageNames.empty());
    EXPECT_EQ(refreshes, 2);
}

TEST(RecoveryDoc, TwentyThousandNamesSortInCodeUnitOrderWhetherSortedOrReversed)
{
    constexpr int kCount = 20000;
    std::vector<CString> sorted;
    for (int i = 0; i < kCount; ++i) {
        CString name;
        name.Format(L"img%05d.jpg", i);
        sorted.push_back(name);
    }
    std::vector<CString> names = sorted;
    SortImageNames(names);
    EXPECT_TRUE(names == sorted);
    std::reverse(names.begin(), names.end());
    SortImageNames(names);
    EXPECT_TRUE(names == sorted);
    // Code units, not letters: capitals and "_" sort before the small letters.
    std::vector<CString> mixed = {L"b", L"_", L"B", L"a", L"A"};
    SortImageNames(mixed);
    EXPECT_TRUE(mixed == (std::vector<CString>{L"A", L"B", L"_", L"a", L"b"}));
}

TEST(RecoveryDoc, LoadImageAtTheCurrentIndexOrPastTheEndChangesNothing)
{
    ScratchFolder folder;
    folder.Add(L"a.bmp", TinyBmp());
    folder.Add(L"b.bmp", TinyBmp());
    CEx_StyleDoc doc;
    doc.CollectImages(folder.Path());
    doc.LoadImageAt(0);
    ASSERT_EQ(doc.m_nCurrentImage, 0);
    ASSERT_NE(doc.m_pCurrentImage, nullptr);
    const auto* pFirst = doc.m_pCurrentImage.get();
    doc.LoadImageAt(0);
    EXPECT_EQ(doc.m_pCurrentImage.get(), pFirst);
    for (int index : {2, 100, -1}) {
        doc.LoadImageAt(index);
        EXPECT_EQ(doc.m_nCurrentImage, 0);
        EXPECT_EQ(doc.m_pCurrentImage.get(), pFirst);
    }
    doc.LoadImageAt(1);
    EXPECT_EQ(doc.m_nCurrentImage, 1);
    EXPECT_NE(doc.m_pCurrentImage, nullptr);
}

TEST(RecoveryDoc, DeleteFolderFilesDeletesTheFilesAndKeepsASubfolder)
{
    ScratchFolder folder;
    folder.Add(L"one.jpg");
    folder.Add(L"two.txt");
    const std::wstring sub = std::wstring(folder.Path()) + L"\\keep";
    ::CreateDirectoryW(sub.c_str(), NULL);
    {
        std::ofstream inner((sub + L"\\inner.txt").c_str());
        inner << "x";
    }
    CEx_StyleDoc doc;
    doc.CollectImages(folder.Path());
    ASSERT_EQ(doc.m_imageNames.size(), 1u);
    doc.DeleteFolderFiles(folder.Path());
    EXPECT_TRUE(doc.m_imageNames.empty());
    EXPECT_FALSE(folder.Has(L"one.jpg"));
    EXPECT_FALSE(folder.Has(L"two.txt"));
    EXPECT_TRUE(folder.Has(L"keep"));
    EXPECT_TRUE(folder.Has(L"keep\\inner.txt"));
    ::DeleteFileW((sub + L"\\inner.txt").c_str());
}

TEST(RecoveryDoc, DatabaseFailureTextSplitsTheStatusCode)
{
    CDaoException exception;
    exception.m_scode = static_cast<SCODE>(0x800A0BB9);
    EXPECT_EQ(std::wstring(DaoExceptionText(exception)),
              L"ERROR:CDaoException\n\nSCODE_CODE      =3001\nSCODE_FACILITY  =10\nSCODE_SEVERITY  =1\n"
              L"ResultFromScode =-2146825287\n");

    CEx_StyleDoc doc;
    bool thrown = false;
    try {
        doc.OpenDatabase(L"C:\\none.mdb");
    } catch (CDaoException* pException) {
        thrown = true;
        pException->Delete();
    }
    EXPECT_TRUE(thrown);
}

} // namespace
