#include "FeedRecordText.h"

#include <windows.h>

namespace feedtext {
namespace {

std::string field(const std::wstring& text) {
    std::string escaped;
    for (char c : toUtf8(text)) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                        nullptr);
    return bytes;
}

std::string photoLine(const PhotoMessageInfo& photo) {
    return "photo\t" + field(photo.lowResolutionUrl) + "\t" + field(photo.standardResolutionUrl) + "\t" +
           field(photo.videoUrl) + "\t" + field(photo.dateText) + "\t" + field(photo.captionText) + "\t" +
           field(photo.link) + "\t" + field(photo.id);
}

std::string nextLine(const std::wstring& suffix) {
    return suffix.empty() ? "next" : "next " + toUtf8(suffix);
}

std::string profileLines(const ProfilePageScan& scan) {
    std::string lines;
    if (scan.hasCount)
        lines += "total " + std::to_string(scan.mediaCount) + "\n";
    return lines + nextLine(scan.nextSuffix) + "\n";
}

std::string feedLines(const FeedPageScan& scan) {
    if (!scan.valid)
        return "invalid\n";
    std::string lines;
    for (const auto& photo : scan.photos)
        lines += photoLine(*photo) + "\n";
    return lines + nextLine(scan.nextSuffix) + "\n";
}

}  // namespace feedtext
