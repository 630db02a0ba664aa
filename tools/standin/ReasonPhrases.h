#pragma once
// The standard reason phrases, for answers that the service writes itself on the socket.

#include <string>

namespace standin {

// Empty for a status that has no standard phrase.
std::string StandardReason(int status);

}  // namespace standin
