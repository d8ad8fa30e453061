#pragma once

// What the results view's tests share: the program's results view, the test disks' partitions and a
// Quick Scan that ends on the results view as the partition step ends it.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/oracle_files.h"

class CThirdView_HDD;
class CRecoveryTreeCtrl;

CThirdView_HDD* Results();

using Partition = test_support::PartitionRow;

// A row of the test disks' partitions.tsv; fails the test when there is none.
Partition FindPartition(const std::string& disk, const std::string& part);

std::string Utf8(const CString& text);

// The partition step's Scan and the end of its worker: the step numbers Scan writes, the scan, then the
// hand-over to the results view. False when the image or the scan failed.
bool QuickScanToResults(const Partition& partition);

// The Extensive Scan of the partition's sectors as the partition step's worker runs it, its first volume
// chosen and parsed as the file-system step does, then the results view. False when the image, the scan
// or the volume failed.
bool ExtensiveScanToResults(const Partition& partition);

// A File Trace of the partition's sectors as the partition step's worker runs it, for sectors every FAT32
// volume holds (its boot sector and FSInfo with their backups, and each folder's first sector), then the
// results view. False when the image or the scan failed.
bool FileTraceToResults(const Partition& partition);

// A File Trace's found items, numbered from 1 in order, and the tree over them: Root with one item per
// type. The scan kind becomes File Trace. Returns the root.
struct TraceRecordTexts
{
    const char16_t* name;
    const char16_t* extension;
    const char16_t* type;
};
HTREEITEM BuildFileTraceTree(std::initializer_list<TraceRecordTexts> records);

// The result list's row with that name (without regard to case), or -1.
int RowNamed(const CString& name);

// Every item below the tree's root, in pre-order.
std::vector<HTREEITEM> TreeItemsBelowRoot(CRecoveryTreeCtrl& tree);

// A press and release of the left button on the result list row's box, as the mouse gives them.
void ClickRowBox(int row);

// A press and release of the left button at a point of the screen, through the display's own input.
void ClickOnScreen(CPoint screenPoint);

// The point of the item's box in the tree (the first point left of its label that the tree calls its
// state image), the item scrolled into view first.
CPoint TreeBoxPoint(CTreeCtrl& tree, HTREEITEM item);

// The main window, redrawn, as <name>.png in the screenshots folder.
void Screenshot(const std::wstring& name);

// One partition of the test disks to scan, and the screenshot of its results.
struct ScanCase
{
    const char* disk;
    const char* part;
    const wchar_t* screenshot;
};

// The results view empty again and the wizard on the home view, as a test found them.
void ResetResultsView();

// A test on the maximised frame that may leave the current folder elsewhere (the folder browser, a save):
// the folder is restored and the results view emptied after each test.
class MaximisedFrameTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring m_current;
};

// While it lives: the first "File/Folder Properties" dialog that opens has its name, size and contents
// read (and is photographed as <screenshot>.png when one is named), then is closed with OK. A thread timer,
// which the dialog's loop serves.
class PropertiesReader
{
public:
    explicit PropertiesReader(const wchar_t* screenshot);
    ~PropertiesReader();
    PropertiesReader(const PropertiesReader&) = delete;
    PropertiesReader& operator=(const PropertiesReader&) = delete;

    std::wstring name, size, contents;
    bool seen = false;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    static inline PropertiesReader* s_reader = nullptr;
    const wchar_t* m_screenshot;
    UINT_PTR m_timer = 0;
};
