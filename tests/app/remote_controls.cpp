#include "remote_controls.h"

#include <algorithm>

namespace {

constexpr DWORD kMessageTimeoutMs = 10000;
// Where the text buffer follows the item structure inside one remote block.
constexpr size_t kTextOffset = 256;
constexpr int kTextChars = 1024;

LRESULT SendWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

struct FindContext
{
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindById(HWND window, LPARAM parameter)
{
    auto* context = reinterpret_cast<FindContext*>(parameter);
    if (GetDlgCtrlID(window) != context->id)
        return TRUE;
    if (context->className != nullptr) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (_wcsicmp(name, context->className) != 0)
            return TRUE;
    }
    context->found = window;
    return FALSE;
}

} // namespace

RemoteMemory::RemoteMemory(HANDLE process, size_t size) : m_process(process)
{
    m_address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory()
{
    if (m_address != nullptr)
        VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(const void* data, size_t size, size_t offset)
{
    SIZE_T written = 0;
    return m_address != nullptr &&
           WriteProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, &written) &&
           written == size;
}

bool RemoteMemory::Read(void* data, size_t size, size_t offset) const
{
    SIZE_T read = 0;
    return m_address != nullptr &&
           ReadProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, &read) &&
           read == size;
}

HTREEITEM RemoteTree::Root() const
{
    return reinterpret_cast<HTREEITEM>(SendWait(m_tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM RemoteTree::Parent(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(
        SendWait(m_tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM RemoteTree::Selected() const
{
    return reinterpret_cast<HTREEITEM>(SendWait(m_tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

std::vector<HTREEITEM> RemoteTree::Children(HTREEITEM parent) const
{
    std::vector<HTREEITEM> children;
    HTREEITEM child = parent == nullptr
                          ? Root()
                          : reinterpret_cast<HTREEITEM>(SendWait(m_tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                                 reinterpret_cast<LPARAM>(parent)));
    while (child != nullptr) {
        children.push_back(child);
        child = reinterpret_cast<HTREEITEM>(
            SendWait(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    return children;
}

std::wstring RemoteTree::Text(HTREEITEM item) const
{
    RemoteMemory memory(m_process, kTextOffset + kTextChars * sizeof(wchar_t));
    TVITEMW query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.Address()) + kTextOffset);
    query.cchTextMax = kTextChars;
    const wchar_t empty = 0;
    if (!memory.Write(&query, sizeof query) || !memory.Write(&empty, sizeof empty, kTextOffset) ||
        !SendWait(m_tree, TVM_GETITEMW, 0, memory.Param()))
        return L"";
    std::wstring text(kTextChars, L'\0');
    memory.Read(text.data(), kTextChars * sizeof(wchar_t), kTextOffset);
    text.resize(wcsnlen(text.c_str(), kTextChars));
    return text;
}

int RemoteTree::CheckState(HTREEITEM item) const
{
    return static_cast<int>(
        (SendWait(m_tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK) &
         TVIS_STATEIMAGEMASK) >>
        12);
}

bool RemoteTree::Expanded(HTREEITEM item) const
{
    return (SendWait(m_tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

HTREEITEM RemoteTree::Child(HTREEITEM parent, const std::wstring& text) const
{
    for (HTREEITEM child : Children(parent)) {
        if (Text(child) == text)
            return child;
    }
    return nullptr;
}

bool RemoteTree::LabelRect(HTREEITEM item, RECT& rect) const
{
    // The item goes in where the rectangle comes out.
    RemoteMemory memory(m_process, sizeof(RECT));
    if (!memory.Write(&item, sizeof item) || !SendWait(m_tree, TVM_GETITEMRECT, TRUE, memory.Param()))
        return false;
    return memory.Read(&rect, sizeof rect);
}

bool RemoteTree::HitTest(POINT point, HTREEITEM& item, UINT& flags) const
{
    RemoteMemory memory(m_process, sizeof(TVHITTESTINFO));
    TVHITTESTINFO info = {};
    info.pt = point;
    if (!memory.Write(&info, sizeof info))
        return false;
    SendWait(m_tree, TVM_HITTEST, 0, memory.Param());
    if (!memory.Read(&info, sizeof info))
        return false;
    item = info.hItem;
    flags = info.flags;
    return true;
}

bool RemoteTree::PointOn(HTREEITEM item, UINT part, POINT& point) const
{
    RECT label = {};
    if (!LabelRect(item, label))
        return false;
    const int y = (label.top + label.bottom) / 2;
    if (part == TVHT_ONITEMLABEL) {
        point = {(label.left + label.right) / 2, y};
        return true;
    }
    // The box and the button stand left of the label: the hit test finds them.
    for (int x = label.left - 1; x >= 0; --x) {
        HTREEITEM hit = nullptr;
        UINT flags = 0;
        if (HitTest({x, y}, hit, flags) && hit == item && (flags & part) != 0) {
            // The middle of the part: walk on to its left edge.
            int left = x;
            while (left > 0 && HitTest({left - 1, y}, hit, flags) && hit == item && (flags & part) != 0)
                --left;
            point = {(left + x) / 2, y};
            return true;
        }
    }
    return false;
}

void RemoteTree::Click(POINT point) const
{
    const LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageW(m_tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(m_tree, WM_LBUTTONUP, 0, at);
}

bool RemoteTree::ClickPart(HTREEITEM item, UINT part) const
{
    POINT point = {};
    if (!PointOn(item, part, point))
        return false;
    Click(point);
    return true;
}

void RemoteTree::EnsureVisible(HTREEITEM item) const
{
    SendWait(m_tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

int RemoteList::Count() const
{
    return static_cast<int>(SendWait(m_list, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteList::Columns() const
{
    HWND header = reinterpret_cast<HWND>(SendWait(m_list, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendWait(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring RemoteList::Text(int row, int column) const
{
    RemoteMemory memory(m_process, kTextOffset + kTextChars * sizeof(wchar_t));
    LVITEMW query = {};
    query.iSubItem = column;
    query.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.Address()) + kTextOffset);
    query.cchTextMax = kTextChars;
    if (!memory.Write(&query, sizeof query))
        return L"";
    const LRESULT length = SendWait(m_list, LVM_GETITEMTEXTW, row, memory.Param());
    if (length <= 0)
        return L"";
    std::wstring text(static_cast<size_t>(std::min<LRESULT>(length, kTextChars)), L'\0');
    memory.Read(text.data(), text.size() * sizeof(wchar_t), kTextOffset);
    return text;
}

std::vector<std::vector<std::wstring>> RemoteList::Rows(int most) const
{
    std::vector<std::vector<std::wstring>> rows;
    const int columns = Columns();
    for (int row = 0, count = std::min(Count(), most); row < count; ++row) {
        std::vector<std::wstring> texts;
        for (int column = 0; column < columns; ++column)
            texts.push_back(Text(row, column));
        rows.push_back(std::move(texts));
    }
    return rows;
}

HWND FindChild(HWND parent, int id, const wchar_t* className)
{
    FindContext context = {id, className, nullptr};
    EnumChildWindows(parent, FindById, reinterpret_cast<LPARAM>(&context));
    return context.found;
}
