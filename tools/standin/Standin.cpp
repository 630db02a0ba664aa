#include "tools/standin/Standin.h"

#include "tools/standin/AdminRoutes.h"

#include <tuple>

namespace standin {

Standin::Standin(const StandinOptions& options, std::string dataDir)
    : options_(options),
      state_(options.config, options.albums, std::move(dataDir))
{
}

Standin::~Standin() { Stop(); }

std::unique_ptr<Listener> Standin::Open(Slot& slot, int port, std::string& error)
{
    const TlsFiles tls{options_.certificate, options_.key};
    auto listener = std::make_unique<Listener>(slot.name, slot.secure ? &tls : nullptr);
    if (!listener->Valid()) {
        error = "cannot load the certificate " + tls.certificate + " or its key " + tls.key;
        return nullptr;
    }
    if (!listener->Bind(port)) {
        error = "cannot listen for " + slot.name + " on 127.0.0.1:" + std::to_string(port);
        return nullptr;
    }
    if (slot.routes)
        InstallHostRoutes(listener->Server(), slot.name, *slot.routes, state_);
    else
        InstallAdminRoutes(listener->Server(), state_);
    return listener;
}

bool Standin::Start(const std::set<std::string>& closed, std::string& error)
{
    std::lock_guard lock(mutex_);
    const std::tuple<const char*, bool, HostRoutes*> hosts[] = {
        {"graph", true, &graph_},       {"video", true, &video_},          {"web", true, &web_},
        {"redirect", true, &redirect_}, {"gif-upload", true, &gifUpload_}, {"gif-media", true, &gifMedia_},
        {"admin", false, nullptr}};
    for (const auto& [name, secure, routes] : hosts)
        slots_.push_back(Slot{name, secure, routes, 0, nullptr});
    state_.setHostOpen = [this](const std::string& name, bool open, std::string& why) {
        return SetOpen(name, open, why);
    };
    state_.openHosts = [this] { return OpenHosts(); };
    int offset = 0;
    for (Slot& slot : slots_) {
        slot.listener = Open(slot, options_.portBase ? options_.portBase + offset++ : 0, error);
        if (!slot.listener)
            return false;
        slot.port = slot.listener->Port();
        state_.urls[slot.name] = slot.listener->Url();
    }
    for (Slot& slot : slots_) {
        slot.listener->Start();
        if (closed.count(slot.name))
            slot.listener.reset();
    }
    return true;
}

std::vector<Standin::Endpoint> Standin::Endpoints() const
{
    std::lock_guard lock(mutex_);
    std::vector<Endpoint> endpoints;
    for (const Slot& slot : slots_)
        endpoints.push_back({slot.name, state_.urls.at(slot.name), slot.port});
    return endpoints;
}

bool Standin::SetOpen(const std::string& name, bool open, std::string& error)
{
    std::lock_guard lock(mutex_);
    if (stopping_) {
        error = "the service is stopping";
        return false;
    }
    for (Slot& slot : slots_) {
        if (slot.name != name)
            continue;
        if (!slot.routes) {
            error = "the admin listener stays open";
            return false;
        }
        if (!open) {
            slot.listener.reset();
            return true;
        }
        if (slot.listener)
            return true;
        slot.listener = Open(slot, slot.port, error);
        if (!slot.listener)
            return false;
        slot.listener->Start();
        return true;
    }
    error = "no host " + name;
    return false;
}

Json::Value Standin::OpenHosts() const
{
    std::lock_guard lock(mutex_);
    Json::Value hosts;
    for (const Slot& slot : slots_)
        hosts[slot.name] = slot.listener != nullptr;
    return hosts;
}

void Standin::Stop()
{
    state_.stopper.Stop();
    state_.journal.Close();
    // The listeners are ended outside the lock: an admin request may be waiting for it.
    std::vector<std::unique_ptr<Listener>> ending;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (Slot& slot : slots_) {
            if (slot.listener)
                ending.push_back(std::move(slot.listener));
        }
    }
    for (auto& listener : ending)
        listener->RequestStop();
    ending.clear();
}

}  // namespace standin
