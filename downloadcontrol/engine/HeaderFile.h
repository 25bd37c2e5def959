#pragma once
// The temporary header file of a download: a small binary file in the header folder that records a file's
// identity, paths, credentials, sizes, times and segments, so that a later run can resume it. It is
// written whole when a run prepares the file, then updated field by field in place while the file
// downloads (at headerFieldOffset, with the bytes of headerFieldBytes), and read back by resume.
//
// Layout, little-endian, fields in this order; a text is its byte length (4 bytes) followed by its UTF-16
// units without a terminator:
//   0 state slot (4): 0 while written or downloading, kHeaderMagic once consistent and closed
//   1-2 URL, 3 implicit-TLS flag (1 byte), 4-5 display name, 6-7 save path, 8-9 data path,
//   10 validator length, 11 validator slot (120 bytes, 60 units; the unused rest is skipped),
//   12-13 referer, 14-15 user name, 16-17 password,
//   18 state (4), 19 size (8), 20 downloaded (8), 21 elapsed (8, 100-ns ticks), 22 remaining (8),
//   23 remaining time (8, 100-ns ticks), 24 rate (8, double), 25 weight (8, double),
//   26 requested segment count (4), 27 segment count (4),
//   then per segment i: 28 + 3i start (8), 29 + 3i size (8), 30 + 3i downloaded (8).
#include <cstdint>
#include <memory>
#include <string>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/engine/DownloadItem.h"

enum HeaderField : int32_t {
    HeaderStateSlot = 0,
    HeaderUrlLength = 1,
    HeaderUrl = 2,
    HeaderImplicitTls = 3,
    HeaderDisplayNameLength = 4,
    HeaderDisplayName = 5,
    HeaderSavePathLength = 6,
    HeaderSavePath = 7,
    HeaderDataPathLength = 8,
    HeaderDataPath = 9,
    HeaderValidatorLength = 10,
    HeaderValidator = 11,
    HeaderRefererLength = 12,
    HeaderReferer = 13,
    HeaderUserNameLength = 14,
    HeaderUserName = 15,
    HeaderPasswordLength = 16,
    HeaderPassword = 17,
    HeaderState = 18,
    HeaderSize = 19,
    HeaderDownloaded = 20,
    HeaderElapsed = 21,
    HeaderRemaining = 22,
    HeaderRemainingTime = 23,
    HeaderRate = 24,
    HeaderWeight = 25,
    HeaderRequestedSegmentCount = 26,
    HeaderSegmentCount = 27,
    HeaderSegmentStart = 28,       // with a segment index
    HeaderSegmentSize = 29,        // with a segment index
    HeaderSegmentDownloaded = 30,  // with a segment index
};

// The closing mark in the state slot of a consistent, closed header.
constexpr uint32_t kHeaderMagic = 0x2AC87F1E;
// The fixed slot of the validator text.
constexpr std::size_t kValidatorSlotBytes = 120;

// Byte offset of a field in the item's header; the segment fields take the segment index. -1 for a field
// number outside 0..30 or a negative segment index.
int64_t headerFieldOffset(const DownloadItem& item, int32_t field, int32_t segmentIndex = 0);

// The bytes that the item's header holds in a field now, to be written at headerFieldOffset. The
// validator gives its text only (at most 60 units); the state slot gives nothing (write 0 or kHeaderMagic).
std::string headerFieldBytes(const DownloadItem& item, int32_t field, int32_t segmentIndex = 0);

// The header file name of a file id ("..._<id>.<extension>") and the wildcard that matches every header.
// A name scope (uniqueHeaderNameScope) gives one control names that no other control uses.
std::wstring headerFileName(int32_t fileId, const std::wstring& scope = {});
std::wstring headerFilePattern(const std::wstring& scope = {});
// The file id in a header file name or path: the decimal text between its last "_" and its last "."; -1
// when either is missing, the "_" comes after the ".", or the text is not a file id.
int32_t headerFileId(const std::wstring& headerPath);

// Creates the item's header in `folder` (ending in a backslash), named in `scope`, stores its path in the
// item and writes the whole header, closing it with kHeaderMagic. False with error 4 when it cannot be
// created or written.
bool createHeaderFile(DownloadItem& item, const std::wstring& folder, LastErrorHolder& errors,
                      const std::wstring& scope = {});

// Reads a header back into a new item (URL parsed, file id from the name, header path set, segments
// owned). Null on failure, with error 5 (cannot open), 6 (short, corrupt or badly named), 12 (URL does not
// parse) or 26 (not closed with kHeaderMagic). *url receives the URL when it could be read.
std::unique_ptr<DownloadItem> readHeaderFile(const std::wstring& headerPath, LastErrorHolder& errors,
                                             std::wstring* url = nullptr);
