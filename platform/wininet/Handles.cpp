#include "platform/wininet/Handles.h"

#include <cstdint>
#include <unordered_map>

namespace wininet {

namespace {

struct HandleTable {
    std::mutex lock;
    // Handle values are never reused, so a handle closed by one thread (to cancel a call)
    // and then again by its owner can only fail, never close another request.
    std::uintptr_t lastValue = 0;
    std::unordered_map<HINTERNET, std::shared_ptr<InternetObject>> objects;
};

HandleTable& Table()
{
    static HandleTable table;
    return table;
}

}  // namespace

void Connection::SetProxyUser(std::string user)
{
    std::lock_guard guard(proxyLock_);
    proxyAccount_.user = std::move(user);
}

void Connection::SetProxyPassword(std::string password)
{
    std::lock_guard guard(proxyLock_);
    proxyAccount_.password = std::move(password);
}

Credentials Connection::ProxyAccount() const
{
    std::lock_guard guard(proxyLock_);
    return proxyAccount_;
}

HINTERNET RegisterHandle(std::shared_ptr<InternetObject> object)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    // Aligned like a pointer, and never null.
    table.lastValue += 16;
    HINTERNET handle = reinterpret_cast<HINTERNET>(table.lastValue);
    table.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<InternetObject> LookupHandle(HINTERNET handle, DWORD& error)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    const auto found = table.objects.find(handle);
    if (handle == nullptr || found == table.objects.end()) {
        error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    return found->second;
}

std::shared_ptr<InternetObject> UnregisterHandle(HINTERNET handle)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    const auto found = table.objects.find(handle);
    if (found == table.objects.end()) {
        return nullptr;
    }
    auto object = std::move(found->second);
    table.objects.erase(found);
    return object;
}

}  // namespace wininet
