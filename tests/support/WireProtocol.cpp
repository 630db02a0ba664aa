#include "tests/support/WireProtocol.h"

#include <array>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <json/reader.h>
#include <json/writer.h>

namespace testsupport::wire {
namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

std::string Hex(std::string_view bytes)
{
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const unsigned char byte : bytes) {
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0xF];
    }
    return hex;
}

int HexValue(char digit)
{
    const auto at = kHexDigits.find(digit);
    if (at == std::string_view::npos)
        throw std::runtime_error("wire protocol: not a hex digit");
    return static_cast<int>(at);
}

std::string Unhex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        throw std::runtime_error("wire protocol: odd hex length");
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(HexValue(hex[i]) << 4 | HexValue(hex[i + 1]));
    return bytes;
}

using Headers = std::vector<std::pair<std::string, std::string>>;

Json::Value HeadersToJson(const Headers& headers)
{
    Json::Value json(Json::arrayValue);
    for (const auto& [name, value] : headers) {
        Json::Value pair(Json::arrayValue);
        pair.append(Hex(name));
        pair.append(Hex(value));
        json.append(pair);
    }
    return json;
}

Headers HeadersFromJson(const Json::Value& json)
{
    Headers headers;
    for (const Json::Value& pair : json)
        headers.emplace_back(Unhex(pair[0].asString()), Unhex(pair[1].asString()));
    return headers;
}

constexpr std::array kMisbehaviours = {
    std::pair{Misbehaviour::None, "None"},
    std::pair{Misbehaviour::CloseAfterBodyBytes, "CloseAfterBodyBytes"},
    std::pair{Misbehaviour::ResetAfterBodyBytes, "ResetAfterBodyBytes"},
    std::pair{Misbehaviour::NeverAnswer, "NeverAnswer"},
    std::pair{Misbehaviour::CloseWithoutAnswer, "CloseWithoutAnswer"},
    std::pair{Misbehaviour::GarbageAnswer, "GarbageAnswer"},
};

constexpr std::array kTlsModes = {
    std::pair{TlsMode::Plain, "Plain"},
    std::pair{TlsMode::Trusted, "Trusted"},
    std::pair{TlsMode::Untrusted, "Untrusted"},
    std::pair{TlsMode::WrongHost, "WrongHost"},
};

template <typename Table, typename Enum>
std::string NameOf(const Table& table, Enum value)
{
    for (const auto& [entry, name] : table)
        if (entry == value)
            return name;
    throw std::runtime_error("wire protocol: unnamed value");
}

template <typename Table>
auto ValueOf(const Table& table, std::string_view name)
{
    for (const auto& [entry, entryName] : table)
        if (name == entryName)
            return entry;
    throw std::runtime_error("wire protocol: unknown name " + std::string(name));
}

}  // namespace

std::string ToLine(const Json::Value& message)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, message);
}

Json::Value FromLine(std::string_view line)
{
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value message;
    std::string errors;
    if (!reader->parse(line.data(), line.data() + line.size(), &message, &errors) || !message.isObject())
        throw std::runtime_error("wire protocol: bad message: " + errors);
    return message;
}

Json::Value ToJson(const ScriptedReply& reply)
{
    Json::Value json;
    json["status"] = reply.status;
    json["reason"] = Hex(reply.reason);
    json["headers"] = HeadersToJson(reply.headers);
    json["body"] = Hex(reply.body);
    json["delayMs"] = static_cast<Json::Int64>(reply.delay.count());
    if (reply.interimStatus)
        json["interimStatus"] = *reply.interimStatus;
    json["misbehaviour"] = NameOf(kMisbehaviours, reply.misbehaviour);
    json["afterBodyBytes"] = static_cast<Json::UInt64>(reply.afterBodyBytes);
    return json;
}

ScriptedReply ReplyFromJson(const Json::Value& json)
{
    ScriptedReply reply;
    reply.status = json["status"].asInt();
    reply.reason = Unhex(json["reason"].asString());
    reply.headers = HeadersFromJson(json["headers"]);
    reply.body = Unhex(json["body"].asString());
    reply.delay = std::chrono::milliseconds(json["delayMs"].asInt64());
    if (json.isMember("interimStatus"))
        reply.interimStatus = json["interimStatus"].asInt();
    reply.misbehaviour = ValueOf(kMisbehaviours, json["misbehaviour"].asString());
    reply.afterBodyBytes = json["afterBodyBytes"].asUInt64();
    return reply;
}

Json::Value ToJson(const RecordedRequest& request)
{
    Json::Value json;
    json["raw"] = Hex(request.raw);
    json["method"] = Hex(request.method);
    json["target"] = Hex(request.target);
    json["version"] = Hex(request.version);
    json["headers"] = HeadersToJson(request.headers);
    json["body"] = Hex(request.body);
    json["bodyBytesReceived"] = static_cast<Json::UInt64>(request.bodyBytesReceived);
    json["complete"] = request.complete;
    return json;
}

RecordedRequest RequestFromJson(const Json::Value& json)
{
    RecordedRequest request;
    request.raw = Unhex(json["raw"].asString());
    request.method = Unhex(json["method"].asString());
    request.target = Unhex(json["target"].asString());
    request.version = Unhex(json["version"].asString());
    request.headers = HeadersFromJson(json["headers"]);
    request.body = Unhex(json["body"].asString());
    request.bodyBytesReceived = json["bodyBytesReceived"].asUInt64();
    request.complete = json["complete"].asBool();
    return request;
}

std::string TlsModeName(TlsMode mode) { return NameOf(kTlsModes, mode); }

TlsMode TlsModeFromName(std::string_view name) { return ValueOf(kTlsModes, name); }

}  // namespace testsupport::wire
