#pragma once
// One request to an imitated host, from arrival to answer: the routes read the body
// through it (so that scripted faults apply), say what kind of request it was, add the
// details that matter, and give their answer; Finish() applies the script, writes the
// record and delivers.

#include "tools/standin/Answer.h"
#include "tools/standin/BodyPump.h"
#include "tools/standin/FormFields.h"
#include "tools/standin/MultipartReader.h"
#include "tools/standin/ScriptRule.h"

#include <httplib.h>
#include <json/json.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct ServiceState;

struct MultipartBody {
    std::vector<MultipartPart> parts;
    bool complete = false;
    std::string error;

    const MultipartPart* FirstFile() const;
    std::optional<std::string> Field(const std::string& name) const;
};

class Exchange {
public:
    Exchange(ServiceState& state, std::string host, const httplib::Request& request, httplib::Response& response,
             const httplib::ContentReader* reader);

    ServiceState& State() { return state_; }
    const httplib::Request& Request() const { return request_; }
    const std::string& Host() const { return host_; }
    const FormFields& Query() const { return query_; }

    void SetKind(const std::string& kind) { record_["kind"] = kind; }
    Json::Value& Details() { return record_["details"]; }

    // Reading the body; each may be called once, and a body nobody read is discarded.
    const FormFields& ReadForm();
    const MultipartBody& ReadMultipart();
    void DiscardBody();

    // A parameter from the query string, else from the url-encoded or multipart body.
    std::optional<std::string> Param(const std::string& name) const;
    // The access token from the parameters or an "OAuth"/"Bearer" Authorization header.
    std::string AccessToken() const;

    // False when the script answers instead, or the body did not arrive whole: the
    // routes then record what came but change nothing.
    bool MayChangeState() const;
    bool BodyDropped() const { return dropped_; }

    void Reply(Answer answer) { answer_ = std::move(answer); }
    void Finish();

private:
    BodyOutcome Pump(const std::function<void(std::string_view)>& sink);
    std::filesystem::path FileForPart(const MultipartPart& part, std::size_t index) const;
    void RecordMultipart();

    ServiceState& state_;
    const std::string host_;
    const httplib::Request& request_;
    httplib::Response& response_;
    const httplib::ContentReader* reader_;
    std::optional<ScriptRule> rule_;
    const std::uint64_t seq_;
    FormFields query_;
    FormFields form_;
    MultipartBody multipart_;
    bool bodyRead_ = false;
    bool bodyComplete_ = true;
    bool dropped_ = false;
    std::optional<Answer> answer_;
    Json::Value record_;
};

// A host's routes: every request of that listener goes to Handle.
class HostRoutes {
public:
    virtual ~HostRoutes() = default;
    virtual void Handle(Exchange& exchange) = 0;
};

void InstallHostRoutes(httplib::Server& server, const std::string& host, HostRoutes& routes, ServiceState& state);

}  // namespace standin
