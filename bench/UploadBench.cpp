// The HTTP client uploading one big file as a multipart body in 1024-byte steps, with a
// progress query before each step as the program's uploads do, against `curl -F` of the
// same file to the same local HTTPS server that reads and discards bodies.
//
//   upload_bench [MiB ...]          (default: 64 256)
//
// Prints both wall times (medians of five runs each), their ratio and the client's peak
// RSS for each size.

#include "BenchProcess.h"

#include "app/ProductNames.h"
#include "httpclient/HttpClient.h"
#include "platform/win32/Utf.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int UploadWithClient(const std::string& url, const std::string& path)
{
    using namespace Tavik;
    try {
        CHttpClient client;
        client.SetInternetSettings(u"Orvane Systems User Agent v1.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                   0);
        client.SetUseUtf8(true);
        client.AddParam(u"access_token", u"bench-token");
        client.AddParam(u"source", Utf8ToUtf16(path).c_str(), PARAM_FLAG_FILE);
        const std::u16string wideUrl = Utf8ToUtf16(url);
        client.StartUploadContext(wideUrl.c_str());
        std::unique_ptr<CHttpResponse> response;
        std::uint64_t lastPercent = 0;
        while (!response) {
            CHttpPostStat stat;
            client.QueryPostStat(stat);
            if (stat.ActualTotalByte() != 0)
                lastPercent = std::uint64_t{stat.ActualPostedByte()} * 100 / stat.ActualTotalByte();
            response.reset(client.ProceedContext(1024));
        }
        BYTE byte = 0;
        while (response->ReadContent(&byte, 1) == 1) {
        }
        return response->GetStatus() == 200 && lastPercent == 100 ? 0 : 2;
    } catch (const httpclientexceptionW& e) {
        std::fprintf(stderr, "upload failed: %s (code %u, error %u)\n", Utf16ToUtf8(e.Message()).c_str(), e.ErrorCode(),
                     e.Win32Error());
        return 1;
    }
}

void Measure(const std::string& self, std::uint64_t mebibytes, int rounds)
{
    bench::ScratchFile file("upload.bin", mebibytes << 20);
    bench::DiscardServer server(ZENDRIK_DISCARD_SERVER);
    const std::string url = "https://127.0.0.1:" + std::to_string(server.Port()) + "/v2.12/me/photos";
    const std::string ca = std::string(kExtraCaFileVariable) + "=" + ZENDRIK_TEST_CA;

    const std::optional<bench::PairedRuns> paired =
        bench::Alternate(rounds, mebibytes, "client",
                         [&] {
                             return bench::RunTimed({self, "--client", url, file.Path()}, {ca});
                         },
                         {"curl", "-sS", "--noproxy", "*", "--cacert", ZENDRIK_TEST_CA, "-o", "/dev/null", "-F",
                          "access_token=bench-token", "-F", "source=@" + file.Path(), url});
    if (!paired)
        return;
    const bench::PairedRuns& runs = *paired;
    const double clientMedian = runs.MeasuredMedian();
    const double curlMedian = runs.CurlMedian();
    std::printf("%6llu MiB  client %7.3f s  curl -F %7.3f s  ratio %5.2f  client peak RSS %6.1f MiB"
                "  (medians of %d runs)\n",
                static_cast<unsigned long long>(mebibytes), clientMedian, curlMedian, clientMedian / curlMedian,
                runs.PeakRssKiB() / 1024.0, rounds);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    UseProductNames();
    if (argc == 4 && std::strcmp(argv[1], "--client") == 0)
        return UploadWithClient(argv[2], argv[3]);

    const std::vector<std::uint64_t> sizes = bench::SizesInMiB(argc, argv);
    std::printf("multipart upload in 1024-byte steps vs curl -F, local HTTPS discard server\n");
    for (const auto size : sizes)
        Measure(argv[0], size, 5);
    return 0;
}
