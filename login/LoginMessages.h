#pragma once
// The three messages the login browser posts to the main dialog. The window layer
// delivers each later, on the user interface thread (posted, never handled inside the
// browser callback that caused it).

#include <memory>
#include <string>

class LoginMessages {
public:
    virtual ~LoginMessages() = default;

    virtual void PostLoginFinished() = 0;
    virtual void PostLoginAttemptFailed() = 0;
    // The receiver owns the notice; null when it could not be made.
    virtual void PostLoginNotice(std::unique_ptr<std::u16string> notice) = 0;
};
