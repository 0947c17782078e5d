// The panel's live length of the selected segments: measured on command 1013 and on selection
// changes, stored as the base of the Length slider, and the end of a run of Length changes.
#pragma once

// Stage 0: measure and store. Stage 1 (a Length command just ran): pass this change over and go to
// stage 2. Stage 2: put back the selection the run started from, then measure and store.
void UpdateSelectionLength();

// Total length in points of the selected segments of the selected paths, straight ones included,
// as the host reports the selection now (never the saved selection of a Length run).
double MeasureSelectionLength();

// Stores a newly measured length as the measured and typed lengths and shows it in the panel.
void StoreMeasuredLength(double length);
