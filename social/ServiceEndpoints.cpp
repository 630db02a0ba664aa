#include "social/ServiceEndpoints.h"

#include "service/EndpointHost.h"

std::u16string GraphApiBase()
{
    return u"https://" + EndpointHost("ZENDRIK_GRAPH_HOST", u"graph.facebook.com") + u"/v2.12/";
}

std::u16string GraphVideoBase()
{
    return u"https://" + EndpointHost("ZENDRIK_GRAPH_VIDEO_HOST", u"graph-video.facebook.com") + u"/v2.12/";
}

std::u16string GifUploadAddress()
{
    return u"https://" + EndpointHost("ZENDRIK_GIF_UPLOAD_HOST", u"upload.giphy.com") + u"/v1/gifs";
}

std::u16string GifMediaBase()
{
    return u"https://" + EndpointHost("ZENDRIK_GIF_MEDIA_HOST", u"media.giphy.com") + u"/media/";
}
