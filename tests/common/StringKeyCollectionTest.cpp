#include "common/StringKeyCollection.h"

#include "common/TextFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Texts and values live here; the collection only points at them.
class StringKeyCollectionTest : public testing::Test {
protected:
    const std::wstring* text(const std::wstring& value) {
        texts_.push_back(std::make_unique<std::wstring>(value));
        return texts_.back().get();
    }

    std::vector<std::wstring> walk() {
        std::vector<std::wstring> result;
        StringKey entry;
        for (bool more = keys.first(entry); more; more = keys.next(entry)) {
            result.push_back(*entry.text);
        }
        return result;
    }

    StringKeyCollection keys;
    int one = 1;
    int two = 2;

private:
    std::vector<std::unique_ptr<std::wstring>> texts_;
};

TEST_F(StringKeyCollectionTest, DuplicateInsertKeepsTheFirstValue) {
    EXPECT_TRUE(keys.insert(StringKey(text(L"anna"), &one)));
    EXPECT_FALSE(keys.insert(StringKey(text(L"anna"), &two)));
    StringKey found;
    ASSERT_TRUE(keys.find(L"anna", found));
    EXPECT_EQ(&one, found.value);
    EXPECT_EQ(std::vector<std::wstring>{L"anna"}, walk());
    EXPECT_FALSE(keys.insert(StringKey(nullptr, &one)));
}

TEST_F(StringKeyCollectionTest, TextsDifferingInCaseAreSeparateEntries) {
    EXPECT_TRUE(keys.insert(StringKey(text(L"abc"), &one)));
    EXPECT_TRUE(keys.insert(StringKey(text(L"ABC"), &two)));
    EXPECT_EQ(2u, walk().size());

    StringKey found;
    ASSERT_TRUE(keys.find(L"ABC", found));
    EXPECT_EQ(&two, found.value);
    EXPECT_FALSE(keys.contains(L"Abc"));

    keys.erase(L"abc");
    EXPECT_EQ(std::vector<std::wstring>{L"ABC"}, walk());
    keys.erase(L"missing");
    EXPECT_EQ(std::vector<std::wstring>{L"ABC"}, walk());
}

TEST_F(StringKeyCollectionTest, EmptyCollectionAndMissingTextGiveNulls) {
    StringKey entry(text(L"stale"), &one);
    EXPECT_FALSE(keys.first(entry));
    EXPECT_EQ(nullptr, entry.text);
    EXPECT_EQ(nullptr, entry.value);

    keys.insert(StringKey(text(L"x"), &one));
    entry = StringKey(text(L"stale"), &one);
    EXPECT_FALSE(keys.find(L"y", entry));
    EXPECT_EQ(nullptr, entry.text);
    EXPECT_EQ(nullptr, entry.value);
}

TEST_F(StringKeyCollectionTest, WalkFollowsTheLocaleOrder) {
    const std::vector<std::wstring> names = {L"zoe",   L"Bob", L"\u00E9mile", L"alice",
                                             L"Alice", L"10",  L"9",          L"emma"};
    for (const std::wstring& name : names) {
        ASSERT_TRUE(keys.insert(StringKey(text(name), nullptr)));
    }
    const std::vector<std::wstring> walked = walk();
    ASSERT_EQ(names.size(), walked.size());
    for (size_t i = 1; i < walked.size(); ++i) {
        EXPECT_EQ(-1, compareStrings(walked[i - 1], walked[i], true))
            << "'" << testing::PrintToString(walked[i - 1]) << "' before "
            << testing::PrintToString(walked[i]);
    }
    // Not the code-unit order, where Bob would come before alice.
    const auto position = [&walked](const wchar_t* name) {
        return std::find(walked.begin(), walked.end(), name) - walked.begin();
    };
    EXPECT_LT(position(L"alice"), position(L"Bob"));
    EXPECT_EQ(L"zoe", walked.back());

    StringKey entry;
    EXPECT_FALSE(keys.next(entry));  // past the end it stays at the end
    EXPECT_FALSE(keys.next(entry));
}

TEST_F(StringKeyCollectionTest, LookupsDuringAWalkDoNotDisturbIt) {
    keys.insert(StringKey(text(L"a"), nullptr));
    keys.insert(StringKey(text(L"b"), nullptr));
    keys.insert(StringKey(text(L"c"), nullptr));
    StringKey entry;
    ASSERT_TRUE(keys.first(entry));
    EXPECT_EQ(L"a", *entry.text);

    StringKey found;
    EXPECT_TRUE(keys.find(L"c", found));
    EXPECT_TRUE(keys.contains(L"a"));
    EXPECT_FALSE(keys.find(L"zz", found));

    ASSERT_TRUE(keys.next(entry));
    EXPECT_EQ(L"b", *entry.text);
}

TEST_F(StringKeyCollectionTest, OwnerFreesTextsAndValuesDuringAWalk) {
    // The pattern the owner uses before clearing: delete each text and value while walking.
    for (const wchar_t* name : {L"carol", L"anna", L"bert"}) {
        keys.insert(StringKey(new std::wstring(name), new std::wstring(L"C:\\saved")));
    }
    int freed = 0;
    StringKey entry;
    for (bool more = keys.first(entry); more; more = keys.next(entry)) {
        delete entry.text;
        delete static_cast<std::wstring*>(entry.value);
        ++freed;
    }
    keys.clear();
    EXPECT_EQ(3, freed);
    EXPECT_FALSE(keys.first(entry));
}

TEST_F(StringKeyCollectionTest, ErasingTheCurrentEntryOfAWalkContinuesWithTheNext) {
    keys.insert(StringKey(text(L"a"), nullptr));
    keys.insert(StringKey(text(L"b"), nullptr));
    keys.insert(StringKey(text(L"c"), nullptr));
    StringKey entry;
    ASSERT_TRUE(keys.first(entry));
    ASSERT_TRUE(keys.next(entry));
    keys.erase(*entry.text);  // b
    ASSERT_TRUE(keys.next(entry));
    EXPECT_EQ(L"c", *entry.text);
    EXPECT_FALSE(keys.next(entry));

    // Clearing in the middle of a walk ends it.
    ASSERT_TRUE(keys.first(entry));
    keys.clear();
    EXPECT_FALSE(keys.next(entry));
}

}  // namespace
