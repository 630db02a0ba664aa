#pragma once
// The Graph API v2.12 as far as the uploader uses it: "me", the album listing and
// creation, photo uploads into an album, video uploads (on the video host only) and
// timeline posts. The graph and the video listeners each have one.

#include "tools/standin/Exchange.h"
#include "tools/standin/GraphAnswers.h"
#include "tools/standin/StandinConfig.h"

#include <string>
#include <vector>

namespace standin {

class GraphRoutes : public HostRoutes {
public:
    explicit GraphRoutes(bool videoHost) : videoHost_(videoHost) {}
    void Handle(Exchange& exchange) override;

private:
    struct Call {
        Exchange& exchange;
        StandinConfig config;
        std::string node;               // "me", a user id or an object id
        std::vector<std::string> rest;  // path segments after the node
        bool UserNode() const { return node == "me" || node == config.userId; }
    };

    bool Authorised(Call& call);
    void Me(Call& call);
    void ListAlbums(Call& call);
    void CreateAlbum(Call& call);
    void UploadPhoto(Call& call);
    void UploadVideo(Call& call);
    void PostToFeed(Call& call);
    void GetObject(Call& call);
    void Fail(Call& call, const GraphErrorSpec& error);

    const bool videoHost_;
};

}  // namespace standin
