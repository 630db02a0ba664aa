#pragma once
// The eight Graph API and GIF service operations the upload job calls, each on a
// JobContext of its own job.

#include "social/AlbumResolution.h"
#include "social/GifUpload.h"
#include "social/PhotoUpload.h"
#include "social/TimelinePost.h"
#include "social/UserIdentity.h"
#include "social/VideoUpload.h"
