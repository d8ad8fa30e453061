#pragma once

// The NTFS side of the Quick Scan's partition parameters: the boot sector at the start of the range, or
// its copy in the range's last sector.

// Reads the boot sector and writes sectorsPerCluster, clusterBase (the range start), mftStart,
// mftMirrStart and indexSectors of VolumeParams. The MFT and its mirror must begin with a file record;
// one that does not is looked for through the other boot sector, and stays 0 when that fails too.
// 1 when the MFT was found (the mirror may be 0), else 0: a mirror alone is no parameters.
int ReadNtfsPartitionParams();
