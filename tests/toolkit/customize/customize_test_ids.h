// Resource and command ids of the customise tests.
#pragma once

#define ID_CZ_FIRST 41000
