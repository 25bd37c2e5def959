#include "downloadcontrol/engine/FileTransfer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/DownloadItem.h"
#include "downloadcontrol/engine/FileEnd.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/ProgressRecords.h"
#include "downloadcontrol/engine/SegmentReceiver.h"
#include "downloadcontrol/engine/TransferClock.h"
#include "downloadcontrol/engine/TransferPlan.h"
#include "downloadcontrol/engine/WorkerThread.h"
#include "downloadcontrol/net/DownloadClient.h"

namespace {

// Bytes asked for when the first segment is complete already and only the file's size is wanted.
constexpr int64_t kSizeProbeBytes = 20;

bool isZero(const FILETIME& time) {
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

// Opens a data file so that it can be renamed through its handle too; where that access is not given,
// it is opened for writing alone (and moved by path).
ScopedHandle openDataFile(const std::wstring& path, DWORD disposition) {
    ScopedHandle file = openFile(path, GENERIC_WRITE | DELETE, 0, disposition);
    if (!file.valid() && GetLastError() == ERROR_ACCESS_DENIED) {
        file = openFile(path, GENERIC_WRITE, 0, disposition);
    }
    return file;
}

// Gives the open file its final path, replacing what is there. Through the handle this is one call to
// the system, where moving by path opens the file again under some hosts.
bool renameOpenFile(HANDLE file, const std::wstring& finalPath) {
    const std::wstring target = toLongPath(finalPath);
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<char> block(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, target.c_str(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(block.size())) != FALSE;
}

// The folder part of a file path ("" when it has none).
std::wstring folderOfPath(const std::wstring& path) {
    const std::size_t end = path.find_last_of(L"\\/");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end);
}

}  // namespace

FileTransfer::FileTransfer(TransferContext& context, const EngineSettings& settings, DownloadItem& item)
    : errors_(context.errors), context_(context.withErrors(errors_)), settings_(settings), item_(item) {}

void FileTransfer::run() {
    if (!runWithoutExceptions([&] { transfer(); })) {
        failOutOfMemory();
    }
    if (!runWithoutExceptions([&] { closeFiles(); })) {
        failOutOfMemory();
    }
    // Everything of the transfer is closed and freed; the control goes on with the file from here.
    context_.window.postFileFinished(&item_);
}

void FileTransfer::failOutOfMemory() noexcept {
    context_.errors.setError(ErrOutOfMemory);
    item_.fail(ErrOutOfMemory);
}

ScopedHandle FileTransfer::prepareDataFile(const std::wstring& dataPath, const FILETIME& fileTime) {
    const std::wstring folder = folderOfPath(dataPath);
    if (!folder.empty() && !createFolders(folder)) {
        context_.errors.setError(ErrDataFileCreate);
        return ScopedHandle();
    }
    ScopedHandle file = openDataFile(dataPath, OPEN_ALWAYS);
    if (!file.valid()) {
        context_.errors.setError(ErrDataFileCreate);
        return file;
    }
    LARGE_INTEGER length;
    if (!isZero(fileTime) && GetFileSizeEx(file.get(), &length) && length.QuadPart == 0) {
        SetFileTime(file.get(), &fileTime, &fileTime, &fileTime);
    }
    return file;
}

void FileTransfer::closeFiles() {
    ScopedHandle header;
    ScopedHandle data;
    std::wstring dataPath;
    std::wstring finalPath;
    FILETIME fileTime{};
    bool complete = false;
    {
        CriticalSectionLock lock(context_.controlLock);
        header = std::move(item_.headerFile);
        data = std::move(item_.dataFile);
        dataPath = item_.dataPath;
        finalPath = item_.finalPath();
        fileTime = item_.fileTime;
        complete = decideFileEnd(fileEndFacts(item_, context_.errors.stopRequest(),
                                              item_.state == DownloadStateComplete))
                       .complete();
    }
    if (data.valid() && !isZero(fileTime)) {
        SetFileTime(data.get(), &fileTime, &fileTime, &fileTime);
    }
    const bool renamed = complete && data.valid() && renameOpenFile(data.get(), finalPath);
    data.close();
    if (complete && !renamed &&
        !MoveFileExW(toLongPath(dataPath).c_str(), toLongPath(finalPath).c_str(),
                     MOVEFILE_REPLACE_EXISTING)) {
        // Not at its final path is not a success: the file stays resumable under its data path.
        context_.errors.setError(ErrDataFileCreate);
        item_.fail(ErrDataFileCreate);
        complete = false;
    }
    HeaderUpdate fields;
    {
        CriticalSectionLock lock(context_.controlLock);
        if (!complete) {
            // Failed, stopped or empty: incomplete, and resumable from what it has.
            item_.state = DownloadStateIncomplete;
        }
        fields.add(item_, HeaderState);
    }
    fields.addStateSlot(kHeaderMagic);
    fields.writeTo(header.get(), context_.writer);
}

bool FileTransfer::openFiles() {
    std::wstring headerPath;
    std::wstring dataPath;
    FILETIME fileTime{};
    bool resumes = false;
    {
        CriticalSectionLock lock(context_.controlLock);
        headerPath = item_.headerPath;
        dataPath = item_.dataPath;
        fileTime = item_.fileTime;
        resumes = item_.state != DownloadStateNew && !item_.segments.empty();
    }
    ScopedHandle header;
    if (!headerPath.empty()) {
        header = openFile(headerPath, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
        if (!header.valid()) {
            context_.errors.setError(ErrHeaderFileOpen);
            return false;
        }
        // Open for transfer: a header left like this by a crash is never resumed.
        HeaderUpdate slot;
        slot.addStateSlot(0);
        slot.writeTo(header.get(), context_.writer);
        FlushFileBuffers(header.get());
    }
    ScopedHandle data;
    if (resumes) {
        // A file that continues where it stopped needs the data file it has.
        data = openDataFile(dataPath, OPEN_EXISTING);
        if (!data.valid()) {
            context_.errors.setError(ErrDataFileOpen);
        }
    } else {
        data = prepareDataFile(dataPath, fileTime);
    }
    const bool opened = data.valid();
    CriticalSectionLock lock(context_.controlLock);
    // Both stay open until the file ends (closeFiles).
    item_.headerFile = std::move(header);
    item_.dataFile = std::move(data);
    return opened;
}

void FileTransfer::startSegmentThreads(std::vector<ScopedHandle>& threads) {
    std::vector<int32_t> indexes;
    {
        CriticalSectionLock lock(context_.controlLock);
        for (std::size_t i = 1; i < item_.segments.size(); ++i) {
            const FileSegment& segment = *item_.segments[i];
            if (segment.size < 0 || segment.downloaded < segment.size) {
                indexes.push_back(static_cast<int32_t>(i));
            }
        }
    }
    // Room for every handle first: a thread once started is always joined.
    threads.reserve(threads.size() + indexes.size());
    for (int32_t index : indexes) {
        if (context_.errors.stopRequest()) {
            break;
        }
        ScopedHandle thread =
            createSuspendedThread(std::make_unique<SegmentTransfer>(context_, settings_, item_, index));
        if (!thread.valid()) {
            context_.errors.setError(ErrSend);
            item_.fail(ErrSend);
            break;
        }
        ResumeThread(thread.get());
        threads.push_back(std::move(thread));
    }
}

void FileTransfer::settle(bool segmentsEnded) {
    HeaderUpdate header;
    FileEnd end;
    {
        CriticalSectionLock lock(context_.controlLock);
        const FileEndFacts facts = fileEndFacts(item_, context_.errors.stopRequest(), segmentsEnded);
        end = decideFileEnd(facts);
        if (facts.failed || end.kind == FileEnd::Kind::Stopped) {
            // A failed file has its code already; a stopped one stays as it is, resumable.
            return;
        }
        item_.elapsed = std::max<int64_t>(currentTimeTicks() - fileTimeTicks(item_.startedTime), 0);
        item_.rate = transferRate(item_.downloaded, item_.elapsed);
        header.add(item_, HeaderElapsed);
        header.add(item_, HeaderRate);
        if (item_.size < 0) {
            // The server did not tell the size: the file is what arrived until it closed.
            item_.size = item_.downloaded;
            item_.remaining = 0;
            header.add(item_, HeaderSize);
            header.add(item_, HeaderRemaining);
        }
        if (end.complete()) {
            item_.state = DownloadStateComplete;
            item_.remainingTime = 0;
            header.add(item_, HeaderRemainingTime);
        } else {
            item_.state = DownloadStateIncomplete;
        }
        header.add(item_, HeaderState);
    }
    header.writeTo(item_.headerFile.get(), context_.writer);
    if (!end.complete()) {
        context_.errors.setError(end.code);
        item_.fail(end.code);
    }
}

void FileTransfer::transfer() {
    if (!openFiles()) {
        item_.fail(errors_.error());
        return;
    }
    std::unique_ptr<DownloadClient> client = context_.clients->makeClient(
        item_, settings_.connectionTimeout, settings_.receiveBufferSize, context_.errors);
    if (!client) {
        context_.errors.setError(ErrConnect);
        item_.fail(ErrConnect);
        return;
    }
    SegmentReceiver first(context_, settings_, item_, 0, *client);

    // A file with segments from an earlier run continues from them, unless its size is not known:
    // a body of unknown length cannot be asked for from the middle.
    bool resumed = false;
    FileSegment segment0{&item_, 0, -1, 0};
    int64_t fileSize = -1;
    int32_t requestedSegments = kDefaultSegmentCount;
    std::wstring validator;
    {
        CriticalSectionLock lock(context_.controlLock);
        resumed = !item_.segments.empty() && item_.size > 0;
        if (resumed) {
            segment0 = *item_.segments[0];
        }
        fileSize = item_.size;
        requestedSegments = item_.requestedSegmentCount;
        validator = item_.validator;
    }
    // The rest of a file is asked for only from the version whose bytes are stored.
    client->setValidator(resumed ? validator : std::wstring());

    int32_t pending = 0;
    bool rangesAccepted = false;
    bool done = false;
    bool probe = false;
    bool opened = false;
    for (;;) {
        probe = segment0.size >= 0 && segment0.downloaded >= segment0.size;
        const int64_t start = probe ? segment0.start : segment0.start + segment0.downloaded;
        const int64_t length = probe               ? std::min(fileSize, kSizeProbeBytes)
                               : segment0.size < 0 ? -1
                                                   : segment0.size - segment0.downloaded;
        opened = first.open(start, length, fileSize, pending, rangesAccepted, done);
        if (!opened && resumed && !context_.errors.stopRequest() &&
            (client->fileChanged() || (start > 0 && errors_.error() == ErrHttpStatus))) {
            // The server's file changed, or the server no longer serves it from the middle: fetch it
            // again from its first byte. (This thread's own code: another file's may be newer.)
            resumed = false;
            segment0 = FileSegment{&item_, 0, -1, 0};
            client->setValidator(std::wstring());
            item_.setFailed(false);
            continue;
        }
        break;
    }
    if (!opened || context_.errors.stopRequest()) {
        client->close();
        return;
    }
    if (probe) {
        // Those bytes only confirmed the file; the first segment is complete already.
        client->close();
        pending = 0;
        done = true;
    }

    std::vector<PlannedSegment> plan;
    if (!resumed) {
        if (rangesAccepted && fileSize > 0) {
            plan = planSegments(fileSize, requestedSegments, settings_.minFileSegmentSize);
        } else {
            plan.push_back({0, fileSize});
        }
    }
    HeaderUpdate header;
    int64_t dataLength = 0;
    {
        CriticalSectionLock lock(context_.controlLock);
        if (!resumed) {
            item_.size = fileSize;
            item_.downloaded = 0;
            item_.elapsed = 0;
            item_.validator = client->validator();
            item_.segments.clear();
            for (const PlannedSegment& planned : plan) {
                item_.segments.push_back(
                    std::make_unique<FileSegment>(FileSegment{&item_, planned.start, planned.size, 0}));
            }
        }
        item_.remaining = item_.size < 0 ? -1 : item_.size - item_.downloaded;
        item_.countedBytes = item_.size < 0 ? 0 : item_.downloaded;
        item_.precountedShare = 0;
        header.add(item_, HeaderSegmentCount);
        for (std::size_t i = 0; i < item_.segments.size(); ++i) {
            for (int32_t field = HeaderSegmentStart; field <= HeaderSegmentDownloaded; ++field) {
                header.add(item_, field, static_cast<int32_t>(i));
            }
        }
        header.add(item_, HeaderSize);
        header.add(item_, HeaderDownloaded);
        header.add(item_, HeaderElapsed);
        header.add(item_, HeaderRemaining);
        header.add(item_, HeaderValidatorLength);
        header.add(item_, HeaderValidator);
        dataLength = std::max<int64_t>(item_.size, 0);
        validator = item_.validator;
    }
    // A reconnect of the first segment asks for the same version too.
    client->setValidator(validator);
    header.writeTo(item_.headerFile.get(), context_.writer);
    // Sized once, so that every segment writes in place.
    if (!context_.writer.setLength(item_.dataFile.get(), item_.dataPath, dataLength)) {
        context_.errors.setError(ErrDataFileWrite);
        item_.fail(ErrDataFileWrite);
    }
    if (item_.failed() || context_.errors.stopRequest()) {
        client->close();
        return;
    }

    std::unique_ptr<ProgressSnapshot> snapshot;
    int32_t segmentCount = 0;
    {
        CriticalSectionLock lock(context_.controlLock);
        item_.state = DownloadStateTransferring;
        item_.startedTime = ticksToFileTime(currentTimeTicks() - item_.elapsed);
        item_.startedTick = GetTickCount64();
        item_.downloadedAtLastReport = item_.downloaded;
        segmentCount = static_cast<int32_t>(item_.segments.size());
        snapshot = std::make_unique<ProgressSnapshot>(snapshotOf(item_));
        header = HeaderUpdate();
        header.add(item_, HeaderState);
        // Last: nothing that can fail may come between this and the guarded part below.
        context_.running.push_back(&item_);
    }
    header.writeTo(item_.headerFile.get(), context_.writer);
    // The file's row is refreshed with its start (one message for both).
    context_.window.postFileStart(std::move(snapshot), segmentCount);

    // From here the file is in the running list and may have segment threads: whatever happens, both are
    // undone below before the file is finished.
    std::vector<ScopedHandle> segmentThreads;
    SegmentReceiver::Outcome firstOutcome = SegmentReceiver::Outcome::Failed;
    if (!runWithoutExceptions([&] {
            startSegmentThreads(segmentThreads);
            firstOutcome = probe ? SegmentReceiver::Outcome::Complete : first.receive(pending, done);
        })) {
        // The segment threads see the failed file and end.
        failOutOfMemory();
    }
    client->close();
    for (const ScopedHandle& thread : segmentThreads) {
        WaitForSingleObject(thread.get(), INFINITE);
    }

    bool segmentsEnded = true;
    {
        CriticalSectionLock lock(context_.controlLock);
        auto& running = context_.running;
        running.erase(std::remove(running.begin(), running.end(), &item_), running.end());
        for (const auto& segment : item_.segments) {
            if (segment->size >= 0 ? segment->downloaded < segment->size
                                   : firstOutcome != SegmentReceiver::Outcome::Complete) {
                segmentsEnded = false;
            }
        }
    }
    settle(segmentsEnded);
}

SegmentTransfer::SegmentTransfer(TransferContext& context, const EngineSettings& settings, DownloadItem& item,
                                 int32_t segmentIndex)
    : errors_(context.errors),
      context_(context.withErrors(errors_)),
      settings_(settings),
      item_(item),
      index_(segmentIndex) {}

void SegmentTransfer::run() {
    if (!runWithoutExceptions([&] { transfer(); })) {
        context_.errors.setError(ErrOutOfMemory);
        item_.fail(ErrOutOfMemory);
    }
}

void SegmentTransfer::transfer() {
    std::unique_ptr<DownloadClient> client = context_.clients->makeClient(
        item_, settings_.connectionTimeout, settings_.receiveBufferSize, context_.errors);
    if (!client) {
        context_.errors.setError(ErrConnect);
        item_.fail(ErrConnect);
        return;
    }
    {
        CriticalSectionLock lock(context_.controlLock);
        client->setValidator(item_.validator);
    }
    SegmentReceiver receiver(context_, settings_, item_, index_, *client);
    int32_t pending = 0;
    bool done = false;
    if (receiver.openRest(pending, done)) {
        receiver.receive(pending, done);
    }
    client->close();
}
