#include <gtest/gtest.h>

#include "common/ServiceHosts.h"

TEST(ServiceHosts, OnlyHostWithOptionalPortIsTakenAndAnyOtherValueIsNamed) {
    for (const wchar_t* good : {L"www.instagram.com", L"127.0.0.1:18080", L"a-b.c:65535"})
        EXPECT_TRUE(isHostValue(good)) << good;
    for (const wchar_t* bad : {L"", L":80", L"host:0", L"host:65536", L"http://host", L"host/path",
                               L"user@host", L"-host", L"a..b", L"[::1]:80"})
        EXPECT_FALSE(isHostValue(bad)) << bad;

    std::wstring host, message;
    EXPECT_TRUE(hostFromVariable(kServiceHostVariable, nullptr, kDefaultServiceHost, host, message));
    EXPECT_EQ(host, L"www.instagram.com");
    const std::wstring empty;
    EXPECT_FALSE(hostFromVariable(kMakerHostVariable, &empty, kDefaultMakerHost, host, message));
    EXPECT_NE(message.find(L"PIXHAUL_MAKER_HOST"), std::wstring::npos);
}
