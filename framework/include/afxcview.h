// Control views: views that are a common control (the list and tree views).
#pragma once

#include "afxcmn.h"
#include "afxwin.h"

#include "afx/ctrl_view.h"
