// Resource and command ids of the customise tests.
#pragma once

#define ID_CZ_FIRST 41000

// The accelerators the keyboard page starts from.
#define IDR_CZ_ACCEL 41500
