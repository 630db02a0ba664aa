#pragma once
// One listening server on 127.0.0.1, plain HTTP or HTTPS, run on a thread of its own.

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace standin {

struct TlsFiles {
    std::string certificate;
    std::string key;
};

class Listener {
public:
    // No TLS files: plain HTTP.
    Listener(std::string name, const TlsFiles* tls);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    bool Valid() const { return server_ && server_->is_valid(); }
    httplib::Server& Server() { return *server_; }
    const std::string& Name() const { return name_; }

    bool Bind(int port);  // 0: a free port
    int Port() const { return port_; }
    std::string Url() const;
    void Start();        // returns once it accepts
    void RequestStop();  // stops accepting; Stop then waits for the open connections
    void Stop();

private:
    const std::string name_;
    const bool tls_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace standin
