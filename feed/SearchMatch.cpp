#include "feed/SearchMatch.h"

#include "common/TextFunctions.h"

namespace {

bool hasWord(const WordList& words, const std::wstring& word) {
    for (const std::unique_ptr<std::wstring>& candidate : words) {
        if (candidate && compareStrings(*candidate, word, false) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool photoMatchesSearch(const WordList& captionWords, const WordList& searchWords, bool allWordsMustMatch) {
    for (const std::unique_ptr<std::wstring>& word : searchWords) {
        const bool found = word && hasWord(captionWords, *word);
        if (found && !allWordsMustMatch) {
            return true;
        }
        if (!found && allWordsMustMatch) {
            return false;
        }
    }
    return allWordsMustMatch;
}
