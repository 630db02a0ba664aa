#pragma once
// The admin API on its own plain-HTTP listener (README.md documents it): what was
// received, scripted answers and faults, the albums, the switches, tokens, a reset.

#include "tools/standin/ServiceState.h"

#include <httplib.h>

namespace standin {

void InstallAdminRoutes(httplib::Server& server, ServiceState& state);

}  // namespace standin
