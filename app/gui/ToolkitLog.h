#pragma once
// Where the toolkit's own log messages go. Its default shows them in a message box, also
// while it flushes them on the way out of a start that failed: without a display that box
// is a trap. So stderr, until a window is up for somebody to read a box, and always when
// nobody is there (unattended mode).

// Before the toolkit starts, and again once the window is gone.
void LogToolkitMessagesToStderr();
// Interactive mode, while the window is up.
void LogToolkitMessagesInMessageBoxes();
