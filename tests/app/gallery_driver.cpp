// gallery-driver: one start of the program, driven through every screen a user can reach, each left as a
// picture NN-what.png in the shots folder.
//
//   gallery-driver IMAGE PREVIEW_IMAGE SHOTS_DIR SAVE_DIR
//
// IMAGE holds a FAT16 volume in row 1 (File Trace), a FAT32 volume in row 2 (Quick Scan) and an NTFS
// volume in row 5 (Extensive Scan) of its partition list; PREVIEW_IMAGE one volume whose root holds a
// file of each kind that the preview pane shows (tools/make-preview-disk). Paths are this system's.
// Returns 0 only when every screen was reached.
#include "road_walker.h"

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr UINT kAboutCommand = 57664;
constexpr UINT kSettingsCommand = 32787;
constexpr UINT kFiltersCommand = 32786;
constexpr UINT kFindCommand = 32785;
constexpr UINT kDriveInfoCommand = 32788;
constexpr UINT kExitCommand = 32809;
constexpr int kStepForward = 159;
constexpr int kResultsHome = 61481;
constexpr int kStepTreeId = 162;
constexpr int kResultListId = 165;
// The preview host is a child of the frame; the view it shows for a file is its child.
constexpr int kPreviewHostId = 59649;
constexpr int kPreviewViewId = 59648;
constexpr DWORD kPreviewWaitMs = 10000;

// Real keys, as the keyboard gives them to the window in front.
void Keys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT up = {};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(200);
}

class Gallery
{
public:
    Gallery(ProgramDriver& program, RoadWalker& road) : m_program(program), m_road(road) {}

    // A dialog that a frame command opens, pictured, then closed with the button named `close`.
    bool Dialog(UINT command, const std::wstring& caption, const std::wstring& close,
                const std::wstring& name)
    {
        ProgramDriver::PostCommand(m_road.Frame(), command);
        return Answer(caption, close, name);
    }

    // The dialog with this caption, pictured and answered with `button`; without a button (its buttons
    // are drawn by the program), closed as Escape closes it.
    bool Answer(const std::wstring& caption, const std::wstring& button, const std::wstring& name)
    {
        const std::vector<std::wstring> buttons =
            button.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{button};
        HWND box = m_program.WaitForBox(caption, buttons, kStepWaitMs);
        if (box == nullptr)
            return m_road.Fail(L"no dialog \"" + caption + L"\" for " + name);
        m_road.ScreenShot(name);
        if (button.empty())
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else
            ProgramDriver::ClickButton(box, button);
        return m_road.WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepWaitMs) ||
               m_road.Fail(L"the dialog \"" + caption + L"\" stayed");
    }

    // The menu bar's menus one after the other from Alt and the first menu's letter, then closed. On a
    // display that composites, the first menu's right shadow must be a blend of what lies under it.
    bool Menus()
    {
        SetForegroundWindow(m_road.Frame());
        Keys({VK_MENU, 'R'});
        HWND popup = nullptr;
        if (!m_road.WaitUntil([&] { return (popup = OpenPopup()) != nullptr; }, kStepWaitMs))
            return m_road.Fail(L"Alt+R opened no menu");
        m_road.ScreenShot(L"menu-recovery");
        RECT menu = {};
        GetWindowRect(popup, &menu);
        // Inside the right strip, one pixel out from the menu's edge, halfway down.
        const POINT inShadow = {menu.right + 1, (menu.top + menu.bottom) / 2};
        const COLORREF shadow = ScreenPixel(inShadow);
        for (const wchar_t* name : {L"menu-view", L"menu-tools", L"menu-help"}) {
            Keys({VK_RIGHT});
            m_road.ScreenShot(name);
        }
        Keys({VK_ESCAPE});
        Keys({VK_ESCAPE});
        m_road.WaitUntil([&] { return OpenPopup() == nullptr; }, kStepWaitMs);
        m_road.ScreenShot(L"menus-closed");
        const COLORREF under = ScreenPixel(inShadow);
        printf("shadow\t%06lx over %06lx\n", static_cast<unsigned long>(shadow),
               static_cast<unsigned long>(under));
        if (!Composited())
            return true;
        // A blend: darker than the pixel under it on every channel, and not the black of an opaque strip.
        const bool blended = GetRValue(shadow) < GetRValue(under) && GetGValue(shadow) < GetGValue(under) &&
                             GetBValue(shadow) < GetBValue(under) && shadow != RGB(0, 0, 0);
        return blended || m_road.Fail(L"the menu's shadow is no blend of what lies under it");
    }

    // A right click on the tree's first folder below the root and on the list's first row: their menus,
    // and each one's Properties.
    bool ContextMenus()
    {
        RemoteTree tree = m_road.ResultTree();
        HTREEITEM root = tree.Root();
        std::vector<HTREEITEM> folders = root != nullptr ? tree.Children(root) : std::vector<HTREEITEM>{};
        if (folders.empty())
            return m_road.Fail(L"the results tree has no folder below its root");
        POINT point = {};
        if (!tree.PointOn(folders.front(), TVHT_ONITEMLABEL, point))
            return m_road.Fail(L"no place to click on the tree's folder");
        SetForegroundWindow(m_road.Frame());
        PostMessageW(tree.Window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
        PostMessageW(tree.Window(), WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        Sleep(500);
        m_road.ScreenShot(L"tree-menu");
        Keys({'P'});
        if (!Answer(L"File/Folder Properties", L"OK", L"properties-folder"))
            return false;

        HWND list = FindChild(ProgramDriver::ShownView(m_road.Frame()), kResultListId, L"SysListView32");
        if (list == nullptr || RemoteList(m_program.Process(), list).Count() == 0)
            return m_road.Fail(L"the result list is empty");
        // The last row: a file, where the first may be the folders' up entry.
        const int last = RemoteList(m_program.Process(), list).Count() - 1;
        const POINT at = ClickRow(list, last);
        Sleep(800);
        m_road.ScreenShot(L"file-preview");
        PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Sleep(500);
        m_road.ScreenShot(L"list-menu");
        Keys({'P'});
        return Answer(L"File/Folder Properties", L"OK", L"properties-file");
    }

    // Home from the results view; its question about a snapshot is pictured and answered No.
    bool Home()
    {
        HWND view = ProgramDriver::ShownView(m_road.Frame());
        PostMessageW(view, WM_COMMAND, MAKEWPARAM(kResultsHome, BN_CLICKED), 0);
        bool asked = false;
        const bool home = m_road.WaitUntil(
            [&] {
                if (HWND box = m_program.WaitForBox(kProgramTitle, {L"Yes", L"No"}, 0)) {
                    if (!asked)
                        m_road.ScreenShot(L"home-question");
                    asked = true;
                    // No snapshot: the gallery saves none.
                    ProgramDriver::ClickButton(box, L"No");
                }
                return m_road.ShownStep() == WizardStep::Home;
            },
            kStepWaitMs);
        return home || m_road.Fail(L"Home did not reach the home view");
    }

    // A click on each file of the result list, and a picture of the frame with the file's preview,
    // named by the file's extension; a message that a preview raises is pictured and answered OK.
    bool Previews()
    {
        HWND list = FindChild(ProgramDriver::ShownView(m_road.Frame()), kResultListId, L"SysListView32");
        if (list == nullptr)
            return m_road.Fail(L"no result list for the previews");
        const std::vector<std::vector<std::wstring>> rows = RemoteList(m_program.Process(), list).Rows();
        int shown = 0;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const std::wstring& name = rows[row].empty() ? std::wstring() : rows[row][0];
            const size_t dot = name.rfind(L'.');
            if (dot == std::wstring::npos ||
                (rows[row].size() > 1 && rows[row][1].find(L"Folder") != std::wstring::npos))
                continue;
            std::wstring kind = name.substr(dot + 1);
            for (wchar_t& c : kind)
                c = static_cast<wchar_t>(std::towlower(c));
            const HWND before = PreviewView();
            ClickRow(list, row);
            // The copy and the view are made while the click is handled; a view that is not made (a
            // failed copy) leaves the last one, which the picture then shows.
            const bool made = m_road.WaitUntil(
                [&] {
                    const HWND now = PreviewView();
                    return (now != nullptr && now != before) || OpenMessage() != nullptr;
                },
                kPreviewWaitMs);
            if (!made)
                printf("preview\t%ls made no new view\n", name.c_str());
            // Pages, drawings and players draw a moment after their view is made; a player may raise
            // its own error box then.
            Sleep(700);
            if (HWND box = OpenMessage()) {
                m_road.ScreenShot(L"preview-" + kind + L"-message");
                ProgramDriver::ClickButton(box, L"OK");
                m_road.WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepWaitMs);
            }
            m_road.ScreenShot(L"preview-" + kind);
            ++shown;
        }
        return shown > 0 || m_road.Fail(L"the preview disk's list holds no file");
    }

private:
    // Clicks a row of a list on its label, as a user's click does; returns the point clicked.
    POINT ClickRow(HWND list, int index) const
    {
        RECT row = {};
        RemoteMemory rect(m_program.Process(), sizeof(RECT));
        RECT ask = {LVIR_LABEL, 0, 0, 0};
        rect.Write(&ask, sizeof(ask));
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), rect.Param());
        rect.Read(&row, sizeof(row));
        const POINT at = {row.left + 8, (row.top + row.bottom) / 2};
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        return at;
    }

    // The view that the preview pane shows now; null when it shows none. The pane sits in the results
    // view's splitter bar, which adopted it from the frame.
    HWND PreviewView() const
    {
        struct Search
        {
            HWND view = nullptr;
        } search;
        EnumChildWindows(
            m_road.Frame(),
            [](HWND child, LPARAM param) -> BOOL {
                if (GetDlgCtrlID(child) != kPreviewViewId || !IsWindowVisible(child))
                    return TRUE;
                HWND parent = GetParent(child);
                if (parent == nullptr || GetDlgCtrlID(parent) != kPreviewHostId)
                    return TRUE;
                reinterpret_cast<Search*>(param)->view = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.view;
    }

    // A message box of the program over the frame (a dialog with an OK button); null when none shows.
    HWND OpenMessage() const
    {
        for (HWND window : m_program.TopLevelWindows()) {
            if (ProgramDriver::ClassName(window) != L"#32770")
                continue;
            for (const std::wstring& text : ProgramDriver::PushButtonTexts(window))
                if (text == L"OK")
                    return window;
        }
        return nullptr;
    }

    // The program's open drop-down menu: a visible window of its own beside the frame that is no shadow
    // strip (those are layered, 4 pixels across) and no dialog.
    HWND OpenPopup() const
    {
        for (HWND window : m_program.TopLevelWindows()) {
            RECT rect = {};
            GetWindowRect(window, &rect);
            if (window != m_road.Frame() && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0 &&
                ProgramDriver::ClassName(window) != L"#32770" && rect.right - rect.left > 20 &&
                rect.bottom - rect.top > 20)
                return window;
        }
        return nullptr;
    }

    static COLORREF ScreenPixel(POINT point)
    {
        HDC screen = GetDC(nullptr);
        const COLORREF pixel = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        return pixel;
    }

    // tools/gallery runs a compositing manager on the program's screen and says so in WINRUN_COMPOSITOR.
    static bool Composited()
    {
        wchar_t value[64] = {};
        const DWORD length = GetEnvironmentVariableW(L"WINRUN_COMPOSITOR", value, 64);
        return length > 0 && length < 64 && std::wstring(value) != L"none";
    }

    ProgramDriver& m_program;
    RoadWalker& m_road;
};

bool ScanMode(RoadWalker& road, RoadMode mode, const std::wstring& image, int partition)
{
    return road.TypeImagePath(image) && road.ChooseMode(mode) && road.SearchPartitions() &&
           road.ChoosePartition(partition) && road.Scan(mode, kStepWaitMs) &&
           (mode != RoadMode::Extensive || road.ChooseVolume(1, kStepWaitMs));
}

bool Walk(ProgramDriver& program, RoadWalker& road, const std::wstring& image,
          const std::wstring& previewImage, const std::wstring& saveFolder)
{
    Gallery gallery(program, road);
    if (!road.Start(L"", saveFolder) || !road.WaitQuiet())
        return false;
    road.ScreenShot(L"home");
    if (!gallery.Menus())
        return false;
    if (!gallery.Dialog(kAboutCommand, L"About Corvane VMDK Recovery", L"OK", L"about") ||
        !gallery.Dialog(kSettingsCommand, L"Recovery Settings", L"Cancel", L"settings"))
        return false;

    // Quick Scan, with the message that Scan without a chosen partition gives.
    if (!road.TypeImagePath(image) || !road.ChooseMode(RoadMode::Quick) || !road.SearchPartitions())
        return false;
    if (!road.ClickViewButton(kStepForward) || !gallery.Answer(kProgramTitle, L"OK", L"message-no-partition"))
        return false;
    if (!road.ChoosePartition(2) || !road.Scan(RoadMode::Quick, kStepWaitMs))
        return false;
    if (!gallery.ContextMenus())
        return false;
    if (!gallery.Dialog(kFiltersCommand, L"File Filters", L"&Close", L"file-filters") ||
        !gallery.Dialog(kFindCommand, L"Find File(s)", L"", L"find-files") ||
        !gallery.Dialog(kDriveInfoCommand, L"Drive Information", L"OK", L"drive-information"))
        return false;
    // The root's box on (a Quick Scan's root starts unmarked or partly marked), then Save.
    RemoteTree tree = road.ResultTree();
    if (tree.Root() == nullptr)
        return road.Fail(L"the results tree is empty");
    for (int clicks = 0; tree.CheckState(tree.Root()) != 2; ++clicks) {
        if (clicks == 3 || !road.ToggleBox(tree.Root()))
            return road.Fail(L"the root's box does not come on");
    }
    std::wstring outcome;
    if (!road.Save(saveFolder, outcome, kStepWaitMs))
        return false;
    if (!gallery.Home())
        return false;

    if (!ScanMode(road, RoadMode::Extensive, image, 5) || !gallery.Home())
        return false;
    if (!ScanMode(road, RoadMode::Trace, image, 1) || !gallery.Home())
        return false;

    // A preview of each kind of file.
    if (!ScanMode(road, RoadMode::Quick, previewImage, 1) || !gallery.Previews())
        return false;

    // The frame's sizes: maximised, then a small window.
    ShowWindow(road.Frame(), SW_MAXIMIZE);
    road.ScreenShot(L"maximised");
    ShowWindow(road.Frame(), SW_RESTORE);
    SetWindowPos(road.Frame(), nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    road.ScreenShot(L"800x600");

    ProgramDriver::PostCommand(road.Frame(), kExitCommand);
    if (!gallery.Answer(kProgramTitle, L"Yes", L"exit-question"))
        return false;
    DWORD exitCode = 1;
    return program.WaitForExit(kStepWaitMs, exitCode) || road.Fail(L"the program did not end through Exit");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5) {
        fputs("usage: gallery-driver IMAGE PREVIEW_IMAGE SHOTS_DIR SAVE_DIR\n", stderr);
        return 2;
    }
    ProgramDriver program;
    RoadWalker road(program, argv[3]);
    return Walk(program, road, argv[1], argv[2], argv[4]) ? 0 : 1;
}
