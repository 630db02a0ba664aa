#pragma once
// The redirect host: the page the login dialog sends the browser to at its end. The
// token travels in the fragment, which never reaches a server; an error comes in the query.

#include "tools/standin/Exchange.h"

namespace standin {

class RedirectRoutes : public HostRoutes {
public:
    void Handle(Exchange& exchange) override;
};

}  // namespace standin
