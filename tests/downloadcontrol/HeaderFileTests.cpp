#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/HeaderFolder.h"
#include "support/TestSupport.h"

namespace {

using testsupport::readFileBytes;
using testsupport::TempFolder;
using testsupport::writeFileBytes;

// Little-endian byte strings built independently of the code under test.
template <typename Value>
void put(std::string& bytes, Value value) {
    char raw[sizeof(Value)];
    std::memcpy(raw, &value, sizeof(Value));
    bytes.append(raw, sizeof(Value));
}

void putText(std::string& bytes, const std::wstring& text) {
    put(bytes, static_cast<uint32_t>(text.size() * 2));
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
}

template <typename Value>
Value valueAt(const std::string& bytes, int64_t offset) {
    Value value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(Value));
    return value;
}

// An item as a run prepares it: parsed URL, paths, credentials, counters and two segments.
std::unique_ptr<DownloadItem> sampleItem(int32_t fileId = 4) {
    auto item = std::make_unique<DownloadItem>();
    EXPECT_TRUE(item->setUrl(L"http://a/b", false));
    item->fileId = fileId;
    item->displayFileName = L"B\u00e9";
    item->savePath = L"C:\\o\\b";
    item->dataPath = L"C:\\o\\b.tmp";
    item->referer = L"r";
    item->userName = L"";
    item->password = L"pw";
    item->state = DownloadStateIncomplete;
    item->size = 300000;
    item->downloaded = 1000;
    item->elapsed = 20000000;
    item->remaining = 299000;
    item->remainingTime = 123;
    item->rate = 0.5;
    item->weight = 0.25;
    item->requestedSegmentCount = 3;
    for (int64_t start : {0, 204800}) {
        auto segment = std::make_unique<FileSegment>();
        segment->owner = item.get();
        segment->start = start;
        segment->size = start == 0 ? 204800 : 95200;
        segment->downloaded = start == 0 ? 1000 : 0;
        item->segments.push_back(std::move(segment));
    }
    return item;
}

std::string expectedHeaderBytes() {
    std::string bytes;
    put(bytes, uint32_t{0x2AC87F1E});
    putText(bytes, L"http://a/b");
    bytes += '\0';
    putText(bytes, L"B\u00e9");
    putText(bytes, L"C:\\o\\b");
    putText(bytes, L"C:\\o\\b.tmp");
    put(bytes, uint32_t{0});
    bytes.append(120, '\0');
    putText(bytes, L"r");
    putText(bytes, L"");
    putText(bytes, L"pw");
    put(bytes, int32_t{1});
    put(bytes, int64_t{300000});
    put(bytes, int64_t{1000});
    put(bytes, int64_t{20000000});
    put(bytes, int64_t{299000});
    put(bytes, int64_t{123});
    put(bytes, 0.5);
    put(bytes, 0.25);
    put(bytes, int32_t{3});
    put(bytes, int32_t{2});
    for (int64_t value :
         {int64_t{0}, int64_t{204800}, int64_t{1000}, int64_t{204800}, int64_t{95200}, int64_t{0}}) {
        put(bytes, value);
    }
    return bytes;
}

class HeaderFileTest : public ::testing::Test {
protected:
    // Writes `bytes` as the header of file id 4 and reads it back.
    std::unique_ptr<DownloadItem> readBytes(const std::string& bytes, const std::wstring& name = L"") {
        const std::wstring path = temp.path() + (name.empty() ? headerFileName(4) : name);
        EXPECT_TRUE(writeFileBytes(path, bytes));
        errors.setError(0);
        return readHeaderFile(path, errors);
    }

    TempFolder temp;
    LastErrorHolder errors;
};

TEST(HeaderLayout, FieldOffsets) {
    auto item = sampleItem();
    // A 10-character URL puts the TLS byte at 28 and the display-name length at 29.
    EXPECT_EQ(headerFieldOffset(*item, HeaderStateSlot), 0);
    EXPECT_EQ(headerFieldOffset(*item, HeaderUrlLength), 4);
    EXPECT_EQ(headerFieldOffset(*item, HeaderUrl), 8);
    EXPECT_EQ(headerFieldOffset(*item, HeaderImplicitTls), 28);
    EXPECT_EQ(headerFieldOffset(*item, HeaderDisplayNameLength), 29);
    EXPECT_EQ(headerFieldOffset(*item, HeaderDisplayName), 33);
    // The validator slot is 120 bytes whatever its text.
    const int64_t slot = headerFieldOffset(*item, HeaderValidator);
    EXPECT_EQ(headerFieldOffset(*item, HeaderRefererLength), slot + 120);
    item->validator = L"etag";
    EXPECT_EQ(headerFieldOffset(*item, HeaderRefererLength), slot + 120);

    const std::string expected = expectedHeaderBytes();
    const int64_t segments = static_cast<int64_t>(expected.size()) - 48;
    EXPECT_EQ(headerFieldOffset(*item, HeaderSegmentCount), segments - 4);
    EXPECT_EQ(headerFieldOffset(*item, HeaderSegmentStart, 0), segments);
    EXPECT_EQ(headerFieldOffset(*item, HeaderSegmentDownloaded, 1), segments + 40);
    EXPECT_EQ(headerFieldOffset(*item, HeaderSize), headerFieldOffset(*item, HeaderState) + 4);
    EXPECT_EQ(headerFieldOffset(*item, HeaderRequestedSegmentCount),
              headerFieldOffset(*item, HeaderWeight) + 8);

    EXPECT_EQ(headerFieldOffset(*item, -1), -1);
    EXPECT_EQ(headerFieldOffset(*item, 31), -1);
    EXPECT_EQ(headerFieldOffset(*item, HeaderSegmentSize, -1), -1);
}

TEST_F(HeaderFileTest, CreateWritesTheExactBytes) {
    auto item = sampleItem();
    ASSERT_TRUE(createHeaderFile(*item, temp.path(), errors));
    EXPECT_EQ(errors.error(), 0);
    EXPECT_EQ(item->headerPath, temp.path() + headerFileName(4));
    EXPECT_EQ(readFileBytes(item->headerPath), expectedHeaderBytes());
    // Closed again: it can be opened without sharing.
    EXPECT_TRUE(openFile(item->headerPath, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING).valid());
}

TEST_F(HeaderFileTest, CreateReplacesALongerOldFileAndKeepsTheValidatorInItsSlot) {
    const std::wstring path = temp.path() + headerFileName(4);
    ASSERT_TRUE(writeFileBytes(path, std::string(4000, 'x')));
    auto item = sampleItem();
    item->validator = std::wstring(70, L'v');  // longer than the slot: cut to 60 units
    item->segments.clear();
    ASSERT_TRUE(createHeaderFile(*item, temp.path(), errors));
    const std::string bytes = readFileBytes(path);
    EXPECT_EQ(static_cast<int64_t>(bytes.size()), headerFieldOffset(*item, HeaderSegmentStart));
    EXPECT_EQ(valueAt<uint32_t>(bytes, headerFieldOffset(*item, HeaderValidatorLength)), 120u);
    EXPECT_EQ(valueAt<int32_t>(bytes, headerFieldOffset(*item, HeaderSegmentCount)), 0);

    auto back = readHeaderFile(path, errors);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->validator, std::wstring(60, L'v'));
    EXPECT_TRUE(back->segments.empty());  // a header without segments is valid
}

TEST_F(HeaderFileTest, CreateFailsWithFour) {
    auto item = sampleItem();
    EXPECT_FALSE(createHeaderFile(*item, temp.path() + L"missing\\", errors));
    EXPECT_EQ(errors.error(), ErrHeaderFileCreate);

    // Another holder keeps it open without sharing.
    errors.setError(0);
    ScopedHandle held = openFile(temp.path() + headerFileName(4), GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(createHeaderFile(*item, temp.path(), errors));
    EXPECT_EQ(errors.error(), ErrHeaderFileCreate);
}

TEST_F(HeaderFileTest, ReadRestoresTheItem) {
    auto item = sampleItem(17);
    item->validator = L"W/\"abc\"";
    ASSERT_TRUE(item->setUrl(L"ftps://host/dir/f.bin", true));
    ASSERT_TRUE(createHeaderFile(*item, temp.path(), errors));
    std::wstring url;
    auto back = readHeaderFile(item->headerPath, errors, &url);
    ASSERT_NE(back, nullptr) << errors.error();
    EXPECT_EQ(url, L"ftps://host/dir/f.bin");
    EXPECT_EQ(back->fileId, 17);
    EXPECT_EQ(back->headerPath, item->headerPath);
    EXPECT_EQ(back->protocol, ProtocolFtps);
    EXPECT_TRUE(back->implicitTls);
    EXPECT_EQ(back->port, 990);
    EXPECT_EQ(back->nameFromUrl, L"f.bin");
    EXPECT_EQ(back->displayFileName, item->displayFileName);
    EXPECT_EQ(back->savePath, item->savePath);
    EXPECT_EQ(back->dataPath, item->dataPath);
    EXPECT_EQ(back->validator, item->validator);
    EXPECT_EQ(back->referer, L"r");
    EXPECT_EQ(back->userName, L"");
    EXPECT_EQ(back->password, L"pw");
    EXPECT_EQ(back->state, DownloadStateIncomplete);
    EXPECT_EQ(back->size, 300000);
    EXPECT_EQ(back->downloaded, 1000);
    EXPECT_EQ(back->elapsed, 20000000);
    EXPECT_EQ(back->remaining, 299000);
    EXPECT_EQ(back->remainingTime, 123);
    EXPECT_EQ(back->rate, 0.5);
    EXPECT_EQ(back->weight, 0.25);
    EXPECT_EQ(back->requestedSegmentCount, 3);
    ASSERT_EQ(back->segments.size(), 2u);
    EXPECT_EQ(back->segments[1]->owner, back.get());
    EXPECT_EQ(back->segments[1]->start, 204800);
    EXPECT_EQ(back->segments[1]->size, 95200);
    EXPECT_EQ(back->segments[0]->downloaded, 1000);
}

TEST_F(HeaderFileTest, UpdatesInPlace) {
    auto item = sampleItem();
    ASSERT_TRUE(createHeaderFile(*item, temp.path(), errors));
    {
        // As the engine does while the file downloads: single fields at their offsets.
        ScopedHandle file = openFile(item->headerPath, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
        ASSERT_TRUE(file.valid());
        item->downloaded = 250000;
        item->segments[1]->downloaded = 45200;
        item->state = DownloadStateTransferring;
        item->validator = L"\"v2\"";
        for (auto [field, index] : {std::pair{HeaderDownloaded, 0}, std::pair{HeaderSegmentDownloaded, 1},
                                    std::pair{HeaderState, 0}, std::pair{HeaderValidatorLength, 0},
                                    std::pair{HeaderValidator, 0}}) {
            LARGE_INTEGER at;
            at.QuadPart = headerFieldOffset(*item, field, index);
            const std::string bytes = headerFieldBytes(*item, field, index);
            ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN));
            ASSERT_TRUE(writeAll(file.get(), bytes.data(), bytes.size()));
        }
    }
    EXPECT_EQ(readFileBytes(item->headerPath).size(), expectedHeaderBytes().size());
    auto back = readHeaderFile(item->headerPath, errors);
    ASSERT_NE(back, nullptr) << errors.error();
    EXPECT_EQ(back->downloaded, 250000);
    EXPECT_EQ(back->segments[1]->downloaded, 45200);
    EXPECT_EQ(back->segments[0]->downloaded, 1000);
    EXPECT_EQ(back->state, DownloadStateTransferring);
    EXPECT_EQ(back->validator, L"\"v2\"");
    EXPECT_EQ(back->password, L"pw");

    EXPECT_EQ(headerFieldBytes(*item, HeaderStateSlot), "");
    EXPECT_EQ(headerFieldBytes(*item, HeaderSegmentStart, 2), "");
}

TEST_F(HeaderFileTest, RefusesHeadersThatAreNotClosed) {
    std::string bytes = expectedHeaderBytes();
    std::memset(&bytes[0], 0, 4);
    std::wstring url;
    const std::wstring path = temp.path() + headerFileName(4);
    ASSERT_TRUE(writeFileBytes(path, bytes));
    EXPECT_EQ(readHeaderFile(path, errors, &url), nullptr);
    EXPECT_EQ(errors.error(), ErrHeaderNotClosed);
    EXPECT_EQ(url, L"http://a/b");
}

TEST_F(HeaderFileTest, RefusesMissingFilesAndBadUrls) {
    EXPECT_EQ(readHeaderFile(temp.path() + headerFileName(9), errors), nullptr);
    EXPECT_EQ(errors.error(), ErrHeaderFileOpen);

    std::string bytes;
    put(bytes, uint32_t{0x2AC87F1E});
    putText(bytes, L"gopher://a/b");
    bytes += expectedHeaderBytes().substr(28);
    EXPECT_EQ(readBytes(bytes), nullptr);
    EXPECT_EQ(errors.error(), ErrUrlParse);
}

TEST_F(HeaderFileTest, RefusesTruncatedHeadersWithSix) {
    const std::string bytes = expectedHeaderBytes();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_EQ(readBytes(bytes.substr(0, length)), nullptr) << length;
        EXPECT_EQ(errors.error(), ErrHeaderFileRead) << length;
    }
    EXPECT_NE(readBytes(bytes), nullptr);
}

TEST_F(HeaderFileTest, RefusesCorruptValuesWithSix) {
    auto item = sampleItem();
    const std::string good = expectedHeaderBytes();
    auto corrupt = [&](int32_t field, int32_t index, auto value) {
        std::string bytes = good;
        std::memcpy(&bytes[static_cast<std::size_t>(headerFieldOffset(*item, field, index))], &value,
                    sizeof(value));
        return bytes;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<const char*, std::string> cases[] = {
        {"odd URL length", corrupt(HeaderUrlLength, 0, uint32_t{19})},
        {"URL past the end", corrupt(HeaderUrlLength, 0, uint32_t{0x7FFFFFFE})},
        {"huge name length", corrupt(HeaderDisplayNameLength, 0, uint32_t{0xFFFFFFFE})},
        {"odd name length", corrupt(HeaderDisplayNameLength, 0, uint32_t{3})},
        {"validator over its slot", corrupt(HeaderValidatorLength, 0, uint32_t{122})},
        {"password past the end", corrupt(HeaderPasswordLength, 0, uint32_t{4000})},
        {"TLS flag 2", corrupt(HeaderImplicitTls, 0, uint8_t{2})},
        {"state 4", corrupt(HeaderState, 0, int32_t{4})},
        {"size -2", corrupt(HeaderSize, 0, int64_t{-2})},
        {"downloaded over size", corrupt(HeaderDownloaded, 0, int64_t{300001})},
        {"negative downloaded", corrupt(HeaderDownloaded, 0, int64_t{-1})},
        {"rate NaN", corrupt(HeaderRate, 0, nan)},
        {"weight over 1", corrupt(HeaderWeight, 0, 1.5)},
        {"no requested segments", corrupt(HeaderRequestedSegmentCount, 0, int32_t{0})},
        {"segment count over the file", corrupt(HeaderSegmentCount, 0, int32_t{3})},
        {"huge segment count", corrupt(HeaderSegmentCount, 0, int32_t{0x7FFFFFFF})},
        {"negative segment count", corrupt(HeaderSegmentCount, 0, int32_t{-1})},
        {"segment past the size", corrupt(HeaderSegmentSize, 1, int64_t{95201})},
        {"segment start negative", corrupt(HeaderSegmentStart, 0, int64_t{-1})},
        {"segment start far out", corrupt(HeaderSegmentStart, 1, int64_t{0x7FFFFFFFFFFFFFF0})},
        {"segment size overflowing", corrupt(HeaderSegmentSize, 1, int64_t{0x7FFFFFFFFFFFFFF0})},
        {"segment downloaded over its size", corrupt(HeaderSegmentDownloaded, 1, int64_t{95201})},
        {"unknown size segment", corrupt(HeaderSize, 0, int64_t{-1})},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(readBytes(bytes), nullptr) << what;
        EXPECT_EQ(errors.error(), ErrHeaderFileRead) << what;
    }
}

TEST_F(HeaderFileTest, FileIdComesFromTheName) {
    EXPECT_EQ(headerFileId(headerFileName(0)), 0);
    EXPECT_EQ(headerFileId(L"C:\\a_b.c\\" + headerFileName(123)), 123);
    EXPECT_EQ(headerFileId(L"C:\\t\\x_12.dat"), 12);
    EXPECT_EQ(headerFileId(L"C:\\t\\x12.dat"), -1);  // no "_"
    EXPECT_EQ(headerFileId(L"C:\\t\\x_12"), -1);     // no "."
    EXPECT_EQ(headerFileId(L"C:\\t\\x.y_12"), -1);   // "_" after "."
    EXPECT_EQ(headerFileId(L"C:\\t\\x_1a.dat"), -1);
    EXPECT_EQ(headerFileId(L"C:\\t\\x_-3.dat"), -1);
    EXPECT_EQ(headerFileId(L"C:\\t\\x_.dat"), -1);

    const std::string bytes = expectedHeaderBytes();
    for (const wchar_t* name : {L"hdr_x.hdr", L"hdr.x_1", L"hdr5.hdr"}) {
        EXPECT_EQ(readBytes(bytes, name), nullptr) << name;
        EXPECT_EQ(errors.error(), ErrHeaderFileRead) << name;
    }
    auto item = readBytes(bytes, L"other_41.bin");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->fileId, 41);
}

TEST(HeaderFolder, SubfolderRules) {
    const std::wstring base = defaultHeaderFolder();
    ASSERT_GT(base.size(), 3u);
    EXPECT_EQ(base.back(), L'\\');
    EXPECT_EQ(headerFolderForSubfolder(L""), L"");
    EXPECT_EQ(headerFolderForSubfolder(L"  "), L"");
    EXPECT_EQ(headerFolderForSubfolder(L"D:\\headers"), L"D:\\headers\\");
    EXPECT_EQ(headerFolderForSubfolder(L" D:\\headers\\ "), L"D:\\headers\\");
    EXPECT_EQ(headerFolderForSubfolder(L"\\\\?\\D:\\h"), L"\\\\?\\D:\\h\\");
    EXPECT_EQ(headerFolderForSubfolder(L"\\\\server\\share\\h"), L"\\\\server\\share\\h\\");
    EXPECT_EQ(headerFolderForSubfolder(L"session 1"), base + L"session 1\\");
    EXPECT_EQ(headerFolderForSubfolder(L"a\\b"), base + L"a\\b\\");
}

TEST(HeaderFolder, FindsAndDeletesOnlyHeaderFiles) {
    TempFolder temp;
    for (const std::wstring& name : {headerFileName(0), headerFileName(12), std::wstring(L"photo.jpg.tmp"),
                                     std::wstring(L"notes_1.txt")}) {
        ASSERT_TRUE(writeFileBytes(temp.file(name), "x"));
    }
    ASSERT_TRUE(CreateDirectoryW(temp.file(headerFileName(5)).c_str(), nullptr));

    std::vector<std::wstring> found = findHeaderFiles(temp.path());
    std::sort(found.begin(), found.end());
    std::vector<std::wstring> expected = {temp.file(headerFileName(0)), temp.file(headerFileName(12))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);

    deleteHeaderFiles(temp.path());
    EXPECT_TRUE(findHeaderFiles(temp.path()).empty());
    EXPECT_EQ(readFileBytes(temp.file(L"photo.jpg.tmp")), "x");
    EXPECT_EQ(readFileBytes(temp.file(L"notes_1.txt")), "x");
    EXPECT_TRUE(findHeaderFiles(L"").empty());
    deleteHeaderFiles(L"");  // nothing to do

    // A control's own scope: its files, and those of controls whose process has ended, go; those of
    // living controls and the plain names stay.
    const std::wstring own = uniqueHeaderNameScope();
    const std::wstring sibling = uniqueHeaderNameScope();
    const std::wstring names[] = {headerFileName(1, own), headerFileName(1, L"-FFFFFFF0-01D0000000000000-1"),
                                  headerFileName(1, sibling), headerFileName(1)};
    for (const std::wstring& name : names) {
        ASSERT_TRUE(writeFileBytes(temp.file(name), "x"));
    }
    EXPECT_EQ(findHeaderFiles(temp.path(), own), std::vector<std::wstring>{temp.file(names[0])});
    deleteHeaderFiles(temp.path(), own);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetFileAttributesW(temp.file(names[i]).c_str()) != INVALID_FILE_ATTRIBUTES, i >= 2) << i;
    }
}

}  // namespace
