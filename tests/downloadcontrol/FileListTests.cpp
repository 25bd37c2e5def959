#include <gtest/gtest.h>

#include "downloadcontrol/engine/DownloadUrl.h"
#include "downloadcontrol/engine/FileList.h"

namespace {

TEST(DownloadUrl, SchemesPortsAndParts) {
    DownloadUrl url;
    ASSERT_TRUE(parseDownloadUrl(L"HTTP://Example.com/photos/a b.jpg?x=1", false, url));
    EXPECT_EQ(url.protocol, ProtocolHttp);
    EXPECT_EQ(url.host, L"Example.com");
    EXPECT_EQ(url.port, 80);
    EXPECT_EQ(url.path, L"/photos/a b.jpg?x=1");
    EXPECT_EQ(url.folder, L"HTTP://Example.com/photos/");
    EXPECT_EQ(url.nameFromUrl, L"a b.jpg?x=1");

    ASSERT_TRUE(parseDownloadUrl(L"https://127.0.0.1:8443/f", false, url));
    EXPECT_EQ(url.protocol, ProtocolHttps);
    EXPECT_EQ(url.host, L"127.0.0.1");
    EXPECT_EQ(url.port, 8443);
    EXPECT_EQ(url.path, L"/f");

    ASSERT_TRUE(parseDownloadUrl(L"ftp://h/dir/file.bin", false, url));
    EXPECT_EQ(url.protocol, ProtocolFtp);
    EXPECT_EQ(url.port, 21);
    ASSERT_TRUE(parseDownloadUrl(L"ftps://h/file.bin", true, url));
    EXPECT_EQ(url.protocol, ProtocolFtps);
    EXPECT_EQ(url.port, 990);
    EXPECT_TRUE(url.implicitTls);
    ASSERT_TRUE(parseDownloadUrl(L"FTPS://h/file.bin", false, url));
    EXPECT_EQ(url.port, 21);
    EXPECT_FALSE(url.implicitTls);

    // No path: the default path; the last "/" is the one of "://".
    ASSERT_TRUE(parseDownloadUrl(L"http://127.0.0.1", false, url));
    EXPECT_EQ(url.host, L"127.0.0.1");
    EXPECT_EQ(url.path, L"/");
    EXPECT_EQ(url.nameFromUrl, L"127.0.0.1");
    ASSERT_TRUE(parseDownloadUrl(L"http://h:8080", false, url));
    EXPECT_EQ(url.port, 8080);
    EXPECT_EQ(url.path, L"/");
    ASSERT_TRUE(parseDownloadUrl(L"http://h:1/", false, url));
    EXPECT_EQ(url.port, 1);
    ASSERT_TRUE(parseDownloadUrl(L"http://h:65535/", false, url));
    EXPECT_EQ(url.port, 65535);
}

TEST(DownloadUrl, RefusedUrls) {
    DownloadUrl url;
    url.host = L"unchanged";
    for (const wchar_t* text : {L"", L"no-separator", L"gopher://h/", L"http:/h/x", L"//h/x", L"http:///x",
                                L"http://h:x/", L"http://h:/x", L"http://h:0/", L"http://h:65536/",
                                L"http://h:99999/", L"http://h:-80/", L"http://h: 80/", L"htt p://h/"}) {
        EXPECT_FALSE(parseDownloadUrl(text, false, url)) << text;
    }
    EXPECT_EQ(url.host, L"unchanged");
}

class FileListTest : public ::testing::Test {
protected:
    int32_t add(const std::wstring& url, const std::wstring& fileSize = L"-1",
                const std::wstring& savePath = L"", int32_t segmentCount = 0) {
        AddFileRequest request;
        request.url = url;
        request.fileSize = fileSize;
        request.savePath = savePath;
        request.segmentCount = segmentCount;
        return list.addFile(request, errors);
    }
    std::wstring info(int32_t fileId, int32_t field) { return list.fileInfo(fileId, field, errors); }

    CriticalSection controlLock;
    FileList list{controlLock};
    LastErrorHolder errors;
};

TEST_F(FileListTest, AddFileStoresTheRequest) {
    AddFileRequest request;
    request.url = L"http://h/a/photo.jpg";
    request.fileSize = L"1048576";
    request.displayFileName = L"  Photo 1.jpg \t";
    request.savePath = L" C:\\out\\photo.jpg ";
    request.segmentCount = 5;
    request.referer = L" http://h/ ";
    request.userName = L"user";
    request.password = L" secret ";
    std::size_t index = 99;
    ASSERT_EQ(list.addFile(request, errors, &index), 0);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(errors.error(), 0);

    const DownloadItem& item = *list.at(0);
    EXPECT_EQ(item.state, DownloadStateNew);
    EXPECT_EQ(item.size, 1048576);
    EXPECT_EQ(item.remaining, 1048576);
    EXPECT_EQ(item.requestedSegmentCount, 5);
    EXPECT_EQ(item.displayFileName, L"Photo 1.jpg");
    EXPECT_EQ(item.savePath, L"C:\\out\\photo.jpg");
    EXPECT_EQ(item.referer, L" http://h/ ");
    EXPECT_EQ(item.password, L" secret ");
    EXPECT_EQ(item.fileTime.dwLowDateTime, 0u);
    EXPECT_EQ(item.fileTime.dwHighDateTime, 0u);
    EXPECT_EQ(item.dataPath, L"");

    EXPECT_EQ(info(0, FileInfoUrl), L"http://h/a/photo.jpg");
    EXPECT_EQ(info(0, FileInfoState), L"0");
    EXPECT_EQ(info(0, FileInfoSize), L"1048576");
    EXPECT_EQ(info(0, FileInfoDownloaded), L"0");
    EXPECT_EQ(info(0, FileInfoRemaining), L"1048576");
    EXPECT_EQ(info(0, FileInfoRemainingSeconds), L"-1");
    EXPECT_EQ(info(0, FileInfoRate), L"0.00");
    EXPECT_EQ(info(0, FileInfoSegmentCount), L"-1");
    EXPECT_EQ(info(0, FileInfoRequestedSegmentCount), L"5");
    EXPECT_EQ(info(0, FileInfoFinalPath), L"");  // no data path before the first run
    EXPECT_EQ(info(0, FileInfoReferer), L" http://h/ ");
    EXPECT_EQ(info(0, FileInfoUserName), L"user");
    EXPECT_EQ(info(0, FileInfoPassword), L" secret ");
    EXPECT_EQ(info(0, FileInfoDisplayFileName), L"Photo 1.jpg");
    EXPECT_EQ(info(0, FileInfoNameFromUrl), L"photo.jpg");
    EXPECT_EQ(info(0, FileInfoReplyText), L"");
    EXPECT_EQ(errors.error(), 0);
}

TEST_F(FileListTest, FileSizeTexts) {
    ASSERT_EQ(add(L"http://h/1", L"-1"), 0);
    ASSERT_EQ(add(L"http://h/2", L"abc"), 1);
    ASSERT_EQ(add(L"http://h/3", L""), 2);
    ASSERT_EQ(add(L"http://h/4", L" 5"), 3);
    ASSERT_EQ(add(L"http://h/5", L"-20"), 4);
    ASSERT_EQ(add(L"http://h/6", L"1048576"), 5);
    ASSERT_EQ(add(L"http://h/7", L"8589934592"), 6);
    const int64_t expected[] = {-1, -1, -1, -1, -1, 1048576, 8589934592LL};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(list.at(i)->size, expected[i]) << i;
        EXPECT_EQ(list.at(i)->remaining, expected[i]) << i;
    }
    EXPECT_EQ(list.at(0)->requestedSegmentCount, kDefaultSegmentCount);
}

TEST_F(FileListTest, SavePathTimeSuffix) {
    ASSERT_EQ(add(L"http://h/1", L"-1", L"C:\\x\\a.jpg|123-456"), 0);
    EXPECT_EQ(list.at(0)->savePath, L"C:\\x\\a.jpg");
    EXPECT_EQ(list.at(0)->fileTime.dwLowDateTime, 123u);
    EXPECT_EQ(list.at(0)->fileTime.dwHighDateTime, 456u);

    ASSERT_EQ(add(L"http://h/2", L"-1", L"C:\\x|y\\b.jpg |4294967295-30000000"), 1);
    EXPECT_EQ(list.at(1)->savePath, L"C:\\x|y\\b.jpg");
    EXPECT_EQ(list.at(1)->fileTime.dwLowDateTime, 4294967295u);
    EXPECT_EQ(list.at(1)->fileTime.dwHighDateTime, 30000000u);

    ASSERT_EQ(add(L"http://h/3", L"-1", L"\\sub\\c.jpg|"), 2);
    EXPECT_EQ(list.at(2)->savePath, L"\\sub\\c.jpg");
    EXPECT_EQ(list.at(2)->fileTime.dwLowDateTime, 0u);
}

TEST_F(FileListTest, RefusedUrlsAndDuplicates) {
    EXPECT_EQ(add(L"gopher://h/x"), -1);
    EXPECT_EQ(errors.error(), ErrUrlParse);
    EXPECT_EQ(add(L"http://h:70000/x"), -1);
    EXPECT_EQ(errors.error(), ErrUrlParse);
    EXPECT_EQ(list.size(), 0u);

    // A URL that did not parse uses no id; a refused duplicate does.
    EXPECT_EQ(add(L"http://h/Photo.JPG"), 0);
    EXPECT_EQ(add(L"HTTP://H/photo.jpg"), -1);
    EXPECT_EQ(errors.error(), ErrDuplicateUrl);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(add(L"http://h/other.jpg"), 2);
    EXPECT_EQ(info(99, FileInfoFileCount), L"2");
}

TEST_F(FileListTest, IdsCountOnAfterRemoveAndRestartAfterClear) {
    EXPECT_EQ(add(L"http://h/0"), 0);
    EXPECT_EQ(add(L"http://h/1"), 1);
    EXPECT_EQ(add(L"http://h/2"), 2);
    EXPECT_EQ(list.removeFile(1), 1);
    EXPECT_EQ(list.removeFile(1), -1);  // already gone
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(1)->fileId, 2);  // later items move up
    EXPECT_EQ(add(L"http://h/1"), 3);  // the removed URL may come back, with a new id
    list.clear();
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(add(L"http://h/0"), 0);
}

TEST_F(FileListTest, FileInfoErrorsAndFileCount) {
    EXPECT_EQ(info(5, FileInfoFileCount), L"0");
    EXPECT_EQ(errors.error(), 0);
    EXPECT_EQ(info(5, FileInfoUrl), L"");
    EXPECT_EQ(errors.error(), ErrNoSuchFile);

    ASSERT_EQ(add(L"http://h/0"), 0);
    EXPECT_EQ(info(7, FileInfoFileCount), L"1");
    for (int32_t field : {-1, 18, 1000}) {
        errors.setError(0);
        EXPECT_EQ(info(0, field), L"");
        EXPECT_EQ(errors.error(), ErrFileInfoField) << field;
    }
    errors.setError(0);
    EXPECT_EQ(list.segmentInfo(3, 0, 0, errors), L"");
    EXPECT_EQ(errors.error(), ErrNoSuchFile);
    EXPECT_EQ(list.segmentInfo(0, 0, 0, errors), L"");
    EXPECT_EQ(errors.error(), ErrSegmentIndex);
}

TEST_F(FileListTest, EngineFieldsReadBack) {
    ASSERT_EQ(add(L"http://h/big.bin", L"1000000"), 0);
    {
        CriticalSectionLock lock(list.lock());
        DownloadItem& item = *list.at(0);
        item.state = DownloadStateTransferring;
        item.dataPath = L"C:\\out\\big.bin" + dataFileSuffix();
        item.downloaded = 400000;
        item.remaining = 600000;
        item.elapsed = 25000000;        // 2.5 s
        item.remainingTime = 37500000;  // 3.75 s
        item.rate = 156.25;
        for (int64_t start : {0, 333334, 666668}) {
            auto segment = std::make_unique<FileSegment>();
            segment->owner = &item;
            segment->start = start;
            segment->size = start == 666668 ? 333332 : 333334;
            segment->downloaded = start == 0 ? 333334 : 33333;
            item.segments.push_back(std::move(segment));
        }
    }
    EXPECT_EQ(info(0, FileInfoState), L"2");
    EXPECT_EQ(info(0, FileInfoElapsedSeconds), L"2");
    EXPECT_EQ(info(0, FileInfoRemainingSeconds), L"3");
    EXPECT_EQ(info(0, FileInfoRate), L"156.25");
    EXPECT_EQ(info(0, FileInfoSegmentCount), L"3");
    EXPECT_EQ(info(0, FileInfoFinalPath), L"C:\\out\\big.bin");
    EXPECT_EQ(list.segmentInfo(0, 2, SegmentInfoStart, errors), L"666668");
    EXPECT_EQ(list.segmentInfo(0, 2, SegmentInfoSize, errors), L"333332");
    EXPECT_EQ(list.segmentInfo(0, 0, SegmentInfoDownloaded, errors), L"333334");
    EXPECT_EQ(errors.error(), 0);
    EXPECT_EQ(list.segmentInfo(0, 3, SegmentInfoStart, errors), L"");
    EXPECT_EQ(errors.error(), ErrSegmentIndex);
    EXPECT_EQ(list.segmentInfo(0, -1, SegmentInfoStart, errors), L"");
    EXPECT_EQ(errors.error(), ErrSegmentIndex);
    EXPECT_EQ(list.segmentInfo(0, 1, 3, errors), L"");
    EXPECT_EQ(errors.error(), ErrSegmentInfoField);

    // Under a second of transfer there is no estimate yet, unless the file is complete.
    {
        CriticalSectionLock lock(list.lock());
        list.at(0)->elapsed = 9999999;
    }
    EXPECT_EQ(info(0, FileInfoRemainingSeconds), L"-1");
    {
        CriticalSectionLock lock(list.lock());
        list.at(0)->downloaded = 1000000;
        list.at(0)->remainingTime = 0;
    }
    EXPECT_EQ(info(0, FileInfoRemainingSeconds), L"0");
}

TEST_F(FileListTest, AppendKeepsIdsAheadAndRefusesListedUrls) {
    auto resumed = std::make_unique<DownloadItem>();
    ASSERT_TRUE(resumed->setUrl(L"http://h/r", false));
    resumed->fileId = 7;
    EXPECT_EQ(list.append(std::move(resumed), errors), nullptr);
    EXPECT_EQ(list.nextFileId(), 8);
    EXPECT_EQ(add(L"http://h/new"), 8);

    auto duplicate = std::make_unique<DownloadItem>();
    ASSERT_TRUE(duplicate->setUrl(L"HTTP://h/R", false));
    duplicate->fileId = 3;
    auto refused = list.append(std::move(duplicate), errors);
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->fileId, 3);
    EXPECT_EQ(errors.error(), ErrDuplicateUrl);
    EXPECT_EQ(list.size(), 2u);
}

TEST(DownloadItem, FinalPathAndFailedFlag) {
    DownloadItem item;
    EXPECT_EQ(dataFileSuffix(), L".tmp");
    EXPECT_EQ(item.finalPath(), L"");
    item.dataPath = L"abc";
    EXPECT_EQ(item.finalPath(), L"");
    item.dataPath = L"C:\\f.jpg.tmp";
    EXPECT_EQ(item.finalPath(), L"C:\\f.jpg");
    EXPECT_FALSE(item.failed());
    item.setFailed(true);
    EXPECT_TRUE(item.failed());

    EXPECT_FALSE(item.setUrl(L"bad", false));
    EXPECT_EQ(item.url, L"");
    ASSERT_TRUE(item.setUrl(L"ftps://srv:2121/d/f.bin", true));
    EXPECT_EQ(item.protocol, ProtocolFtps);
    EXPECT_EQ(item.port, 2121);
    EXPECT_TRUE(item.implicitTls);
    EXPECT_EQ(item.urlFolder, L"ftps://srv:2121/d/");
    EXPECT_EQ(item.nameFromUrl, L"f.bin");
    EXPECT_EQ(item.path, L"/d/f.bin");
}

}  // namespace
