#pragma once
// The request's own header lines, kept as the caller gave them, in the form libcurl's
// header list takes ("Name: value"; "Name;" for an empty value, since "Name:" alone would
// remove the header instead of sending it).

#include "platform/win32/Win32Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace wininet {

class HeaderList {
public:
    // One or more "Name: value" lines separated by CR LF, with HttpAddRequestHeaders'
    // modifiers. Returns 0 or the error; on error nothing is changed.
    DWORD Apply(std::string_view text, DWORD modifiers);

    bool Has(std::string_view name) const;
    std::vector<std::string> CurlLines() const;

private:
    struct Entry {
        std::string name;
        std::string line;  // as libcurl gets it
        bool emptyValue = false;
    };
    std::vector<Entry> entries_;

    DWORD ApplyOne(const Entry& entry, DWORD modifiers);
};

}  // namespace wininet
