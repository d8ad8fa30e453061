#pragma once

// The first completion steps of the Extensive NTFS scan. A folder record does not say which MFT record
// it is, but the folder's own index and its parent's index do: AssignMftNumbers gives every
// NtfsFolderNode the number of its record, so that files and folders (which name their parent by
// number) can be placed under it; DeleteUnusedIndexNodes then keeps only the first index record of each
// folder, which the volume analysis needs. Both run on the scan worker and write the partition step's
// panel.

// "Assigning MFT numbers". Step 1 reads every index record found and gives each folder node still
// without a number (0) the number that an entry of its parent's index gives it: the first such node
// whose creation time, parent number and name equal the entry's. Step 2 numbers the rest: from the
// record header where the record carries its own number (NTFS 3.1), else from the position of the
// record after the previous numbered one (records are two sectors long).
void AssignMftNumbers();

// "Deleting unused index entries...": unlinks and frees every index node whose VCN is not 0.
void DeleteUnusedIndexNodes();
