#include "platform/guid/Guid.h"

#include <uuid/uuid.h>

HRESULT CoCreateGuid(GUID* guid)
{
    if (guid == nullptr)
        return E_INVALIDARG;
    uuid_t bytes;
    uuid_generate_random(bytes);
    // libuuid's bytes are in the order of the textual form; Windows holds the first three
    // fields as numbers, so read them big-endian to print the same text.
    guid->Data1 = (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
                  (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
    guid->Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid->Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i)
        guid->Data4[i] = bytes[8 + i];
    return S_OK;
}
