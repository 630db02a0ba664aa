#include "tools/standin/Standin.h"

#include "tools/standin/AdminRoutes.h"

namespace standin {

Standin::Standin(const StandinOptions& options, std::string dataDir)
    : options_(options), state_(options.config, options.albums, std::move(dataDir)) {}

Standin::~Standin() { Stop(); }

bool Standin::Start(std::string& error) {
    const TlsFiles tls{options_.certificate, options_.key};
    const struct {
        const char* name;
        bool secure;
        HostRoutes* routes;
    } hosts[] = {{"graph", true, &graph_},          {"video", true, &video_},
                 {"web", true, &web_},              {"redirect", true, &redirect_},
                 {"gif-upload", false, &gifUpload_}, {"gif-media", false, &gifMedia_},
                 {"admin", false, nullptr}};
    int offset = 0;
    for (const auto& host : hosts) {
        auto listener = std::make_unique<Listener>(host.name, host.secure ? &tls : nullptr);
        if (!listener->Valid()) {
            error = "cannot load the certificate " + tls.certificate + " or its key " + tls.key;
            return false;
        }
        const int port = options_.portBase ? options_.portBase + offset : 0;
        if (!listener->Bind(port)) {
            error = std::string("cannot listen for ") + host.name + " on 127.0.0.1:" + std::to_string(port);
            return false;
        }
        if (host.routes) InstallHostRoutes(listener->Server(), host.name, *host.routes, state_);
        else InstallAdminRoutes(listener->Server(), state_);
        state_.urls[host.name] = listener->Url();
        listeners_.push_back(std::move(listener));
        ++offset;
    }
    for (auto& listener : listeners_) listener->Start();
    return true;
}

void Standin::Stop() {
    state_.stopper.Stop();
    state_.journal.Close();
    for (auto& listener : listeners_) listener->Stop();
    listeners_.clear();
}

}  // namespace standin
