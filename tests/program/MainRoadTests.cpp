// The main road of Pixhaul.exe on the fixture site: a user typed and entered, the pages and
// thumbnails it asks for, the thumbnail files it keeps, the messages that end a load, Stop and Go.
#include <gtest/gtest.h>

#include <map>

#include "program/MainRoadSupport.h"

namespace {

using mainroad::LoggedRequest;
using mainroad::MainRoadSession;
using mainroad::ThumbnailFile;

constexpr int kLoadMs = 60000;
// A page retried until its message: 3000 ms apart, 7 tries at most.
constexpr int kGiveUpMs = 40000;
// A feed page that is no feed: 7 tries 6 s apart.
constexpr int kFeedGiveUpMs = 60000;
constexpr ULONGLONG kItemStep = 30000000;  // 3 s in FILETIME units

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

ULONGLONG ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG now() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return ticks(time);
}

// "alice_" and 32 lower-case hexadecimal digits, then the extension.
bool isWorkFileName(const std::wstring& name, const std::wstring& user, const std::wstring& extension) {
    const std::wstring prefix = user + L"_";
    if (name.size() != prefix.size() + 32 + extension.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(prefix.size() + 32, std::wstring::npos, extension) != 0)
        return false;
    for (size_t i = prefix.size(); i < prefix.size() + 32; ++i)
        if (!iswxdigit(name[i]) || iswupper(name[i]))
            return false;
    return true;
}

size_t countPath(const std::vector<LoggedRequest>& requests, const std::string& path) {
    size_t count = 0;
    for (const LoggedRequest& request : requests)
        count += request.path == path ? 1 : 0;
    return count;
}

class MainRoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.start()); }

    MainRoadSession session;
};

TEST_F(MainRoad, AliceLoadsInBatchesIntoStampedFilesThenBobReplacesThem) {
    ASSERT_TRUE(session.site().setMode("thumb_delay_ms=300"));
    const ULONGLONG entered = now();
    session.typeUserName(L"alice");
    ASSERT_TRUE(session.waitForUserNameText(L"alice", kLoadMs))
        << narrow(session.userNameText()) << " " << session.thumbnailFiles().size() << " "
        << session.site().logText();
    ASSERT_TRUE(session.waitForThumbnailCount(45, 5000))
        << session.thumbnailFiles().size() << " " << session.site().logText();
    session.saveScreenshot(L"main-road-alice-grid.png");

    EXPECT_EQ(session.countRequests("/alice"), 4u);
    const std::vector<LoggedRequest> thumbnails = session.requests("/cdn/alice/l/");
    std::map<std::string, int> perItem;
    for (const LoggedRequest& request : thumbnails)
        ++perItem[request.path];
    EXPECT_EQ(thumbnails.size(), 45u);
    EXPECT_EQ(perItem.size(), 45u);
    // Twenty at a time in feed order: item n of 45 is 1001_(45 - n).jpg.
    const auto batchOf = [](const LoggedRequest& request) {
        const size_t number = std::stoul(request.path.substr(request.path.rfind('_') + 1));
        return (45 - std::min<size_t>(number, 45)) / 20;
    };
    EXPECT_EQ(mainroad::batchesOneAfterAnother(thumbnails, batchOf), (std::vector<size_t>{20, 20, 5}));
    EXPECT_TRUE(session.waitForGoFace(true));
    EXPECT_FALSE(session.pieVisible());
    EXPECT_FALSE(session.messageBoxShown());

    // Each file holds its item's picture, stamped 3 s earlier than the item before it in the feed.
    ASSERT_TRUE(session.site().setMode("thumb_delay_ms=0"));
    std::map<std::string, size_t> itemOfBytes;
    for (size_t item = 0; item < 45; ++item) {
        const std::string path = "/cdn/alice/l/1001_" + std::to_string(45 - item) + ".jpg";
        itemOfBytes[testsupport::httpExchange(session.site().imagePort(), "GET", path)] = item;
    }
    const std::vector<ThumbnailFile> files = session.thumbnailFiles();
    ASSERT_EQ(files.size(), 45u);
    std::map<size_t, ULONGLONG> timeOfItem;
    for (const ThumbnailFile& file : files) {
        EXPECT_TRUE(isWorkFileName(file.name, L"alice", L".jpg")) << file.name.size();
        auto found = itemOfBytes.find(file.bytes);
        ASSERT_NE(found, itemOfBytes.end()) << "a file with bytes that were not served";
        timeOfItem[found->second] = ticks(file.time);
    }
    ASSERT_EQ(timeOfItem.size(), 45u);
    const ULONGLONG first = timeOfItem[0];
    EXPECT_LT(first > entered ? first - entered : entered - first, 600000000ull);
    for (size_t item = 0; item < 45; ++item)
        EXPECT_EQ(first - timeOfItem[item], item * kItemStep) << "item " << item;

    // The next user's load takes the old user's work files away.
    session.typeUserName(L"bob");
    ASSERT_TRUE(session.waitForUserNameText(L"bob", kLoadMs));
    ASSERT_TRUE(session.waitForThumbnailCount(1, 10000));
    EXPECT_TRUE(isWorkFileName(session.thumbnailFiles().at(0).name, L"bob", L".jpg"));
    EXPECT_FALSE(session.messageBoxShown());
}

TEST_F(MainRoad, ProfilesThatEndALoadSayWhy) {
    session.typeUserName(L"nosuchuser");
    EXPECT_EQ(session.answerMessageBox(kGiveUpMs),
              L"Pixhaul: Instagram username \"nosuchuser\" doesn't exist.");
    EXPECT_EQ(session.countRequests("/nosuchuser"), 3u);
    session.saveScreenshot(L"main-road-nosuchuser.png");
    EXPECT_TRUE(session.waitForGoFace(true));

    // A redirect is not followed: the profile does not exist under this name.
    session.typeUserName(L"moved");
    EXPECT_EQ(session.answerMessageBox(kGiveUpMs), L"Pixhaul: Instagram username \"moved\" doesn't exist.");
    EXPECT_EQ(session.countRequests("/moved"), 3u);
    EXPECT_EQ(session.countRequests("/alice"), 0u);

    for (const std::wstring name : {L"zero", L"private"}) {
        session.typeUserName(name);
        EXPECT_EQ(session.answerMessageBox(kLoadMs),
                  L"Pixhaul: Instagram user \"" + name + L"\" doesn't have public photos.");
    }

    // A media count that is no number: the photos load and nothing is said about missing ones.
    // The box never shows a count the profile did not give.
    session.typeUserName(L"nocount");
    bool countShown = false;
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            countShown = countShown || session.userNameText().find(L"-1") != std::wstring::npos;
            return session.thumbnailFiles().size() == 3 && session.userNameText() == L"nocount";
        },
        kLoadMs));
    EXPECT_FALSE(countShown);
    EXPECT_FALSE(session.messageBoxShown());

    // A pasted profile link loads the user at its end, with the requests of the typed name: a
    // query or fragment a shared link carries belongs to no name.
    std::vector<std::string> typedRequests;
    for (const std::wstring tail : {L"/Alice/", L"/alice/?hl=en", L"/alice?igsh=abc", L"/alice#top"}) {
        session.site().reset();
        session.pasteUserName(L"http://" + session.site().serviceHost() + tail);
        EXPECT_TRUE(session.waitForUserNameText(L"alice", kLoadMs)) << narrow(tail);
        EXPECT_TRUE(session.waitForThumbnailCount(45, 10000));
        std::vector<std::string> pages;
        for (const LoggedRequest& request : session.requests("/alice"))
            pages.push_back(request.path);
        if (typedRequests.empty())
            typedRequests = pages;
        EXPECT_EQ(pages, typedRequests) << narrow(tail);
    }
    EXPECT_EQ(typedRequests.size(), 4u);
}

TEST_F(MainRoad, ThumbnailsThatFailAreQueuedAgainOrGivenUp) {
    // Two photos share one address: the second is fetched once the first has left the list.
    session.typeUserName(L"dupthumb");
    ASSERT_TRUE(session.waitForUserNameText(L"dupthumb", kLoadMs));
    EXPECT_TRUE(session.waitForThumbnailCount(4, 5000));
    EXPECT_EQ(session.countRequests("/cdn/dupthumb/l/1404_4.jpg"), 2u);
    EXPECT_TRUE(session.waitForGoFace(true));
    const size_t dupthumbRequests = session.countRequests("/cdn/dupthumb/");

    // An address with a query still gives the picture's extension.
    session.typeUserName(L"querythumb");
    ASSERT_TRUE(session.waitForUserNameText(L"querythumb", kLoadMs));
    ASSERT_TRUE(session.waitForThumbnailCount(3, 5000));
    for (const ThumbnailFile& file : session.thumbnailFiles())
        EXPECT_TRUE(isWorkFileName(file.name, L"querythumb", L".jpg")) << narrow(file.name);

    // Refused pictures are asked for once; the server's error is tried in every pass until the
    // seventh pass in a row without a new thumbnail gives up.
    session.typeUserName(L"refused");
    EXPECT_EQ(session.answerMessageBox(kGiveUpMs),
              L"Pixhaul: 1 photo cannot be downloaded. Please try again.");
    EXPECT_EQ(session.countRequests("/cdn/refused/l/1101_5.jpg"), 1u);
    EXPECT_EQ(session.countRequests("/cdn/refused/l/1101_3.jpg"), 1u);
    EXPECT_EQ(session.countRequests("/cdn/refused/l/1101_2.jpg"), 8u);
    EXPECT_TRUE(session.waitForThumbnailCount(3, 5000));
    EXPECT_TRUE(session.waitForGoFace(true));

    // An empty reply is no thumbnail.
    session.typeUserName(L"zerobyte");
    EXPECT_EQ(session.answerMessageBox(kGiveUpMs),
              L"Pixhaul: 1 photo cannot be downloaded. Please try again.");
    EXPECT_EQ(session.countRequests("/cdn/dupthumb/"), dupthumbRequests) << "a finished load asked again";
}

TEST_F(MainRoad, FailingFeedPagesAreRetriedThenGivenUp) {
    // Two failed profile pages and three failed second pages are retried until they come.
    session.typeUserName(L"flaky");
    ASSERT_TRUE(session.waitForUserNameText(L"flaky", kLoadMs));
    EXPECT_TRUE(session.waitForThumbnailCount(25, 5000));
    EXPECT_EQ(countPath(session.requests("/flaky"), "/flaky"), 3u);
    EXPECT_EQ(session.countRequests("/flaky/media?max_id="), 4u);
    EXPECT_FALSE(session.messageBoxShown());

    // A feed page that is no feed is asked for 7 times in all.
    session.typeUserName(L"badfeed");
    EXPECT_EQ(session.answerMessageBox(kFeedGiveUpMs),
              L"Pixhaul: There are some temporary server issues. Please try again.");
    EXPECT_EQ(session.countRequests("/badfeed/media"), 7u);

    // A feed that names the same page again and again ends with its first page's photos.
    session.typeUserName(L"loop");
    EXPECT_EQ(session.answerMessageBox(kFeedGiveUpMs),
              L"Pixhaul: There are some temporary server issues. Please try again.");
    EXPECT_TRUE(session.waitForThumbnailCount(20, 5000));
    const size_t loopRequests = session.countRequests("/loop");
    session.typeUserName(L"bob");
    ASSERT_TRUE(session.waitForUserNameText(L"bob", kLoadMs));
    EXPECT_EQ(session.countRequests("/loop"), loopRequests);
}

TEST_F(MainRoad, GoLoadsAgainAfterAPageFailureWhileThumbnailsStillCome) {
    // The second page fails for good while the first page's thumbnails are held back.
    ASSERT_TRUE(session.site().setMode("thumb_delay_ms=60000"));
    session.typeUserName(L"halfway");
    EXPECT_EQ(session.answerMessageBox(kGiveUpMs),
              L"Pixhaul: There are some temporary server issues. Please try again.");
    EXPECT_TRUE(session.waitForUserNameText(L"halfway", 5000));
    // The Enter that loaded left the focus outside the box, and there it stays.
    EXPECT_FALSE(session.userNameEditFocused());
    session.clickStartStop();
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return countPath(session.requests("/halfway"), "/halfway") == 2; }, 10000));
    EXPECT_FALSE(session.userNameEditFocused());
}

TEST_F(MainRoad, StopAndGoThenAnotherUserTakesOver) {
    // A profile page that never comes: Stop pauses without a word, Go asks for it again.
    session.typeUserName(L"stall");
    ASSERT_TRUE(session.waitForRequests("/stall", 1, 5000));
    session.clickStartStop();
    // Stopped, the box shows the name instead of the loading text. The face itself is checked after
    // loads that end on their own: right after a click, a hover tint that Wine sometimes leaves on
    // the button blurs the comparison of its writing.
    const bool stopped = testsupport::waitUntil([&] { return session.userNameText() == L"stall"; }, 5000);
    session.saveScreenshot(L"main-road-stall-stopped.png");
    EXPECT_TRUE(stopped) << narrow(session.userNameText());
    session.clickStartStop();
    EXPECT_TRUE(session.waitForRequests("/stall", 2, 5000));
    EXPECT_TRUE(session.waitForGoFace(false));

    // Another user typed during the stalled load is loaded.
    session.typeUserName(L"alice");
    ASSERT_TRUE(session.waitForUserNameText(L"alice", kLoadMs));
    EXPECT_TRUE(session.waitForThumbnailCount(45, 10000));
    EXPECT_EQ(session.countRequests("/stall"), 2u);

    // A user that does not exist, replaced within its retry pause: its retry never comes.
    session.site().reset();
    session.typeUserName(L"nosuchuser");
    ASSERT_TRUE(session.waitForRequests("/nosuchuser", 1, 5000));
    session.typeUserName(L"alice");
    ASSERT_TRUE(session.waitForUserNameText(L"alice", kLoadMs));
    EXPECT_TRUE(session.waitForThumbnailCount(45, 10000));
    const std::vector<LoggedRequest> log = mainroad::parseLog(session.site().logText());
    double firstAlice = 0;
    for (const LoggedRequest& request : log) {
        if (request.path == "/alice" && firstAlice == 0)
            firstAlice = request.time;
        if (firstAlice > 0) {
            EXPECT_NE(request.path, "/nosuchuser");
        }
    }
    EXPECT_FALSE(session.messageBoxShown());
}

}  // namespace
