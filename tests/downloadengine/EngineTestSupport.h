#pragma once
// Helpers of the engine tests: a host that records every event, an engine made for a test, a scripted
// protocol client, and file hashes.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/ScopedHandle.h"
#include "downloadcontrol/engine/ClientFactory.h"
#include "downloadcontrol/engine/DownloadEngine.h"
#include "downloadcontrol/engine/EngineEvents.h"
#include "AllocationCounter.h"
#include "support/MessagePump.h"

namespace enginetest {

using testsupport::pumpFor;
using testsupport::pumpUntil;
using testsupport::pumpWaiting;

// One event as the host saw it.
struct Event {
    std::wstring name;  // Start, Progress, Segment, FileComplete, Complete, SizeQuery, Resume
    int32_t fileId = -1;
    bool result = false;
    int32_t number = 0;  // segmentCount, downloadedTime or segmentIndex
    int32_t remainTime = 0;
    double rate = 0;
    std::vector<std::wstring> texts;  // the size texts (and url, lastModified) in argument order
};

class RecordingHost : public EngineEvents, public EngineHost {
public:
    void onGetFileSizeLastModified(const std::wstring& url, const std::wstring& fileSize,
                                   const std::wstring& lastModified) override;
    void onDownloadComplete(bool result) override;
    void onFileDownloadComplete(int32_t fileId, bool result) override;
    void onFileDownloadProgress(int32_t fileId, const std::wstring& fileSize,
                                const std::wstring& downloadedSize, int32_t downloadedTime,
                                const std::wstring& remainSize, int32_t remainTime, double rate) override;
    void onFileSegmentDownloadProgress(int32_t fileId, int32_t segmentIndex, const std::wstring& segmentSize,
                                       const std::wstring& segmentDownloadedSize,
                                       const std::wstring& segmentRemainSize) override;
    void onFileDownloadStart(int32_t fileId, const std::wstring& fileSize, int32_t segmentCount) override;
    void onFileDownloadResume(const std::wstring& url, int32_t fileId,
                              const std::wstring& tempDownloadFile) override;

    std::vector<Event> events;
    // Called inside OnFileDownloadComplete, before it is recorded.
    std::function<void(int32_t fileId, bool result)> whenFileComplete;
    // Called inside OnDownloadComplete, before it is recorded.
    std::function<void(bool result)> whenComplete;
    std::function<void(const Event&)> whenProgress;
    std::function<void(const Event&)> whenSegment;

    int count(const wchar_t* name) const;
    std::vector<Event> named(const wchar_t* name) const;
    // The last event of that kind; a test failure (and an empty stand-in) when none came.
    const Event* last(const wchar_t* name) const;
    bool completed() const { return count(L"Complete") > 0; }
};

// An engine with its recording host, created on the calling thread.
struct TestEngine {
    TestEngine();
    RecordingHost host;
    LastErrorHolder errors;
    std::unique_ptr<DownloadEngine> engine;

    int32_t add(const std::wstring& url, const std::wstring& savePath, int32_t segmentCount = 1,
                const std::wstring& fileSize = L"-1");
    // Download, then pump until OnDownloadComplete; false when either failed to happen.
    bool runToEnd(DWORD timeoutMs = 120000);
    // A new engine in place of this one's, with the default header folder.
    void keepDefaultHeaderFolder();
    // Adds one file, downloads it and stops once half of it arrived; false unless stopped halfway.
    bool stopHalfway(const std::wstring& url, const std::wstring& savePath);
};

// ---- A scripted client ----

// What the scripted server of a file does.
struct ScriptedFile {
    std::string body;
    bool sizeKnown = true;     // the reply tells the size
    bool rangesServed = true;  // byte ranges are served
    int32_t failOpens = 0;     // the first opens fail with openError
    int32_t openError = 17;
    int64_t failAfter = -1;  // a receive fails once this many bytes of a connection were sent
    DWORD blockDelayMs = 0;  // pause before each block
    // Once this many bytes of a connection were sent, receives bring nothing until the stop: a run
    // that must be stopped mid-file cannot end before the stop.
    int64_t holdAfter = -1;
    // Written into the control's holder while a failing open returns, as another file's thread would.
    int32_t concurrentError = 0;
};

class ScriptedFactory : public DownloadClientFactory {
public:
    std::unique_ptr<DownloadClient> makeClient(const DownloadItem& item, int32_t connectionTimeout,
                                               int32_t receiveBufferSize, LastErrorHolder& errors) override;

    // The file served for a path ("/a.bin").
    void serve(const std::wstring& path, const ScriptedFile& file);
    // openSegment calls seen for a path, as "start+length" texts.
    std::vector<std::string> opens(const std::wstring& path);
    int32_t clientsMade();
    // The control's holder, for concurrentError.
    LastErrorHolder* controlErrors = nullptr;
    void setFile(const std::wstring& path, const ScriptedFile& file) { serve(path, file); }

private:
    friend class ScriptedClient;
    CriticalSection lock_;
    std::map<std::wstring, ScriptedFile> files_;
    std::map<std::wstring, std::vector<std::string>> opens_;
    int32_t clientsMade_ = 0;
};

// Ends the test program when the calls it guards have not returned by the deadline, so that a hang
// shows as a failure with its reason instead of a suite stalled until its time-out.
class HangGuard {
public:
    explicit HangGuard(const char* what, DWORD timeoutMs = 60000);
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    static DWORD WINAPI watch(void* self);
    const char* what_;
    DWORD timeoutMs_;
    ScopedHandle returned_;
    ScopedHandle watcher_;
};

// Threads of this process (Toolhelp), and its open handles (probed: the system's count is not kept
// everywhere).
int processThreads();
int openHandles();

// `count` bytes made from `seed`, different for each seed.
std::string someBytes(std::size_t count, unsigned seed);

// SHA-256 of a file's bytes as hex ("" when it cannot be read), and of bytes.
std::string fileHash(const std::wstring& path);
std::string bytesHash(const std::string& bytes);

}  // namespace enginetest
