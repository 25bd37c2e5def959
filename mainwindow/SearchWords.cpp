#include "mainwindow/SearchWords.h"

#include "common/TextFunctions.h"
#include "mainwindow/WorkerMessageRules.h"

#include <algorithm>

WordList parseSearchWords(const std::wstring& text) {
    std::wstring copy = text;
    blankSymbolsAndEmoji(copy);
    WordList words;
    splitString(toLowerCase(copy), kCaptionWordDelimiters, words, false);
    words.erase(
        std::remove_if(words.begin(), words.end(),
                       [](const std::unique_ptr<std::wstring>& word) { return !word || word->empty(); }),
        words.end());
    return words;
}
