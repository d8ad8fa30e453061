#pragma once

// A logical drive's usage: a tilted pie of used and free space with a depth edge, and the capacity, used
// and free lines with their colour keys.
#include <afxwin.h>

#include <cstdint>

class CDiskPieChart : public CStatic
{
public:
    CDiskPieChart();

    // Stores the root path ("C:\"), reads its sizes and redraws. A path that cannot be read gives zeros.
    void SetDrive(const CString& rootPath);
    void Reset();

    // The point of the ellipse at share p percent: 0 the lowest, 25 the leftmost, 50 the highest, 75 the
    // rightmost, 100 the lowest again. Half-axis a of 0 gives the centre column.
    static CPoint PointOnEllipse(int percent, int a, int b, int cx, int cy);
    // "Capacity: 2.00 GB": GB above 1073741824 bytes, MB above 1048576, else KB.
    static CString SizeLine(LPCWSTR label, std::uint64_t bytes);
    // used x 100 / capacity; 0 for a capacity of 0.
    static int UsedShare(std::uint64_t used, std::uint64_t capacity);

    CString m_rootPath;
    std::uint64_t m_usedBytes = 0;
    std::uint64_t m_capacityBytes = 0;
    std::uint64_t m_freeBytes = 0;
    int m_maximum = 100;
    int m_minimum = 0;
    int m_usedShare = 0;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    void Draw(CDC& dc, const CRect& client);
};
