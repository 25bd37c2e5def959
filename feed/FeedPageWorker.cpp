#include "feed/FeedPageWorker.h"

#include "common/PathFunctions.h"
#include "common/TextDecoder.h"
#include "feed/FeedPageScan.h"

#include <vector>

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (isOpen())
            closeFileHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Posts the record; the receiver owns it from then on. A record that could not be posted (the
// window is gone, its queue is full) is freed here.
template <typename Record>
void postRecord(HWND window, UINT message, std::unique_ptr<Record> record) {
    if (PostMessageW(window, message, reinterpret_cast<WPARAM>(record.get()), 0))
        record.release();
}

void handlePage(const ParsePageParams& params) {
    std::wstring nextSuffix;
    bool unusable = true;
    if (std::unique_ptr<std::wstring> text = readPageText(params.pagePath)) {
        if (params.pageSuffix.empty()) {
            const ProfilePageScan profile = scanProfilePage(*text);
            if (profile.hasCount) {
                postRecord(
                    params.mainWindow, WM_FEED_TOTAL,
                    std::make_unique<MessageInfo>(params.generation, profile.mediaCount, std::wstring()));
            }
            nextSuffix = profile.nextSuffix;
            unusable = false;
        } else {
            FeedPageScan feed = scanFeedPage(*text, params.generation);
            if (isUsableFeedPage(feed, params.pageSuffix)) {
                if (!feed.photos.empty())
                    postRecord(
                        params.mainWindow, WM_FEED_PHOTOS,
                        std::make_unique<FeedPhotosMessageInfo>(params.generation, std::move(feed.photos)));
                nextSuffix = feed.nextSuffix;
                unusable = false;
            }
        }
    }

    const PageOutcome outcome =
        decidePageOutcome(nextSuffix, unusable, params.pageSuffix, params.repeatCount);
    if (outcome.pauseFirst)
        Sleep(params.repeatPauseMs);
    postRecord(params.mainWindow, outcome.message,
               std::make_unique<MessageInfo>(params.generation, outcome.code, outcome.text));
}

}  // namespace

DWORD WINAPI feedPageWorker(LPVOID parameter) {
    std::unique_ptr<ParsePageParams> params(static_cast<ParsePageParams*>(parameter));
    if (!params)
        return 0;
    try {
        handlePage(*params);
    } catch (...) {
        // Out of memory part way: give the page up so that the load still ends.
        try {
            postRecord(params->mainWindow, WM_FEED_END,
                       std::make_unique<MessageInfo>(params->generation, -1, std::wstring()));
        } catch (...) {
        }
    }
    if (params->thread)
        CloseHandle(params->thread);
    return 0;
}

bool startFeedPageWorker(std::unique_ptr<ParsePageParams> params) {
    if (!params)
        return false;
    // Pages come one after another while a feed loads: a thread of the system's pool, kept between
    // pages, takes each one. Starting a thread of its own cost more than reading the page.
    if (!QueueUserWorkItem(feedPageWorker, params.get(), WT_EXECUTEDEFAULT))
        return false;
    params.release();
    return true;
}

std::unique_ptr<std::wstring> readPageText(const std::wstring& path) {
    FileHandle file(openExistingFile(path, GENERIC_READ, FILE_SHARE_READ));
    if (!file.isOpen())
        return nullptr;

    LARGE_INTEGER zero = {};
    LARGE_INTEGER end = {};
    if (!SetFilePointerEx(file.get(), zero, &end, FILE_END) ||
        !SetFilePointerEx(file.get(), zero, nullptr, FILE_BEGIN))
        return nullptr;
    if (end.QuadPart <= 0 || static_cast<uint64_t>(end.QuadPart) > kMaxFeedPageBytes)
        return nullptr;

    std::vector<unsigned char> bytes(static_cast<size_t>(end.QuadPart));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const DWORD read =
            readFileBytes(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled));
        if (read == 0)
            break;  // the file shrank, or the read failed: decode what arrived
        filled += read;
    }
    if (filled == 0)
        return nullptr;

    TextEncoding encoding = TextEncoding::Ansi;
    std::unique_ptr<std::wstring> text = TextDecoder().decodeText(bytes.data(), filled, encoding);
    if (!text || text->empty())
        return nullptr;
    return text;
}

PageOutcome decidePageOutcome(const std::wstring& nextSuffix, bool pageUnusable,
                              const std::wstring& pageSuffix, int32_t repeatCount) {
    PageOutcome outcome;
    if (!nextSuffix.empty()) {
        outcome.message = WM_FEED_NEXT_PAGE;
        outcome.text = nextSuffix;
    } else if (pageUnusable && repeatCount < kMaxFeedPageRepeats) {
        outcome.message = WM_FEED_NEXT_PAGE;
        outcome.text = pageSuffix;
        outcome.pauseFirst = true;
    } else if (pageUnusable) {
        outcome.code = -1;
    }
    return outcome;
}
