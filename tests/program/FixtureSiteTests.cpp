// The harness's own footing: the fixture site started on free ports answers, logs what it served
// and forgets it on reset, so program tests can rely on /__log.
#include <gtest/gtest.h>

#include "support/FixtureSite.h"

namespace {

TEST(FixtureSite, LogsServedRequestsUntilReset) {
    testsupport::FixtureSite site;
    ASSERT_TRUE(site.running()) << site.failure();
    EXPECT_NE(site.servicePort(), site.makerPort());

    int status = 0;
    EXPECT_NE(testsupport::httpExchange(site.servicePort(), "GET", "/alice", &status).find("alice"),
              std::string::npos);
    EXPECT_EQ(status, 200);
    testsupport::httpExchange(site.makerPort(), "GET", "/CurrentVersion.txt", &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(site.requests(), (std::vector<std::string>{"GET /alice", "GET /CurrentVersion.txt"}));

    ASSERT_TRUE(site.setMode("version=9.9"));
    EXPECT_EQ(testsupport::httpExchange(site.makerPort(), "GET", "/CurrentVersion.txt"), "9.9\r\n");
    ASSERT_TRUE(site.reset());
    EXPECT_EQ(site.countRequests("GET "), 0);
    EXPECT_EQ(testsupport::httpExchange(site.makerPort(), "GET", "/CurrentVersion.txt"), "2.1\r\n");
}

}  // namespace
