// zendrik2-standin: the local stand-in for the Graph API, the login web pages and the GIF
// service. Prints one line per listener, the environment for the program and "READY",
// then serves until SIGTERM or SIGINT.

#include "tools/standin/Options.h"
#include "tools/standin/Standin.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

namespace {

const char* EnvName(const std::string& listener)
{
    if (listener == "graph")
        return "ZENDRIK_GRAPH_HOST";
    if (listener == "video")
        return "ZENDRIK_GRAPH_VIDEO_HOST";
    if (listener == "web")
        return "ZENDRIK_WEB_HOST";
    if (listener == "redirect")
        return "ZENDRIK_REDIRECT_HOST";
    if (listener == "gif-upload")
        return "ZENDRIK_GIF_UPLOAD_HOST";
    if (listener == "gif-media")
        return "ZENDRIK_GIF_MEDIA_HOST";
    return nullptr;
}

std::string MakeTemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zendrik2-standin-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

void PrintReady(const standin::Standin& service, const std::string& dataDir, const std::string& authority)
{
    for (const auto& endpoint : service.Endpoints())
        std::cout << endpoint.name << " " << endpoint.url << "\n";
    std::cout << "data " << dataDir << "\n";
    for (const auto& endpoint : service.Endpoints()) {
        if (const char* env = EnvName(endpoint.name))
            std::cout << "env " << env << "=127.0.0.1:" << endpoint.port << "\n";
    }
    std::cout << "env ZENDRIK_CA_FILE=" << std::filesystem::absolute(authority).string() << "\n";
    std::cout << "READY" << std::endl;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const standin::StandinOptions options = standin::ParseOptions(argc, argv, error);
    if (!error.empty()) {
        std::cerr << "zendrik2-standin: " << error << "\n" << standin::Usage();
        return 2;
    }
    if (options.help || options.version) {
        std::cout << (options.help ? standin::Usage() : standin::VersionLine());
        return 0;
    }

    const bool temporary = options.dataDir.empty();
    const std::string dataDir = temporary ? MakeTemporaryFolder() : options.dataDir;
    if (dataDir.empty()) {
        std::cerr << "zendrik2-standin: cannot make a temporary data folder\n";
        return 1;
    }

    // Every thread inherits the blocked set, so the signals reach only sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);  // answers written to a connection that is already gone

    int status = 0;
    {
        std::unique_ptr<standin::Standin> service;
        try {
            service = std::make_unique<standin::Standin>(options, dataDir);
        } catch (const std::exception& e) {
            std::cerr << "zendrik2-standin: " << e.what() << "\n";
            return 1;
        }
        if (!service->Start(options.closedHosts, error)) {
            std::cerr << "zendrik2-standin: " << error << "\n";
            status = 1;
        } else {
            PrintReady(*service, dataDir, options.authority);
            int received = 0;
            sigwait(&stopSignals, &received);
            // Connections that hold a request open are waited for, but not for ever.
            std::thread([] {
                std::this_thread::sleep_for(std::chrono::seconds(20));
                std::cerr << "zendrik2-standin: shutdown took too long\n";
                _exit(1);
            }).detach();
            service->Stop();
        }
    }
    if (temporary && !options.keepData) {
        std::error_code ignored;
        std::filesystem::remove_all(dataDir, ignored);
    }
    return status;
}
