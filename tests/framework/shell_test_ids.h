// Resource ids of the command-line, recent-file and shell-registration tests' script.
#pragma once

#define IDR_SHELL_DOC 140     // window title, type "Test.Document" for ".tdoc"; File menu with recent files
#define IDR_SHELL_PART 141    // no window title, type "Test.Part" for ".tprt"
#define IDR_SHELL_NO_TYPE 142 // no type id: not registered
