#include "browser/WebKitNative.h"

#include "browser/LocalTrust.h"
#include "login/BrowserWebData.h"

#include <webkit2/webkit2.h>

namespace {

WebKitWebView* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer data)
{
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const gchar* uri = request != nullptr ? webkit_uri_request_get_uri(request) : nullptr;
    static_cast<NativeViewHooks::Client*>(data)->OnNativeNewWindow(uri != nullptr ? uri : "");
    return nullptr;
}

// Handled, and left unanswered: an alert is dismissed, a confirmation and a prompt
// are declined.
gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer) { return TRUE; }

gboolean OnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer)
{
    webkit_authentication_request_cancel(request);
    return TRUE;
}

gboolean OnPrint(WebKitWebView*, WebKitPrintOperation*, gpointer) { return TRUE; }

struct MessageTarget {
    NativeViewHooks::Client* client;
    std::string handler;
};

void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer data)
{
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (value == nullptr || !jsc_value_is_string(value))
        return;
    gchar* text = jsc_value_to_string(value);
    const std::string message = text != nullptr ? text : "";
    g_free(text);
    const auto* target = static_cast<const MessageTarget*>(data);
    target->client->OnNativeScriptMessage(target->handler, message);
}

void FreeMessageTarget(gpointer data, GClosure*) { delete static_cast<MessageTarget*>(data); }

void RemoveHandlers(WebKitWebView* view, const char* signal)
{
    const guint id = g_signal_lookup(signal, WEBKIT_TYPE_WEB_VIEW);
    while (const gulong handler = g_signal_handler_find(view, G_SIGNAL_MATCH_ID, id, 0, nullptr, nullptr, nullptr))
        g_signal_handler_disconnect(view, handler);
}

}  // namespace

void PrepareWebContext(const WebContextSetup& setup)
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    // The default context files its stored data under the program's name: fixed here, so
    // that the clean-up between guests finds it whatever name the program was started by.
    g_set_prgname(kBrowserDataName);
    WebKitWebContext* context = webkit_web_context_get_default();
    if (setup.cookieFile) {
        webkit_cookie_manager_set_persistent_storage(webkit_web_context_get_cookie_manager(context),
                                                     setup.cookieFile->c_str(), WEBKIT_COOKIE_PERSISTENT_STORAGE_TEXT);
    }
    TrustLocalAuthority(setup.caFile, setup.trustedHosts);
}

NativeViewHooks::NativeViewHooks(void* nativeView, Client& client) : view_(g_object_ref(nativeView)), client_(client)
{
    WebKitWebView* view = WEBKIT_WEB_VIEW(view_);
    RemoveHandlers(view, "create");
    handlers_.push_back(g_signal_connect(view, "create", G_CALLBACK(OnCreate), &client));
    handlers_.push_back(g_signal_connect(view, "script-dialog", G_CALLBACK(OnScriptDialog), nullptr));
    handlers_.push_back(g_signal_connect(view, "authenticate", G_CALLBACK(OnAuthenticate), nullptr));
    handlers_.push_back(g_signal_connect(view, "print", G_CALLBACK(OnPrint), nullptr));
    // Whether a page may open a window is the client's answer, not WebKit's pop-up rule.
    webkit_settings_set_javascript_can_open_windows_automatically(webkit_web_view_get_settings(view), TRUE);
}

NativeViewHooks::~NativeViewHooks()
{
    for (const gulong handler : handlers_)
        g_signal_handler_disconnect(view_, handler);
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(WEBKIT_WEB_VIEW(view_));
    for (const gulong signal : messageSignals_)
        g_signal_handler_disconnect(content, signal);
    for (const std::string& name : messageHandlers_)
        webkit_user_content_manager_unregister_script_message_handler(content, name.c_str());
    // The view goes with the program: its web process is ended here rather than left to
    // notice the program's exit, which on a loaded booth took it seconds after the host
    // had seen the program end.
    webkit_web_view_terminate_web_process(WEBKIT_WEB_VIEW(view_));
    g_object_unref(view_);
}

void NativeViewHooks::AddMessageHandler(const std::string& name)
{
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(WEBKIT_WEB_VIEW(view_));
    if (!webkit_user_content_manager_register_script_message_handler(content, name.c_str()))
        return;
    messageHandlers_.push_back(name);
    const std::string signal = "script-message-received::" + name;
    messageSignals_.push_back(g_signal_connect_data(content, signal.c_str(), G_CALLBACK(OnScriptMessage),
                                                    new MessageTarget{&client_, name}, FreeMessageTarget,
                                                    GConnectFlags(0)));
}

void NativeViewHooks::RunScript(const std::string& script)
{
    webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view_), script.c_str(), static_cast<gssize>(script.size()),
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
}
