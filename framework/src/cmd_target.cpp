// Command routing through message maps.
#include <afxwin.h>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

typedef BOOL (AFX_MSG_CALL CCmdTarget::*PMSG_B_UINT)(UINT);
typedef BOOL (AFX_MSG_CALL CCmdTarget::*PMSG_B_VOID)();
typedef void (AFX_MSG_CALL CCmdTarget::*PMSG_V_UINT)(UINT);
typedef void (AFX_MSG_CALL CCmdTarget::*PMSG_V_CMDUI)(CCmdUI*);
typedef void (AFX_MSG_CALL CCmdTarget::*PMSG_V_NOTIFY)(NMHDR*, LRESULT*);
typedef BOOL (AFX_MSG_CALL CCmdTarget::*PMSG_B_NOTIFY)(NMHDR*, LRESULT*);
typedef void (AFX_MSG_CALL CCmdTarget::*PMSG_V_ID_NOTIFY)(UINT, NMHDR*, LRESULT*);
typedef BOOL (AFX_MSG_CALL CCmdTarget::*PMSG_B_ID_NOTIFY)(UINT, NMHDR*, LRESULT*);

BOOL DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, AFX_PMSG pfn, void* pExtra, UINT_PTR nSig,
                    AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (pHandlerInfo != NULL) {
        // Only asked whether a handler exists.
        pHandlerInfo->pTarget = pTarget;
        pHandlerInfo->pmf = pfn;
        return TRUE;
    }
    AFX_NOTIFY* pNotify = static_cast<AFX_NOTIFY*>(pExtra);
    switch (nSig) {
    case AfxSigCmd_v:
        (pTarget->*pfn)();
        return TRUE;
    case AfxSigCmd_b:
    case AfxSigCmd_EX:
        return (pTarget->*AfxMemberCast<PMSG_B_UINT>(pfn))(nID);
    case AfxSigCmd_bv:
        return (pTarget->*AfxMemberCast<PMSG_B_VOID>(pfn))();
    case AfxSigCmd_RANGE:
        (pTarget->*AfxMemberCast<PMSG_V_UINT>(pfn))(nID);
        return TRUE;
    case AfxSigCmdUI: {
        CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
        if (pCmdUI == NULL)
            return FALSE;
        pCmdUI->m_bContinueRouting = FALSE;
        (pTarget->*AfxMemberCast<PMSG_V_CMDUI>(pfn))(pCmdUI);
        const BOOL bResult = !pCmdUI->m_bContinueRouting;
        pCmdUI->m_bContinueRouting = FALSE;
        return bResult;
    }
    case AfxSigNotify_v:
        if (pNotify == NULL)
            return FALSE;
        (pTarget->*AfxMemberCast<PMSG_V_NOTIFY>(pfn))(pNotify->pNMHDR, pNotify->pResult);
        return TRUE;
    case AfxSigNotify_b:
        if (pNotify == NULL)
            return FALSE;
        return (pTarget->*AfxMemberCast<PMSG_B_NOTIFY>(pfn))(pNotify->pNMHDR, pNotify->pResult);
    case AfxSigNotify_RANGE:
        if (pNotify == NULL)
            return FALSE;
        (pTarget->*AfxMemberCast<PMSG_V_ID_NOTIFY>(pfn))(nID, pNotify->pNMHDR, pNotify->pResult);
        return TRUE;
    case AfxSigNotify_EX:
        if (pNotify == NULL)
            return FALSE;
        return (pTarget->*AfxMemberCast<PMSG_B_ID_NOTIFY>(pfn))(nID, pNotify->pNMHDR, pNotify->pResult);
    default:
        // A window-message signature under WM_COMMAND or WM_NOTIFY: a faulty map entry.
        ASSERT(FALSE);
        return FALSE;
    }
}

} // namespace

const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode,
                                                   UINT nID)
{
    for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
        if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
            nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return NULL;
}

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
    static const AFX_MSGMAP messageMap = {NULL, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Notifications come as MAKELONG(code, WM_NOTIFY); commands and control notifications with a
    // high word of 0; the update code is all ones.
    UINT nMsg = 0;
    UINT nCodeValue = static_cast<UINT>(nCode);
    if (nCodeValue != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(nCodeValue);
        nCodeValue = LOWORD(nCodeValue);
    }
    if (nMsg == 0)
        nMsg = WM_COMMAND;

    for (const AFX_MSGMAP* pMessageMap = GetMessageMap(); pMessageMap != NULL;
         pMessageMap = pMessageMap->pfnGetBaseMap != NULL ? pMessageMap->pfnGetBaseMap() : NULL) {
        const AFX_MSGMAP_ENTRY* lpEntry = AfxFindMessageEntry(pMessageMap->lpEntries, nMsg, nCodeValue, nID);
        if (lpEntry != NULL)
            return DispatchCmdMsg(this, nID, lpEntry->pfn, pExtra, lpEntry->nSig, pHandlerInfo);
    }
    return FALSE;
}
