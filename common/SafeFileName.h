#pragma once
// File names made from server text. Addresses, ids and user names come from the service and may
// hold anything; every name built here is a single plain file name that stays inside the folder
// it is joined to: no separators, no stream or drive colon, no device name, no trailing dot or
// space, never empty.
#include <functional>
#include <string>

// Lower-cased copy of text with the characters Windows forbids in file names (< > : " / \ | ? *)
// and control characters replaced by "_", trailing dots and spaces removed, over-long text cut
// and a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension) prefixed with
// "_". May be empty when the text was.
std::wstring makeSafeFileName(const std::wstring& text);

// The last segment of the address's path (query and fragment dropped; the whole text when it has
// no slash), made safe. When that is empty, the item's id made safe; when that is empty too, "_".
std::wstring fileNameFromUrl(const std::wstring& url, const std::wstring& id);

// The extension of the address's last path segment (after its last "."), lower-cased, when it is
// 1 to 5 ASCII letters or digits; else "".
std::wstring urlExtension(const std::wstring& url);

// A work file for a thumbnail or full-size picture: "<safe user>_<unique name>.<extension>", or
// without ".<extension>" when the address has no usable one. uniqueName is a makeGuidFileName.
std::wstring workFileName(const std::wstring& userName, const std::wstring& url,
                          const std::wstring& uniqueName);

// The name a saved item gets in the chosen folder: "<safe user>_<fileName>".
std::wstring savedFileName(const std::wstring& userName, const std::wstring& fileName);

// A name no other item of the job's user has: name itself when taken(name) is false, else
// "<stem>_<safe id><extension>" (and "_2", "_3" ... after it while that is taken too), the stem cut
// so the name stays within the length limit. The id keeps the name the same in every save.
std::wstring distinctFileName(const std::wstring& name, const std::wstring& id,
                              const std::function<bool(const std::wstring&)>& taken);
