#pragma once
// The whole service: its state, the routes of every host and one listener per host.

#include "tools/standin/GifRoutes.h"
#include "tools/standin/GraphRoutes.h"
#include "tools/standin/Listener.h"
#include "tools/standin/Options.h"
#include "tools/standin/RedirectRoutes.h"
#include "tools/standin/ServiceState.h"
#include "tools/standin/WebRoutes.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace standin {

class Standin {
public:
    Standin(const StandinOptions& options, std::string dataDir);
    ~Standin();

    // Binds every listener and starts serving; the hosts named in `closed` are bound to
    // learn their ports and closed again at once. Empty error on success.
    bool Start(const std::set<std::string>& closed, std::string& error);
    void Stop();

    struct Endpoint {
        std::string name;
        std::string url;
        int port;
    };
    // In start order: graph, video, web, redirect, gif-upload, gif-media, admin.
    std::vector<Endpoint> Endpoints() const;

    // A closed host refuses connections; it opens again on the same port.
    bool SetOpen(const std::string& name, bool open, std::string& error);
    Json::Value OpenHosts() const;

private:
    struct Slot {
        std::string name;
        bool secure;
        HostRoutes* routes;  // null: the admin API
        int port = 0;
        std::unique_ptr<Listener> listener;
    };
    std::unique_ptr<Listener> Open(Slot& slot, int port, std::string& error);

    const StandinOptions options_;
    ServiceState state_;
    GraphRoutes graph_{false};
    GraphRoutes video_{true};
    WebRoutes web_;
    RedirectRoutes redirect_;
    GifUploadRoutes gifUpload_;
    GifMediaRoutes gifMedia_;
    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    bool stopping_ = false;
};

}  // namespace standin
