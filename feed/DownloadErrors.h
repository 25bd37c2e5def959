#pragma once
// Failure codes of the download control that the feed acts on, as its GetLastError reports them.

constexpr long kErrorUrlParse = 12;  // AddFile: no address can be made of the text
constexpr long kErrorNoConnection = 13;
constexpr long kErrorNotFound = 17;      // the server answered with an error status or a redirect
constexpr long kErrorAccessDenied = 30;  // 401 or 403: the server refuses the file
constexpr long kErrorDuplicateUrl = 31;  // AddFile: the address is queued already
constexpr long kErrorStopped = 33;
