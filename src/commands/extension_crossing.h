// The Extension crossing command: pairs of selected lines joined where their lines cross.
#pragma once

// Command 1012. Every outcome is shown to the user as an alert; nothing is returned.
void RunExtensionCrossing();
