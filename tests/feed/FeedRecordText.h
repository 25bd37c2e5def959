#pragma once
// The records and findings of the feed page scans as the lines of the sample pages' expected files
// (tests/data/feed/*.expected.txt, written by tools/fixture-site/make_golden.py), in UTF-8.
#include "feed/FeedPageScan.h"
#include "feed/FeedRecords.h"

#include <string>

namespace feedtext {

// "photo<TAB>low<TAB>standard<TAB>video<TAB>date<TAB>caption<TAB>link<TAB>id"; backslash, tab, line
// feed and carriage return inside a field as \\ \t \n \r.
std::string photoLine(const PhotoMessageInfo& photo);

// "next <suffix>", or "next" without one.
std::string nextLine(const std::wstring& suffix);

// Every line of a profile or feed page's findings, each ending in a line feed.
std::string profileLines(const ProfilePageScan& scan);
std::string feedLines(const FeedPageScan& scan);

std::string toUtf8(const std::wstring& text);

}  // namespace feedtext
