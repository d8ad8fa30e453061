// The theme families of the flat combo box and the flat edit: face, frame, drop button and arrow
// of a combo box and the border of an edit, in the default, flat (1) and colour-scheme (2) looks.
// States: 1 normal, 2 hot (mouse over), 3 pressed (list dropped down); others draw as normal.
#pragma once

#include <afxwin.h>

#include "color_table.h"
#include "theme_manager.h"

enum XTFlatState
{
    xtStateNormal = 1,
    xtStateHot = 2,
    xtStatePressed = 3,
};

class CXTFlatComboBoxTheme : public CXTThemeObject
{
public:
    void RefreshMetrics() override;

    // clrBack is the combo box's own background for a drop-down list (-1: the window colour).
    virtual void DrawFlatComboBox(CDC* pDC, CComboBox* pCombo, int nState, COLORREF clrBack = COLORREF(-1));
    virtual void DrawDownArrow(CDC* pDC, CRect rect, int nState, CComboBox* pCombo);
    // Draws the drop button's area and moves the rectangle's left edge to it.
    virtual void DrawArrowBack(CDC* pDC, CRect& rect, int nState, CComboBox* pCombo);

    int m_cxDropButton = 15;
    int m_cxHThumb = 0;
    int m_cyVThumb = 0;
    int m_cxBorder = 1;
    int m_cyBorder = 1;
    int m_cxEdge = 2;
    int m_cyEdge = 2;

protected:
    virtual void DrawFrame(CDC* pDC, const CRect& rect, BOOL bActive);
    virtual int GetArrowBackInset() const { return 4; }
    virtual CPoint GetArrowOffset(int) const { return CPoint(0, 0); }
};

class CXTFlatComboBoxThemeOfficeXP : public CXTFlatComboBoxTheme
{
public:
    void DrawArrowBack(CDC* pDC, CRect& rect, int nState, CComboBox* pCombo) override;

protected:
    void DrawFrame(CDC* pDC, const CRect& rect, BOOL bActive) override;
    int GetArrowBackInset() const override { return 2; }
    // The vertical line left of a hot or pressed button.
    virtual COLORREF GetButtonLineColor() const;
};

class CXTFlatComboBoxThemeOffice2003 : public CXTFlatComboBoxThemeOfficeXP
{
public:
    void DrawArrowBack(CDC* pDC, CRect& rect, int nState, CComboBox* pCombo) override;

protected:
    void DrawFrame(CDC* pDC, const CRect& rect, BOOL bActive) override;
    COLORREF GetButtonLineColor() const override;
};

class CXTFlatComboBoxThemeDefault : public CXTFlatComboBoxTheme
{
protected:
    CPoint GetArrowOffset(int nState) const override
    {
        return nState == xtStatePressed ? CPoint(1, 1) : CPoint(0, 0);
    }
};

XT_DECLARE_THEME_FACTORY(CXTFlatComboBoxThemeFactory)

class CXTFlatEditTheme : public CXTThemeObject
{
public:
    virtual void DrawBorders(CDC* pDC, CEdit* pEdit, const CRect& rect, int nState);

protected:
    virtual void DrawActiveFrame(CDC* pDC, const CRect& rect);
};

class CXTFlatEditThemeOfficeXP : public CXTFlatEditTheme
{
public:
    void RefreshMetrics() override;

    CXTColorValue m_clrValues[8];

protected:
    void DrawActiveFrame(CDC* pDC, const CRect& rect) override;
};

class CXTFlatEditThemeOffice2003 : public CXTFlatEditThemeOfficeXP
{
public:
    void RefreshMetrics() override;

protected:
    void DrawActiveFrame(CDC* pDC, const CRect& rect) override;
};

XT_DECLARE_THEME_FACTORY(CXTFlatEditThemeFactory)
