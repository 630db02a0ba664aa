#include "tools/standin/GraphAnswers.h"

#include "tools/standin/JsonText.h"

#include <openssl/evp.h>

#include <vector>

namespace standin {

namespace {

void AddGraphHeaders(Answer& answer, IdSource& ids)
{
    answer.headers.emplace_back("facebook-api-version", "v2.12");
    answer.headers.emplace_back("x-fb-trace-id", ids.RandomText(11));
    answer.headers.emplace_back("x-fb-rev", "3710471");
    answer.headers.emplace_back("Access-Control-Allow-Origin", "*");
    answer.headers.emplace_back("Cache-Control", "private, no-cache, no-store, must-revalidate");
    answer.headers.emplace_back("Pragma", "no-cache");
    answer.headers.emplace_back("Expires", "Sat, 01 Jan 2000 00:00:00 GMT");
}

}  // namespace

Answer GraphSuccess(IdSource& ids, std::string body)
{
    Answer answer = Answer::Json(200, std::move(body));
    AddGraphHeaders(answer, ids);
    return answer;
}

Answer GraphError(IdSource& ids, const GraphErrorSpec& error)
{
    JsonObjectText inner;
    inner.Add("message", error.message).Add("type", error.type).AddNumber("code", error.code);
    if (error.subcode)
        inner.AddNumber("error_subcode", *error.subcode);
    inner.Add("fbtrace_id", ids.RandomText(11));
    Answer answer = Answer::Json(error.httpStatus, JsonObjectText().AddRaw("error", inner.Text()).Text());
    AddGraphHeaders(answer, ids);
    if (error.type == "OAuthException") {
        const char* kind = error.code == 190 ? "invalid_token" : "invalid_request";
        answer.headers.emplace_back("WWW-Authenticate", std::string("OAuth \"Facebook Platform\" \"") + kind + "\" \"" +
                                                            error.message + "\"");
    }
    return answer;
}

GraphErrorSpec NoTokenForMe()
{
    return {400, "An active access token must be used to query information about the current user.", "OAuthException",
            2500, std::nullopt};
}

GraphErrorSpec NoTokenForObject()
{
    return {400, "An access token is required to request this resource.", "OAuthException", 104, std::nullopt};
}

GraphErrorSpec InvalidToken() { return {400, "Invalid OAuth access token.", "OAuthException", 190, std::nullopt}; }

GraphErrorSpec LoggedOutToken()
{
    return {400, "Error validating access token: The session is invalid because the user logged out.", "OAuthException",
            190, 467};
}

GraphErrorSpec UnknownPath(const std::string& rest)
{
    return {400, "Unknown path components: " + rest, "OAuthException", 2500, std::nullopt};
}

GraphErrorSpec UnsupportedRequest(const std::string& method, const std::string& objectId)
{
    std::string verb = method == "POST" ? "post" : method == "DELETE" ? "delete" : "get";
    return {400,
            "Unsupported " + verb + " request. Object with ID '" + objectId +
                "' does not exist, cannot be loaded due to missing permissions, or does not support this operation. "
                "Please read the Graph API documentation at https://developers.facebook.com/docs/graph-api",
            "GraphMethodException", 100, 33};
}

GraphErrorSpec NonexistingField(const std::string& field)
{
    return {400, "(#100) Tried accessing nonexisting field (" + field + ") on node type (User)", "OAuthException", 100,
            std::nullopt};
}

std::string EncodeCursor(const std::string& id)
{
    std::vector<unsigned char> out(4 * ((id.size() + 2) / 3) + 1);
    const int length =
        EVP_EncodeBlock(out.data(), reinterpret_cast<const unsigned char*>(id.data()), static_cast<int>(id.size()));
    return std::string(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(length));
}

std::string DecodeCursor(const std::string& cursor)
{
    if (cursor.empty() || cursor.size() % 4 != 0)
        return {};
    std::vector<unsigned char> out(cursor.size() / 4 * 3 + 1);
    const int length = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(cursor.data()),
                                       static_cast<int>(cursor.size()));
    if (length < 0)
        return {};
    std::string id(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(length));
    while (!id.empty() && id.back() == '\0')
        id.pop_back();  // the decoder keeps the padding's zero bytes
    return id;
}

}  // namespace standin
