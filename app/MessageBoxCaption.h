#pragma once
// The caption of every message box the program shows.

#include <string>

// "Zendrik2" from the start; "Zendrik" once the run is known to be interactive.
extern std::u16string MessageBoxCaption;

// Called once by the main dialog's constructor when it has fixed the mode.
void AdoptMessageBoxCaptionForMode(bool interactive);
