// Size and time queries: locations resolved against the current address, and queries against the peers.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "downloadcontrol/engine/SizeQuery.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::pumpUntil;
using enginetest::TestEngine;
using testsupport::peerUrl;

// The answer of one query: size text, last-modified text and the error code after it.
struct Answer {
    std::wstring size;
    std::wstring lastModified;
    int32_t error = 0;
};

Answer ask(TestEngine& test, const std::wstring& url) {
    test.host.events.clear();
    test.errors.setError(0);
    test.engine->querySizeAndTime(url, L"", L"", L"", 0);
    EXPECT_TRUE(pumpUntil([&] { return test.host.count(L"SizeQuery") > 0; })) << "no answer for the query";
    Answer answer;
    if (const enginetest::Event* event = test.host.last(L"SizeQuery")) {
        EXPECT_EQ(event->texts[0], url);
        answer.size = event->texts[1];
        answer.lastModified = event->texts[2];
    }
    answer.error = test.errors.error();
    return answer;
}

TEST(SizeQuery, SizeAndLastModifiedComeFromTheServer) {
    TestEngine test;
    Answer answer = ask(test, peerUrl("scripted", L"/file/12345/q.bin"));
    EXPECT_EQ(answer.size, L"12345");
    EXPECT_EQ(answer.lastModified, L"Wed, 21 Oct 2015 07:28:00 GMT");
    answer = ask(test, peerUrl("nginx_http", L"/files/small.bin"));
    EXPECT_EQ(answer.size, L"300000");
    EXPECT_NE(answer.lastModified.find(L"GMT"), std::wstring::npos);
    EXPECT_EQ(ask(test, peerUrl("scripted", L"/nolength/500/n.bin")).size, L"-1");

    answer = ask(test, peerUrl("nginx_http", L"/files/missing.bin"));
    EXPECT_EQ(answer.size, L"-2");
    EXPECT_EQ(answer.error, 17);
}

TEST(SizeQuery, RedirectsAreFollowedForFiveTurns) {
    TestEngine test;
    EXPECT_EQ(ask(test, peerUrl("scripted", L"/redirect/2/100/r2.bin")).size, L"100");
    EXPECT_EQ(ask(test, peerUrl("scripted", L"/redirect/5/101/r5.bin")).size, L"101");
    const std::size_t before = testsupport::scriptedRequests().size();
    EXPECT_EQ(ask(test, peerUrl("scripted", L"/rel/3/102/rel.bin")).size, L"102");
    std::vector<std::string> requests = testsupport::scriptedRequests();
    requests.erase(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_EQ(requests, (std::vector<std::string>{"HEAD /rel/3/102/rel.bin -", "HEAD /rel/2/102/rel.bin -",
                                                  "HEAD /rel/1/102/rel.bin -", "HEAD /rel/0/102/rel.bin -"}));
    // From http to https: the query goes on with a client of the new scheme.
    EXPECT_EQ(ask(test, peerUrl("scripted", L"/tohttps/files/medium.bin")).size, L"1000000");

    const Answer tooMany = ask(test, peerUrl("scripted", L"/redirect/6/100/r6.bin"));
    EXPECT_EQ(tooMany.size, L"-2");
    EXPECT_EQ(tooMany.error, 27);
}

// Lines of the scripted server's authorization log ("HOST PATH AUTHORIZATION") that mention `name`.
std::vector<std::string> authorizationLines(const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream log(testsupport::readFileBytes(testsupport::scriptedPath(L"authorization.log")));
    for (std::string line; std::getline(log, line);) {
        if (line.find(name) != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(SizeQuery, CredentialsGoOnlyToTheirServerAndNoServerChoosesTheProxy) {
    TestEngine test;
    const auto askWithCredentials = [&](const std::wstring& url) {
        test.host.events.clear();
        test.engine->querySizeAndTime(url, L"", L"user", L"secret", 0);
        EXPECT_TRUE(pumpUntil([&] { return test.host.count(L"SizeQuery") > 0; }));
        return test.host.count(L"SizeQuery") > 0 ? test.host.last(L"SizeQuery")->texts[1] : L"";
    };
    const std::string port = std::to_string(testsupport::peerPort("scripted"));
    const std::string basic = "Basic dXNlcjpzZWNyZXQ=";

    // The same server: the credentials go along.
    EXPECT_EQ(askWithCredentials(peerUrl("scripted", L"/redirect/1/103/same.bin")), L"103");
    EXPECT_EQ(authorizationLines("same.bin"),
              (std::vector<std::string>{"127.0.0.1:" + port + " /redirect/1/103/same.bin " + basic,
                                        "127.0.0.1:" + port + " /redirect/0/103/same.bin " + basic}));
    // Another host name: not there.
    EXPECT_EQ(askWithCredentials(peerUrl("scripted", L"/tolocalhost/file/104/other.bin")), L"104");
    EXPECT_EQ(authorizationLines("other.bin"),
              (std::vector<std::string>{"127.0.0.1:" + port + " /tolocalhost/file/104/other.bin " + basic,
                                        "localhost:" + port + " /file/104/other.bin -"}));
    // 305 Use Proxy is an answer the query does not follow.
    test.errors.setError(0);
    EXPECT_EQ(askWithCredentials(peerUrl("scripted", L"/useproxy/file/105/proxy.bin")), L"-2");
    EXPECT_EQ(test.errors.error(), 17);
    EXPECT_EQ(authorizationLines("proxy.bin").size(), 1u);
}

TEST(SizeQuery, AnAddressThatDoesNotParseAnswersAtOnce) {
    TestEngine test;
    test.engine->querySizeAndTime(L"gopher://host/file", L"", L"", L"", 0);
    // Before any message was pumped.
    ASSERT_EQ(test.host.count(L"SizeQuery"), 1);
    EXPECT_EQ(test.host.last(L"SizeQuery")->texts[1], L"-2");
    EXPECT_EQ(test.errors.error(), 12);
}

TEST(SizeQuery, AnUnreachableServerIsTriedAsOftenAsAllowed) {
    TestEngine test;
    test.engine->settings().attempts = 3;
    test.engine->settings().retryWait = 100;
    test.engine->settings().connectionTimeout = 1000;
    const Answer answer =
        ask(test, L"http://127.0.0.1:" + std::to_wstring(testsupport::peerPort("closed")) + L"/x");
    EXPECT_EQ(answer.size, L"-2");
    EXPECT_EQ(answer.error, 14);
}

TEST(SizeQuery, ReleasingTheControlDuringAQueryEndsIt) {
    for (int round = 0; round < 5; ++round) {
        TestEngine test;
        test.engine->querySizeAndTime(peerUrl("scripted", L"/stall/s.bin"), L"", L"", L"", 0);
        test.engine->querySizeAndTime(peerUrl("scripted", L"/stall/t.bin"), L"", L"", L"", 0);
        EXPECT_EQ(test.engine->runningSizeQueries(), 2u);
        const ULONGLONG before = GetTickCount64();
        test.engine.reset();
        EXPECT_EQ(test.host.count(L"SizeQuery"), 0);
        if (round == 0) {
            std::printf("releasing with two queries waiting took %llu ms\n", GetTickCount64() - before);
        }
    }
}

TEST(SizeQueryLocations, RelativeLocationsAreResolvedAgainstTheCurrentAddress) {
    const std::wstring base = L"http://h:81/a/b/c.bin?x=/y";
    EXPECT_EQ(resolveLocation(base, L"https://o/p"), L"https://o/p");
    EXPECT_EQ(resolveLocation(base, L"//o/p"), L"http://o/p");
    EXPECT_EQ(resolveLocation(base, L"/p/q"), L"http://h:81/p/q");
    EXPECT_EQ(resolveLocation(base, L"d.bin"), L"http://h:81/a/b/d.bin");
    EXPECT_EQ(resolveLocation(base, L"../../2/d.bin"), L"http://h:81/2/d.bin");
    EXPECT_EQ(resolveLocation(base, L"../../../../d.bin"), L"http://h:81/d.bin");
    EXPECT_EQ(resolveLocation(base, L"./d.bin?z=1"), L"http://h:81/a/b/d.bin?z=1");
    EXPECT_EQ(resolveLocation(L"http://h", L"d"), L"http://h/d");
    EXPECT_EQ(resolveLocation(base, L"  /p  "), L"http://h:81/p");
}

}  // namespace
