#include "loaded_notice.h"

#include "preview_hand_over.h"

unsigned long long PreviewRecordLimit(const CPreviewHandOver& handOver)
{
    return handOver.m_nMaxRecords > 0 ? static_cast<unsigned long long>(handOver.m_nMaxRecords) : 1;
}

void ShowLoadedNotice(CWnd& shown, unsigned long long loaded, unsigned long long total,
                      const wchar_t* pszWhat)
{
    CString text;
    text.Format(L"Loaded %llu of %llu total %s", loaded, total, pszWhat);
    shown.Invalidate();
    shown.UpdateWindow();
    AfxMessageBox(text, MB_OK);
    if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd()))
        pFrame->SetMessageText(text);
}
