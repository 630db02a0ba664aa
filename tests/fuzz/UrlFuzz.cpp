// Addresses as the client splits them, and the GET addresses it builds from an address
// and its parameters.

#include "httpclient/HttpClient.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <initializer_list>
#include <vector>

namespace {

using Analyzer = Tavik::CHttpUrlAnalyzerT<Tavik::CHttpToolW>;

constexpr UINT kCodePages[] = {0, 1252, 28591, 932, 1201, CP_UTF7, CP_UTF8};

// The six components lie in order inside the text.
void CheckSplit(const Analyzer& url, std::size_t length)
{
    const std::initializer_list<std::pair<DWORD, DWORD>> parts = {
        {url.SchemeOffset(), url.SchemeLength()}, {url.HostOffset(), url.HostLength()},
        {url.PortOffset(), url.PortLength()},     {url.PathOffset(), url.PathLength()},
        {url.QueryOffset(), url.QueryLength()},   {url.FragmentOffset(), url.FragmentLength()}};
    std::size_t end = 0;
    for (const auto& [offset, partLength] : parts) {
        FUZZ_CHECK(std::size_t{offset} + partLength <= length);
        if (partLength == 0)
            continue;
        FUZZ_CHECK(offset >= end);
        end = std::size_t{offset} + partLength;
    }
}

void Analyze(const std::u16string& address, UINT codePage)
{
    Analyzer url;
    try {
        url.Analyze(address.c_str(), codePage);
    } catch (const Tavik::httpclientexceptionW&) {
        return;
    }
    CheckSplit(url, address.size());
}

// The length function and what the fill function writes agree, and nothing is written
// past the length it announced.
void BuildGetAddress(FuzzedDataProvider& input, const std::u16string& address)
{
    Tavik::CHttpClient client;
    client.SetUseUtf8(input.ConsumeBool());
    const int params = input.ConsumeIntegralInRange(0, 3);
    std::vector<std::u16string> texts;
    for (int i = 0; i < params; ++i) {
        texts.push_back(fuzz::PairsOf(input.ConsumeRandomLengthString(64)));
        texts.push_back(fuzz::PairsOf(input.ConsumeRandomLengthString(64)));
        const DWORD flags = input.ConsumeIntegralInRange<DWORD>(0, 6) & ~Tavik::PARAM_FLAG_FILE;
        try {
            client.AddParam(texts[texts.size() - 2].c_str(), texts.back().c_str(), flags);
        } catch (const Tavik::httpclientexceptionW&) {
        }
    }
    const char16_t* szUrl = input.ConsumeBool() ? nullptr : address.c_str();
    try {
        const DWORD length = client.MakeGetUrlLen(szUrl);
        std::vector<char16_t> buffer(std::size_t{length} + 1, u'#');
        client.MakeGetUrl(buffer.data(), szUrl);
        FUZZ_CHECK(wcrt::wcslen(buffer.data()) == length);
    } catch (const Tavik::httpclientexceptionW&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const UINT codePage = input.PickValueInArray(kCodePages);
    const std::u16string address = fuzz::UnitsOf(input.ConsumeRandomLengthString(512));
    Analyze(address.substr(0, address.find(u'\0')), codePage);
    BuildGetAddress(input, address.substr(0, address.find(u'\0')));
    return 0;
}
