#include "platform/wininet/ExtraCaFile.h"

#include <cstdlib>
#include <utility>

namespace wininet {

namespace {

std::string extraCaFileVariable;

}  // namespace

void SetExtraCaFileVariable(std::string name) { extraCaFileVariable = std::move(name); }

std::string ExtraCaFile()
{
    if (extraCaFileVariable.empty())
        return {};
    const char* path = std::getenv(extraCaFileVariable.c_str());
    return path != nullptr ? path : "";
}

}  // namespace wininet
