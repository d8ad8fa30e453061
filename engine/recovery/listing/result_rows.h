#pragma once

// Rows of the result list as every listing writes them: inserted at the end, check box set as each is
// inserted. Internal to the listings.

#include <cstdint>
#include <string>

#include "engine/recovery/core/decimal_text.h"

class ResultListUi;

std::u16string FileTimeText(std::uint64_t filetime);
std::u16string FatDateText(std::uint16_t fatDate);

class ResultRows
{
public:
    // Starts the listing: every row of the list is deleted.
    ResultRows();
    // Ends the listing: the list shows every row.
    ~ResultRows();
    ResultRows(const ResultRows&) = delete;
    ResultRows& operator=(const ResultRows&) = delete;

    // The new row's index, or -1 when the list refused it (its texts are then not set).
    int Add(const char16_t* text, int imageIndex);
    void Set(int row, int column, const char16_t* text);
    void Set(int row, int column, const std::u16string& text) { Set(row, column, text.c_str()); }

    // The user asked the listing to stop: no further row is added.
    bool Stopped() const;

    void AddParentEntry();
    // Folder rows carry "Folder" or "Deleted Folder", size "0", and the tree item in the ID column.
    void AddFolder(const char16_t* name, bool deleted, const std::u16string& firstTime,
                   const std::u16string& secondTime, std::uint64_t treeItem);
    // File rows carry "Deleted " (when deleted) and the shell's type name, the size and the entry ID.
    void AddFile(const char16_t* name, bool deleted, std::uint64_t size, const std::u16string& firstTime,
                 const std::u16string& secondTime, std::uint64_t entryId);

private:
    ResultListUi& list;
    int count = 0;
};
