#pragma once
// Answers in the Graph API's own shape: its headers on every answer, and errors as
// {"error":{"message":...,"type":...,"code":...,"error_subcode":...,"fbtrace_id":...}}
// with the HTTP status the service uses for them.

#include "tools/standin/Answer.h"
#include "tools/standin/IdSource.h"

#include <optional>
#include <string>

namespace standin {

struct GraphErrorSpec {
    int httpStatus = 400;
    std::string message;
    std::string type = "OAuthException";
    int code = 100;
    std::optional<int> subcode;
};

Answer GraphSuccess(IdSource& ids, std::string body);
Answer GraphError(IdSource& ids, const GraphErrorSpec& error);

// The errors the imitated Graph API gives, by cause.
GraphErrorSpec NoTokenForMe();
GraphErrorSpec NoTokenForObject();
GraphErrorSpec InvalidToken();
GraphErrorSpec LoggedOutToken();
GraphErrorSpec UnknownPath(const std::string& rest);
GraphErrorSpec UnsupportedRequest(const std::string& method, const std::string& objectId);
GraphErrorSpec NonexistingField(const std::string& field);

// Base64 cursors for the listing's "paging" member.
std::string EncodeCursor(const std::string& id);
std::string DecodeCursor(const std::string& cursor);

}  // namespace standin
