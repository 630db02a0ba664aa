#pragma once
// One scripted answer or fault, as POST /_admin/script accepts it (README.md lists the
// members). A rule applies to the requests of one host, method and path; it can replace
// the answer, alter the normal answer, or misbehave while reading or answering.

#include <json/json.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct ScriptRule {
    // Which requests.
    std::string host = "*";  // listener name: graph, video, web, redirect, gif-upload, gif-media
    std::string method;      // empty: any
    std::string path;        // exact, or a prefix when it ends in "*"; empty: any
    std::string queryContains;
    int skip = 0;    // let this many matching requests through first
    int times = -1;  // how many requests it applies to; -1: all

    // A replacement answer.
    std::optional<int> status;
    std::optional<std::string> body;  // "json" members are serialised into it
    std::optional<std::string> contentType;
    std::vector<std::pair<std::string, std::string>> headers;
    std::optional<std::string> rawAnswer;  // bytes sent as they are, then the connection closes

    // Changes to whatever answer is sent.
    std::optional<std::string> reason;
    bool idAsNumber = false;
    std::uint64_t padBodyTo = 0;
    bool endlessBody = false;
    int delayMs = 0;
    std::optional<std::uint64_t> dropAnswerAfterBytes;

    // Misbehaviour while the request is read.
    bool dropBeforeAnswer = false;
    bool resetBeforeAnswer = false;  // as dropBeforeAnswer, with a TCP reset instead of a close
    std::optional<std::uint64_t> dropAfterBodyBytes;
    std::optional<std::uint64_t> stallAfterBodyBytes;
    int stallMs = 60000;
    std::uint64_t bodyBytesPerSecond = 0;

    // The request is then answered by the rule, not by the service, and changes nothing
    // (a body dropped part-way changes nothing either).
    bool Overrides() const;
    bool Matches(const std::string& host, const std::string& method, const std::string& path,
                 const std::string& query) const;

    Json::Value ToJson() const;
    // Empty error on success.
    static ScriptRule FromJson(const Json::Value& json, std::string& error);
};

}  // namespace standin
