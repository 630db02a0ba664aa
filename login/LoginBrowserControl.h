#pragma once
// The login browser as the main dialog drives it: the guest's credentials for the form,
// where to go, the unattended lock on new windows, and a page's request to close.
// Everything here is called on the user interface thread.

#include <string>

class LoginBrowserControl {
public:
    virtual ~LoginBrowserControl() = default;

    virtual void SetCredentials(const std::u16string& email, const std::u16string& password) = 0;
    virtual void Navigate(const std::u16string& address) = 0;
    // Unattended mode, before the first navigation: pages may open no window.
    virtual void BlockNewWindows() = 0;
    // Whether a page asked to close the browser since the last time a request was taken.
    virtual bool TakeCloseRequest() = 0;
};
