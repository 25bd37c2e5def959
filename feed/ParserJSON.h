#pragma once
// Pull reader over a JSON text. Each call to next reports one object start, one object end, or one
// key with a scalar value; keys come as the dot-joined path of the objects that enclose them
// ("items.images.low_resolution.url"). It builds no tree and checks no grammar: it reads the token
// stream of the script tokenizer and keeps only the current path, so any text, however malformed
// or cut short, is read to its end without error, unless it nests deeper than kMaxJsonDepth.
//
// Arrays add nothing to the path. Each object in an array is reported with the array's key (the
// objects of "items":[...] each start and end as "items"); scalar elements are skipped, so an
// array never pairs up with the keys and values that follow it.
#include "feed/Parser.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Containers open at once beyond which the reading ends: feed pages nest a few levels, and a text
// nested millions deep would cost time with the square of its depth, as every result carries the
// path through all of them.
constexpr size_t kMaxJsonDepth = 256;

class ParserJSON {
public:
    ParserJSON() = default;
    ParserJSON(const ParserJSON&) = delete;
    ParserJSON& operator=(const ParserJSON&) = delete;

    // Starts over on a NUL-terminated text, which the caller keeps alive and unchanged while the
    // reader is used.
    void setText(const wchar_t* text);

    // The next result; false at the end of the text. On true exactly one of: objectStart (key is
    // the object's path), objectEnd (key is the path of the object being closed), or neither (key
    // and value of a scalar). String values are unescaped, keys are not; other values (numbers,
    // true, false, null) are their text, without a sign or a fraction ("-5" gives "5").
    bool next(std::wstring& key, std::wstring& value, bool& objectStart, bool& objectEnd);

    // True when the text nested deeper than kMaxJsonDepth; next returned false there.
    bool tooDeep() const { return tooDeep_; }

    // Resolves the escapes of a string value: \" \' \? \\ \a \b \f \n \r \t \v, \u with exactly
    // four hexadecimal digits (else the "u" stays as text), \x with a run of hexadecimal digits
    // (the value's low 16 bits; a run beyond 32 bits saturates). Any other escaped character stands
    // for itself. Double-quoted segments inside the text are removed. Linear in the text's length.
    static std::wstring unescape(std::wstring_view raw);

    static bool isHexDigit(wchar_t c);

private:
    // What encloses the current position.
    enum class Container : uint8_t {
        Object,
        Array,            // an array whose key has been given to an object element (or that had none)
        ArrayHoldingKey,  // an array still holding the key it was opened with, in arrayKeys_.back()
    };

    bool insideArray() const;
    void openObject(std::wstring& key, bool haveKey);
    void closeObject();
    void openArray(std::wstring& key, bool& haveKey);
    void closeArray();
    void pushContainer(Container container);
    void removeLastPathComponent();
    void qualify(std::wstring& key) const;
    std::wstring_view stringContent(const ParsedEntity& entity) const;

    const wchar_t* text_ = nullptr;
    std::wstring path_;
    bool popPending_ = false;
    bool tooDeep_ = false;
    std::vector<Container> containers_;
    std::vector<std::wstring> arrayKeys_;
    Parser parser_;
};
