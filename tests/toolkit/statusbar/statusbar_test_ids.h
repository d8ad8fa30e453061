// Ids of the status-bar tests' resources.
#pragma once

#define ID_SBT_MODE 40101
#define ID_SBT_CAPS 40102
#define ID_SBT_SIZE 40103
// An indicator id without a string.
#define ID_SBT_NO_STRING 40199
// The indicator that hosts a window and whose update handler the frame has.
#define ID_SBT_HOSTED 101
// Indicators made by the tests one after another, without strings.
#define ID_SBT_PLAIN 40200
