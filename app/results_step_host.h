#pragma once

// The application's side of the results view: what its Save, Back and Home reach in the wizard, the
// frame and the other steps, and the hand-over at the end of a scan.
#include "results_host.h"

// The one host of the program's results view.
ResultsHost& ApplicationResultsHost();

// What the partition step does when a Quick Scan or a File Trace has ended with results: the frame's step
// flags off and its results flag on, the wizard on the results view with its three buttons shown.
void ShowScanResults();
