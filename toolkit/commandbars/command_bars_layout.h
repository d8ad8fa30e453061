// The saved arrangement of a frame's bars: one placement record per bar (visible, floating,
// position, docking memory) and the list that holds them with the screen size they were saved on,
// and the reading of the application's profile that tells a missing value from a stored one.
#pragma once

#include <afxwin.h>

#include <memory>
#include <vector>

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPBarPlacementList;
class CXTLayoutProfile;

// What the bars' and controls' exchanges are asked to do (carried by the property exchange).
struct CXTPCommandBarsExchangeParam
{
    BOOL bSerializeControls = FALSE;
    // Saving leaves out built-in bars whose controls equal their built-in controls.
    BOOL bSaveOnlyCustomized = FALSE;
    // Loading keeps a built-in toolbar whose built-in controls changed without asking.
    BOOL bLoadSilent = FALSE;
    // The built-in controls of each collection go with the customised ones.
    BOOL bSaveOriginalControls = TRUE;
    BOOL bSerializeImages = FALSE;
    BOOL bSerializeOptions = FALSE;
    BOOL bSerializeLayout = TRUE;
    BOOL bSerializeDesignerControls = FALSE;
    CXTPCommandBars* pCommandBars = NULL;
};

// Stored counts beyond these are damage: no frame holds more bars or dock-row entries.
const int XTP_MAX_LAYOUT_BARS = 1024;
const int XTP_MAX_DOCK_ROW_ENTRIES = 4096;

struct CXTPBarPlacementInfo
{
    long nBarID = 0;
    BOOL bVisible = FALSE;
    BOOL bFloating = FALSE;
    // Dock bar client coordinates when docked, screen coordinates when floating.
    CPoint pointPos = CPoint(-1, -1);
    long nMRUWidth = 32767;
    long nMRUDockID = 0;
    CRect rectMRUDockPos = CRect(0, 0, 0, 0);
    CPoint pointMRUFloatPos = CPoint(0, 0);
    // Not owned.
    CXTPCommandBar* pBar = NULL;
    BOOL bDialogBar = FALSE;
    CSize szDialogBarDockingClient = CSize(200, 200);
    CSize szDialogBarFloatingClient = CSize(200, 200);

    // "<profile>-Bar<index>", deleted whole first; values equal to their defaults are left out.
    void SaveState(LPCTSTR lpszProfileName, int nIndex) const;
    // FALSE when the section holds no "BarID" (the reading of the list stops there).
    BOOL LoadState(CXTLayoutProfile& profile, LPCTSTR lpszProfileName, int nIndex,
                   const CXTPBarPlacementList& list);
};

class CXTPBarPlacementList
{
public:
    CXTPBarPlacementList();

    // The size of the screen the layout was saved on; positions are rescaled only when both are
    // positive and differ from the current screen.
    void SetStoredScreenSize(CSize size);
    CPoint ScalePoint(CPoint point) const;
    CRect ScaleRect(const CRect& rect) const;

    std::vector<std::unique_ptr<CXTPBarPlacementInfo>> m_arrInfo;
    CRect m_rectScreen;
    CSize m_sizeStored = CSize(0, 0);
    BOOL m_bScaled = FALSE;
    // The screen less one icon: a stored position beyond it is pulled back.
    CPoint m_pointLargest;
};

// The application's profile as the layout reads it: the values of a section, with a missing value
// told apart from a stored one.
class CXTLayoutProfile
{
public:
    CXTLayoutProfile();
    ~CXTLayoutProfile();
    CXTLayoutProfile(const CXTLayoutProfile&) = delete;
    CXTLayoutProfile& operator=(const CXTLayoutProfile&) = delete;

    // FALSE when the value is not there (or not a number).
    BOOL ReadInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int& nValue);
    int GetInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);

private:
    HKEY m_hAppKey = NULL;
};
