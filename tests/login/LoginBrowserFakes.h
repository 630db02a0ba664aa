#pragma once
// A browser and a dialog that only record what the login browser asks of them.

#include "login/EmbeddedBrowser.h"
#include "login/LoginMessages.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class RecordingBrowser : public EmbeddedBrowser {
public:
    void SetEventSink(BrowserEvents* sink) override { this->sink = sink; }
    void Navigate(const std::u16string& address) override { navigations.push_back(address); }
    void SetTextInputValue(const std::u16string& name, const std::u16string& value) override
    {
        inputs.emplace_back(name, value);
    }

    BrowserEvents* sink = nullptr;
    std::vector<std::u16string> navigations;
    std::vector<std::pair<std::u16string, std::u16string>> inputs;
};

class RecordingMessages : public LoginMessages {
public:
    void PostLoginFinished() override { ++finished; }
    void PostLoginAttemptFailed() override { ++attemptsFailed; }
    void PostLoginNotice(std::unique_ptr<std::u16string> notice) override
    {
        notices.push_back(notice ? std::optional<std::u16string>(*notice) : std::nullopt);
    }

    int finished = 0;
    int attemptsFailed = 0;
    std::vector<std::optional<std::u16string>> notices;
};
