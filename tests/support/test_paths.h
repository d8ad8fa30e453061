#pragma once

#include <string>

namespace test_support {

// Folder of the real test disks (tools/make-test-disks), in the form the running program's
// file API takes: a host path on the native build, a Wine drive path (Z:\...) under Wine.
// TEST_DISKS_DIR in the environment overrides the folder the build was configured with.
std::string TestDisksDir();

// A host path in the form the running program's file API takes: as it is on the native build, on
// Wine's drive Z: with "\" separators under Wine.
std::string RunningPlatformPath(const std::string& hostPath);

// Joins a folder and a relative name with the separator of the running platform.
std::string JoinPath(const std::string& folder, const std::string& name);

// A file name for the temporary folder, "<prefix><random>_<serial><extension>": test programs run side
// by side and share that folder (under Wine, with the same addresses in each process), so neither an
// object's address nor a counter alone tells them apart.
std::string UniqueTempName(const std::string& prefix, const std::string& extension);

// True when the disks were made (the stamp file exists); tests that need them fail loudly otherwise.
bool TestDisksAvailable();

} // namespace test_support
