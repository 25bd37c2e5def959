#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SegmentFetch.h"
#include "downloadcontrol/net/HttpDownloader.h"
#include "support/Peers.h"

using nettest::Fetched;
using nettest::fetchSegment;
using nettest::pattern;
using testsupport::peerPort;

namespace {

std::unique_ptr<HttpDownloader> client(LastErrorHolder& errors, const char* peer, const std::wstring& path,
                                       bool secure = false, int bufferSize = 4096,
                                       const std::wstring& user = L"", const std::wstring& password = L"") {
    // Certificates are made out to names: the system's check here does not match addresses.
    return std::make_unique<HttpDownloader>(secure, secure ? L"localhost" : L"127.0.0.1", peerPort(peer),
                                            path, L"", user, password, L"", 0, L"", L"", 0, 4000, bufferSize,
                                            errors);
}

// ---- nginx, plain and TLS 1.2 ----

class NginxTest : public ::testing::TestWithParam<bool> {
protected:
    bool secure() const { return GetParam(); }
    const char* peer() const { return secure() ? "nginx_https" : "nginx_http"; }
    LastErrorHolder errors;
};

TEST_P(NginxTest, WholeFilesOfUnknownSizeArriveByteForByte) {
    for (const char* name : {"files/empty.bin", "files/one.bin", "files/small.bin", "files/large.bin"}) {
        const std::string expected = testsupport::servedFile(name);
        for (int bufferSize : {1000, 4096, 65536}) {
            auto http = client(errors, peer(), std::wstring(L"/") + std::wstring(name, name + strlen(name)),
                               secure(), bufferSize);
            const Fetched fetched = fetchSegment(*http, errors, 0, -1, -1, -1);
            ASSERT_TRUE(fetched.ok) << name << " error " << fetched.error;
            EXPECT_EQ(fetched.fileSize, static_cast<int64_t>(expected.size())) << name;
            EXPECT_TRUE(fetched.rangesAccepted) << name;
            ASSERT_EQ(fetched.body.size(), expected.size()) << name;
            EXPECT_TRUE(fetched.body == expected) << name << " differs";
        }
    }
}

TEST_P(NginxTest, RangedSegmentsReassembleTheFile) {
    const std::string expected = testsupport::servedFile("files/medium.bin");
    const int64_t size = static_cast<int64_t>(expected.size());
    const int64_t segments = 7;
    const int64_t step = size / segments;
    std::string assembled;
    for (int64_t i = 0; i < segments; ++i) {
        const int64_t start = i * step;
        const int64_t length = i == segments - 1 ? size - start : step;
        auto http = client(errors, peer(), L"/files/medium.bin", secure());
        const Fetched fetched = fetchSegment(*http, errors, static_cast<int32_t>(i), start, length, size);
        ASSERT_TRUE(fetched.ok) << "segment " << i << " error " << fetched.error;
        EXPECT_EQ(fetched.body.size(), static_cast<std::size_t>(length));
        EXPECT_TRUE(fetched.rangesAccepted);
        assembled += fetched.body;
    }
    EXPECT_TRUE(assembled == expected);
}

TEST_P(NginxTest, APartIsTakenOnlyFromTheVersionWhoseValidatorItCarries) {
    const std::string expected = testsupport::servedFile("files/medium.bin");
    const int64_t size = static_cast<int64_t>(expected.size());
    auto http = client(errors, peer(), L"/files/medium.bin", secure());
    ASSERT_TRUE(fetchSegment(*http, errors, 0, -1, -1, -1).ok);
    const std::wstring validator = http->validator();
    ASSERT_EQ(validator.rfind(L"\"", 0), 0u) << "nginx's entity tag";
    http->setValidator(validator);
    Fetched part = fetchSegment(*http, errors, 1, 1000, 5000, size);
    ASSERT_TRUE(part.ok) << part.error;
    EXPECT_TRUE(part.body == expected.substr(1000, 5000));
    // Another version: nginx sends the whole file instead, which is refused; so is a part of a file of
    // another size.
    const struct {
        std::wstring validator;
        int64_t size;
    } changes[] = {{L"\"other\"", size}, {validator, size + 1}};
    for (const auto& change : changes) {
        http->setValidator(change.validator);
        part = fetchSegment(*http, errors, 1, 1000, 5000, change.size);
        EXPECT_FALSE(part.ok);
        EXPECT_EQ(part.error, ErrServerFileChanged);
        EXPECT_TRUE(http->fileChanged());
    }
}

TEST_P(NginxTest, SizeQueryGivesSizeAndLastModified) {
    auto http = client(errors, peer(), L"/files/small.bin", secure());
    int64_t size = 0;
    std::wstring lastModified, location, proxyLocation;
    ASSERT_TRUE(http->querySize(size, lastModified, location, proxyLocation)) << errors.error();
    EXPECT_EQ(size, 300000);
    EXPECT_NE(lastModified.find(L" GMT"), std::wstring::npos)
        << std::string(lastModified.begin(), lastModified.end());
    EXPECT_TRUE(location.empty());
    EXPECT_TRUE(proxyLocation.empty());
}

TEST_P(NginxTest, RedirectsGiveTheLocationToTheQueryAndFailASegment) {
    for (const wchar_t* path : {L"/r301", L"/r302", L"/r307"}) {
        auto http = client(errors, peer(), path, secure());
        int64_t size = 0;
        std::wstring lastModified, location, proxyLocation;
        ASSERT_TRUE(http->querySize(size, lastModified, location, proxyLocation));
        EXPECT_EQ(size, -1);
        EXPECT_NE(location.find(L"/files/small.bin"), std::wstring::npos);

        const Fetched fetched = fetchSegment(*client(errors, peer(), path, secure()), errors, 0, -1, -1, -1);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrHttpStatus);
    }
}

TEST_P(NginxTest, RefusalsMapToTheirErrors) {
    EXPECT_EQ(
        fetchSegment(*client(errors, peer(), L"/auth/secret.txt", secure()), errors, 0, -1, -1, -1).error,
        ErrAccessDenied);
    EXPECT_EQ(fetchSegment(*client(errors, peer(), L"/forbidden/index.html", secure()), errors, 0, -1, -1, -1)
                  .error,
              ErrAccessDenied);
    EXPECT_EQ(
        fetchSegment(*client(errors, peer(), L"/files/missing.bin", secure()), errors, 0, -1, -1, -1).error,
        ErrHttpStatus);
    EXPECT_EQ(fetchSegment(*client(errors, peer(), L"/auth/secret.txt", secure(), 4096, L"user", L"wrong"),
                           errors, 0, -1, -1, -1)
                  .error,
              ErrAccessDenied);

    const Fetched allowed =
        fetchSegment(*client(errors, peer(), L"/auth/secret.txt", secure(), 4096, L"user", L"secret"), errors,
                     0, -1, -1, -1);
    ASSERT_TRUE(allowed.ok) << allowed.error;
    EXPECT_EQ(allowed.body, testsupport::servedFile("auth/secret.txt"));

    int64_t size = 0;
    std::wstring lastModified, location, proxyLocation;
    errors.setError(0);
    EXPECT_FALSE(client(errors, peer(), L"/files/missing.bin", secure())
                     ->querySize(size, lastModified, location, proxyLocation));
    EXPECT_EQ(errors.error(), ErrHttpStatus);
    EXPECT_FALSE(client(errors, peer(), L"/auth/secret.txt", secure())
                     ->querySize(size, lastModified, location, proxyLocation));
    EXPECT_EQ(errors.error(), ErrAccessDenied);
}

INSTANTIATE_TEST_SUITE_P(PlainAndTls, NginxTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Https" : "Http";
                         });

}  // namespace
