#include "login/LoginUrl.h"

#include "login/ApplicationId.h"
#include "login/WebEndpoints.h"

std::u16string BuildLoginUrl()
{
    return OAuthDialogAddress() + u"?client_id=" + ApplicationId() + u"&redirect_uri=" + RedirectAddress() +
           u"&type=user_agent&response_type=token&display=popup&scope=user_photos,publish_actions";
}
