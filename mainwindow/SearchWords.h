#pragma once
// The search box's text as search words: split where captions split, lower-cased like them, so the
// word test compares like with like.
#include "feed/SearchMatch.h"

#include <string>

// Symbols and emoji are blanked, the text split at the caption delimiters, each field trimmed and
// lower-cased. A field of blanks only is dropped: as an empty word it would match every caption
// with an empty word, and in all-words mode fail every other.
WordList parseSearchWords(const std::wstring& text);
