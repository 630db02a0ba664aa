#include "platform/wininet/Request.h"

#include <utility>

namespace wininet {

Request::Request(std::shared_ptr<Connection> connection, RequestOptions options)
    : InternetObject(HandleKind::Request),
      connection_(std::move(connection)),
      options_(std::move(options))
{
}

DWORD Request::AddHeaders(std::string_view text, DWORD modifiers)
{
    if (state_ == State::Sending) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    return headers_.Apply(text, modifiers);
}

DWORD Request::MakePlan(std::string_view extraHeaders, RequestPlan& plan) const
{
    const Connection& connection = *connection_;
    const Session& session = connection.OwnerSession();
    plan.endpoint = Endpoint{(options_.flags & INTERNET_FLAG_SECURE) != 0, connection.Host(), connection.Port()};
    if (!IsValidHostName(plan.endpoint.host) || IsReservedInvalidName(plan.endpoint.host)) {
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    }
    HeaderList lines = headers_;
    if (!extraHeaders.empty()) {
        if (const DWORD error = lines.Apply(extraHeaders, HTTP_ADDREQ_FLAG_ADD); error != ERROR_SUCCESS) {
            return error;
        }
    }
    plan.url = RequestUrl(plan.endpoint, options_.objectName);
    plan.verb = options_.verb;
    plan.headerLines = lines.CurlLines();
    plan.acceptTypes = options_.acceptTypes;
    plan.userAgent = session.UserAgent();
    plan.referrer = options_.referrer;
    plan.proxy = session.Proxy();
    plan.proxyAccount = ProxyAccount();
    plan.serverAccount = connection.Server();
    plan.followRedirects = (options_.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    plan.http10 = options_.version == "HTTP/1.0";
    plan.timeouts = ResolveTimeouts(Timeouts(), connection.Timeouts(), session.Timeouts());
    return ERROR_SUCCESS;
}

DWORD Request::Begin(RequestPlan plan)
{
    DWORD error = ERROR_SUCCESS;
    std::unique_ptr<Transfer> fresh = Transfer::Create(std::move(plan), error);
    if (!fresh) {
        return error;
    }
    std::unique_ptr<Transfer> previous;
    {
        std::lock_guard guard(transferLock_);
        if (closed_) {
            return ERROR_INTERNET_OPERATION_CANCELLED;
        }
        previous = std::exchange(transfer_, std::move(fresh));
    }
    return ERROR_SUCCESS;
}

DWORD Request::Send(std::string_view extraHeaders, std::string body)
{
    if (state_ == State::Sending) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    RequestPlan plan;
    if (const DWORD error = MakePlan(extraHeaders, plan); error != ERROR_SUCCESS) {
        return error;
    }
    const bool hasBody = !body.empty();
    plan.body = hasBody ? BodyKind::Fixed : BodyKind::None;
    plan.fixedBody = std::move(body);
    state_ = State::Ready;
    if (const DWORD error = Begin(std::move(plan)); error != ERROR_SUCCESS) {
        return error;
    }
    if (const DWORD error = transfer_->Start(); error != ERROR_SUCCESS) {
        return error;
    }
    state_ = State::Responded;
    return ERROR_SUCCESS;
}

DWORD Request::SendEx(std::string_view extraHeaders, std::uint64_t total)
{
    if (state_ == State::Sending) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    RequestPlan plan;
    if (const DWORD error = MakePlan(extraHeaders, plan); error != ERROR_SUCCESS) {
        return error;
    }
    plan.body = BodyKind::Pushed;
    plan.pushedTotal = total;
    state_ = State::Ready;
    if (const DWORD error = Begin(std::move(plan)); error != ERROR_SUCCESS) {
        return error;
    }
    if (const DWORD error = transfer_->Start(); error != ERROR_SUCCESS) {
        return error;
    }
    state_ = State::Sending;
    return ERROR_SUCCESS;
}

DWORD Request::Write(const BYTE* bytes, DWORD count)
{
    if (state_ != State::Sending) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    return transfer_->Write(bytes, count);
}

DWORD Request::End()
{
    if (state_ != State::Sending) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    const DWORD error = transfer_->End();
    state_ = error == ERROR_SUCCESS ? State::Responded : State::Ready;
    return error;
}

DWORD Request::Read(BYTE* buffer, DWORD count, DWORD& got)
{
    got = 0;
    if (state_ != State::Responded) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    return transfer_->Read(buffer, count, got);
}

DWORD Request::StatusCode(int& code) const
{
    if (state_ != State::Responded) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    code = transfer_->Status();
    return ERROR_SUCCESS;
}

DWORD Request::StatusText(std::string& text) const
{
    if (state_ != State::Responded) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    text = transfer_->Reason();
    return ERROR_SUCCESS;
}

void Request::SetProxyUser(std::string user)
{
    std::lock_guard guard(proxyLock_);
    proxyUser_ = std::move(user);
}

void Request::SetProxyPassword(std::string password)
{
    std::lock_guard guard(proxyLock_);
    proxyPassword_ = std::move(password);
}

Credentials Request::ProxyAccount() const
{
    Credentials account = connection_->ProxyAccount();
    std::lock_guard guard(proxyLock_);
    if (proxyUser_) {
        account.user = *proxyUser_;
    }
    if (proxyPassword_) {
        account.password = *proxyPassword_;
    }
    return account;
}

void Request::OnClose()
{
    std::lock_guard guard(transferLock_);
    closed_ = true;
    if (transfer_) {
        transfer_->Cancel();
    }
}

}  // namespace wininet
