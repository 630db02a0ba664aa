#include "tools/standin/Exchange.h"

#include "tools/standin/ServiceState.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace standin {

namespace {

constexpr std::size_t kMaxFormBytes = 1 << 20;
constexpr std::size_t kRecordedFieldBytes = 64 * 1024;

std::string TimeStamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(millis));
    return text;
}

std::string QueryText(const std::string& target)
{
    const std::size_t mark = target.find('?');
    return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

std::string SafeFileName(const std::string& name)
{
    std::string safe;
    for (const char c : name.substr(0, 40))
        safe += std::isalnum(static_cast<unsigned char>(c)) || c == '_' ? c : '-';
    return safe.empty() ? "part" : safe;
}

// The library parses a body itself whenever the request says multipart, even for the raw
// reader, and fails without a part handler. The header is hidden while the raw bytes are
// read, so that they reach us as they came; the request object is the library's own
// non-const one, handed to the handler as const.
class RawBodyView {
public:
    explicit RawBodyView(const httplib::Request& request) : request_(const_cast<httplib::Request&>(request))
    {
        const auto it = request_.headers.find("Content-Type");
        if (it == request_.headers.end() || !request_.is_multipart_form_data())
            return;
        saved_ = it->second;
        it->second = "application/octet-stream";
    }
    ~RawBodyView()
    {
        if (saved_.empty())
            return;
        request_.headers.find("Content-Type")->second = saved_;
    }
    RawBodyView(const RawBodyView&) = delete;
    RawBodyView& operator=(const RawBodyView&) = delete;

private:
    httplib::Request& request_;
    std::string saved_;
};

}  // namespace

const MultipartPart* MultipartBody::FirstFile() const
{
    for (const MultipartPart& part : parts) {
        if (part.hasFilename)
            return &part;
    }
    return nullptr;
}

std::optional<std::string> MultipartBody::Field(const std::string& name) const
{
    for (const MultipartPart& part : parts) {
        if (part.name == name && !part.hasFilename)
            return part.value;
    }
    return std::nullopt;
}

Exchange::Exchange(ServiceState& state, std::string host, const httplib::Request& request, httplib::Response& response,
                   const httplib::ContentReader* reader)
    : state_(state),
      host_(std::move(host)),
      request_(request),
      response_(response),
      reader_(reader),
      seq_(state.journal.NextSeq()),
      query_(ParseFormFields(QueryText(request.target)))
{
    rule_ = state.script.Take(host_, request.method, request.path, QueryText(request.target));
    record_["seq"] = Json::UInt64(seq_);
    record_["time"] = TimeStamp();
    record_["host"] = host_;
    record_["kind"] = "other";
    record_["method"] = request.method;
    record_["target"] = request.target;
    record_["path"] = request.path;
    record_["query"] = FieldsToJson(query_);
    Json::Value headers(Json::objectValue);
    for (const auto& [name, value] : request.headers) {
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT")
            continue;
        headers[name] = headers.isMember(name) ? headers[name].asString() + ", " + value : value;
    }
    record_["headers"] = headers;
    record_["details"] = Json::Value(Json::objectValue);
    if (rule_)
        record_["script"] = rule_->ToJson();
}

BodyOutcome Exchange::Pump(const std::function<void(std::string_view)>& sink)
{
    bodyRead_ = true;
    BodyOutcome outcome;
    if (reader_) {
        RawBodyView raw(request_);
        outcome = PumpBody(*reader_, BodyFaults::From(rule_), state_.stopper, sink);
    } else {
        outcome.complete = true;
    }
    dropped_ = outcome.dropped || (rule_ && rule_->dropAfterBodyBytes && outcome.bytes >= *rule_->dropAfterBodyBytes);
    bodyComplete_ = outcome.complete && !dropped_;
    record_["contentLength"] =
        request_.has_header("Content-Length")
            ? Json::Value(Json::UInt64(request_.get_header_value<std::uint64_t>("Content-Length")))
            : Json::Value(-1);
    record_["bodyBytes"] = Json::UInt64(outcome.bytes);
    record_["bodyComplete"] = bodyComplete_;
    return outcome;
}

const FormFields& Exchange::ReadForm()
{
    if (bodyRead_)
        return form_;
    std::string body;
    bool truncated = false;
    Pump([&](std::string_view piece) {
        const std::size_t room = kMaxFormBytes - std::min(kMaxFormBytes, body.size());
        body.append(piece.substr(0, room));
        truncated = truncated || piece.size() > room;
    });
    form_ = ParseFormFields(body);
    record_["body"] = body.substr(0, kRecordedFieldBytes);
    if (truncated)
        record_["bodyTruncated"] = true;
    record_["form"] = FieldsToJson(form_);
    return form_;
}

std::filesystem::path Exchange::FileForPart(const MultipartPart& part, std::size_t index) const
{
    return state_.journal.FilesDir() /
           (std::to_string(seq_) + "-" + std::to_string(index) + "-" + SafeFileName(part.name) + ".bin");
}

const MultipartBody& Exchange::ReadMultipart()
{
    if (bodyRead_)
        return multipart_;
    const std::string boundary = MultipartReader::BoundaryOf(request_.get_header_value("Content-Type"));
    if (boundary.empty()) {
        DiscardBody();
        multipart_.error = "the request is not multipart/form-data with a boundary";
        record_["multipartError"] = multipart_.error;
        return multipart_;
    }
    MultipartReader reader(boundary,
                           [this](const MultipartPart& part, std::size_t index) { return FileForPart(part, index); });
    const BodyOutcome outcome = Pump([&](std::string_view piece) { reader.Feed(piece); });
    if (outcome.complete)
        reader.Finish();
    multipart_.parts = reader.Parts();
    multipart_.complete = reader.Complete();
    multipart_.error = reader.Error();
    RecordMultipart();
    return multipart_;
}

void Exchange::RecordMultipart()
{
    Json::Value parts(Json::arrayValue);
    for (const MultipartPart& part : multipart_.parts) {
        Json::Value json;
        json["headers"] = Json::Value(Json::arrayValue);
        for (const std::string& line : part.headerLines)
            json["headers"].append(line);
        json["name"] = part.name;
        if (part.hasFilename)
            json["filename"] = part.filename;
        json["contentType"] = part.contentType;
        json["size"] = Json::UInt64(part.size);
        json["complete"] = part.complete;
        if (part.hasFilename) {
            json["file"] = part.file.string();
        } else {
            json["value"] = part.value.substr(0, kRecordedFieldBytes);
            if (part.valueTruncated || part.value.size() > kRecordedFieldBytes)
                json["valueTruncated"] = true;
        }
        parts.append(json);
    }
    record_["parts"] = parts;
    record_["multipartComplete"] = multipart_.complete;
    if (!multipart_.error.empty())
        record_["multipartError"] = multipart_.error;
}

void Exchange::DiscardBody()
{
    if (!bodyRead_)
        Pump([](std::string_view) {});
}

std::optional<std::string> Exchange::Param(const std::string& name) const
{
    if (auto value = FindField(query_, name))
        return value;
    if (auto value = FindField(form_, name))
        return value;
    return multipart_.Field(name);
}

std::string Exchange::AccessToken() const
{
    if (auto token = Param("access_token"))
        return *token;
    const std::string authorization = request_.get_header_value("Authorization");
    for (const char* scheme : {"OAuth ", "Bearer "}) {
        if (authorization.starts_with(scheme))
            return authorization.substr(std::string(scheme).size());
    }
    return {};
}

bool Exchange::MayChangeState() const { return !(rule_ && rule_->Overrides()) && !dropped_ && bodyComplete_; }

void Exchange::Finish()
{
    DiscardBody();
    Answer answer = answer_.value_or(Answer::Html(404, "Not Found"));
    const bool scripted = rule_.has_value();
    if (rule_)
        answer = ScriptedAnswer(answer, *rule_);
    // A body cut short by the client gets no answer worth sending; the record says so.
    const bool dropNow = dropped_;
    Json::Value record = record_;
    record["answer"] = AnswerToJson(answer, PlanDelivery(request_, answer, rule_, dropNow), scripted);
    state_.journal.Add(std::move(record));
    Deliver(request_, response_, answer, rule_, dropNow, state_.stopper);
}

namespace {

void Dispatch(ServiceState& state, const std::string& host, HostRoutes& routes, const httplib::Request& request,
              httplib::Response& response, const httplib::ContentReader* reader)
{
    Exchange exchange(state, host, request, response, reader);
    routes.Handle(exchange);
    exchange.Finish();
}

}  // namespace

void InstallHostRoutes(httplib::Server& server, const std::string& host, HostRoutes& routes, ServiceState& state)
{
    auto withBody = [&state, host, &routes](const httplib::Request& request, httplib::Response& response,
                                            const httplib::ContentReader& reader) {
        Dispatch(state, host, routes, request, response, &reader);
    };
    server.Get(".*", [&state, host, &routes](const httplib::Request& request, httplib::Response& response) {
        Dispatch(state, host, routes, request, response, nullptr);
    });
    server.Post(".*", withBody);
    server.Put(".*", withBody);
    server.Patch(".*", withBody);
    server.Delete(".*", withBody);
}

}  // namespace standin
