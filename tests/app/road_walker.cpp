#include "road_walker.h"

#include "support/screenshot.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kPollMs = 50;

// The home view's controls and the steps' buttons.
constexpr int kHomePathBox = 61492;
constexpr int kHomeQuickScan = 131;
constexpr int kHomeFileTrace = 132;
constexpr int kHomeExtensiveScan = 133;
constexpr int kStepForward = 159; // Next, Scan, Save
constexpr int kStepStop = 132;
constexpr int kStartSectorBox = 61462;
constexpr int kEndSectorBox = 61461;
constexpr int kStepTreeId = 162; // the partition step's partitions, the results view's folders
constexpr int kFileSystemTreeId = 156;
constexpr int kResultListId = 165;
constexpr int kFileTypeTree = 1085;
constexpr int kFileTypeSize = 1105;
// The common file dialog's name box: the combo box of the Explorer style, the edit of the old one.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
// The static where a message box keeps its text (the program's drawn boxes keep it hidden).
constexpr int kMessageTextId = 0xFFFF;
constexpr wchar_t kSavingCaption[] = L"Data is Saving please wait...";

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

bool HasChildOfClass(HWND parent, const wchar_t* className)
{
    for (HWND child : ChildWindows(parent)) {
        if (ProgramDriver::ClassName(child) == className)
            return true;
    }
    return false;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

} // namespace

RoadWalker::RoadWalker(ProgramDriver& program, std::wstring shotsFolder)
    : m_program(program), m_shots(std::move(shotsFolder))
{
    if (!m_shots.empty())
        SHCreateDirectoryExW(nullptr, m_shots.c_str(), nullptr);
}

bool RoadWalker::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline || !m_program.Running())
            return false;
        Sleep(kPollMs);
    }
}

bool RoadWalker::Start(const std::wstring& arguments, const std::wstring& currentFolder)
{
    if (!m_program.Start(arguments, currentFolder))
        return Fail(L"the program did not start");
    return AttachToFrame();
}

bool RoadWalker::AttachToFrame()
{
    m_frame = m_program.WaitForFrame(kStepWaitMs);
    if (m_frame == nullptr)
        return Fail(L"no frame came");
    m_stepEnd = GetTickCount64();
    // At the start the home view is shown and the others carry the ids of their steps; a switch only
    // trades ids, so the windows are known by their handles from here on.
    m_views[0] = ProgramDriver::ShownView(m_frame);
    for (int i = 1; i < 5; ++i)
        m_views[i] = GetDlgItem(m_frame, kShownViewId + i);
    return true;
}

WizardStep RoadWalker::ShownStep() const
{
    HWND shown = ProgramDriver::ShownView(m_frame);
    const WizardStep steps[] = {WizardStep::Home, WizardStep::Drive, WizardStep::Partition,
                                WizardStep::FileSystem, WizardStep::Results};
    for (int i = 0; i < 5; ++i) {
        if (shown != nullptr && shown == m_views[i] && IsWindowVisible(shown))
            return steps[i];
    }
    return WizardStep::Unknown;
}

bool RoadWalker::WaitForStep(WizardStep step, DWORD timeoutMs)
{
    return WaitUntil([&] { return ShownStep() == step; }, timeoutMs);
}

bool RoadWalker::ClickViewButton(int id, DWORD timeoutMs)
{
    HWND button = nullptr;
    const bool ready = WaitUntil(
        [&] {
            button = FindChild(ProgramDriver::ShownView(m_frame), id, L"Button");
            // Under a modal window (shown or still on its way) the user reaches no button of the frame.
            return button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button) &&
                   IsWindowEnabled(m_frame);
        },
        timeoutMs);
    if (!ready)
        return Fail(L"button " + std::to_wstring(id) + L" of the shown view was not ready");
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

void RoadWalker::Shot(const std::wstring& name, HWND window)
{
    if (m_shots.empty())
        return;
    if (window == nullptr)
        window = m_frame;
    // The program paints what the last message changed before the picture is read off the screen.
    Sleep(300);
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels = test_support::CaptureFramedWindow(window, width, height);
    WriteShot(name, pixels, width, height);
}

void RoadWalker::ScreenShot(const std::wstring& name)
{
    if (m_shots.empty())
        return;
    Sleep(300);
    RECT area = {};
    GetWindowRect(m_frame, &area);
    HDC screen = GetDC(nullptr);
    const std::vector<std::uint32_t> pixels = test_support::CaptureDc(screen, area);
    ReleaseDC(nullptr, screen);
    WriteShot(name, pixels, area.right - area.left, area.bottom - area.top);
}

void RoadWalker::WriteShot(const std::wstring& name, const std::vector<std::uint32_t>& pixels, int width,
                           int height)
{
    wchar_t number[8] = {};
    swprintf(number, 8, L"%02d", ++m_shotNumber);
    const std::wstring path = m_shots + L"\\" + number + L"-" + name + L".png";
    if (pixels.empty() || !test_support::WritePng(path, pixels.data(), width, height))
        fwprintf(stderr, L"road: no picture %ls\n", path.c_str());
}

bool RoadWalker::Fail(const std::wstring& what)
{
    m_failure = what;
    fprintf(stderr, "road: %s\n", Narrow(what).c_str());
    for (HWND window : m_program.TopLevelWindows()) {
        std::wstring buttons;
        for (const std::wstring& text : ProgramDriver::PushButtonTexts(window))
            buttons += L" [" + text + L"]";
        fprintf(stderr, "road:   window %s \"%s\"%s %s\n", Narrow(ProgramDriver::ClassName(window)).c_str(),
                Narrow(ProgramDriver::Text(window)).c_str(), Narrow(buttons).c_str(),
                Narrow(StaticTexts(window)).c_str());
    }
    if (m_frame != nullptr && IsWindow(m_frame))
        Shot(L"failure");
    return false;
}

HWND RoadWalker::Partner(const std::function<bool(HWND)>& test) const
{
    for (HWND window : m_program.TopLevelWindows()) {
        if (window != m_frame && test(window))
            return window;
    }
    return nullptr;
}

bool RoadWalker::Quiet() const
{
    // A modal loop disables the frame when its window is made, and shows the window only once the loop
    // first finds the queue empty: a box on its way is seen by the frame's state before it can be seen.
    if (!IsWindowEnabled(m_frame) || Partner([](HWND) { return true; }) != nullptr)
        return false;
    // The windows alone do not show that a command has ended: Save Recovery Snapshot writes its file on
    // the frame's thread after the file dialog has gone, with the frame enabled and no other window up.
    // That thread takes a sent message only once it is back in its message loop.
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, kStepWaitMs, &result) != 0;
}

bool RoadWalker::WaitQuiet(DWORD timeoutMs)
{
    // Quiet for a while: a please-wait box may come a moment after the click.
    int quietPolls = 0;
    ULONGLONG quietSince = 0;
    const bool quiet = WaitUntil(
        [&] {
            if (!Quiet()) {
                quietPolls = 0;
            } else if (quietPolls++ == 0) {
                quietSince = GetTickCount64();
            }
            return quietPolls >= 6;
        },
        timeoutMs);
    if (!quiet)
        return Fail(L"the program did not become quiet");
    m_stepEnd = quietSince;
    return true;
}

std::wstring RoadWalker::StaticTexts(HWND dialog)
{
    std::wstring texts;
    for (HWND child : ChildWindows(dialog)) {
        if (_wcsicmp(ProgramDriver::ClassName(child).c_str(), L"Static") != 0 ||
            (!IsWindowVisible(child) && GetDlgCtrlID(child) != kMessageTextId))
            continue;
        const std::wstring text = ProgramDriver::Text(child);
        if (text.empty())
            continue;
        if (!texts.empty())
            texts += L" ";
        texts += text;
    }
    return texts;
}

void RoadWalker::PrintMessage(HWND box)
{
    std::wstring text = StaticTexts(box);
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n' || c == L'\t')
            c = L' ';
    }
    printf("message\t%s\n", Narrow(text).c_str());
    fflush(stdout);
}

int RoadWalker::CountFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int files = 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            files += CountFiles(folder + L"\\" + name);
        else
            ++files;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

HWND RoadWalker::WaitForMessage(const std::vector<std::wstring>& buttons, DWORD timeoutMs)
{
    return m_program.WaitForBox(kProgramTitle, buttons, timeoutMs);
}

bool RoadWalker::TypeImagePath(const std::wstring& path)
{
    if (!WaitForStep(WizardStep::Home))
        return Fail(L"the home view is not shown");
    HWND box = FindChild(ProgramDriver::ShownView(m_frame), kHomePathBox, L"Edit");
    if (box == nullptr)
        return Fail(L"the home view has no path box");
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Shot(L"home-path");
    return true;
}

bool RoadWalker::ChooseMode(RoadMode mode)
{
    const int button = mode == RoadMode::Quick       ? kHomeQuickScan
                       : mode == RoadMode::Extensive ? kHomeExtensiveScan
                                                     : kHomeFileTrace;
    // The home view shows only Quick Scan's button; the other modes are the frame's commands.
    if (mode == RoadMode::Quick) {
        if (!ClickViewButton(button))
            return false;
    } else {
        ProgramDriver::PostCommand(m_frame, button);
    }
    if (!WaitForStep(WizardStep::Drive))
        return Fail(L"the drive step did not follow the mode button");
    Shot(L"drive-step");
    return true;
}

bool RoadWalker::SearchPartitions()
{
    if (!ClickViewButton(kStepForward))
        return false;
    HWND question = nullptr;
    if (!WaitUntil(
            [&] {
                question = m_program.WaitForBox(L"Partition Type", {L"OK"}, 0);
                return question != nullptr;
            },
            kStepWaitMs))
        return Fail(L"no Partition Type question");
    Shot(L"partition-type", question);
    ProgramDriver::ClickButton(question, L"OK");
    if (!WaitForStep(WizardStep::Partition))
        return Fail(L"the partition step did not follow");
    // The search fills the tree on its worker; Scan shows once it has ended.
    HWND scan = nullptr;
    if (!WaitUntil(
            [&] {
                scan = FindChild(ProgramDriver::ShownView(m_frame), kStepForward, L"Button");
                return scan != nullptr && IsWindowVisible(scan) && IsWindowEnabled(scan) && Quiet();
            },
            kStepWaitMs))
        return Fail(L"the partition search did not end");
    m_stepEnd = GetTickCount64();
    Shot(L"partition-step");
    return true;
}

bool RoadWalker::ChoosePartition(int row)
{
    HWND treeWindow = FindChild(ProgramDriver::ShownView(m_frame), kStepTreeId, L"SysTreeView32");
    if (treeWindow == nullptr)
        return Fail(L"the partition step has no tree");
    RemoteTree tree(m_program.Process(), treeWindow);
    // The partitions hang below the disk's group, named from "Partition 0" in table order.
    const std::wstring name = L"Partition " + std::to_wstring(row - 1);
    std::function<HTREEITEM(HTREEITEM)> find = [&](HTREEITEM parent) -> HTREEITEM {
        for (HTREEITEM child : tree.Children(parent)) {
            if (tree.Text(child) == name)
                return child;
            if (HTREEITEM below = find(child))
                return below;
        }
        return nullptr;
    };
    HTREEITEM item = find(nullptr);
    if (item == nullptr)
        return Fail(L"the tree has no " + name);
    tree.EnsureVisible(item);
    if (!tree.ClickPart(item, TVHT_ONITEMLABEL))
        return Fail(L"no place to click on " + name);
    const bool selected = WaitUntil(
        [&] {
            return reinterpret_cast<HTREEITEM>(SendMessageW(treeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0)) ==
                   item;
        },
        kStepWaitMs);
    if (!selected)
        return Fail(name + L" was not selected");
    Shot(L"partition-chosen");
    return true;
}

bool RoadWalker::StartScan(RoadMode mode)
{
    if (!ClickViewButton(kStepForward))
        return false;
    if (mode == RoadMode::Trace) {
        HWND types = nullptr;
        if (!WaitUntil(
                [&] {
                    types = m_program.WaitForBox(L"File Types", {L"OK"}, 0);
                    return types != nullptr;
                },
                kStepWaitMs))
            return Fail(L"no File Types dialog");
        // Every type of the signature file: the root's box checked (its types start checked).
        RemoteTree typeTree(m_program.Process(), GetDlgItem(types, kFileTypeTree));
        HTREEITEM typesRoot = typeTree.Root();
        for (int clicks = 0; typesRoot != nullptr && typeTree.CheckState(typesRoot) != 2; ++clicks) {
            if (clicks == 2 || !typeTree.ClickPart(typesRoot, TVHT_ONITEMSTATEICON))
                return Fail(L"the File Types root's box does not come on");
            Sleep(300);
        }
        if (typesRoot == nullptr)
            return Fail(L"the File Types dialog lists no types");
        HWND size = GetDlgItem(types, kFileTypeSize);
        m_traceItemSize = size != nullptr ? ProgramDriver::Text(size) : L"";
        Shot(L"file-types", types);
        ProgramDriver::ClickButton(types, L"OK");
    }
    return true;
}

bool RoadWalker::Scan(RoadMode mode, DWORD timeoutMs)
{
    if (!StartScan(mode))
        return false;
    const WizardStep next = mode == RoadMode::Extensive ? WizardStep::FileSystem : WizardStep::Results;
    if (!m_shots.empty()) {
        Sleep(500);
        Shot(L"scanning");
    }
    if (!WaitForStep(next, timeoutMs))
        return Fail(L"the scan did not end in time");
    if (!WaitQuiet(timeoutMs))
        return false;
    Shot(mode == RoadMode::Extensive ? L"file-system-step" : L"results");
    return true;
}

bool RoadWalker::ChooseVolume(int k, DWORD timeoutMs)
{
    HWND treeWindow = FindChild(ProgramDriver::ShownView(m_frame), kFileSystemTreeId, L"SysTreeView32");
    if (treeWindow == nullptr)
        return Fail(L"the file-system step has no tree");
    RemoteTree tree(m_program.Process(), treeWindow);
    // The found volumes, "NTFS @ <sector>" and the like, in the order found, at any depth.
    std::vector<HTREEITEM> volumes;
    std::function<void(HTREEITEM)> collect = [&](HTREEITEM parent) {
        for (HTREEITEM child : tree.Children(parent)) {
            if (tree.Text(child).find(L" @") != std::wstring::npos)
                volumes.push_back(child);
            collect(child);
        }
    };
    collect(nullptr);
    if (k < 1 || static_cast<size_t>(k) > volumes.size())
        return Fail(L"the scan found " + std::to_wstring(volumes.size()) + L" volumes, none numbered " +
                    std::to_wstring(k));
    HTREEITEM item = volumes[static_cast<size_t>(k - 1)];
    printf("volume\t%s\n", Narrow(tree.Text(item)).c_str());
    tree.EnsureVisible(item);
    if (!tree.ClickPart(item, TVHT_ONITEMLABEL))
        return Fail(L"no place to click on the volume");
    Sleep(300);
    Shot(L"volume-chosen");
    if (!ClickViewButton(kStepForward))
        return false;
    Sleep(500);
    Shot(L"parsing");
    if (!WaitForStep(WizardStep::Results, timeoutMs))
        return Fail(L"the results view did not follow the volume's Next");
    if (!WaitQuiet(timeoutMs))
        return false;
    Shot(L"results");
    return true;
}

bool RoadWalker::ScanAndStop(RoadMode mode, const std::wstring& firstSector, const std::wstring& lastSector,
                             DWORD timeoutMs)
{
    if (!firstSector.empty()) {
        HWND view = ProgramDriver::ShownView(m_frame);
        HWND first = FindChild(view, kStartSectorBox, L"Edit");
        HWND last = FindChild(view, kEndSectorBox, L"Edit");
        if (first == nullptr || last == nullptr)
            return Fail(L"the partition step has no sector fields");
        SendMessageW(first, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(firstSector.c_str()));
        SendMessageW(last, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lastSector.c_str()));
    }
    if (!StartScan(mode))
        return false;
    // A small scan may end before its Stop can be pressed: then the step it ended on stands, and the wait
    // below reads it.
    HWND stopButton = nullptr;
    const bool stopReady = WaitUntil(
        [&] {
            stopButton = FindChild(ProgramDriver::ShownView(m_frame), kStepStop, L"Button");
            if (stopButton != nullptr && IsWindowVisible(stopButton) && IsWindowEnabled(stopButton) &&
                IsWindowEnabled(m_frame))
                return true;
            stopButton = nullptr;
            const WizardStep step = ShownStep();
            return step == WizardStep::Results || step == WizardStep::Home ||
                   m_program.WaitForBox(kProgramTitle, {L"OK"}, 0) != nullptr;
        },
        kStepWaitMs);
    if (!stopReady)
        return Fail(L"button " + std::to_wstring(kStepStop) + L" of the shown view was not ready");
    if (stopButton != nullptr)
        PostMessageW(GetParent(stopButton), WM_COMMAND, MAKEWPARAM(kStepStop, BN_CLICKED),
                     reinterpret_cast<LPARAM>(stopButton));
    // A scan that ends before its Stop is handled asks nothing: the step it ended on is where the stop
    // ends too.
    bool asked = false;
    const bool settled = WaitUntil(
        [&] {
            HWND question = asked ? nullptr : m_program.WaitForBox(kProgramTitle, {L"Yes", L"No"}, 0);
            if (question != nullptr) {
                PrintMessage(question);
                Shot(L"stop-question", question);
                ProgramDriver::ClickButton(question, L"Yes");
                asked = true;
                return false;
            }
            // "Nothing found" and the like: read, pictured and answered.
            if (HWND notice = m_program.WaitForBox(kProgramTitle, {L"OK"}, 0)) {
                PrintMessage(notice);
                Shot(L"stopped-notice", notice);
                printf("notice\t%s\n", Narrow(StaticTexts(notice)).c_str());
                ProgramDriver::ClickButton(notice, L"OK");
                return false;
            }
            const WizardStep step = ShownStep();
            if (step != WizardStep::Results && step != WizardStep::FileSystem && step != WizardStep::Home)
                return false;
            HWND stop = FindChild(ProgramDriver::ShownView(m_frame), kStepStop, L"Button");
            return (stop == nullptr || !IsWindowVisible(stop)) && Quiet();
        },
        timeoutMs);
    if (settled && !asked)
        puts("stop\tthe scan ended before Stop was handled");
    if (!settled)
        return Fail(L"the stopped scan did not end on a step");
    Shot(L"stopped");
    return true;
}

bool RoadWalker::Leave(int button, const std::vector<WizardStep>& to)
{
    const WizardStep from = ShownStep();
    if (!ClickViewButton(button))
        return false;
    const bool arrived = WaitUntil(
        [&] {
            if (HWND question = m_program.WaitForBox(kProgramTitle, {L"Yes", L"No"}, 0)) {
                PrintMessage(question);
                Shot(L"snapshot-question", question);
                ProgramDriver::ClickButton(question, L"No");
                return false;
            }
            const WizardStep step = ShownStep();
            return step != from && std::find(to.begin(), to.end(), step) != to.end() && Quiet();
        },
        kStepWaitMs);
    if (!arrived)
        return Fail(button == kStepHome ? L"Home did not reach its step" : L"Back did not reach its step");
    Shot(button == kStepHome ? L"after-home" : L"after-back");
    return true;
}

RemoteTree RoadWalker::ResultTree() const
{
    return RemoteTree(m_program.Process(), FindChild(m_views[4], kStepTreeId, L"SysTreeView32"));
}

std::vector<std::vector<std::wstring>> RoadWalker::ResultRows(int most) const
{
    HWND list = FindChild(m_views[4], kResultListId, L"SysListView32");
    if (list == nullptr)
        return {};
    return RemoteList(m_program.Process(), list).Rows(most);
}

bool RoadWalker::ToggleBox(HTREEITEM item, DWORD timeoutMs)
{
    RemoteTree tree = ResultTree();
    const int before = tree.CheckState(item);
    tree.EnsureVisible(item);
    if (!tree.ClickPart(item, TVHT_ONITEMSTATEICON))
        return Fail(L"no box to click on " + tree.Text(item));
    if (!WaitUntil([&] { return tree.CheckState(item) != before; }, timeoutMs))
        return Fail(L"the box of " + tree.Text(item) + L" did not change");
    return WaitQuiet(timeoutMs);
}

bool RoadWalker::ClickResultHeader(int column, DWORD timeoutMs)
{
    HWND list = FindChild(m_views[4], kResultListId, L"SysListView32");
    HWND header = list != nullptr ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)) : nullptr;
    RemoteMemory remote(m_program.Process(), sizeof(RECT));
    RECT rect = {};
    if (header == nullptr || !remote.Valid() ||
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), remote.Param()) == 0 ||
        !remote.Read(&rect, sizeof rect))
        return Fail(L"the result list has no header item " + std::to_wstring(column));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // Sent, not posted: each returns once the header, and the view its click goes to, have handled it.
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(header, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, timeoutMs, &result) == 0 ||
        SendMessageTimeoutW(header, WM_LBUTTONUP, 0, at, SMTO_NORMAL, timeoutMs, &result) == 0)
        return Fail(L"the program did not answer a click on the header");
    m_stepEnd = GetTickCount64();
    return true;
}

bool RoadWalker::Expand(HTREEITEM item)
{
    RemoteTree tree = ResultTree();
    if (tree.Expanded(item))
        return true;
    tree.EnsureVisible(item);
    if (!tree.ClickPart(item, TVHT_ONITEMBUTTON))
        return Fail(L"no button to expand " + tree.Text(item));
    if (!WaitUntil([&] { return tree.Expanded(item); }, kStepWaitMs))
        return Fail(tree.Text(item) + L" did not expand");
    return WaitQuiet();
}

bool RoadWalker::ListFolder(HTREEITEM item, DWORD timeoutMs)
{
    RemoteTree tree = ResultTree();
    tree.EnsureVisible(item);
    if (!tree.ClickPart(item, TVHT_ONITEMLABEL))
        return Fail(L"no place to click on " + tree.Text(item));
    if (!WaitUntil([&] { return tree.Selected() == item; }, timeoutMs))
        return Fail(L"the list of " + tree.Text(item) + L" did not come");
    return WaitQuiet(timeoutMs);
}

HTREEITEM RoadWalker::FolderItem(const std::wstring& path)
{
    RemoteTree tree = ResultTree();
    HTREEITEM item = tree.Root();
    size_t start = 0;
    while (item != nullptr && start < path.size()) {
        size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        if (!Expand(item))
            return nullptr;
        item = tree.Child(item, name);
        if (item == nullptr)
            Fail(L"no folder " + name + L" in the results tree");
    }
    return item;
}

namespace {

// The folder's names from the drive down: "Z:\\a\\b" gives "Z:", "a", "b".
std::vector<std::wstring> FolderNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= folder.size()) {
        size_t end = folder.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = folder.size();
        if (end > start)
            names.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// The browser shows a drive as "<label> (Z:)".
bool IsDriveItem(const std::wstring& text, const std::wstring& drive)
{
    return text.size() >= drive.size() + 2 &&
           SameName(text.substr(text.size() - drive.size() - 2), L"(" + drive + L")");
}

// Whether the tree's selected item is the folder: its names up to the drive are the path's.
bool SelectedIsFolder(const RemoteTree& tree, const std::vector<std::wstring>& names)
{
    HTREEITEM item = tree.Selected();
    for (size_t i = names.size(); i-- > 1;) {
        if (item == nullptr || !SameName(tree.Text(item), names[i]))
            return false;
        item = tree.Parent(item);
    }
    return item != nullptr && IsDriveItem(tree.Text(item), names[0]);
}

} // namespace

bool RoadWalker::ChooseBrowserFolder(HWND browser, const std::wstring& folder)
{
    HWND treeWindow = nullptr;
    for (HWND child : ChildWindows(browser)) {
        if (ProgramDriver::ClassName(child) == L"SysTreeView32")
            treeWindow = child;
    }
    const std::vector<std::wstring> names = FolderNames(folder);
    if (treeWindow == nullptr || names.empty())
        return Fail(L"the folder browser has no tree");
    RemoteTree tree(m_program.Process(), treeWindow);
    // The browser offers the program's current folder; where it stops short, the folder is opened
    // level by level from its drive, as a user does.
    if (WaitUntil([&] { return SelectedIsFolder(tree, names); }, 3000))
        return true;
    HTREEITEM item = nullptr;
    std::function<HTREEITEM(HTREEITEM)> findDrive = [&](HTREEITEM parent) -> HTREEITEM {
        for (HTREEITEM child : tree.Children(parent)) {
            if (IsDriveItem(tree.Text(child), names[0]))
                return child;
            if (HTREEITEM below = findDrive(child))
                return below;
        }
        return nullptr;
    };
    item = findDrive(nullptr);
    for (size_t i = 1; item != nullptr && i < names.size(); ++i) {
        if (!tree.Expanded(item)) {
            tree.EnsureVisible(item);
            if (!tree.ClickPart(item, TVHT_ONITEMBUTTON))
                return Fail(L"the folder browser offers no button on " + tree.Text(item));
        }
        HTREEITEM parent = item;
        item = nullptr;
        WaitUntil(
            [&] {
                for (HTREEITEM child : tree.Children(parent)) {
                    if (SameName(tree.Text(child), names[i]))
                        item = child;
                }
                return item != nullptr;
            },
            10000);
    }
    if (item == nullptr)
        return Fail(L"the folder browser does not show " + folder);
    tree.EnsureVisible(item);
    tree.ClickPart(item, TVHT_ONITEMLABEL);
    if (!WaitUntil([&] { return SelectedIsFolder(tree, names); }, 10000))
        return Fail(L"the folder browser did not select " + folder);
    return true;
}

bool RoadWalker::StartSave(const std::wstring& folder)
{
    if (!ClickViewButton(kStepForward))
        return false;
    // The folder browser: a dialog with a tree of folders and OK.
    HWND browser = nullptr;
    if (!WaitUntil(
            [&] {
                browser = Partner([](HWND window) {
                    return ProgramDriver::ClassName(window) == L"#32770" &&
                           FindChild(window, IDOK, L"Button") != nullptr &&
                           HasChildOfClass(window, L"SysTreeView32");
                });
                return browser != nullptr;
            },
            kStepWaitMs))
        return Fail(L"no folder browser after Save");
    if (!ChooseBrowserFolder(browser, folder))
        return false;
    Shot(L"folder-browser", browser);
    HWND ok = FindChild(browser, IDOK, L"Button");
    m_saveStart = GetTickCount64();
    PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    return true;
}

bool RoadWalker::Save(const std::wstring& folder, std::wstring& outcome, DWORD timeoutMs)
{
    if (!StartSave(folder))
        return false;
    HWND saving = nullptr;
    if (WaitUntil(
            [&] {
                saving = m_program.WaitForBox(kSavingCaption, {}, 0);
                return saving != nullptr;
            },
            5000))
        Shot(L"saving", saving);
    HWND message = WaitForMessage({L"OK"}, timeoutMs);
    if (message == nullptr)
        return Fail(L"the save said nothing in time");
    const ULONGLONG said = GetTickCount64();
    outcome = StaticTexts(message);
    PrintMessage(message);
    Shot(L"saved", message);
    ProgramDriver::ClickButton(message, L"OK");
    const bool quiet = WaitQuiet();
    m_stepEnd = said;
    return quiet;
}

bool RoadWalker::StopSave(const std::wstring& folder, DWORD holdMs, StopSaveCounts& counts,
                          std::wstring& outcome, DWORD timeoutMs)
{
    if (!StartSave(folder))
        return false;
    // Stop Saving once the folder holds files; a save that ends first shows its message instead.
    HWND saving = nullptr;
    HWND message = nullptr;
    if (!WaitUntil(
            [&] {
                saving = m_program.WaitForBox(kSavingCaption, {}, 0);
                message = m_program.WaitForBox(kProgramTitle, {L"OK"}, 0);
                return message != nullptr || (saving != nullptr && CountFiles(folder) > 0);
            },
            timeoutMs))
        return Fail(L"the save wrote no file in time");
    if (message != nullptr) {
        outcome = StaticTexts(message);
        PrintMessage(message);
        ProgramDriver::ClickButton(message, L"OK");
        return Fail(L"the save ended before Stop Saving");
    }
    PostMessageW(saving, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    HWND question = WaitForMessage({L"Yes", L"No"}, timeoutMs);
    if (question == nullptr)
        return Fail(L"Stop Saving asked nothing");
    counts.atQuestion = CountFiles(folder);
    PrintMessage(question);
    Shot(L"stop-saving-question", question);
    Sleep(holdMs);
    counts.afterHold = CountFiles(folder);
    ProgramDriver::ClickButton(question, L"Yes");
    // The saving dialog closes; whatever message comes on the way is read and answered.
    outcome = L"stopped";
    const bool ended = WaitUntil(
        [&] {
            if (HWND box = m_program.WaitForBox(kProgramTitle, {L"OK"}, 0)) {
                outcome = StaticTexts(box);
                PrintMessage(box);
                Shot(L"stopped-save-message", box);
                ProgramDriver::ClickButton(box, L"OK");
                return false;
            }
            return m_program.WaitForBox(kSavingCaption, {}, 0) == nullptr && Quiet();
        },
        timeoutMs);
    if (!ended)
        return Fail(L"the stopped save did not end");
    counts.atEnd = CountFiles(folder);
    Shot(L"save-stopped");
    return true;
}

bool RoadWalker::AnswerFileDialog(const std::wstring& name, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    HWND box = nullptr;
    if (!WaitUntil(
            [&] {
                dialog = Partner([&](HWND window) {
                    box = FindChild(window, kFileNameCombo, nullptr);
                    if (box == nullptr)
                        box = FindChild(window, kFileNameEdit, nullptr);
                    return box != nullptr;
                });
                return dialog != nullptr;
            },
            timeoutMs))
        return Fail(L"no file dialog");
    Sleep(300);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Shot(L"file-dialog", dialog);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeoutMs))
        return Fail(L"the file dialog stayed");
    return true;
}
