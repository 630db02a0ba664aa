#pragma once
// The WebKitGTK calls that wx offers no way to, behind plain C++: the process-wide web
// context (cookie storage, local trust) and the hooks on one native web view (new
// windows, silence). The GLib and WebKit headers stay in the .cpp files.

#include "browser/WebContextSetup.h"

#include <string>
#include <vector>

// Applies the setup to WebKit's default context; only the first call does anything,
// and it must come before the first page loads.
void PrepareWebContext(const WebContextSetup& setup);

class NativeViewHooks {
public:
    class Client {
    public:
        virtual ~Client() = default;
        // A page's script opens a window. The native view's own new window is never made
        // (WebKit aborts the process on wx's answer to it); the client opens its own.
        virtual void OnNativeNewWindow(const std::string& uri) = 0;
        // A page posted a string to a message handler added with AddMessageHandler.
        virtual void OnNativeScriptMessage(const std::string& handler, const std::string& message) = 0;
    };

    // nativeView is the WebKitWebView behind the wx view (wxWebView::GetNativeBackend),
    // right after its creation. Replaces wx's "create" handler, lets scripts open
    // windows (the client decides), and answers every dialog of the browser's own
    // (script alerts, confirmations and prompts, HTTP authentication, printing) silently.
    NativeViewHooks(void* nativeView, Client& client);
    // Disconnects; the view is kept alive until then.
    ~NativeViewHooks();

    // Lets pages post strings to window.webkit.messageHandlers.<name>. Registered here
    // rather than through wx, whose registration runs a script and waits for its answer,
    // holding the window back until the web process has started (seconds on a loaded
    // booth, and for ever if that process never answers).
    void AddMessageHandler(const std::string& name);
    // Runs the script in the current top-level document; its result and its errors are
    // dropped, and nothing is called back (so nothing outlives the view).
    void RunScript(const std::string& script);
    NativeViewHooks(const NativeViewHooks&) = delete;
    NativeViewHooks& operator=(const NativeViewHooks&) = delete;

private:
    void* view_;
    Client& client_;
    std::vector<unsigned long> handlers_;
    std::vector<std::string> messageHandlers_;
    std::vector<unsigned long> messageSignals_;
};
