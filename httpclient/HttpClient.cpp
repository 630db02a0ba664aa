// The client's member definitions live in three parts, one per concept, and are
// instantiated once here for the wide client the program uses.

#include "httpclient/HttpClient.h"

#include "httpclient/HttpClientRequests.ipp"
#include "httpclient/HttpPostContext.ipp"
#include "httpclient/HttpUploadContext.ipp"

namespace Tavik {
template class CHttpClientT<CHttpToolW, CHttpEncoderW>;
}
