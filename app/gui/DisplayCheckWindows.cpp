// Windows always has its desktop: nothing to check, nothing to hold.

#include "app/gui/DisplayCheck.h"

void DisplayConnection::Closer::operator()(_XDisplay*) const {}

bool DisplayConnection::Open() { return true; }

void ExitOnLostDisplay() {}
