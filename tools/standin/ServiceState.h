#pragma once
// Everything the listeners share: the switches, what was received, the script, the
// accounts and albums, the GIFs, the id source, the stop signal and the listeners'
// addresses. Each part locks itself.

#include "tools/standin/Accounts.h"
#include "tools/standin/Albums.h"
#include "tools/standin/FaultScript.h"
#include "tools/standin/GifStore.h"
#include "tools/standin/IdSource.h"
#include "tools/standin/Journal.h"
#include "tools/standin/StandinConfig.h"
#include "tools/standin/Stopper.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace standin {

struct ServiceState {
    ServiceState(StandinConfig config, std::vector<AlbumSeed> albumSeeds, std::filesystem::path dataDir)
        : config(std::move(config)),
          journal(std::move(dataDir)),
          accounts(ids),
          albums(ids, std::move(albumSeeds))
    {
    }

    void Reset()
    {
        config.Reset();
        journal.Reset();
        script.Clear();
        accounts.Reset();
        gifs.Reset();
        ids.Reset();
        albums.Reset();
    }

    ConfigStore config;
    Journal journal;
    FaultScript script;
    IdSource ids;
    Accounts accounts;
    Albums albums;
    GifStore gifs;
    Stopper stopper;
    std::map<std::string, std::string> urls;  // listener name -> "https://127.0.0.1:PORT"
    // Closing and opening hosts, provided by the service that owns the listeners.
    std::function<bool(const std::string& name, bool open, std::string& error)> setHostOpen;
    std::function<Json::Value()> openHosts;
};

}  // namespace standin
