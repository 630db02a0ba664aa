// The pushed body: HttpSendRequestExW announces the total, InternetWriteFile streams it,
// HttpEndRequestW ends it and brings the response.

#include "tests/support/WireServer.h"
#include "tests/wininet/InternetTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace wininettest;
using testsupport::Misbehaviour;
using testsupport::ScriptedReply;
using testsupport::WireServer;

namespace {

// Writes `bytes` in pieces of `piece`; each write must take all it is given.
::testing::AssertionResult WriteInPieces(HINTERNET request, std::string_view bytes, std::size_t piece)
{
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const DWORD count = static_cast<DWORD>(std::min(piece, bytes.size() - at));
        DWORD written = 0;
        if (!InternetWriteFile(request, bytes.data() + at, count, &written)) {
            return ::testing::AssertionFailure() << "write at " << at << " failed with " << GetLastError();
        }
        if (written != count) {
            return ::testing::AssertionFailure() << "write at " << at << " took " << written << " of " << count;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(PushedBody, ManySmallWritesArriveByteForByteWithTheAnnouncedLength)
{
    WireServer server;
    server.Script("/upload", ScriptedReply{.status = 200, .reason = "OK", .body = "{\"id\":\"42\"}"});
    const std::string body = PatternBytes(300 * 1024 + 17);
    Exchange exchange(server.Port(), "POST", "/upload", true);
    ASSERT_TRUE(AddHeader(exchange.Request(), "Content-Type: multipart/form-data; boundary=xyz\r\n"));
    ASSERT_TRUE(SendEx(exchange.Request(), static_cast<DWORD>(body.size()))) << GetLastError();
    ASSERT_TRUE(WriteInPieces(exchange.Request(), body, 1024));
    ASSERT_TRUE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0)) << GetLastError();
    EXPECT_EQ(StatusOf(exchange.Request()), 200u);
    EXPECT_EQ(ReadBody(exchange.Request()), "{\"id\":\"42\"}");

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests().front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(request.Header("Content-Type"), "multipart/form-data; boundary=xyz");
    EXPECT_FALSE(request.Header("Expect"));
    EXPECT_FALSE(request.Header("Transfer-Encoding"));
    EXPECT_TRUE(request.complete);
    EXPECT_TRUE(request.body == body) << "received " << request.body.size() << " bytes";
}

TEST(PushedBody, EmptyBodyAnnouncesZero)
{
    WireServer server;
    Exchange exchange(server.Port(), "POST", "/empty", true);
    ASSERT_TRUE(SendEx(exchange.Request(), 0)) << GetLastError();
    ASSERT_TRUE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0)) << GetLastError();
    EXPECT_EQ(StatusOf(exchange.Request()), 200u);
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(server.Requests().front().Header("Content-Length"), "0");
    EXPECT_FALSE(server.Requests().front().Header("Content-Type"));
}

TEST(PushedBody, AWriteBeyondTheAnnouncedTotalIsRefusedAndNothingExtraIsSent)
{
    WireServer server;
    Exchange exchange(server.Port(), "POST", "/exact", true);
    ASSERT_TRUE(SendEx(exchange.Request(), 10));
    ASSERT_TRUE(WriteInPieces(exchange.Request(), "12345678", 8));
    DWORD written = 99;
    EXPECT_FALSE(InternetWriteFile(exchange.Request(), "abc", 3, &written));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    EXPECT_EQ(written, 0u);
    ASSERT_TRUE(WriteInPieces(exchange.Request(), "9!", 2));
    ASSERT_TRUE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0)) << GetLastError();
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(server.Requests().front().body, "123456789!");
}

TEST(PushedBody, EndingShortOfTheTotalFailsAndAbandonsTheRequest)
{
    ScopedTimeouts guard(5'000, 5'000, 5'000);
    WireServer server;
    Exchange exchange(server.Port(), "POST", "/short", true);
    ASSERT_TRUE(SendEx(exchange.Request(), 100'000));
    ASSERT_TRUE(WriteInPieces(exchange.Request(), PatternBytes(40'000), 1024));
    EXPECT_FALSE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);

    // The server sees the connection end instead of waiting for the rest.
    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests().front();
    EXPECT_FALSE(request.complete);
    EXPECT_LE(request.bodyBytesReceived, 40'000u);
    DWORD got = 0;
    char byte = 0;
    EXPECT_FALSE(InternetReadFile(exchange.Request(), &byte, 1, &got));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
}

TEST(PushedBody, ServerDroppingTheConnectionMidBodyFailsTheWriteOrTheEnd)
{
    ScopedTimeouts guard(10'000, 10'000, 10'000);
    for (const Misbehaviour drop : {Misbehaviour::CloseAfterBodyBytes, Misbehaviour::ResetAfterBodyBytes}) {
        SCOPED_TRACE(drop == Misbehaviour::CloseAfterBodyBytes ? "close" : "reset");
        WireServer server;
        server.Script("/cut", ScriptedReply{.misbehaviour = drop, .afterBodyBytes = 1000});
        // More than the loopback socket buffers can hold, so the loss cannot go unnoticed.
        constexpr DWORD kTotal = 64u * 1024 * 1024;
        const std::string piece = PatternBytes(64 * 1024);
        Exchange exchange(server.Port(), "POST", "/cut", true);
        ASSERT_TRUE(SendEx(exchange.Request(), kTotal));
        DWORD failure = 0;
        for (DWORD sent = 0; sent < kTotal && failure == 0; sent += static_cast<DWORD>(piece.size())) {
            DWORD written = 0;
            if (!InternetWriteFile(exchange.Request(), piece.data(), static_cast<DWORD>(piece.size()), &written)) {
                failure = GetLastError();
            }
        }
        if (failure == 0) {
            EXPECT_FALSE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0));
            failure = GetLastError();
        }
        EXPECT_TRUE(failure == ERROR_INTERNET_CONNECTION_ABORTED || failure == ERROR_INTERNET_CONNECTION_RESET)
            << failure;
    }
}

TEST(PushedBody, SilentServerAfterTheBodyTimesOutAtTheEnd)
{
    ScopedTimeouts guard(5'000, 5'000, 1'000);
    WireServer server;
    server.Script("/silent", ScriptedReply{.misbehaviour = Misbehaviour::NeverAnswer});
    Exchange exchange(server.Port(), "POST", "/silent", true);
    ASSERT_TRUE(SendEx(exchange.Request(), 5000));
    ASSERT_TRUE(WriteInPieces(exchange.Request(), PatternBytes(5000), 1024));
    EXPECT_FALSE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_TIMEOUT);
}

TEST(PushedBody, TimeSpentByTheCallerBetweenWritesIsNoStall)
{
    ScopedTimeouts guard(5'000, 1'000, 1'000);
    WireServer server;
    Exchange exchange(server.Port(), "POST", "/patient", true);
    // Pieces as large as the layer's staging buffer, so that every write goes out at once.
    constexpr std::size_t kPiece = 64 * 1024;
    ASSERT_TRUE(SendEx(exchange.Request(), 2 * kPiece));
    for (unsigned i = 0; i < 2; ++i) {
        ASSERT_TRUE(WriteInPieces(exchange.Request(), PatternBytes(kPiece, i), kPiece));
        std::this_thread::sleep_for(std::chrono::milliseconds(1'500));
    }
    EXPECT_TRUE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0)) << GetLastError();
    EXPECT_EQ(StatusOf(exchange.Request()), 200u);
}

}  // namespace
