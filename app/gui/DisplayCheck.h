#pragma once
// The toolkit treats a missing X display as fatal deep inside its start (a message box it
// cannot show, then a trap). Checked first, a booth host gets a message and an exit code.

// True when the toolkit will find a display; otherwise writes why to stderr.
bool DisplayReachable();
// From here on, losing the X connection ends the program with a message and exit code 1.
void ExitOnLostDisplay();
