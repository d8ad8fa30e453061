#pragma once

// The wizard's road between its views. Every move that leaves a step for another (Next, Back, Home, the
// end of a scan, Stop's end, "nothing found") goes through here, so that a step is always left and
// entered the same way, whichever view started the move. The steps say what they show; this says which
// step is shown next, with the frame's step flags that the source tree and the frame's commands read.
//
// Each step view offers three states:
//   ShowForChoosing  its buttons shown and live, its tree enabled, no progress: the user chooses;
//   ShowBusy         only Stop live, its tree locked, the progress shown: its worker runs;
//   Leave            what it showed and the engine's lists it filled are gone; its controls are back in
//                    their choosing state, so that the next arrival finds the step as new.
#include <cstdint>

namespace WizardNavigator {

// The drive step's partition search has ended: the partition step for choosing.
void PartitionSearchEnded();
// Back on the partition step: it is left, the drive step is shown for choosing.
void BackToDriveStep();
// The Extensive Scan's sector scan has ended: the file-system step for choosing.
void SectorScanEnded();
// Back on the file-system step: it is left, the partition step is shown for choosing with the range
// that was scanned.
void BackToPartitionStep();
// Back from the results of a scan of kind `scanKind`: the step that started the scan for choosing (the
// file-system step after an Extensive Scan, else the partition step).
void BackFromResults(std::uint32_t scanKind);
// A scan of kind `scanKind` has ended: the results view with its commands, and the frame's result flag of
// that kind.
void ShowResults(std::uint32_t scanKind);
// Every step left, the wizard's step numbers 0, the home view shown and Open enabled.
void Home();
// A Quick Scan found nothing to list: the results view goes home, without its snapshot question.
void NothingFound();

} // namespace WizardNavigator
