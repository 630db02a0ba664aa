#pragma once
// The Graph API and GIF service addresses every operation builds on. Schemes and
// paths are fixed; the hosts come from EndpointHost, read at each call:
//   ZENDRIK_GRAPH_HOST        graph.facebook.com
//   ZENDRIK_GRAPH_VIDEO_HOST  graph-video.facebook.com
//   ZENDRIK_GIF_UPLOAD_HOST   upload.giphy.com
//   ZENDRIK_GIF_MEDIA_HOST    media.giphy.com

#include <string>

// "https://" host "/v2.12/"; the operation appends its relative path ("me", "me/albums").
std::u16string GraphApiBase();
// "https://" video host "/v2.12/"; user id + "/videos" follows.
std::u16string GraphVideoBase();
// "https://" upload host "/v1/gifs".
std::u16string GifUploadAddress();
// "https://" media host "/media/"; GIF id + "/giphy.gif" follows.
std::u16string GifMediaBase();

inline constexpr char16_t GifApiKey[] = u"Qv7mRtX2pLw9K";
