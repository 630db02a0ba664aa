#pragma once
// What the HTTP library does not let a handler do: write its own bytes on the connection
// (a status line with any reason phrase, a cut answer, bytes that are not HTTP) and tear
// the connection down. The handler finds its socket (through the TLS object, or by the
// connection's two addresses for plain HTTP), writes, and shuts the socket down, so that
// the library's own answer afterwards goes nowhere and the library closes the socket.

#include <httplib.h>

#include <string_view>

namespace standin {

int ConnectionSocket(const httplib::Request& request);  // -1 when not found
bool WriteRaw(const httplib::Request& request, std::string_view bytes);
// Ends the connection at once, without an answer (FIN now, RST for data still arriving).
void DropConnection(const httplib::Request& request);
// Ends the connection with a TCP reset: the socket is closed with a zero linger, and a
// fresh unconnected socket takes its descriptor, so the HTTP library's later use of it
// fails instead of touching another connection.
void ResetConnection(const httplib::Request& request);
// Ends the connection after an answer written with WriteRaw.
void CloseAfterRawAnswer(const httplib::Request& request);

}  // namespace standin
