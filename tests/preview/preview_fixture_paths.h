#pragma once

// The files that tools/make-preview-fixtures makes, in the form the running program opens them.
#include "support/test_paths.h"

#include <string>

inline std::string PreviewFixture(const std::string& relative)
{
    return test_support::RunningPlatformPath(std::string(PREVIEW_FIXTURES_DIR) + "/" + relative);
}
