#pragma once

// A caption of a panel's caption and value rows ("Model\t\t\t:", "Sectors Per Track :"): its name at the
// left and its colon at the right edge, so that the colons of all rows stand at one x whatever widths
// the face gives the names (tabs would put them at the next tab stop after each name). The text stays as
// it was set.
#include "transparent_controls.h"

class CCaptionStatic : public CTransparentStatic
{
    DECLARE_DYNAMIC(CCaptionStatic)
public:
    CCaptionStatic() = default;

    // The name of a caption: the text before its first tab, or before its closing colon, without the
    // blanks before that colon.
    static CString NameOf(const CString& caption);

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
