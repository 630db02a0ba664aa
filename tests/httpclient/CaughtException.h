#pragma once
// The client exception a piece of work throws; a test failure when it throws none.

#include "httpclient/HttpClientException.h"

#include <gtest/gtest.h>

template <typename Work>
Tavik::httpclientexceptionW Caught(Work&& work)
{
    try {
        work();
    } catch (const Tavik::httpclientexceptionW& e) {
        return e;
    }
    ADD_FAILURE() << "no httpclientexceptionW was thrown";
    return Tavik::httpclientexceptionW();
}
