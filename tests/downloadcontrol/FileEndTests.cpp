#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "downloadcontrol/engine/FileEnd.h"

namespace {

TEST(FileEnd, AFailureKeepsItsCodeAStopEndsWhatIsIncompleteAndTheBytesJudgeTheRest) {
    using Kind = FileEnd::Kind;
    // Facts: failed, its code, stop, segments ended, size, downloaded.
    const std::pair<FileEndFacts, FileEnd> cases[] = {
        {{true, 16, false, true, 10, 10}, {Kind::Failed, 16}},
        {{true, 16, true, true, 10, 10}, {Kind::Stopped, 0}},
        {{false, 0, true, false, 10, 4}, {Kind::Stopped, 0}},
        {{false, 0, true, true, 10, 10}, {Kind::Complete, 0}},
        {{false, 0, true, true, 10, 9}, {Kind::Failed, 21}},
        {{false, 0, false, false, 10, 4}, {Kind::Failed, 21}},  // a reply ended before its segment
        {{false, 0, false, true, -1, 0}, {Kind::Failed, 21}},   // an empty body
        {{false, 0, false, true, -1, 7}, {Kind::Complete, 0}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const FileEnd end = decideFileEnd(cases[i].first);
        EXPECT_TRUE(end.kind == cases[i].second.kind && end.code == cases[i].second.code) << "case " << i;
    }
}

}  // namespace
