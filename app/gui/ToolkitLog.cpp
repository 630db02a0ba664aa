#include "app/gui/ToolkitLog.h"

#include <wx/log.h>

void LogToolkitMessagesToStderr() { delete wxLog::SetActiveTarget(new wxLogStderr); }

void LogToolkitMessagesInMessageBoxes() { delete wxLog::SetActiveTarget(new wxLogGui); }
