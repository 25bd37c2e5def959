#include <gtest/gtest.h>

#include "downloadcontrol/engine/SavePathResolver.h"
#include "downloadcontrol/engine/TransferPlan.h"

namespace {

std::vector<std::pair<int64_t, int64_t>> ranges(int64_t size, int32_t count, int32_t minimum) {
    std::vector<std::pair<int64_t, int64_t>> result;
    for (const PlannedSegment& segment : planSegments(size, count, minimum)) {
        result.emplace_back(segment.start, segment.start + segment.size);
    }
    return result;
}

TEST(TransferPlan, SegmentsAreEvenPiecesNeverBelowTheMinimum) {
    using R = std::vector<std::pair<int64_t, int64_t>>;
    EXPECT_EQ(ranges(1000000, 3, 204800), (R{{0, 333334}, {333334, 666668}, {666668, 1000000}}));
    EXPECT_EQ(ranges(300000, 3, 204800), (R{{0, 204800}, {204800, 300000}}));
    EXPECT_EQ(ranges(100, 3, 204800), (R{{0, 100}}));
    EXPECT_EQ(ranges(1, 0, 1), (R{{0, 1}}));
    EXPECT_EQ(ranges(10, 4, 1), (R{{0, 3}, {3, 6}, {6, 9}, {9, 10}}));
    EXPECT_TRUE(ranges(0, 3, 1).empty());
    // The pieces always cover the file exactly.
    for (int64_t size : {1, 7, 204799, 204801, 5000000}) {
        for (int32_t count : {1, 2, 3, 7, 64}) {
            const auto plan = ranges(size, count, 1000);
            ASSERT_FALSE(plan.empty());
            EXPECT_LE(static_cast<int32_t>(plan.size()), count);
            EXPECT_EQ(plan.front().first, 0);
            EXPECT_EQ(plan.back().second, size);
            for (std::size_t i = 1; i < plan.size(); ++i) {
                EXPECT_EQ(plan[i].first, plan[i - 1].second);
            }
        }
    }
}

TEST(TransferPlan, WeightsShareTheRunByKnownSizesAndTheirAverage) {
    const auto known = fileWeights({100, 300, 600});
    EXPECT_DOUBLE_EQ(known[0], 0.1);
    EXPECT_DOUBLE_EQ(known[1], 0.3);
    EXPECT_DOUBLE_EQ(known[2], 0.6);
    const auto withUnknown = fileWeights({100, 300, 600, -1});
    EXPECT_DOUBLE_EQ(withUnknown[0], 100.0 / 1333);
    EXPECT_DOUBLE_EQ(withUnknown[3], 333.0 / 1333);
    const auto noneKnown = fileWeights({-1, 0, -1, -1});
    for (double weight : noneKnown) {
        EXPECT_DOUBLE_EQ(weight, 0.25);
    }
    EXPECT_TRUE(fileWeights({}).empty());
}

TEST(TransferPlan, RatesAndRemainingTimesNeverDivideByZero) {
    EXPECT_DOUBLE_EQ(transferRate(10240, 0), 10.0);
    EXPECT_DOUBLE_EQ(transferRate(10240, kTicksPerSecond / 2), 10.0);
    EXPECT_DOUBLE_EQ(transferRate(20480, 2 * kTicksPerSecond + 5), 10.0);
    EXPECT_EQ(remainingTimeTicks(100, 100, kTicksPerSecond), kTicksPerSecond);
    EXPECT_EQ(remainingTimeTicks(-1, 100, kTicksPerSecond), 0);
    EXPECT_EQ(remainingTimeTicks(100, 0, kTicksPerSecond), 0);
    EXPECT_EQ(remainingTimeTicks(100, 100, 0), 0);
}

TEST(TransferPlan, SizesNearTheLargest64BitNumberNeitherOverflowNorLoseBytes) {
    const int64_t piece = INT64_MAX / 3 + 1;
    using R = std::vector<std::pair<int64_t, int64_t>>;
    EXPECT_EQ(ranges(INT64_MAX, 3, 1), (R{{0, piece}, {piece, 2 * piece}, {2 * piece, INT64_MAX}}));

    for (const auto& weights :
         {fileWeights({INT64_MAX, INT64_MAX, -1}), fileWeights({INT64_MAX - 1, 1, -1})}) {
        double sum = 0;
        for (double weight : weights) {
            EXPECT_GT(weight, 0.0);
            sum += weight;
        }
        EXPECT_NEAR(sum, 1.0, 1e-9);
    }
    EXPECT_EQ(remainingTimeTicks(INT64_MAX, 1, kTicksPerSecond), INT64_MAX);
}

// Dialog answers given in advance.
class ScriptedDialogs : public SaveDialogs {
public:
    bool askSaveFile(const std::wstring& proposedName, const std::wstring& initialFolder,
                     std::wstring& path) override {
        asked.push_back(L"file:" + proposedName + L"@" + initialFolder);
        if (answers.empty()) {
            return false;
        }
        path = answers.front();
        answers.erase(answers.begin());
        return true;
    }
    bool askFolder(const std::wstring& fileName, const std::wstring& initialFolder,
                   std::wstring& folder) override {
        asked.push_back(L"folder:" + fileName + L"@" + initialFolder);
        if (answers.empty()) {
            return false;
        }
        folder = answers.front();
        answers.erase(answers.begin());
        return true;
    }
    std::vector<std::wstring> answers;
    std::vector<std::wstring> asked;
};

TEST(SavePaths, AbsolutePathsAndFoldersNeedNoQuestion) {
    ScriptedDialogs dialogs;
    SavePathResolver resolver(dialogs, true);
    std::wstring path;
    int32_t error = 0;
    ASSERT_TRUE(resolver.resolve(L"  C:\\out\\a.bin ", L"", L"u.bin", path, error));
    EXPECT_EQ(path, L"C:\\out\\a.bin");
    ASSERT_TRUE(resolver.resolve(L"C:\\out\\", L"shown.jpg", L"u.bin", path, error));
    EXPECT_EQ(path, L"C:\\out\\shown.jpg");
    ASSERT_TRUE(resolver.resolve(L"C:\\out\\", L"", L"u.bin", path, error));
    EXPECT_EQ(path, L"C:\\out\\u.bin");
    // Network and extended-length paths are absolute too.
    ASSERT_TRUE(resolver.resolve(L"\\\\server\\share\\a.bin", L"", L"u.bin", path, error));
    EXPECT_EQ(path, L"\\\\server\\share\\a.bin");
    ASSERT_TRUE(resolver.resolve(L"\\\\?\\C:\\x\\", L"", L"u.bin", path, error));
    EXPECT_EQ(path, L"\\\\?\\C:\\x\\u.bin");
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST(SavePaths, RelativePathsAskOnceForACommonFolder) {
    ScriptedDialogs dialogs;
    dialogs.answers = {L"D:\\picked"};
    SavePathResolver resolver(dialogs, true);
    std::wstring first;
    std::wstring second;
    int32_t error = 0;
    ASSERT_TRUE(resolver.resolve(L"\\a.bin", L"", L"a.bin", first, error));
    ASSERT_TRUE(resolver.resolve(L"\\sub\\", L"b.jpg", L"b", second, error));
    EXPECT_EQ(first, L"D:\\picked\\a.bin");
    EXPECT_EQ(second, L"D:\\picked\\sub\\b.jpg");
    EXPECT_EQ(dialogs.asked, (std::vector<std::wstring>{L"folder:@"}));
}

TEST(SavePaths, WithoutACommonFolderEachRelativeFileAsksAndCancelsGiveTheirCodes) {
    ScriptedDialogs dialogs;
    dialogs.answers = {L"D:\\one\\", L"E:\\two\\chosen.bin"};
    SavePathResolver resolver(dialogs, false);
    std::wstring path;
    int32_t error = 0;
    ASSERT_TRUE(resolver.resolve(L"\\a.bin", L"", L"a.bin", path, error));
    EXPECT_EQ(path, L"D:\\one\\a.bin");
    ASSERT_TRUE(resolver.resolve(L"  ", L"shown", L"u", path, error));
    EXPECT_EQ(path, L"E:\\two\\chosen.bin");
    EXPECT_FALSE(resolver.resolve(L"\\c.bin", L"", L"c.bin", path, error));
    EXPECT_EQ(error, 1);
    EXPECT_FALSE(resolver.resolve(L"", L"", L"d.bin", path, error));
    EXPECT_EQ(error, 2);
    // Each question starts where the last answer was.
    EXPECT_EQ(dialogs.asked, (std::vector<std::wstring>{L"folder:a.bin@", L"file:shown@D:\\one\\",
                                                        L"folder:c.bin@E:\\two\\", L"file:d.bin@E:\\two\\"}));
}

}  // namespace
