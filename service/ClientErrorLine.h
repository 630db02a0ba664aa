#pragma once
// How a failure of the HTTP client reads in the log, wherever a request was made.

#include "httpclient/HttpClientException.h"

#include <string>

namespace service {

// "Exception, error code=" + the exception's Win32 error in decimal.
std::u16string ClientErrorLine(const Tavik::httpclientexceptionW& error);

}  // namespace service
