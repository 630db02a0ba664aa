#pragma once
// Debug output never carries a guest's access token: every value of an access_token
// parameter in a text is replaced by "***".

#include <string>
#include <string_view>

// The parameter's name is matched without regard to case, also percent-encoded
// ("access%5Ftoken", "%3D"), as an address inside another one's query carries it. A
// value ends only at '&', where the login's capture of a token ends.
std::u16string MaskAccessTokens(std::u16string_view text);
