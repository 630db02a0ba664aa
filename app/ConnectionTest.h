#pragma once
// The connection test before a login: can the Facebook web host's https root be reached?

bool InternetConnectionAvailable();
