#pragma once
// The caption search's word test, shared by the thumbnail batches (photos arriving while a search
// is active) and the search itself.
#include <memory>
#include <string>
#include <vector>

using WordList = std::vector<std::unique_ptr<std::wstring>>;

// Any-word mode: some search word equals some caption word (false when either list is empty).
// All-words mode: every search word equals some caption word (true for an empty search). Words
// are compared without regard to case.
bool photoMatchesSearch(const WordList& captionWords, const WordList& searchWords, bool allWordsMustMatch);
