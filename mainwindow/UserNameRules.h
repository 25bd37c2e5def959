#pragma once
// The user name in what was typed or pasted into the user-name box.
#include <string>

// The text trimmed and lower-cased, without a query ('?' onward) or fragment ('#' onward); its last
// segment between slashes (trailing slashes ignored), so a pasted profile link gives the name at
// its end; every white-space character removed. Empty for a text of slashes or blanks.
std::wstring extractUserName(const std::wstring& text);
