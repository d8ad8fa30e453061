// road-driver: walks the program's road for one partition of a disk image and saves what it marks.
//
//   road-driver IMAGE --partition N --mode quick|extensive|trace [--volume K] [--folder PATH] --out DIR
//               [--shots DIR] [--second-copy] [--time-limit SECONDS] [--timing [--lists-only]]
//   road-driver --tour FILE [--shots DIR] [--time-limit SECONDS]
//
// A tour walks several legs in one run of the program, one leg a line of FILE, tab-separated:
// IMAGE PARTITION MODE VOLUME FOLDER OUTDIR ACTION THEN ("-" for no volume or folder). ACTION "save" marks
// and saves into OUTDIR as the single road does; "stop" starts the scan, stops it at once and saves
// nothing (the FOLDER of an Extensive Scan's stop leg may be "FIRST-LAST": the sectors it scans, long
// enough that Stop finds it running); "stopsave" marks and saves into OUTDIR, presses Stop Saving once
// OUTDIR holds its first files, leaves the question up for 5 s and answers Yes, and prints a "stopsave"
// line with the files in OUTDIR when the question came, after the 5 s and at the end. THEN "back" goes Back
// from the results or the stopped step (the next leg keeps the image and mode, and picks its partition, or
// after an Extensive Scan its volume, on the step Back showed), "home" goes Home (the next leg opens its own
// image), "end" exits. Each leg prints a "leg" line; the tour returns 0 only when every leg reached its
// steps, every saving leg saved every file and every stopsave leg wrote no file while its question stood and
// showed no message after Yes. Every message box the road meets is printed on a "message" line.
//
// Paths are this system's. The program starts with DIR as its current folder, which the folder browser
// offers. Prints what it read on the way as tab-separated lines (the volume, the File Types item size, the
// results tree and list, the save's closing message) and returns 0 only when the program said that every
// file was saved. --second-copy starts a second copy on the partition step and answers its message.
// --timing also lists the first folder below the root, sorts it by a click on the list's header over
// the name (twice: ascending, then descending), the size and the creation time, and lists the root again
// before marking, and prints each step's seconds as "time STEP SECONDS" (start, partition-list, scan or
// the Extensive Scan's scan and volume, first-list, sort-name, sort-name-descending, sort-size, sort-time,
// root-list, toggle-off, toggle-on, save), from the click or the start to the moment its outcome showed,
// with the longest the program's frame took meanwhile to answer a message as "freeze STEP SECONDS",
// and the program's memory after the first folder's list and after its sorts as "memory STEP MiB PEAK-MiB"
// (its working set and the working set's peak). --lists-only ends after the lists: the program exits
// without marking or saving.
#include "road_walker.h"

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kAllSaved[] = L"Files Saved Successfully.";
// How long a stopsave leg leaves Stop Saving's question up.
constexpr DWORD kStopSaveHoldMs = 5000;

struct Options
{
    std::wstring image;
    int partition = 0;
    RoadMode mode = RoadMode::Quick;
    bool modeGiven = false;
    int volume = 1;
    std::wstring folder;
    std::wstring out;
    std::wstring shots;
    bool secondCopy = false;
    bool timing = false;
    bool listsOnly = false;
    DWORD limitMs = kStepWaitMs;
};

int Usage()
{
    fputs("usage: road-driver IMAGE --partition N --mode quick|extensive|trace [--volume K] [--folder PATH]\n"
          "                   --out DIR [--shots DIR] [--second-copy] [--time-limit SECONDS] [--timing]\n"
          "       road-driver --tour FILE [--shots DIR] [--time-limit SECONDS]\n",
          stderr);
    return 2;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == L"--partition" && hasValue) {
            options.partition = _wtoi(argv[++i]);
        } else if (argument == L"--mode" && hasValue) {
            const std::wstring mode = argv[++i];
            options.modeGiven = true;
            if (mode == L"quick")
                options.mode = RoadMode::Quick;
            else if (mode == L"extensive")
                options.mode = RoadMode::Extensive;
            else if (mode == L"trace")
                options.mode = RoadMode::Trace;
            else
                return false;
        } else if (argument == L"--volume" && hasValue) {
            options.volume = _wtoi(argv[++i]);
        } else if (argument == L"--folder" && hasValue) {
            options.folder = argv[++i];
        } else if (argument == L"--out" && hasValue) {
            options.out = argv[++i];
        } else if (argument == L"--shots" && hasValue) {
            options.shots = argv[++i];
        } else if (argument == L"--time-limit" && hasValue) {
            options.limitMs = static_cast<DWORD>(_wtoi(argv[++i])) * 1000;
        } else if (argument == L"--second-copy") {
            options.secondCopy = true;
        } else if (argument == L"--lists-only") {
            options.listsOnly = true;
        } else if (argument == L"--timing") {
            options.timing = true;
        } else if (!argument.starts_with(L"--") && options.image.empty()) {
            options.image = argument;
        } else {
            return false;
        }
    }
    return !options.image.empty() && options.partition >= 1 && options.modeGiven && !options.out.empty() &&
           options.volume >= 1 && options.limitMs > 0;
}

void PrintLine(const char* kind, const std::vector<std::wstring>& fields)
{
    std::string line = kind;
    for (const std::wstring& field : fields) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, field.c_str(), static_cast<int>(field.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, field.c_str(), static_cast<int>(field.size()), text.data(), size,
                            nullptr, nullptr);
        line += "\t" + text;
    }
    puts(line.c_str());
    fflush(stdout);
}

// The items of the results tree that are shown, depth first, with their boxes.
void PrintTree(const RemoteTree& tree, HTREEITEM parent, int depth)
{
    for (HTREEITEM item : tree.Children(parent)) {
        PrintLine("tree", {std::to_wstring(depth), tree.Text(item), std::to_wstring(tree.CheckState(item))});
        if (tree.Expanded(item))
            PrintTree(tree, item, depth + 1);
    }
}

// Prints the seconds from `started` to the end of the road's last step when timing is asked for.
class StepTimer
{
public:
    StepTimer(const RoadWalker& road, bool enabled) : m_road(road), m_enabled(enabled) {}
    // Runs a step and prints its time once it went through, and the longest time the program's window
    // thread took to answer a message meanwhile (a freeze the user would see).
    template <class Step> bool Timed(const char* name, Step step)
    {
        const ULONGLONG started = GetTickCount64();
        std::atomic<bool> stepDone{false};
        std::atomic<ULONGLONG> longest{0};
        std::thread watcher;
        if (m_enabled) {
            watcher = std::thread([&] {
                const HWND frame = m_road.Frame();
                while (!stepDone.load()) {
                    const ULONGLONG sent = GetTickCount64();
                    DWORD_PTR answer = 0;
                    SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &answer);
                    const ULONGLONG took = GetTickCount64() - sent;
                    if (took > longest.load())
                        longest = took;
                    Sleep(10);
                }
            });
        }
        const bool went = step();
        stepDone = true;
        if (watcher.joinable())
            watcher.join();
        if (!went)
            return false;
        Print(name, started);
        if (m_enabled) {
            printf("freeze\t%s\t%.3f\n", name, static_cast<double>(longest.load()) / 1000.0);
            fflush(stdout);
        }
        return true;
    }
    void Print(const char* name, ULONGLONG started) const
    {
        if (!m_enabled)
            return;
        printf("time\t%s\t%.3f\n", name, static_cast<double>(m_road.StepEnd() - started) / 1000.0);
        fflush(stdout);
    }
    bool Enabled() const { return m_enabled; }

private:
    const RoadWalker& m_road;
    bool m_enabled;
};

// A second copy says that one runs already and ends; the first goes on.
bool StartSecondCopy(RoadWalker& road, ProgramDriver& first)
{
    ProgramDriver second;
    if (!second.Start())
        return road.Fail(L"the second copy did not start");
    HWND box = second.WaitForBox(kProgramTitle, {L"OK"}, kStepWaitMs);
    if (box == nullptr)
        return road.Fail(L"the second copy showed no message");
    PrintLine("second-copy", {ProgramDriver::Text(box)});
    RoadWalker::PrintMessage(box);
    road.Shot(L"second-copy", box);
    ProgramDriver::ClickButton(box, L"OK");
    DWORD exitCode = 0;
    if (!second.WaitForExit(kStepWaitMs, exitCode))
        return road.Fail(L"the second copy did not end");
    if (!first.Answers(road.Frame()))
        return road.Fail(L"the first copy does not answer after the second");
    return true;
}

// Whole root: its box off and on again, as a user does after a Quick Scan, whose root's own files start
// unmarked. A folder: the root's box off, the folder's on.
bool Mark(RoadWalker& road, const std::wstring& folder, DWORD limitMs, StepTimer& timer)
{
    RemoteTree tree = road.ResultTree();
    HTREEITEM root = tree.Root();
    if (root == nullptr)
        return road.Fail(L"the results tree is empty");
    for (int clicks = 0; tree.CheckState(root) != 1; ++clicks) {
        if (clicks == 2 || !timer.Timed("toggle-off", [&] { return road.ToggleBox(root, limitMs); }))
            return road.Fail(L"the root's box does not come off");
    }
    road.Shot(L"root-unchecked");
    HTREEITEM marked = folder.empty() ? root : road.FolderItem(folder);
    if (marked == nullptr)
        return false;
    if (!timer.Timed(marked == root ? "toggle-on" : "toggle-folder",
                     [&] { return road.ToggleBox(marked, limitMs); }))
        return false;
    if (tree.CheckState(marked) != 2)
        return road.Fail(L"the box did not come on");
    road.Shot(folder.empty() ? L"root-checked" : L"folder-checked");
    PrintTree(tree, nullptr, 0);
    return true;
}

// The program's working set and its peak, in MiB.
void PrintMemory(HANDLE process, const char* step)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, &counters, sizeof counters))
        return;
    printf("memory\t%s\t%.1f\t%.1f\n", step, static_cast<double>(counters.WorkingSetSize) / (1 << 20),
           static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20));
    fflush(stdout);
}

// The listed folder sorted by the name, both ways, the size and the creation time; the up entry stays on
// top of the list.
bool SortListedFolder(RoadWalker& road, DWORD limitMs, StepTimer& timer)
{
    struct Sort
    {
        const char* step;
        int column;
    };
    for (const Sort& sort : {Sort{"sort-name", 0}, Sort{"sort-name-descending", 0}, Sort{"sort-size", 2},
                             Sort{"sort-time", 3}}) {
        if (!timer.Timed(sort.step, [&] { return road.ClickResultHeader(sort.column, limitMs); }))
            return false;
    }
    const std::vector<std::vector<std::wstring>> rows = road.ResultRows(2);
    if (rows.empty() || rows[0].empty() || rows[0][0] != L"Parent...")
        return road.Fail(L"the up entry is not on top of the sorted list");
    return true;
}

// The first folder below the root listed (the first of the user's: NTFS keeps its own "$Extend"
// there) and sorted, then the root itself.
bool ListFirstFolderAndRoot(RoadWalker& road, DWORD limitMs, StepTimer& timer, HANDLE process)
{
    RemoteTree tree = road.ResultTree();
    HTREEITEM root = tree.Root();
    if (root == nullptr || !road.Expand(root))
        return road.Fail(L"the results tree has no root to open");
    const std::vector<HTREEITEM> folders = tree.Children(root);
    if (folders.empty())
        return road.Fail(L"the root has no folder");
    HTREEITEM first = folders.front();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (tree.Text(*folder).rfind(L"$", 0) != 0)
            first = *folder;
    }
    if (!timer.Timed("first-list", [&] { return road.ListFolder(first, limitMs); }))
        return false;
    PrintMemory(process, "first-list");
    if (!SortListedFolder(road, limitMs, timer))
        return false;
    PrintMemory(process, "sorts");
    return timer.Timed("root-list", [&] { return road.ListFolder(root, limitMs); });
}

bool ExitProgram(RoadWalker& road, ProgramDriver& program)
{
    ProgramDriver::PostCommand(road.Frame(), 32809);
    HWND question = road.WaitForMessage({L"Yes", L"No"});
    if (question == nullptr)
        return road.Fail(L"Exit asked nothing");
    RoadWalker::PrintMessage(question);
    ProgramDriver::ClickButton(question, L"Yes");
    DWORD exitCode = 1;
    return program.WaitForExit(kStepWaitMs, exitCode) && exitCode == 0;
}

enum class LegAction
{
    Save,
    Stop,
    StopSave,
};

struct Leg
{
    std::wstring image;
    int partition = 0;
    RoadMode mode = RoadMode::Quick;
    int volume = 1;
    std::wstring folder;
    std::wstring out;
    LegAction action = LegAction::Save;
    std::wstring then;
};

bool ParseAction(const std::wstring& text, LegAction& action)
{
    if (text == L"save")
        action = LegAction::Save;
    else if (text == L"stop")
        action = LegAction::Stop;
    else if (text == L"stopsave")
        action = LegAction::StopSave;
    else
        return false;
    return true;
}

bool ParseMode(const std::wstring& text, RoadMode& mode)
{
    if (text == L"quick")
        mode = RoadMode::Quick;
    else if (text == L"extensive")
        mode = RoadMode::Extensive;
    else if (text == L"trace")
        mode = RoadMode::Trace;
    else
        return false;
    return true;
}

std::vector<std::wstring> SplitTabs(const std::wstring& line)
{
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos)
            return fields;
        start = tab + 1;
    }
}

// The legs of a tour file (UTF-8); blank lines and lines starting with "#" are skipped. False, with the
// line on stderr, for a line that names no leg.
bool ReadTour(const std::wstring& path, std::vector<Leg>& legs)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        fprintf(stderr, "road: no tour file\n");
        return false;
    }
    std::string bytes;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, n);
    fclose(file);
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (line.empty() || line[0] == L'#')
            continue;
        const std::vector<std::wstring> fields = SplitTabs(line);
        Leg leg;
        const bool valid = fields.size() == 8 && ParseMode(fields[2], leg.mode) &&
                           ParseAction(fields[6], leg.action) &&
                           (fields[7] == L"back" || fields[7] == L"home" || fields[7] == L"end");
        if (valid) {
            leg.image = fields[0];
            leg.partition = _wtoi(fields[1].c_str());
            leg.volume = fields[3] == L"-" ? 1 : _wtoi(fields[3].c_str());
            leg.folder = fields[4] == L"-" ? L"" : fields[4];
            leg.out = fields[5];
            leg.then = fields[7];
        }
        if (!valid || leg.partition < 1 || leg.volume < 1) {
            fprintf(stderr, "road: not a leg: %ls\n", line.c_str());
            return false;
        }
        legs.push_back(leg);
    }
    return !legs.empty();
}

// One leg from the step the last one left (home, the partition step or the file-system step); `step`
// becomes the step this one leaves. `outcome` is the save's closing message, or "stopped"; `held` says
// for a stopsave leg whether its save wrote no file while the question stood.
bool WalkLeg(RoadWalker& road, const Leg& leg, DWORD limitMs, WizardStep& step, std::wstring& outcome,
             bool& held)
{
    if (step == WizardStep::Home &&
        !(road.TypeImagePath(leg.image) && road.ChooseMode(leg.mode) && road.SearchPartitions()))
        return false;
    if (leg.action == LegAction::Stop) {
        if (step != WizardStep::FileSystem && !road.ChoosePartition(leg.partition))
            return false;
        const size_t dash = leg.folder.find(L'-');
        const std::wstring first = dash == std::wstring::npos ? L"" : leg.folder.substr(0, dash);
        const std::wstring last = dash == std::wstring::npos ? L"" : leg.folder.substr(dash + 1);
        if (!road.ScanAndStop(leg.mode, first, last, limitMs))
            return false;
        outcome = L"stopped";
    } else {
        if (step != WizardStep::FileSystem &&
            !(road.ChoosePartition(leg.partition) && road.Scan(leg.mode, limitMs)))
            return false;
        if (leg.mode == RoadMode::Extensive && !road.ChooseVolume(leg.volume, limitMs))
            return false;
        if (leg.mode == RoadMode::Trace)
            PrintLine("item-size", {road.TraceItemSize()});
        StepTimer untimed(road, false);
        if (!Mark(road, leg.folder, limitMs, untimed))
            return false;
        if (leg.action == LegAction::Save && !road.Save(leg.out, outcome, limitMs))
            return false;
        if (leg.action == LegAction::StopSave) {
            RoadWalker::StopSaveCounts counts;
            if (!road.StopSave(leg.out, kStopSaveHoldMs, counts, outcome, limitMs))
                return false;
            PrintLine("stopsave", {std::to_wstring(counts.atQuestion), std::to_wstring(counts.afterHold),
                                   std::to_wstring(counts.atEnd)});
            held = counts.afterHold == counts.atQuestion;
        }
    }
    step = road.ShownStep();
    if (leg.then == L"home") {
        if (step != WizardStep::Home && !road.Leave(kStepHome, {WizardStep::Home}))
            return false;
    } else if (leg.then == L"back") {
        // A stopped scan may have gone home by itself: there is no step to go back to.
        if (step == WizardStep::Results &&
            !road.Leave(kStepBack, {WizardStep::Partition, WizardStep::FileSystem}))
            return false;
        if (step == WizardStep::FileSystem && !road.Leave(kStepBack, {WizardStep::Partition}))
            return false;
    }
    step = road.ShownStep();
    return true;
}

int Tour(const std::wstring& file, const std::wstring& shots, DWORD limitMs)
{
    std::vector<Leg> legs;
    if (!ReadTour(file, legs))
        return 2;
    ProgramDriver program;
    RoadWalker road(program, shots);
    if (!road.Start(L"", legs.front().out))
        return 1;
    bool allSaved = true;
    WizardStep step = WizardStep::Home;
    for (size_t i = 0; i < legs.size(); ++i) {
        std::wstring outcome;
        bool held = true;
        const bool walked = WalkLeg(road, legs[i], limitMs, step, outcome, held);
        const std::wstring reached = step == WizardStep::Home         ? L"home"
                                     : step == WizardStep::Partition  ? L"partition"
                                     : step == WizardStep::FileSystem ? L"file-system"
                                     : step == WizardStep::Results    ? L"results"
                                                                      : L"unknown";
        PrintLine("leg", {std::to_wstring(i + 1), walked ? L"walked" : L"failed: " + road.FailureText(),
                          outcome, reached});
        if (!walked)
            return 1;
        if (legs[i].action == LegAction::Save && outcome != kAllSaved)
            allSaved = false;
        if (legs[i].action == LegAction::StopSave && (!held || outcome != L"stopped"))
            allSaved = false;
        if (legs[i].then == L"end")
            break;
    }
    if (!ExitProgram(road, program))
        fputs("road: the program did not end through Exit\n", stderr);
    return allSaved ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wstring(argv[1]) == L"--tour") {
        std::wstring shots;
        DWORD limitMs = kStepWaitMs;
        for (int i = 3; i + 1 < argc; i += 2) {
            if (std::wstring(argv[i]) == L"--shots")
                shots = argv[i + 1];
            else if (std::wstring(argv[i]) == L"--time-limit")
                limitMs = static_cast<DWORD>(_wtoi(argv[i + 1])) * 1000;
            else
                return Usage();
        }
        if ((argc - 3) % 2 != 0 || limitMs == 0)
            return Usage();
        return Tour(argv[2], shots, limitMs);
    }
    Options options;
    if (!ParseOptions(argc, argv, options))
        return Usage();
    ProgramDriver program;
    RoadWalker road(program, options.shots);
    StepTimer timer(road, options.timing);
    const bool extensive = options.mode == RoadMode::Extensive;
    const bool walked =
        timer.Timed("start", [&] { return road.Start(L"", options.out); }) &&
        road.TypeImagePath(options.image) && road.ChooseMode(options.mode) &&
        timer.Timed("partition-list", [&] { return road.SearchPartitions(); }) &&
        (!options.secondCopy || StartSecondCopy(road, program)) && road.ChoosePartition(options.partition) &&
        timer.Timed("scan", [&] { return road.Scan(options.mode, options.limitMs); }) &&
        (!extensive ||
         timer.Timed("volume", [&] { return road.ChooseVolume(options.volume, options.limitMs); }));
    if (!walked)
        return 1;
    if (options.mode == RoadMode::Trace)
        PrintLine("item-size", {road.TraceItemSize()});
    if (timer.Enabled() && !ListFirstFolderAndRoot(road, options.limitMs, timer, program.Process()))
        return 1;
    if (options.listsOnly)
        return ExitProgram(road, program) ? 0 : 1;
    if (!Mark(road, options.folder, options.limitMs, timer))
        return 1;
    for (const std::vector<std::wstring>& row : road.ResultRows())
        PrintLine("row", row);
    std::wstring outcome;
    if (!road.Save(options.out, outcome, options.limitMs))
        return 1;
    timer.Print("save", road.SaveStart());
    PrintLine("outcome", {outcome});
    if (!ExitProgram(road, program))
        fputs("road: the program did not end through Exit\n", stderr);
    return outcome == kAllSaved ? 0 : 1;
}
