// The behaviour switches of one command-bars manager, exchanged in full with the bar layout or as
// the user's options alone under "<profile>-Options".
#pragma once

#include <afxwin.h>

#include <set>

class CXTPCommandBars;
class CXTPPropExchange;

class CXTPCommandBarsOptions : public CCmdTarget
{
public:
    BOOL bAlwaysShowFullMenus = TRUE;
    BOOL bShowFullAfterDelay = TRUE;
    BOOL bToolBarScreenTips = TRUE;
    BOOL bToolBarAccelTips = FALSE;
    BOOL bLargeIcons = FALSE;
    BOOL bSyncFloatingBars = TRUE;
    BOOL bShowExpandButtonAlways = TRUE;
    BOOL bDblClickFloat = FALSE;
    BOOL bShowTextBelowIcons = FALSE;
    BOOL bAltDragCustomization = TRUE;
    BOOL bAutoHideUnusedPopups = TRUE;
    BOOL bDirtyState = FALSE;
    // Tips over the controls of popup menus that ask for them; not kept.
    BOOL bShowPopupBarToolTips = FALSE;
    long animationType = 0;
    // Shortcut texts beside the items of popup menus; not kept.
    BOOL bShowShortcutsInPopups = TRUE;
    // 2 switches Alt+letter off; bit 1 searches every visible bar; bit 4 ends first-letter matching.
    long keyboardCuesUse = 1;
    BOOL bStatusBarDescriptions = TRUE;
    CSize szIcons = CSize(0, 0);
    CSize szLargeIcons = CSize(0, 0);
    CSize szPopupIcons = CSize(16, 16);
    std::set<UINT> m_mapHiddenCommands;
    std::set<UINT> m_mapUsedCommands;
    CXTPCommandBars* m_pCommandBars = NULL;
    long keyboardCuesShow = 0;

    // 0 cues always, 1 never, 2 as the system says (hidden until Alt when it hides them).
    void SetKeyboardCuesShow(long nShow);

    // Every switch, or (bUserOptionsOnly) those the user changes between runs.
    void DoPropExchange(CXTPPropExchange* pPX, BOOL bUserOptionsOnly = FALSE);
    void Serialize(CArchive& ar) override;
};
