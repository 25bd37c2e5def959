#include "EngineTestSupport.h"

#include <bcrypt.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "downloadcontrol/ControlUtilities.h"
#include "support/TestSupport.h"

namespace enginetest {

// ---- RecordingHost ----

void RecordingHost::onGetFileSizeLastModified(const std::wstring& url, const std::wstring& fileSize,
                                              const std::wstring& lastModified) {
    Event event;
    event.name = L"SizeQuery";
    event.texts = {url, fileSize, lastModified};
    events.push_back(event);
}

void RecordingHost::onDownloadComplete(bool result) {
    if (whenComplete) {
        whenComplete(result);
    }
    Event event;
    event.name = L"Complete";
    event.result = result;
    events.push_back(event);
}

void RecordingHost::onFileDownloadComplete(int32_t fileId, bool result) {
    if (whenFileComplete) {
        whenFileComplete(fileId, result);
    }
    Event event;
    event.name = L"FileComplete";
    event.fileId = fileId;
    event.result = result;
    events.push_back(event);
}

void RecordingHost::onFileDownloadProgress(int32_t fileId, const std::wstring& fileSize,
                                           const std::wstring& downloadedSize, int32_t downloadedTime,
                                           const std::wstring& remainSize, int32_t remainTime, double rate) {
    Event event;
    event.name = L"Progress";
    event.fileId = fileId;
    event.number = downloadedTime;
    event.remainTime = remainTime;
    event.rate = rate;
    event.texts = {fileSize, downloadedSize, remainSize};
    events.push_back(event);
    if (whenProgress) {
        whenProgress(events.back());
    }
}

void RecordingHost::onFileSegmentDownloadProgress(int32_t fileId, int32_t segmentIndex,
                                                  const std::wstring& segmentSize,
                                                  const std::wstring& segmentDownloadedSize,
                                                  const std::wstring& segmentRemainSize) {
    Event event;
    event.name = L"Segment";
    event.fileId = fileId;
    event.number = segmentIndex;
    event.texts = {segmentSize, segmentDownloadedSize, segmentRemainSize};
    events.push_back(event);
    if (whenSegment) {
        whenSegment(events.back());
    }
}

void RecordingHost::onFileDownloadStart(int32_t fileId, const std::wstring& fileSize, int32_t segmentCount) {
    Event event;
    event.name = L"Start";
    event.fileId = fileId;
    event.number = segmentCount;
    event.texts = {fileSize};
    events.push_back(event);
}

void RecordingHost::onFileDownloadResume(const std::wstring& url, int32_t fileId,
                                         const std::wstring& tempDownloadFile) {
    Event event;
    event.name = L"Resume";
    event.fileId = fileId;
    event.texts = {url, tempDownloadFile};
    events.push_back(event);
}

int RecordingHost::count(const wchar_t* name) const {
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.name == name; }));
}

std::vector<Event> RecordingHost::named(const wchar_t* name) const {
    std::vector<Event> result;
    for (const Event& event : events) {
        if (event.name == name) {
            result.push_back(event);
        }
    }
    return result;
}

const Event* RecordingHost::last(const wchar_t* name) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        if (it->name == name) {
            return &*it;
        }
    }
    // A missing event fails the test; reading the stand-in is safe, where a crash would end in Wine's
    // debugger and hang until the suite's time-out.
    ADD_FAILURE() << "no " << std::string(name, name + wcslen(name)) << " event came";
    static const Event none{L"", -1, false, 0, 0, 0, std::vector<std::wstring>(8)};
    return &none;
}

// ---- TestEngine ----

TestEngine::TestEngine() {
    startWinSock();
    engine = std::make_unique<DownloadEngine>(errors, host, host);
    engine->create();
    // Tests keep their header files apart; most need none.
    engine->setSessionTempSubfolder(L"");
}

int32_t TestEngine::add(const std::wstring& url, const std::wstring& savePath, int32_t segmentCount,
                        const std::wstring& fileSize) {
    AddFileRequest request;
    request.url = url;
    request.savePath = savePath;
    request.segmentCount = segmentCount;
    request.fileSize = fileSize;
    return engine->addFile(request);
}

bool TestEngine::runToEnd(DWORD timeoutMs) {
    const int before = host.count(L"Complete");
    if (!engine->download()) {
        return false;
    }
    return pumpUntil([&] { return host.count(L"Complete") > before; }, timeoutMs);
}

void TestEngine::keepDefaultHeaderFolder() {
    engine = std::make_unique<DownloadEngine>(errors, host, host);
    engine->create();
}

bool TestEngine::stopHalfway(const std::wstring& url, const std::wstring& savePath) {
    bool halfway = false;
    host.whenProgress = [&](const Event& event) {
        halfway = halfway || std::stoll(event.texts[1]) * 2 >= std::stoll(event.texts[0]);
    };
    const bool stopped = add(url, savePath) >= 0 && engine->download() &&
                         pumpUntil([&] { return halfway || host.completed(); }) && !host.completed();
    engine->stopDownload();
    host.whenProgress = nullptr;
    return stopped;
}

// ---- The scripted client ----

class ScriptedClient final : public DownloadClient {
public:
    ScriptedClient(ScriptedFactory& factory, const std::wstring& path, LastErrorHolder& errors,
                   int32_t bufferSize)
        : factory_(factory), path_(path), errors_(errors), bufferSize_(std::max(bufferSize, 1)) {}

    int32_t receiveBufferSize() const override { return bufferSize_; }

    bool openSegment(int32_t segmentNumber, int64_t start, int64_t length, int64_t& fileSize, char*,
                     int32_t& received, bool& rangesAccepted, bool& done) override {
        received = 0;
        done = false;
        rangesAccepted = false;
        open_ = false;
        bool failing = false;
        {
            CriticalSectionLock lock(factory_.lock_);
            factory_.opens_[path_].push_back(std::to_string(start) + "+" + std::to_string(length));
            auto found = factory_.files_.find(path_);
            if (found == factory_.files_.end()) {
                errors_.setError(17);
                return false;
            }
            file_ = found->second;
            if (found->second.failOpens > 0) {
                --found->second.failOpens;
                failing = true;
            }
        }
        if (failing) {
            errors_.setError(file_.openError);
            if (file_.concurrentError != 0 && factory_.controlErrors) {
                factory_.controlErrors->setError(file_.concurrentError);
            }
            return false;
        }
        if (errors_.stopRequest()) {
            errors_.setError(34);
            return false;
        }
        const int64_t size = static_cast<int64_t>(file_.body.size());
        const bool rangeRequested = start >= 0 && length >= 0 && fileSize >= 0;
        if (rangeRequested && start > 0 && !file_.rangesServed) {
            errors_.setError(17);
            return false;
        }
        if (rangeRequested && file_.rangesServed) {
            position_ = start;
            end_ = std::min(start + length, size);
        } else {
            position_ = 0;
            end_ = size;
        }
        if (segmentNumber == 0 && fileSize < 0 && file_.sizeKnown) {
            fileSize = size;
        }
        rangesAccepted = fileSize >= 0 && file_.rangesServed;
        sent_ = 0;
        open_ = true;
        done = position_ >= end_;
        return true;
    }

    bool receiveMore(char* buffer, int32_t& received, bool& done) override {
        received = 0;
        done = false;
        if (!open_) {
            errors_.setError(16);
            return false;
        }
        for (DWORD waited = 0; waited < file_.blockDelayMs; waited += 5) {
            if (errors_.stopRequest()) {
                break;
            }
            Sleep(5);
        }
        if (errors_.stopRequest()) {
            open_ = false;
            errors_.setError(34);
            return false;
        }
        if (file_.holdAfter >= 0 && sent_ >= file_.holdAfter) {
            // Nothing yet, the connection still open: the receiver goes on reporting what it has.
            Sleep(5);
            return true;
        }
        int64_t count = std::min<int64_t>(bufferSize_, end_ - position_);
        if (file_.failAfter >= 0 && sent_ + count > file_.failAfter) {
            count = file_.failAfter - sent_;
            if (count <= 0) {
                open_ = false;
                errors_.setError(16);
                return false;
            }
        }
        std::memcpy(buffer, file_.body.data() + position_, static_cast<std::size_t>(count));
        position_ += count;
        sent_ += count;
        received = static_cast<int32_t>(count);
        done = position_ >= end_;
        return true;
    }

    void close() override { open_ = false; }

private:
    ScriptedFactory& factory_;
    std::wstring path_;
    LastErrorHolder& errors_;
    int32_t bufferSize_;
    ScriptedFile file_;
    bool open_ = false;
    int64_t position_ = 0;
    int64_t end_ = 0;
    int64_t sent_ = 0;
};

std::unique_ptr<DownloadClient> ScriptedFactory::makeClient(const DownloadItem& item, int32_t,
                                                            int32_t receiveBufferSize,
                                                            LastErrorHolder& errors) {
    {
        CriticalSectionLock lock(lock_);
        ++clientsMade_;
    }
    return std::make_unique<ScriptedClient>(*this, item.path, errors, receiveBufferSize);
}

void ScriptedFactory::serve(const std::wstring& path, const ScriptedFile& file) {
    CriticalSectionLock lock(lock_);
    files_[path] = file;
}

std::vector<std::string> ScriptedFactory::opens(const std::wstring& path) {
    CriticalSectionLock lock(lock_);
    return opens_[path];
}

int32_t ScriptedFactory::clientsMade() {
    CriticalSectionLock lock(lock_);
    return clientsMade_;
}

// ---- Hangs, threads and handles ----

HangGuard::HangGuard(const char* what, DWORD timeoutMs)
    : what_(what), timeoutMs_(timeoutMs), returned_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    watcher_.reset(CreateThread(nullptr, 0, &HangGuard::watch, this, 0, nullptr));
}

HangGuard::~HangGuard() {
    SetEvent(returned_.get());
    WaitForSingleObject(watcher_.get(), INFINITE);
}

DWORD WINAPI HangGuard::watch(void* self) {
    auto* guard = static_cast<HangGuard*>(self);
    if (WaitForSingleObject(guard->returned_.get(), guard->timeoutMs_) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "HANG: %s did not return within %lu ms\n", guard->what_,
                     static_cast<unsigned long>(guard->timeoutMs_));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

int processThreads() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snapshot);
    return count;
}

int openHandles() {
    int count = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x40000; value += 4) {
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}

// ---- Bytes and hashes ----

std::string someBytes(std::size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    unsigned value = seed * 2654435761u + 1;
    for (char& c : bytes) {
        value = value * 1103515245u + 12345u;
        c = static_cast<char>(value >> 23);
    }
    return bytes;
}

std::string bytesHash(const std::string& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) {
        return {};
    }
    unsigned char digest[32] = {};
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::string text;
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0) {
        BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                       static_cast<ULONG>(bytes.size()), 0);
        if (BCryptFinishHash(hash, digest, sizeof(digest), 0) == 0) {
            static const char kHex[] = "0123456789abcdef";
            for (unsigned char byte : digest) {
                text += kHex[byte >> 4];
                text += kHex[byte & 15];
            }
        }
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return text;
}

std::string fileHash(const std::wstring& path) {
    if (GetFileAttributesW(toLongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {};
    }
    return bytesHash(testsupport::readFileBytes(path));
}

}  // namespace enginetest
