#include "common/SafeFileName.h"

#include "common/TextFunctions.h"

namespace {

// Room for "<user>_" and the folder within the usual 255-character name limit.
constexpr size_t kMaximumNameLength = 200;

bool isForbidden(wchar_t c) {
    return c < 0x20 || c == 0x7F || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'/' ||
           c == L'\\' || c == L'|' || c == L'?' || c == L'*';
}

void trimTrailingDotsAndSpaces(std::wstring& name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
}

bool isDeviceName(const std::wstring& lowerName) {
    // The device rule looks at the part before the first dot, trailing spaces ignored.
    std::wstring base = lowerName.substr(0, lowerName.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    if (base == L"con" || base == L"prn" || base == L"aux" || base == L"nul")
        return true;
    return base.size() == 4 && (base.compare(0, 3, L"com") == 0 || base.compare(0, 3, L"lpt") == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

// The path part of an address: after "scheme://authority" when there is one, before "?" or "#".
std::wstring urlPath(const std::wstring& url) {
    std::wstring path = url.substr(0, url.find_first_of(L"?#"));
    const size_t scheme = path.find(L"://");
    if (scheme != std::wstring::npos) {
        const size_t pathStart = path.find(L'/', scheme + 3);
        path = pathStart == std::wstring::npos ? std::wstring() : path.substr(pathStart);
    }
    return path;
}

std::wstring lastSegment(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool isAsciiLetterOrDigit(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

}  // namespace

std::wstring makeSafeFileName(const std::wstring& text) {
    std::wstring name = toLowerCase(text);
    for (wchar_t& c : name) {
        if (isForbidden(c))
            c = L'_';
    }
    if (name.size() > kMaximumNameLength) {
        // The stem is cut; a short extension stays, so the saved file keeps its type.
        const size_t dot = name.rfind(L'.');
        const size_t extensionLength =
            dot != std::wstring::npos && name.size() - dot <= 16 ? name.size() - dot : 0;
        name.erase(kMaximumNameLength - extensionLength, name.size() - kMaximumNameLength);
    }
    trimTrailingDotsAndSpaces(name);
    if (isDeviceName(name))
        name.insert(0, 1, L'_');
    return name;
}

std::wstring fileNameFromUrl(const std::wstring& url, const std::wstring& id) {
    std::wstring name = makeSafeFileName(lastSegment(urlPath(url)));
    if (name.empty())
        name = makeSafeFileName(id);
    return name.empty() ? std::wstring(L"_") : name;
}

std::wstring urlExtension(const std::wstring& url) {
    const std::wstring segment = lastSegment(urlPath(url));
    const size_t dot = segment.rfind(L'.');
    if (dot == std::wstring::npos)
        return std::wstring();
    const std::wstring extension = segment.substr(dot + 1);
    if (extension.empty() || extension.size() > 5)
        return std::wstring();
    for (wchar_t c : extension) {
        if (!isAsciiLetterOrDigit(c))
            return std::wstring();
    }
    return toLowerCase(extension);
}

std::wstring workFileName(const std::wstring& userName, const std::wstring& url,
                          const std::wstring& uniqueName) {
    const std::wstring extension = urlExtension(url);
    std::wstring name = makeSafeFileName(userName) + L"_" + uniqueName;
    if (!extension.empty())
        name += L"." + extension;
    return name;
}

std::wstring savedFileName(const std::wstring& userName, const std::wstring& fileName) {
    return makeSafeFileName(userName) + L"_" + fileName;
}

std::wstring distinctFileName(const std::wstring& name, const std::wstring& id,
                              const std::function<bool(const std::wstring&)>& taken) {
    if (!taken(name))
        return name;
    const size_t dot = name.rfind(L'.');
    const size_t extensionLength =
        dot != std::wstring::npos && dot > 0 && name.size() - dot <= 16 ? name.size() - dot : 0;
    const std::wstring extension = name.substr(name.size() - extensionLength);
    const std::wstring stem = name.substr(0, name.size() - extensionLength);
    const std::wstring mark = makeSafeFileName(id).substr(0, 64);
    for (int attempt = 1;; ++attempt) {
        std::wstring suffix = L"_" + mark;
        if (mark.empty() || attempt > 1)
            suffix += (mark.empty() ? L"" : L"_") + std::to_wstring(attempt);
        const size_t room = kMaximumNameLength - suffix.size() - extension.size();
        const std::wstring candidate = stem.substr(0, room) + suffix + extension;
        if (!taken(candidate))
            return candidate;
    }
}
