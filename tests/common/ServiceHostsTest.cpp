#include <windows.h>

#include <gtest/gtest.h>

#include "common/ServiceHosts.h"

TEST(ServiceHosts, AcceptsOnlyHostWithOptionalPort) {
    for (const wchar_t* good : {L"www.instagram.com", L"127.0.0.1:18080", L"localhost:1", L"a-b.c:65535"})
        EXPECT_TRUE(isHostValue(good)) << good;
    for (const wchar_t* bad :
         {L"", L":80", L"host:", L"host:0", L"host:65536", L"host:80:81", L"http://host", L"host/path",
          L"user@host", L"ho st", L"-host", L"host-.com", L"a..b", L"[::1]:80", L"host:8o"})
        EXPECT_FALSE(isHostValue(bad)) << bad;
}

TEST(ServiceHosts, AbsentVariableGivesTheDefaultAndAMalformedOneAMessageNamingIt) {
    std::wstring host, message;
    EXPECT_TRUE(hostFromVariable(kServiceHostVariable, nullptr, kDefaultServiceHost, host, message));
    EXPECT_EQ(host, L"www.instagram.com");

    const std::wstring local = L"127.0.0.1:5000";
    EXPECT_TRUE(hostFromVariable(kMakerHostVariable, &local, kDefaultMakerHost, host, message));
    EXPECT_EQ(host, local);

    const std::wstring empty, bad = L"http://127.0.0.1:5000/";
    EXPECT_FALSE(hostFromVariable(kMakerHostVariable, &empty, kDefaultMakerHost, host, message));
    EXPECT_FALSE(hostFromVariable(kServiceHostVariable, &bad, kDefaultServiceHost, host, message));
    EXPECT_NE(message.find(L"PIXHAUL_SERVICE_HOST"), std::wstring::npos);
    EXPECT_NE(message.find(bad), std::wstring::npos);
    EXPECT_EQ(host, local);  // unchanged by a refused value
}

TEST(ServiceHosts, LoadReadsTheEnvironmentOnce) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"PIXHAUL_SERVICE_HOST", L"127.0.0.1:7001"));
    ASSERT_TRUE(SetEnvironmentVariableW(L"PIXHAUL_MAKER_HOST", nullptr));
    std::wstring message;
    ASSERT_TRUE(loadServiceHosts(message));
    EXPECT_EQ(serviceHost(), L"127.0.0.1:7001");
    EXPECT_EQ(makerHost(), L"pixhaul.invalid");

    ASSERT_TRUE(SetEnvironmentVariableW(L"PIXHAUL_MAKER_HOST", L"bad host"));
    EXPECT_FALSE(loadServiceHosts(message));
    EXPECT_NE(message.find(L"PIXHAUL_MAKER_HOST"), std::wstring::npos);
    EXPECT_EQ(serviceHost(), L"127.0.0.1:7001");
    SetEnvironmentVariableW(L"PIXHAUL_SERVICE_HOST", nullptr);
    SetEnvironmentVariableW(L"PIXHAUL_MAKER_HOST", nullptr);
}
