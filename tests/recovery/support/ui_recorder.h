#pragma once

// A user interface for engine tests: every call the engine makes is logged as one line
// "part.Method(arguments)", texts in UTF-8 and quoted, and the trees and the result list are modelled far
// enough for the engine to read back what it wrote. Answers to questions and dialogs are set by the test.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/recovery/core/engine_ui.h"

std::string Utf8(std::u16string_view text);

class UiRecorder
{
public:
    UiRecorder();
    UiRecorder(const UiRecorder&) = delete;
    UiRecorder& operator=(const UiRecorder&) = delete;

    // Attaches every part to the engine (engineUi).
    void Attach();

    // Every call so far, in order.
    std::vector<std::string> Calls() const;
    // The argument lists of the calls whose "part.Method" is `method`, in order.
    std::vector<std::string> ArgumentsOf(std::string_view method) const;
    void Clear();

    // Answers.
    int questionAnswer = kAnswerNo;
    bool partitionTypeConfirmed = false;
    bool partitionTypeUseExisting = true;
    bool fileDialogConfirmed = false;
    std::u16string fileDialogPath;
    std::u16string targetFolder;
    std::vector<std::uint64_t> markedEntryIds;
    std::vector<TreeItemValue> markedTreeItems;
    // What the folder browser answers (empty: cancelled).
    std::u16string browseFolderAnswer;
    // The shell's answers by upper-case extension with its dot (u".JPG"); an extension not listed gets
    // icon 1 and the type name "<EXT> File" ("File" without an extension). Folders get icon 3.
    std::map<std::u16string, std::u16string> shellTypeNames;
    std::map<std::u16string, int> shellIconIndexes;
    // Death tests read messages from the dying process's stderr.
    bool echoMessagesToStderr = false;

    struct TreeItem
    {
        std::u16string text;
        TreeItemValue parent;
    };
    // Items of the file-system tree and the recovered-items tree; an item's value is its index + 1.
    std::vector<TreeItem> partitionTreeItems;
    std::vector<TreeItem> recoveryTreeItems;
    // Rows of the result list, each a list of column texts.
    std::vector<std::vector<std::u16string>> resultRows;

    void Log(std::string line);
    // Called with each line as it is logged, on the engine's thread (a test's stand-in for the user).
    std::function<void(const std::string& line)> onLog;

private:
    mutable std::mutex logLock;
    std::vector<std::string> log;

    // One object per engine interface, so that methods of the same name stay apart in the log.
    struct Parts;
    std::unique_ptr<Parts> parts;

public:
    ~UiRecorder();
};
