#pragma once
// The album a photo goes into, found by name among the user's albums or created with
// the job's description. An album the user may not upload to is returned with the
// read-only mark "/0" after its id; the job then falls back to the default photos.

#include "social/JobContext.h"

#include <map>
#include <string>

namespace social {

// Album name to album id (maybe with the read-only mark). Names compare exactly.
using AlbumMap = std::map<std::u16string, std::u16string>;

inline constexpr char16_t ReadOnlyAlbumMark[] = u"/0";

// Adds the first listing page's albums to the map (a later album of a name wins) and
// returns the listing body, one code unit per byte; empty when no body came back.
// Throws on to the caller (aborting style).
std::u16string ListAlbums(JobContext& job, AlbumMap& albums);

// The listing body's albums added to the map, or its "error" logged; a body that is not
// JSON adds nothing. A body of another shape raises the JSON library's exception.
void AddAlbumsFromListing(JobContext& job, const std::string& body, AlbumMap& albums);

// The album's id, or empty after a logged failure. Exceptions of the listing pass
// through; the creation has the aborting style.
std::u16string FindOrCreateAlbum(JobContext& job, const std::u16string& albumName, const std::u16string& description);

}  // namespace social
