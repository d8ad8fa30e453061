// CCmdUI: the state of one user-interface item (menu item, button, control) for a command, set by
// ON_UPDATE_COMMAND_UI handlers.
#pragma once

#include "afx/cmd_target.h"

class CCmdUI
{
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    UINT m_nID;
    UINT m_nIndex;
    CMenu* m_pMenu;       // the menu that holds the item, or null
    CMenu* m_pSubMenu;    // the popup the item opens, or null
    CMenu* m_pParentMenu; // the menu that holds m_pSubMenu's item
    CWnd* m_pOther;       // the window that shows the command, or null
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;
    UINT m_nIndexMax;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1); // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCWSTR lpszText);
    // Lets the routing go on to the next target after this handler.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target's update handlers for this item; with bDisableIfNoHndler an item that no
    // handler updates is enabled exactly when some command handler exists for it.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
