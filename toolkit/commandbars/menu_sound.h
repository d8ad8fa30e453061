// The menu sounds: "MenuCommand" when a bar executes a command and "MenuPopup" when a popup menu
// opens, played by a worker thread of their own so that menus never wait for the sound system. The
// user-interface thread only sets a request word; the worker polls it every 5 ms.
#pragma once

#include <afxwin.h>

#define XTP_MENUSOUND_COMMAND 1
#define XTP_MENUSOUND_POPUP 2

// Plays a system sound alias with PlaySound's flags (a null alias with SND_PURGE stops a sound).
typedef BOOL(CALLBACK* XTP_PLAYSOUND_PROC)(LPCWSTR lpszAlias, DWORD dwFlags);

// Asks for a sound (XTP_MENUSOUND_COMMAND or XTP_MENUSOUND_POPUP); starts the worker on first use.
// Nothing while sounds are disabled, or while a stopped worker has not ended yet.
void AFXAPI MenuSoundPlay(int nRequest);
// Ends the worker: waits at most 100 ms for it and forgets it. Nothing without a worker.
void AFXAPI MenuSoundStop();
void AFXAPI MenuSoundEnable(BOOL bEnable);
BOOL AFXAPI MenuSoundIsRunning();
// Replaces the function that plays (tests count the calls); null restores PlaySound of WINMM.
void AFXAPI MenuSoundSetPlayProc(XTP_PLAYSOUND_PROC pfnPlay);
