// Resource ids of the control-hosting and form-view tests.
#pragma once

#define IDD_TEST_FORM 700
#define IDC_FORM_NAME 701
#define IDC_FORM_APPLY 702
