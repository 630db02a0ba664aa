#pragma once
// The embedded web browser as the login needs it, free of any toolkit: navigation,
// and the values of the current page's named text inputs. The browser layer (wx with
// WebKitGTK in this build) implements it and delivers its notifications to a
// BrowserEvents sink, on the user interface thread.

#include <string>

class BrowserEvents;

class EmbeddedBrowser {
public:
    virtual ~EmbeddedBrowser() = default;

    // Where the notifications go from now on; null drops them (a sink that goes away
    // before the browser clears itself here first).
    virtual void SetEventSink(BrowserEvents* sink) = 0;
    // Loads the address asynchronously; the notifications report how it went.
    virtual void Navigate(const std::u16string& address) = 0;
    // Sets the value of the current top-level document's first element of that name,
    // when it is a text input (a password input counts). Silently nothing otherwise.
    virtual void SetTextInputValue(const std::u16string& name, const std::u16string& value) = 0;
};

class BrowserEvents {
public:
    virtual ~BrowserEvents() = default;

    virtual void OnBeforeNavigate(const std::u16string& address) = 0;
    virtual void OnNavigateComplete(const std::u16string& address) = 0;
    // Once per completed top-level document, with its final address (redirects
    // followed, fragment kept); also for the error page of a failed load.
    virtual void OnDocumentComplete(const std::u16string& address) = 0;
    // A page opens a new window: true cancels it.
    virtual bool OnNewWindow() = 0;
    // A page asks to close its window: true keeps the browser open.
    virtual bool OnWindowClosing() = 0;
};
