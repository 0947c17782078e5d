// The Angle bisector command: a new straight path along the bisector of each pair of selected lines.
#pragma once

// Command 1011. Every outcome is shown to the user as an alert; nothing is returned.
void RunAngleBisector();
