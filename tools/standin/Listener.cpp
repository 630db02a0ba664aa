#include "tools/standin/Listener.h"

#include <chrono>
#include <iostream>

namespace standin {

namespace {

constexpr std::size_t kThreadsPerListener = 12;

void Configure(httplib::Server& server)
{
    // The library deletes the queue it is given.
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreadsPerListener); };
    server.set_keep_alive_max_count(100);
    server.set_keep_alive_timeout(3);
    server.set_read_timeout(30);
    server.set_write_timeout(10);
    // An answer's head and body leave in separate writes; without this the body waits
    // for the client's delayed acknowledgement (about 40 ms per request).
    server.set_tcp_nodelay(true);
    server.set_exception_handler(
        [](const httplib::Request& request, httplib::Response& response, std::exception_ptr error) {
            std::string what = "unknown exception";
            try {
                if (error)
                    std::rethrow_exception(error);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            std::cerr << "zendrik2-standin: " << request.method << " " << request.target << ": " << what << std::endl;
            response.status = 500;
            response.set_content("stand-in failure: " + what, "text/plain");
        });
}

}  // namespace

Listener::Listener(std::string name, const TlsFiles* tls) : name_(std::move(name)), tls_(tls != nullptr)
{
    if (tls)
        server_ = std::make_unique<httplib::SSLServer>(tls->certificate.c_str(), tls->key.c_str());
    else
        server_ = std::make_unique<httplib::Server>();
    Configure(*server_);
}

Listener::~Listener() { Stop(); }

bool Listener::Bind(int port)
{
    if (port == 0) {
        port_ = server_->bind_to_any_port("127.0.0.1");
        return port_ > 0;
    }
    if (!server_->bind_to_port("127.0.0.1", port))
        return false;
    port_ = port;
    return true;
}

std::string Listener::Url() const
{
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

void Listener::Start()
{
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing to a server that is not running yet, and the bound socket
    // would then stay open for ever.
    for (int i = 0; i < 5000 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void Listener::RequestStop()
{
    if (server_)
        server_->stop();
}

void Listener::Stop()
{
    RequestStop();
    if (thread_.joinable())
        thread_.join();
}

}  // namespace standin
