#include "saving/ZipArchive.h"

#include "common/PathFunctions.h"
#include "saving/JobRecords.h"
#include "saving/PostRecord.h"

// zip.h first: iowin32.h builds on its declarations.
#include <zip.h>
#include <iowin32.h>

#include <memory>
#include <new>
#include <string>

// minizip writes through iowin32's functions; these wrappers keep the Win32 error of the first
// failing call, which minizip itself reduces to "an error". They also gather minizip's writes:
// it writes each header field on its own, and every write is a call to the system.
struct ZipArchiveIo {
    static constexpr size_t kGatherBytes = 64 * 1024;

    struct Stream {
        voidpf file;
        std::string gathered;  // written by minizip, not yet by the system
    };

    static const zlib_filefunc64_def& win32() {
        static const zlib_filefunc64_def functions = [] {
            zlib_filefunc64_def filled;
            fill_win32_filefunc64W(&filled);
            return filled;
        }();
        return functions;
    }

    static voidpf ZCALLBACK open(voidpf opaque, const void* name, int mode) {
        voidpf file = win32().zopen64_file(nullptr, name, mode);
        if (!file) {
            static_cast<ZipArchive*>(opaque)->fail(GetLastError());
            return nullptr;
        }
        auto* stream = new (std::nothrow) Stream{file, std::string()};
        if (!stream) {
            win32().zclose_file(nullptr, file);
            static_cast<ZipArchive*>(opaque)->fail(ERROR_NOT_ENOUGH_MEMORY);
        }
        return stream;
    }

    // A short write is written on from where it stopped; the write that then fails says why
    // (a full disk gives a short write first, and only the next one reports the disk full).
    static bool writeAll(voidpf opaque, voidpf file, const char* bytes, size_t size) {
        size_t total = 0;
        while (total < size) {
            SetLastError(0);
            const uLong written =
                win32().zwrite_file(nullptr, file, bytes + total, static_cast<uLong>(size - total));
            if (written == 0) {
                static_cast<ZipArchive*>(opaque)->fail(GetLastError());
                return false;
            }
            total += written;
        }
        return true;
    }

    static bool flush(voidpf opaque, Stream& stream) {
        const bool written = writeAll(opaque, stream.file, stream.gathered.data(), stream.gathered.size());
        stream.gathered.clear();
        return written;
    }

    static uLong ZCALLBACK write(voidpf opaque, voidpf handle, const void* buffer, uLong size) {
        Stream& stream = *static_cast<Stream*>(handle);
        const char* bytes = static_cast<const char*>(buffer);
        if (stream.gathered.size() + size > kGatherBytes && !flush(opaque, stream))
            return 0;
        if (size >= kGatherBytes)
            return writeAll(opaque, stream.file, bytes, size) ? size : 0;
        try {
            stream.gathered.append(bytes, size);
        } catch (...) {
            static_cast<ZipArchive*>(opaque)->fail(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        return size;
    }

    static uLong ZCALLBACK read(voidpf opaque, voidpf handle, void* buffer, uLong size) {
        Stream& stream = *static_cast<Stream*>(handle);
        return flush(opaque, stream) ? win32().zread_file(nullptr, stream.file, buffer, size) : 0;
    }

    static ZPOS64_T ZCALLBACK tell(voidpf, voidpf handle) {
        const Stream& stream = *static_cast<Stream*>(handle);
        const ZPOS64_T position = win32().ztell64_file(nullptr, stream.file);
        return position == static_cast<ZPOS64_T>(-1) ? position : position + stream.gathered.size();
    }

    static long ZCALLBACK seek(voidpf opaque, voidpf handle, ZPOS64_T offset, int origin) {
        Stream& stream = *static_cast<Stream*>(handle);
        return flush(opaque, stream) ? win32().zseek64_file(nullptr, stream.file, offset, origin) : -1;
    }

    static int ZCALLBACK close(voidpf opaque, voidpf handle) {
        std::unique_ptr<Stream> stream(static_cast<Stream*>(handle));
        const bool flushed = flush(opaque, *stream);
        const int result = win32().zclose_file(nullptr, stream->file);
        if (result != 0)
            static_cast<ZipArchive*>(opaque)->fail(GetLastError());
        return flushed ? result : -1;
    }

    static int ZCALLBACK error(voidpf, voidpf handle) {
        return win32().zerror_file(nullptr, static_cast<Stream*>(handle)->file);
    }

    static zlib_filefunc64_def functionsFor(ZipArchive* archive) {
        zlib_filefunc64_def functions = win32();
        functions.zopen64_file = open;
        functions.zread_file = read;
        functions.zwrite_file = write;
        functions.ztell64_file = tell;
        functions.zseek64_file = seek;
        functions.zclose_file = close;
        functions.zerror_file = error;
        functions.opaque = archive;
        return functions;
    }
};

namespace {

class ReadHandle {
public:
    // Opened for deletion too when asked: the file then goes when the handle closes, which costs
    // the system one open fewer than deleting it by name afterwards. A file that cannot be opened
    // so is opened for reading alone (deletes() false).
    ReadHandle(const std::wstring& path, bool deleteOnClose) {
        const std::wstring longPath = makeLongPath(path);
        if (deleteOnClose) {
            handle_ = CreateFileW(longPath.c_str(), GENERIC_READ | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            deletes_ = isOpen();
        }
        if (!isOpen())
            handle_ = openExistingFileRaw(longPath, GENERIC_READ, FILE_SHARE_READ);
    }
    ~ReadHandle() {
        if (isOpen())
            closeFileHandle(handle_);
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool deletes() const { return deletes_; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool deletes_ = false;
};

bool isAscii(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

std::string toUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                        nullptr);
    return result;
}

// The entry's date (the file's last-write time in the current time zone, as zip stores it) and
// its DOS attribute bits, read through the open file: a file whose details cannot be read is an
// ordinary file of no date.
void fillEntryDetails(HANDLE file, zip_fileinfo& info) {
    FILE_BASIC_INFO details;
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &details, sizeof(details))) {
        info.external_fa = FILE_ATTRIBUTE_ARCHIVE;
        return;
    }
    info.external_fa = details.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    FILETIME written;
    written.dwLowDateTime = static_cast<DWORD>(details.LastWriteTime.QuadPart);
    written.dwHighDateTime = static_cast<DWORD>(details.LastWriteTime.QuadPart >> 32);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&written, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return;
    }
    info.tmz_date.tm_sec = local.wSecond;
    info.tmz_date.tm_min = local.wMinute;
    info.tmz_date.tm_hour = local.wHour;
    info.tmz_date.tm_mday = local.wDay;
    info.tmz_date.tm_mon = local.wMonth - 1;
    info.tmz_date.tm_year = local.wYear;
}

constexpr uLong kLanguageEncodingFlag = 0x800;  // general-purpose bit 11: the name is UTF-8

}  // namespace

ZipArchive::ZipArchive(HWND window, int32_t generation) : window_(window), generation_(generation) {}

ZipArchive::~ZipArchive() {
    close();
}

bool ZipArchive::open(const std::wstring& path) {
    close();
    error_ = 0;
    zlib_filefunc64_def functions = ZipArchiveIo::functionsFor(this);
    const std::wstring longPath = makeLongPath(path);
    zip_ = zipOpen2_64(longPath.c_str(), APPEND_STATUS_CREATE, nullptr, &functions);
    if (!zip_) {
        fail(ERROR_OPEN_FAILED);
        return false;
    }
    return true;
}

bool ZipArchive::close() {
    if (!zip_)
        return false;
    const int result = zipClose(static_cast<zipFile>(zip_), nullptr);
    zip_ = nullptr;
    if (result != ZIP_OK)
        fail(ERROR_WRITE_FAULT);
    return error_ == 0;
}

ZipArchive::AddResult ZipArchive::addFile(const std::wstring& path, bool deleteSource) {
    AddResult result = AddResult::Failed;
    bool deletedOnClose = false;
    if (!zip_ || error_ != 0) {
        fail(ERROR_INVALID_HANDLE);
    } else {
        ReadHandle file(path, deleteSource);
        deletedOnClose = file.deletes();
        result = addOpenFile(path, file.get());
    }
    if (deleteSource && !deletedOnClose)
        DeleteFileW(makeLongPath(path).c_str());
    return result;
}

ZipArchive::AddResult ZipArchive::addOpenFile(const std::wstring& path, HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) {
        unreadableError_ = GetLastError();
        return AddResult::Unreadable;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        unreadableError_ = GetLastError();
        return AddResult::Unreadable;
    }

    const std::wstring name = extractFileName(path);
    const bool ascii = isAscii(name);
    std::string entryName;
    if (ascii)
        entryName.assign(name.begin(), name.end());
    else
        entryName = toUtf8(name);

    zip_fileinfo info = {};
    fillEntryDetails(file, info);

    zipFile zip = static_cast<zipFile>(zip_);
    const int zip64 = size.QuadPart >= 0xFFFFFFFFLL ? 1 : 0;
    // The entry is written raw: it is compressed here, with one state kept for every entry.
    if (!deflater_.begin() ||
        zipOpenNewFileInZip4_64(zip, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                EntryDeflater::kLevel, 1, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                nullptr, 0, 0, ascii ? 0 : kLanguageEncodingFlag, zip64) != ZIP_OK) {
        fail(ERROR_WRITE_FAULT);
        return AddResult::Failed;
    }

    // A read that comes back short ends the file; so a file whose length is a multiple of the chunk
    // ends with one more record of share 0, and an empty file posts its whole unit at once.
    const double total = static_cast<double>(size.QuadPart);
    const auto writeCompressed = [zip](const Bytef* bytes, uInt count) {
        return zipWriteInFileInZip(zip, bytes, count) == ZIP_OK;
    };
    uLong crc = crc32(0, nullptr, 0);
    ZPOS64_T plainSize = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk_.data(), kChunkSize, &read, nullptr)) {
            fail(GetLastError());
            break;
        }
        const bool last = read < kChunkSize;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk_.data()), read);
        plainSize += read;
        if (!deflater_.add(chunk_.data(), read, last, writeCompressed)) {
            fail(ERROR_WRITE_FAULT);
            break;
        }
        post(total > 0 ? read / total : 1.0);
        if (last)
            break;
    }
    if (zipCloseFileInZipRaw64(zip, plainSize, crc) != ZIP_OK)
        fail(ERROR_WRITE_FAULT);
    return error_ == 0 ? AddResult::Added : AddResult::Failed;
}

void ZipArchive::fail(DWORD error) {
    // The first failure is the one that explains it; later calls only echo it.
    if (error_ == 0)
        error_ = error != 0 ? error : ERROR_WRITE_FAULT;
}

void ZipArchive::post(double share) {
    auto record = std::make_unique<ZipArchiveMessageInfo>();
    record->generation = generation_;
    record->share = share;
    postRecord(window_, WM_ZIP_PROGRESS, std::move(record));
}
