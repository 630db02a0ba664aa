#pragma once
// The GIF service: its upload host (POST /v1/gifs with "api_key" and "file", answering
// {"data":{"id":...},"meta":{...}}) and its media host, which serves a stored GIF at
// /media/<id>/giphy.gif.

#include "tools/standin/Exchange.h"

namespace standin {

class GifUploadRoutes : public HostRoutes {
public:
    void Handle(Exchange& exchange) override;

private:
    void Upload(Exchange& exchange);
    void Info(Exchange& exchange, const std::string& id);
};

class GifMediaRoutes : public HostRoutes {
public:
    void Handle(Exchange& exchange) override;
};

}  // namespace standin
