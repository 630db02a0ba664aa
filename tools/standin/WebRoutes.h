#pragma once
// The web host: the OAuth dialog of the implicit ("token") flow, the login form, the
// logout page and the root that the connection test reaches. A successful login leaves
// a persistent session cookie; a browser that comes back to the dialog with it is sent
// straight to the redirect address with a new token, as for an open session.

#include "tools/standin/Exchange.h"
#include "tools/standin/StandinConfig.h"

#include <string>

namespace standin {

class WebRoutes : public HostRoutes {
public:
    void Handle(Exchange& exchange) override;

private:
    void Dialog(Exchange& exchange, const StandinConfig& config);
    void LoginForm(Exchange& exchange, const StandinConfig& config);
    void LoginSubmit(Exchange& exchange, const StandinConfig& config);
    void Logout(Exchange& exchange, const StandinConfig& config);
};

}  // namespace standin
