// The upload benchmark's server, run as a process of its own so that its memory is
// not counted with the client's: HTTPS on 127.0.0.1 that counts request bodies and
// throws them away. Prints "PORT <n>" once listening; ends on SIGTERM or SIGINT, or
// when its standard input closes (so it cannot outlive a benchmark that crashed).
// --plain serves plain HTTP instead.

#include <cstdio>
#include <cstring>

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "tests/support/WireServer.h"

namespace {

void WaitForTheEnd(int signals)
{
    pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
    char buffer[4096];
    for (;;) {
        if (::poll(watched, 2, -1) < 0)
            continue;  // EINTR
        if (watched[1].revents != 0)
            return;
        if (watched[0].revents != 0 && ::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            return;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const bool plain = argc > 1 && std::strcmp(argv[1], "--plain") == 0;

    // Blocked before any server thread exists, so that only the signalfd sees them.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    const int signals = ::signalfd(-1, &ending, SFD_CLOEXEC);
    if (signals < 0) {
        std::perror("signalfd");
        return 1;
    }
    ::signal(SIGPIPE, SIG_IGN);

    std::size_t requests = 0;
    std::uint64_t bodyBytes = 0;
    {
        testsupport::WireServer server(plain ? testsupport::TlsMode::Plain : testsupport::TlsMode::Trusted);
        server.SetDiscardBodies(true);
        std::printf("PORT %u\n", static_cast<unsigned>(server.Port()));
        std::fflush(stdout);

        WaitForTheEnd(signals);
        for (const auto& request : server.Requests()) {
            ++requests;
            bodyBytes += request.bodyBytesReceived;
        }
    }
    std::fprintf(stderr, "discard server: %zu requests, %llu body bytes\n", requests,
                 static_cast<unsigned long long>(bodyBytes));
    ::close(signals);
    return 0;
}
