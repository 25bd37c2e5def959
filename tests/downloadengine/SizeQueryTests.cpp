// Size and time queries: locations resolved against the current address, and queries against the peers.
#include <gtest/gtest.h>

#include "downloadcontrol/engine/SizeQuery.h"

namespace {

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
