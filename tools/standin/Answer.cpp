#include "tools/standin/Answer.h"

#include "tools/standin/Connection.h"
#include "tools/standin/ReasonPhrases.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace standin {

namespace {

constexpr std::size_t kRecordedBodyBytes = 4096;
constexpr std::size_t kPaddingChunk = 64 * 1024;

// {"id":"123",...} -> {"id":123,...}; in the GIF service's shape the id sits in "data".
std::string IdsAsNumbers(const std::string& body)
{
    Json::Value root;
    Json::Reader reader;
    try {
        if (!reader.parse(body, root) || !root.isObject())
            return body;
    } catch (const Json::Exception&) {
        return body;  // nested past the reader's stack limit: sent as scripted
    }
    auto renumber = [](Json::Value& holder) {
        if (!holder.isObject() || !holder["id"].isString())
            return;
        const std::string id = holder["id"].asString();
        try {
            holder["id"] = Json::UInt64(std::stoull(id));
        } catch (const std::exception&) {
            holder["id"] = 12345;
        }
    };
    renumber(root);
    if (root.isMember("data"))
        renumber(root["data"]);
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, root);
}

bool NeedsRawWrite(const Answer& answer, const std::optional<ScriptRule>& rule)
{
    if (rule && (rule->rawAnswer || rule->dropAnswerAfterBytes))
        return true;
    const std::string standard = StandardReason(answer.status);
    return standard.empty() || (answer.reason && *answer.reason != standard);
}

std::string RawAnswerText(const Answer& answer, const std::optional<ScriptRule>& rule, bool head, bool& cut)
{
    const std::string reason = answer.reason ? *answer.reason : StandardReason(answer.status);
    std::string text = "HTTP/1.1 " + std::to_string(answer.status) + (reason.empty() ? " " : " " + reason) + "\r\n";
    text += "Content-Type: " + answer.contentType + "\r\n";
    text += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    for (const auto& [name, value] : answer.headers)
        text += name + ": " + value + "\r\n";
    text += "Connection: close\r\n\r\n";
    if (head)
        return text;
    std::string body = answer.body;
    if (rule && rule->dropAnswerAfterBytes && *rule->dropAnswerAfterBytes < body.size()) {
        body.resize(*rule->dropAnswerAfterBytes);
        cut = true;
    }
    return text + body;
}

void SetPaddedBody(httplib::Response& response, const Answer& answer, std::uint64_t total, Stopper& stopper)
{
    auto body = std::make_shared<std::string>(answer.body);
    response.set_content_provider(static_cast<std::size_t>(total), answer.contentType,
                                  [body, &stopper](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      if (stopper.Stopping())
                                          return false;
                                      std::string piece;
                                      const std::size_t wanted = std::min(length, kPaddingChunk);
                                      if (offset < body->size())
                                          piece = body->substr(offset, wanted);
                                      piece.resize(wanted, ' ');
                                      return sink.write(piece.data(), piece.size());
                                  });
}

void SetEndlessBody(httplib::Response& response, const Answer& answer, Stopper& stopper)
{
    auto body = std::make_shared<std::string>(answer.body);
    response.set_chunked_content_provider(answer.contentType,
                                          [body, &stopper](std::size_t offset, httplib::DataSink& sink) {
                                              if (stopper.Stopping())
                                                  return false;
                                              if (offset == 0 && !body->empty())
                                                  return sink.write(body->data(), body->size());
                                              const std::string spaces(kPaddingChunk, ' ');
                                              return sink.write(spaces.data(), spaces.size());
                                          });
}

}  // namespace

Answer Answer::Json(int status, std::string body)
{
    Answer answer;
    answer.status = status;
    answer.contentType = "application/json; charset=UTF-8";
    answer.body = std::move(body);
    return answer;
}

Answer Answer::Html(int status, std::string body)
{
    Answer answer;
    answer.status = status;
    answer.contentType = "text/html; charset=utf-8";
    answer.body = std::move(body);
    return answer;
}

Answer Answer::Redirect(const std::string& location)
{
    Answer answer = Html(302, "");
    answer.headers.emplace_back("Location", location);
    return answer;
}

Answer ScriptedAnswer(const Answer& normal, const ScriptRule& rule)
{
    Answer answer = normal;
    if (rule.status || rule.body) {
        answer.status = rule.status.value_or(200);
        answer.body = rule.body.value_or("");
        answer.reason.reset();
        answer.headers.clear();
    }
    if (rule.contentType)
        answer.contentType = *rule.contentType;
    for (const auto& header : rule.headers)
        answer.headers.push_back(header);
    if (rule.reason)
        answer.reason = rule.reason;
    if (rule.idAsNumber)
        answer.body = IdsAsNumbers(answer.body);
    return answer;
}

DeliveryNote PlanDelivery(const httplib::Request& request, const Answer& answer, const std::optional<ScriptRule>& rule,
                          bool dropNow)
{
    DeliveryNote note;
    if (dropNow || (rule && (rule->dropBeforeAnswer || rule->resetBeforeAnswer))) {
        note.dropped = true;
        note.reset = !dropNow && rule->resetBeforeAnswer;
        return note;
    }
    note.raw = NeedsRawWrite(answer, rule);
    note.cut = note.raw && rule && !rule->rawAnswer && rule->dropAnswerAfterBytes && request.method != "HEAD" &&
               *rule->dropAnswerAfterBytes < answer.body.size();
    note.endless = !note.raw && rule && rule->endlessBody;
    return note;
}

DeliveryNote Deliver(const httplib::Request& request, httplib::Response& response, const Answer& answer,
                     const std::optional<ScriptRule>& rule, bool dropNow, Stopper& stopper)
{
    if (rule && rule->delayMs > 0 && !stopper.SleepFor(std::chrono::milliseconds(rule->delayMs)))
        dropNow = true;
    const DeliveryNote note = PlanDelivery(request, answer, rule, dropNow);
    if (note.dropped) {
        if (note.reset)
            ResetConnection(request);
        else
            DropConnection(request);
        response.status = 500;
        return note;
    }
    if (note.raw) {
        bool cut = false;
        WriteRaw(request, rule && rule->rawAnswer ? *rule->rawAnswer
                                                  : RawAnswerText(answer, rule, request.method == "HEAD", cut));
        CloseAfterRawAnswer(request);
        response.status = 500;
        return note;
    }
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers)
        response.headers.emplace(name, value);
    if (note.endless) {
        SetEndlessBody(response, answer, stopper);
    } else if (rule && rule->padBodyTo > answer.body.size()) {
        SetPaddedBody(response, answer, rule->padBodyTo, stopper);
    } else {
        response.set_content(answer.body, answer.contentType);
    }
    return note;
}

Json::Value AnswerToJson(const Answer& answer, const DeliveryNote& note, bool scripted)
{
    Json::Value json;
    json["status"] = answer.status;
    json["reason"] = answer.reason ? *answer.reason : StandardReason(answer.status);
    json["contentType"] = answer.contentType;
    json["body"] = answer.body.substr(0, kRecordedBodyBytes);
    for (const auto& [name, value] : answer.headers) {
        if (name == "Location")
            json["location"] = value;
    }
    json["scripted"] = scripted;
    json["dropped"] = note.dropped;
    if (note.raw)
        json["raw"] = true;
    if (note.cut)
        json["cut"] = true;
    if (note.endless)
        json["endless"] = true;
    return json;
}

}  // namespace standin
