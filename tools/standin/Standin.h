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
#include <string>
#include <vector>

namespace standin {

class Standin {
public:
    Standin(const StandinOptions& options, std::string dataDir);
    ~Standin();

    // Binds every listener and starts serving; empty error on success.
    bool Start(std::string& error);
    void Stop();
    // In start order: graph, video, web, redirect, gif-upload, gif-media, admin.
    const std::vector<std::unique_ptr<Listener>>& Listeners() const { return listeners_; }

private:
    const StandinOptions options_;
    ServiceState state_;
    GraphRoutes graph_{false};
    GraphRoutes video_{true};
    WebRoutes web_;
    RedirectRoutes redirect_;
    GifUploadRoutes gifUpload_;
    GifMediaRoutes gifMedia_;
    std::vector<std::unique_ptr<Listener>> listeners_;
};

}  // namespace standin
