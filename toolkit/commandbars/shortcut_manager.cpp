#include "command_bars.h"

namespace {

struct KeyName
{
    UINT nKey;
    LPCWSTR lpszName;
};

const KeyName kKeyNames[] = {
    {1, L"Left Button"},  {2, L"Right Button"}, {3, L"Ctrl+Break"},    {4, L"Middle Button"},
    {8, L"Backspace"},    {9, L"Tab"},          {12, L"Clear"},        {13, L"Enter"},
    {16, L"Shift"},       {17, L"Ctrl"},        {18, L"Alt"},          {19, L"Pause"},
    {20, L"Caps Lock"},   {27, L"Esc"},         {32, L"Space"},        {33, L"Page Up"},
    {34, L"Page Down"},   {35, L"End"},         {36, L"Home"},         {37, L"Left Arrow"},
    {38, L"Up Arrow"},    {39, L"Right Arrow"}, {40, L"Down Arrow"},   {41, L"Select"},
    {42, L"Print"},       {43, L"Execute"},     {44, L"Snapshot"},     {45, L"Ins"},
    {46, L"Del"},         {47, L"Help"},        {91, L"Left Windows"}, {92, L"Right Windows"},
    {93, L"Application"}, {106, L"Num *"},      {107, L"Num +"},       {108, L"Separator"},
    {109, L"Num -"},      {110, L"Num ."},      {111, L"Num /"},       {144, L"Num Lock"},
    {145, L"Scrl Lock"},  {246, L"Attn"},       {247, L"Crsel"},       {248, L"Exsel"},
    {249, L"Ereof"},      {250, L"Play"},       {251, L"Zoom"},        {252, L"No Name"},
    {253, L"Pa1"},        {254, L"Oem Clear"},
};

// A stored record: fVirt, a padding byte, key and command, little-endian.
const UINT kStoredAccelSize = 6;

} // namespace

std::vector<ACCEL> AFXAPI XTPCopyAccelerators(HACCEL hAccel)
{
    std::vector<ACCEL> entries;
    const int nCount = hAccel != NULL ? ::CopyAcceleratorTableW(hAccel, NULL, 0) : 0;
    if (nCount <= 0)
        return entries;
    entries.resize(static_cast<size_t>(nCount));
    ::CopyAcceleratorTableW(hAccel, entries.data(), nCount);
    return entries;
}

CXTPShortcutManager::CXTPShortcutManager(CXTPCommandBars* pCommandBars) : m_pCommandBars(pCommandBars)
{
    for (const KeyName& key : kKeyNames)
        m_mapKeyNames[key.nKey] = key.lpszName;
    for (UINT nKey = '0'; nKey <= '9'; ++nKey)
        m_mapKeyNames[nKey] = CString(static_cast<WCHAR>(nKey));
    for (UINT nKey = 'A'; nKey <= 'Z'; ++nKey)
        m_mapKeyNames[nKey] = CString(static_cast<WCHAR>(nKey));
    for (UINT i = 0; i < 12; ++i) {
        CString strName;
        strName.Format(L"F%u", i + 1);
        m_mapKeyNames[VK_F1 + i] = strName;
    }
    for (UINT i = 0; i < 10; ++i) {
        CString strName;
        strName.Format(L"Num %u", i);
        m_mapKeyNames[VK_NUMPAD0 + i] = strName;
    }
}

CXTPShortcutManager::~CXTPShortcutManager()
{
    if (m_hAccelTable != NULL)
        ::DestroyAcceleratorTable(m_hAccelTable);
    if (m_hOriginalAccelTable != NULL)
        ::DestroyAcceleratorTable(m_hOriginalAccelTable);
}

std::vector<ACCEL> CXTPShortcutManager::GetAccelerators() const
{
    return XTPCopyAccelerators(m_hAccelTable);
}

void CXTPShortcutManager::SetAccelerators(HACCEL hAccelTable)
{
    const std::vector<ACCEL> entries = XTPCopyAccelerators(hAccelTable);
    SetAccelerators(entries.data(), static_cast<int>(entries.size()));
}

void CXTPShortcutManager::SetAccelerators(const ACCEL* pEntries, int nCount)
{
    if (m_hAccelTable != NULL)
        ::DestroyAcceleratorTable(m_hAccelTable);
    m_hAccelTable = NULL;
    if (pEntries != NULL && nCount > 0)
        m_hAccelTable = ::CreateAcceleratorTableW(const_cast<ACCEL*>(pEntries), nCount);
}

BOOL CXTPShortcutManager::LoadAccelerators(UINT nIDResource)
{
    if (m_hAccelTable != NULL)
        ::DestroyAcceleratorTable(m_hAccelTable);
    if (m_hOriginalAccelTable != NULL)
        ::DestroyAcceleratorTable(m_hOriginalAccelTable);
    m_hAccelTable = m_hOriginalAccelTable = NULL;
    const LPCTSTR lpszResource = MAKEINTRESOURCE(nIDResource);
    // A table loaded from a resource is shared by the module; both copies are made from it.
    const HACCEL hLoaded =
        ::LoadAcceleratorsW(AfxFindResourceHandle(lpszResource, RT_ACCELERATOR), lpszResource);
    if (hLoaded == NULL)
        return FALSE;
    const std::vector<ACCEL> entries = XTPCopyAccelerators(hLoaded);
    if (entries.empty())
        return FALSE;
    const int nCount = static_cast<int>(entries.size());
    m_hOriginalAccelTable = ::CreateAcceleratorTableW(const_cast<ACCEL*>(entries.data()), nCount);
    m_hAccelTable = ::CreateAcceleratorTableW(const_cast<ACCEL*>(entries.data()), nCount);
    return m_hAccelTable != NULL;
}

void CXTPShortcutManager::Reset()
{
    SetAccelerators(m_hOriginalAccelTable);
}

BOOL CXTPShortcutManager::TranslateAccelerator(HWND hWnd, MSG* pMsg)
{
    if (m_nDisableShortcuts > 0 || GetDefaultAccelerator() == NULL)
        return FALSE;
    return ::TranslateAcceleratorW(hWnd, GetDefaultAccelerator(), pMsg) != 0;
}

BOOL CXTPShortcutManager::IsAllowedAccelerator(BYTE fVirt, WORD wKey) const
{
    return !(wKey == VK_ESCAPE && (fVirt & FVIRTKEY) != 0 && (fVirt & (FSHIFT | FCONTROL | FALT)) == 0 &&
             !m_bAllowEscapeShortcut);
}

CString CXTPShortcutManager::GetSystemKeyName(UINT nVirtKey) const
{
    if (nVirtKey == VK_CANCEL)
        return CString();
    const UINT nScanCode = ::MapVirtualKeyExW(nVirtKey, MAPVK_VK_TO_VSC, ::GetKeyboardLayout(0));
    LONG lParam = static_cast<LONG>((nScanCode << 16) | 1);
    if (nVirtKey >= VK_PRIOR && nVirtKey <= VK_HELP)
        lParam |= 0x01000000;
    WCHAR szName[51] = {};
    if (::GetKeyNameTextW(lParam, szName, 50) <= 0)
        return CString();
    CString strName(szName);
    strName.MakeLower();
    for (int i = 0; i < strName.GetLength(); ++i)
        if (::IsCharLowerW(strName[i])) {
            strName.SetAt(i, static_cast<WCHAR>(reinterpret_cast<UINT_PTR>(
                                 ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(strName[i]))))));
            break;
        }
    return strName;
}

CString CXTPShortcutManager::GetKeyName(UINT nVirtKey)
{
    if (m_bUseSystemKeyNameText) {
        CString strName = GetSystemKeyName(nVirtKey);
        if (!strName.IsEmpty())
            return strName;
    }
    auto it = m_mapKeyNames.find(nVirtKey);
    if (it != m_mapKeyNames.end())
        return it->second;
    return m_bUseSystemKeyNameText ? CString() : GetSystemKeyName(nVirtKey);
}

CString CXTPShortcutManager::FormatAccelerator(const ACCEL* pAccel, int* pnPriority)
{
    CString strText;
    if (pAccel->key != VK_CANCEL) {
        if (pAccel->fVirt & FCONTROL)
            strText += GetKeyName(VK_CONTROL) + L"+";
        if (pAccel->fVirt & FSHIFT)
            strText += GetKeyName(VK_SHIFT) + L"+";
        if (pAccel->fVirt & FALT)
            strText += GetKeyName(VK_MENU) + L"+";
    }
    if (pAccel->key == 0) {
        // Modifiers alone: the trailing "+" goes (nothing to take from an empty text).
        if (!strText.IsEmpty())
            strText = strText.Left(strText.GetLength() - 1);
    } else if (pAccel->fVirt & FVIRTKEY) {
        strText += GetKeyName(pAccel->key);
    } else if (pAccel->key != VK_ESCAPE && pAccel->key != VK_TAB) {
        strText += static_cast<WCHAR>(pAccel->key);
    }
    if (pnPriority != NULL)
        *pnPriority = (pAccel->fVirt & FCONTROL) ? 3
                      : (pAccel->fVirt & FALT)   ? 2
                      : (pAccel->fVirt & FSHIFT) ? 1
                                                 : 4;
    return strText;
}

BOOL CXTPShortcutManager::FindDefaultAccelerator(UINT nCmd, CString& strShortcut)
{
    HACCEL hAccel = m_hAccelTable;
    if (hAccel == NULL && m_hOriginalAccelTable == NULL && m_pCommandBars != NULL)
        if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pCommandBars->GetSite()))
            hAccel = pFrame->m_hAccelTable;
    const std::vector<ACCEL> entries = XTPCopyAccelerators(hAccel);
    CString strBest;
    int nBestPriority = 0;
    BOOL bFound = FALSE;
    for (const ACCEL& accel : entries) {
        if (accel.cmd != static_cast<WORD>(nCmd))
            continue;
        int nPriority = 0;
        const CString strText = FormatAccelerator(&accel, &nPriority);
        if (!strShortcut.IsEmpty() && strText == strShortcut)
            return TRUE;
        if (!bFound || nPriority > nBestPriority) {
            strBest = strText;
            nBestPriority = nPriority;
        }
        bFound = TRUE;
    }
    strShortcut = strBest;
    return bFound;
}

void CXTPShortcutManager::SaveShortcuts(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (m_hOriginalAccelTable == NULL || pApp == NULL)
        return;
    const std::vector<ACCEL> entries = GetAccelerators();
    std::vector<BYTE> data(entries.size() * kStoredAccelSize);
    for (size_t i = 0; i < entries.size(); ++i) {
        BYTE* p = &data[i * kStoredAccelSize];
        p[0] = entries[i].fVirt;
        p[1] = 0;
        p[2] = LOBYTE(entries[i].key);
        p[3] = HIBYTE(entries[i].key);
        p[4] = LOBYTE(entries[i].cmd);
        p[5] = HIBYTE(entries[i].cmd);
    }
    BYTE empty = 0;
    pApp->WriteProfileBinary(lpszProfileName, L"Accelerators", data.empty() ? &empty : data.data(),
                             static_cast<UINT>(data.size()));
}

void CXTPShortcutManager::LoadShortcuts(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (m_hOriginalAccelTable == NULL || pApp == NULL)
        return;
    BYTE* pData = NULL;
    UINT nBytes = 0;
    if (!pApp->GetProfileBinary(lpszProfileName, L"Accelerators", &pData, &nBytes))
        return;
    const UINT nCount = nBytes / kStoredAccelSize;
    // Less than one whole record is damage, not an empty table: the working table stays.
    if (nCount > 0 && pData != NULL) {
        std::vector<ACCEL> entries(nCount);
        for (UINT i = 0; i < nCount; ++i) {
            const BYTE* p = pData + i * kStoredAccelSize;
            entries[i].fVirt = p[0];
            entries[i].key = MAKEWORD(p[2], p[3]);
            entries[i].cmd = MAKEWORD(p[4], p[5]);
        }
        SetAccelerators(entries.data(), static_cast<int>(nCount));
    }
    delete[] pData;
}

std::vector<HKL> CXTPShortcutManager::GetKeyboardLayouts() const
{
    std::vector<HKL> layouts;
    const int nCount = ::GetKeyboardLayoutList(0, NULL);
    if (nCount > 0) {
        layouts.resize(static_cast<size_t>(nCount));
        layouts.resize(static_cast<size_t>(std::max(0, ::GetKeyboardLayoutList(nCount, layouts.data()))));
    }
    return layouts;
}

BOOL CXTPShortcutManager::CompareAccessKey(TCHAR chAccel, UINT nVirtKey)
{
    const UINT nChar = ::MapVirtualKeyW(nVirtKey, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (nChar == 0)
        return FALSE;
    auto upper = [](WCHAR ch) {
        return static_cast<WCHAR>(
            reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch)))));
    };
    const WCHAR chKey = static_cast<WCHAR>(nChar);
    if (chKey == chAccel || chKey == upper(chAccel))
        return TRUE;
    const std::vector<HKL> layouts = GetKeyboardLayouts();
    if (layouts.size() < 2)
        return FALSE;
    BYTE keyState[256] = {};
    ::GetKeyboardState(keyState);
    for (HKL hLayout : layouts) {
        WCHAR szChar[2] = {};
        const UINT nScanCode = ::MapVirtualKeyExW(nVirtKey, MAPVK_VK_TO_VSC, hLayout);
        if (::ToUnicodeEx(nVirtKey, nScanCode, keyState, szChar, 1, 0, hLayout) == 1 &&
            (szChar[0] == chAccel || szChar[0] == upper(chAccel)))
            return TRUE;
    }
    return FALSE;
}
