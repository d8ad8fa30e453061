// The rebar with toolbar doubles of fixed layouts: adding a docked bar, removing bars, and the band
// sizes that follow the bars' layouts.
#include "rebar.h"
#include "standalone_test.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Full length 300 x 22; committed to any width 120 x 30.
class FixedToolBar : public CXTPToolBar
{
public:
    FixedToolBar(UINT nBarID, BOOL bDocked)
    {
        m_nBarID = nBarID;
        if (bDocked)
            m_dwFlags |= XTP_BAR_FLAG_DOCKED;
    }
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override
    {
        m_modes.push_back(dwMode);
        m_lengths.push_back(nLength);
        return (dwMode & LM_COMMIT) && nLength != 32000 ? CSize(120, 30) : CSize(300, 22);
    }
    void RemoveFromDockBar() override { ++m_nRemovedFromDockBar; }
    BOOL Make(CWnd* pParent)
    {
        return CreateEx(0, AfxRegisterWndClass(0, NULL, ::GetSysColorBrush(COLOR_HIGHLIGHT)), L"bar",
                        WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), pParent, 0);
    }
    std::vector<DWORD> m_modes;
    std::vector<int> m_lengths;
    int m_nRemovedFromDockBar = 0;
};

class ReBarTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_rebar.Create(&m_parent)); }
    REBARBANDINFO Band(UINT nBand, UINT nMask)
    {
        REBARBANDINFO band = {};
        band.cbSize = sizeof(band);
        band.fMask = nMask;
        EXPECT_TRUE(m_rebar.GetReBarCtrl().GetBandInfo(nBand, &band));
        return band;
    }
    RecordingParent& m_parent = SharedParent();
    CXTPReBar m_rebar;
};

TEST_F(ReBarTest, DockedBarLeavesItsDockBarAndTheBandTakesTheBarId)
{
    FixedToolBar bar(345, TRUE);
    ASSERT_TRUE(bar.Make(&m_parent));
    ASSERT_TRUE(m_rebar.AddCommandBar(&bar));
    EXPECT_EQ(1, bar.m_nRemovedFromDockBar);
    EXPECT_EQ(0u, bar.GetFlags() & XTP_BAR_FLAG_DOCKED);
    ASSERT_FALSE(bar.m_modes.empty());
    EXPECT_EQ(static_cast<DWORD>(LM_HORZ | LM_HORZDOCK | LM_COMMIT), bar.m_modes[0]);
    EXPECT_EQ(32000, bar.m_lengths[0]);
    EXPECT_EQ(m_rebar.GetSafeHwnd(), ::GetParent(bar.GetSafeHwnd()));
    ASSERT_EQ(1u, m_rebar.GetReBarCtrl().GetBandCount());
    EXPECT_EQ(345u, Band(0, RBBIM_ID).wID);

    // A bar that is not docked is left alone.
    FixedToolBar loose(346, FALSE);
    ASSERT_TRUE(loose.Make(&m_parent));
    ASSERT_TRUE(m_rebar.AddCommandBar(&loose));
    EXPECT_EQ(0, loose.m_nRemovedFromDockBar);
    EXPECT_EQ(346u, Band(1, RBBIM_ID).wID);
}

TEST_F(ReBarTest, RemovingABarThatIsNoBandAnswersMinusOne)
{
    FixedToolBar bar(10, FALSE);
    FixedToolBar stranger(11, FALSE);
    ASSERT_TRUE(bar.Make(&m_parent));
    ASSERT_TRUE(stranger.Make(&m_parent));
    ASSERT_TRUE(m_rebar.AddCommandBar(&bar));
    EXPECT_EQ(-1, m_rebar.RemoveCommandBar(&stranger));
    EXPECT_EQ(-1, m_rebar.RemoveCommandBar(NULL));
    EXPECT_EQ(1u, m_rebar.GetReBarCtrl().GetBandCount());
    EXPECT_EQ(TRUE, m_rebar.RemoveCommandBar(&bar));
    EXPECT_EQ(0u, m_rebar.GetReBarCtrl().GetBandCount());
}

TEST_F(ReBarTest, BandsFollowTheCommittedAndFullLayouts)
{
    FixedToolBar bar(20, FALSE);
    ASSERT_TRUE(bar.Make(&m_parent));
    ASSERT_TRUE(m_rebar.AddCommandBar(&bar));
    bar.m_modes.clear();
    m_rebar.CalcFixedLayout(FALSE, TRUE);
    const REBARBANDINFO band = Band(0, RBBIM_CHILDSIZE | RBBIM_IDEALSIZE);
    EXPECT_GE(band.cyMinChild, 30u);
    EXPECT_EQ(120u, band.cxMinChild);
    EXPECT_EQ(300u, band.cxIdeal);
    const std::vector<DWORD> expected = {LM_HORZ | LM_HORZDOCK,
                                         LM_STRETCH | LM_HORZ | LM_HORZDOCK | LM_COMMIT};
    EXPECT_EQ(expected, bar.m_modes);
    EXPECT_GE(m_rebar.GetReBarCtrl().GetBarHeight(), 30u);
    m_rebar.MoveWindow(0, 0, 440, m_rebar.GetReBarCtrl().GetBarHeight());
    ClientPicture(&m_rebar).Save(L"rebar_band");
}

} // namespace
