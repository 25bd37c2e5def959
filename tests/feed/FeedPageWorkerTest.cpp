// The feed page worker as a thread: it reads its page file, posts its records to a hidden
// message-only window in order, and frees every record and its parameter block exactly once.
#include "AllocationCounter.h"
#include "FeedRecordText.h"

#include "feed/FeedPageWorker.h"
#include "feed/FeedRecords.h"
#include "feed/Parser.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// One posted message and its record, owned by the test from receipt.
struct Received {
    UINT message = 0;
    std::unique_ptr<MessageInfo> info;
    std::unique_ptr<PhotoMessageInfo> photo;

    int32_t generation() const { return photo ? photo->generation : info->generation; }
};

class MessageWindow {
public:
    MessageWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"PixhaulFeedWorkerTestSink";
        RegisterClassW(&windowClass);  // fails harmlessly when already registered
        handle_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    ~MessageWindow() {
        if (handle_)
            DestroyWindow(handle_);
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND handle() const { return handle_; }

    // Takes every feed message waiting for the window; a page's items become one entry each.
    void drain(std::vector<Received>& received) const {
        MSG message;
        while (PeekMessageW(&message, handle_, WM_FEED_TOTAL, WM_FEED_PHOTOS, PM_REMOVE)) {
            if (message.message != WM_FEED_PHOTOS) {
                Received entry;
                entry.message = message.message;
                entry.info.reset(reinterpret_cast<MessageInfo*>(message.wParam));
                received.push_back(std::move(entry));
                continue;
            }
            std::unique_ptr<FeedPhotosMessageInfo> page(
                reinterpret_cast<FeedPhotosMessageInfo*>(message.wParam));
            for (std::unique_ptr<PhotoMessageInfo>& photo : page->photos) {
                Received entry;
                entry.message = message.message;
                entry.photo = std::move(photo);
                received.push_back(std::move(entry));
            }
        }
    }

private:
    HWND handle_ = nullptr;
};

class FeedPageWorkerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initScriptTokenTables(); }

    void SetUp() override {
        ASSERT_TRUE(window_.handle());
        // The first run in the program may allocate what later runs reuse.
        static bool warmedUp = false;
        if (!warmedUp) {
            warmedUp = true;
            run(params(sample(L"alice-profile.html"), L""));
        }
    }

    std::unique_ptr<ParsePageParams> params(const std::wstring& path, const std::wstring& suffix,
                                            int32_t repeatCount = 0, HWND target = nullptr) {
        auto block =
            std::make_unique<ParsePageParams>(7, target ? target : window_.handle(), path, L"alice", suffix);
        block->repeatCount = repeatCount;
        block->repeatPauseMs = 10;
        return block;
    }

    // Starts the worker the way the main window does, keeping a handle of its own to wait for the
    // thread's end, and collects every message the thread posted.
    std::vector<Received> run(std::unique_ptr<ParsePageParams> block) {
        std::vector<Received> received;
        HANDLE thread = CreateThread(nullptr, 0, feedPageWorker, block.get(), CREATE_SUSPENDED, nullptr);
        if (!thread) {
            ADD_FAILURE() << "CreateThread failed";
            return received;
        }
        HANDLE waitable = nullptr;
        DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &waitable, SYNCHRONIZE, FALSE, 0);
        block->thread = thread;
        block.release();
        ResumeThread(thread);

        const ULONGLONG deadline = GetTickCount64() + 60000;  // guards against a hang only
        for (;;) {
            const DWORD wait = MsgWaitForMultipleObjects(1, &waitable, FALSE, 100, QS_POSTMESSAGE);
            window_.drain(received);
            if (wait == WAIT_OBJECT_0)
                break;
            if (GetTickCount64() > deadline) {
                ADD_FAILURE() << "the worker did not end";
                break;
            }
        }
        window_.drain(received);
        CloseHandle(waitable);
        return received;
    }

    // Runs the worker on a page and compares its messages, as text lines, with the expected ones.
    // Every record must carry the block's generation, and once the records are deleted every block
    // the run allocated (records, texts, the parameter block) must have been freed.
    void expectMessages(const std::wstring& path, const std::wstring& suffix, int32_t repeatCount,
                        const std::vector<std::string>& expected) {
        const long before = allocation::liveBlocks();
        {
            std::vector<Received> received = run(params(path, suffix, repeatCount));
            std::vector<std::string> lines;
            for (const Received& entry : received) {
                EXPECT_EQ(entry.generation(), 7);
                lines.push_back(describe(entry));
            }
            EXPECT_EQ(lines, expected);
        }
        EXPECT_EQ(allocation::liveBlocks(), before) << "a block was not freed exactly once";
    }

    static std::string describe(const Received& entry) {
        switch (entry.message) {
        case WM_FEED_TOTAL:
            return "total " + std::to_string(entry.info->code);
        case WM_FEED_NEXT_PAGE:
            return feedtext::nextLine(entry.info->text);
        case WM_FEED_END:
            return "end " + std::to_string(entry.info->code);
        default:
            return feedtext::photoLine(*entry.photo);
        }
    }

    static std::wstring sample(const std::wstring& name) {
        return testsupport::sourcePath(L"tests/data/feed/" + name);
    }

    static std::vector<std::string> expectedLines(const std::wstring& name) {
        std::vector<std::string> lines;
        const std::string text = testsupport::readFileBytes(sample(name));
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    MessageWindow window_;
    testsupport::TempFolder folder_;
};

using Lines = std::vector<std::string>;

TEST_F(FeedPageWorkerTest, ProfilePagePostsTheCountThenTheFirstFeedPage) {
    expectMessages(sample(L"alice-profile.html"), L"", 0, Lines{"total 45", "next /media"});
    expectMessages(sample(L"nocount-profile.html"), L"", 0, Lines{"total -1", "next /media"});
}

TEST_F(FeedPageWorkerTest, ProfileWithoutCountEndsTheFeed) {
    expectMessages(sample(L"private-profile.html"), L"", 0, Lines{"end 0"});
}

TEST_F(FeedPageWorkerTest, FeedPagePostsItsItemsInOrderThenTheNextPage) {
    const Lines expected = expectedLines(L"alice-media-1.expected.txt");
    ASSERT_EQ(expected.size(), 21u);
    expectMessages(sample(L"alice-media-1.json"), L"/media", 0, expected);
}

TEST_F(FeedPageWorkerTest, LastFeedPageEndsTheFeed) {
    Lines expected = expectedLines(L"alice-media-3.expected.txt");
    ASSERT_EQ(expected.back(), "next");
    expected.back() = "end 0";
    expectMessages(sample(L"alice-media-3.json"), L"/media?max_id=1001_6", 0, expected);
}

TEST_F(FeedPageWorkerTest, InvalidPageIsAskedForAgainThenGivenUp) {
    const std::wstring page = sample(L"badfeed-media-1.json");
    expectMessages(page, L"/media", 0, Lines{"next /media"});
    expectMessages(page, L"/media", 5, Lines{"next /media"});
    expectMessages(page, L"/media", 6, Lines{"end -1"});
}

TEST_F(FeedPageWorkerTest, PageThatNamesItselfPostsNoItemsAndIsAskedForAgain) {
    const std::wstring page = sample(L"loop-media-2.json");
    expectMessages(page, L"/media?max_id=9009_11", 2, Lines{"next /media?max_id=9009_11"});
    expectMessages(page, L"/media?max_id=9009_11", 6, Lines{"end -1"});
}

TEST_F(FeedPageWorkerTest, MissingEmptyOrOversizedFileTakesTheInvalidPagePath) {
    const std::wstring empty = folder_.file(L"empty.json");
    ASSERT_TRUE(testsupport::writeFileBytes(empty, ""));

    // One byte over the cap; only the size matters, so the file is extended without writing.
    const std::wstring huge = folder_.file(L"huge.json");
    HANDLE file =
        CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(kMaxFeedPageBytes) + 1;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);

    for (const std::wstring& path : {folder_.file(L"missing.json"), empty, huge}) {
        expectMessages(path, L"/media?max_id=3", 1, Lines{"next /media?max_id=3"});
        expectMessages(path, L"/media?max_id=3", 6, Lines{"end -1"});
    }
    // The profile page too: asked for again, so a load never hangs in its loading state.
    expectMessages(folder_.file(L"missing.html"), L"", 0, Lines{"next"});
}

TEST_F(FeedPageWorkerTest, PageAtTheSizeCapIsRead) {
    // Blanks after the page fill it up to exactly the cap.
    std::string page = testsupport::readFileBytes(sample(L"bob-media-1.json"));
    ASSERT_FALSE(page.empty());
    page.resize(static_cast<size_t>(kMaxFeedPageBytes), ' ');
    const std::wstring path = folder_.file(L"capped.json");
    ASSERT_TRUE(testsupport::writeFileBytes(path, page));
    std::unique_ptr<std::wstring> text = readPageText(path);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), static_cast<size_t>(kMaxFeedPageBytes));
}

TEST_F(FeedPageWorkerTest, RecordsThatCannotBePostedAreFreedByTheWorker) {
    HWND gone;
    {
        MessageWindow closed;
        gone = closed.handle();
    }
    const long before = allocation::liveBlocks();
    std::vector<Received> received = run(params(sample(L"alice-media-1.json"), L"/media", 0, gone));
    EXPECT_TRUE(received.empty());
    received.shrink_to_fit();
    EXPECT_EQ(allocation::liveBlocks(), before);
}

TEST_F(FeedPageWorkerTest, StartedWorkerReportsAndClosesItsOwnHandle) {
    ASSERT_TRUE(startFeedPageWorker(params(sample(L"bob-media-1.json"), L"/media")));
    std::vector<Received> received;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while ((received.empty() || received.back().message == WM_FEED_PHOTOS) && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
        window_.drain(received);
    }
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_FEED_PHOTOS);
    EXPECT_EQ(received[0].photo->id, L"2002_1");
    EXPECT_EQ(received[1].message, WM_FEED_END);
    EXPECT_EQ(received[1].info->code, 0);
}

}  // namespace
