#include <afxwin.h>

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_pMenu(NULL), m_pSubMenu(NULL), m_pParentMenu(NULL), m_pOther(NULL),
      m_bEnableChanged(FALSE), m_bContinueRouting(FALSE), m_nIndexMax(0)
{}

// The base forms only record that a handler spoke; menus and windows apply the state in the
// forms that know them.
void CCmdUI::Enable(BOOL)
{
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int) {}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCWSTR) {}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // separators and placeholders have no command
    m_bEnableChanged = FALSE;
    const BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, NULL);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {NULL, NULL};
        const BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
