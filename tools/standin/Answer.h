#pragma once
// An answer as a host's routes produce it, and its delivery on the connection, with the
// changes a script makes to it on the way (reason phrase, padding, an endless body, a
// cut, a delay, no answer at all).

#include "tools/standin/ScriptRule.h"
#include "tools/standin/Stopper.h"

#include <httplib.h>
#include <json/json.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct Answer {
    int status = 200;
    std::optional<std::string> reason;  // the standard phrase when absent
    std::string contentType = "text/plain";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;

    static Answer Json(int status, std::string body);
    static Answer Html(int status, std::string body);
    static Answer Redirect(const std::string& location);
};

// The rule's replacement answer, or `normal` with the rule's changes.
Answer ScriptedAnswer(const Answer& normal, const ScriptRule& rule);

struct DeliveryNote {
    bool dropped = false;
    bool reset = false;
    bool raw = false;
    bool cut = false;
    bool endless = false;
};

// What Deliver will do, known before it waits out a scripted delay.
DeliveryNote PlanDelivery(const httplib::Request& request, const Answer& answer, const std::optional<ScriptRule>& rule,
                          bool dropNow);

// `dropNow` (the body was dropped on purpose) tears the connection down without an answer.
DeliveryNote Deliver(const httplib::Request& request, httplib::Response& response, const Answer& answer,
                     const std::optional<ScriptRule>& rule, bool dropNow, Stopper& stopper);

// The answer as the record shows it (the body up to a few KiB).
Json::Value AnswerToJson(const Answer& answer, const DeliveryNote& note, bool scripted);

}  // namespace standin
