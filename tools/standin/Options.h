#pragma once
// The command line of zendrik2-standin (README.md lists the options).

#include "tools/standin/Albums.h"
#include "tools/standin/StandinConfig.h"

#include <set>
#include <string>
#include <vector>

namespace standin {

struct StandinOptions {
    int portBase = 0;  // 0: every listener on a free port
    std::string certificate;
    std::string key;
    std::string authority;  // printed as ZENDRIK_CA_FILE
    std::string dataDir;    // empty: a new temporary folder, removed at exit
    bool keepData = false;
    std::vector<AlbumSeed> albums;
    std::set<std::string> closedHosts;  // refuse connections from the start
    bool help = false;
    bool version = false;
    StandinConfig config;
};

// Empty error on success.
StandinOptions ParseOptions(int argc, char** argv, std::string& error);
const char* Usage();
const char* VersionLine();

}  // namespace standin
