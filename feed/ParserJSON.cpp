#include "feed/ParserJSON.h"

#include <cstdint>

void ParserJSON::setText(const wchar_t* text) {
    static const wchar_t kEmpty[] = L"";
    text_ = text ? text : kEmpty;
    parser_.reset();
    parser_.setText(text_, false);
    // JSON has no character entities, and "<!--" in it is never a comment.
    parser_.setEntityRecognition(false);
    parser_.setTokenSeen(true);
    path_.clear();
    popPending_ = false;
    tooDeep_ = false;
    containers_.clear();
    arrayKeys_.clear();
}

bool ParserJSON::next(std::wstring& key, std::wstring& value, bool& objectStart, bool& objectEnd) {
    key.clear();
    value.clear();
    objectStart = false;
    objectEnd = false;
    // Whether key holds a key string read by this call (a key may be the empty string).
    bool haveKey = false;
    ParsedEntity entity;
    while (!tooDeep_ && parser_.getNextEntity(entity, false)) {
        switch (entity.kind) {
        case EntityKind::Delimiter:
            switch (text_[entity.start]) {
            case L'{':
                openObject(key, haveKey);
                if (tooDeep_)
                    break;
                key = path_;
                objectStart = true;
                return true;
            case L'}':
                closeObject();
                key = path_;
                objectEnd = true;
                return true;
            case L'[':
                openArray(key, haveKey);
                break;
            case L']':
                closeArray();
                break;
            default:
                break;
            }
            break;
        case EntityKind::String:
            if (insideArray()) {
                break;  // an array element, not a key
            }
            if (!haveKey) {
                // Keys are taken as they stand: an escaped key never matches a watched path.
                key.assign(stringContent(entity));
                haveKey = true;
                if (popPending_) {
                    removeLastPathComponent();
                }
                popPending_ = false;
                break;
            }
            popPending_ = false;
            qualify(key);
            value = unescape(stringContent(entity));
            return true;
        case EntityKind::Word:
        case EntityKind::KeywordOperator:
        case EntityKind::UnaryKeyword:
        case EntityKind::RegExp:
            if (insideArray() || !haveKey) {
                break;  // a bare value
            }
            qualify(key);
            value.assign(text_ + entity.start, static_cast<size_t>(entity.length));
            return true;
        default:
            break;  // ":", signs and other operators, comments
        }
    }
    key.clear();
    return false;
}

bool ParserJSON::insideArray() const {
    return !containers_.empty() && containers_.back() != Container::Object;
}

void ParserJSON::openObject(std::wstring& key, bool haveKey) {
    if (insideArray() && containers_.back() == Container::ArrayHoldingKey) {
        // The array's first object element opens with the array's key; the following ones reuse
        // the path it left behind (the pending removal is simply dropped below).
        key = std::move(arrayKeys_.back());
        arrayKeys_.pop_back();
        containers_.back() = Container::Array;
        haveKey = true;
    }
    if (path_.empty()) {
        path_ = key;
    } else if (haveKey) {
        path_ += L'.';
        path_ += key;
    }
    popPending_ = false;
    pushContainer(Container::Object);
}

void ParserJSON::closeObject() {
    // Arrays left open inside the object end with it.
    while (insideArray()) {
        closeArray();
    }
    if (!containers_.empty()) {
        containers_.pop_back();
    }
    if (popPending_) {
        removeLastPathComponent();
    }
    popPending_ = true;
}

void ParserJSON::openArray(std::wstring& key, bool& haveKey) {
    if (insideArray()) {
        // A nested array takes over the key its enclosing array still holds, so that "[[{" opens
        // its object with it as "[{" would.
        if (containers_.back() == Container::ArrayHoldingKey) {
            containers_.back() = Container::Array;
            pushContainer(Container::ArrayHoldingKey);
        } else {
            pushContainer(Container::Array);
        }
        return;
    }
    if (haveKey) {
        // The array consumes the key that opened it.
        arrayKeys_.push_back(std::move(key));
        key.clear();
        haveKey = false;
        pushContainer(Container::ArrayHoldingKey);
    } else {
        pushContainer(Container::Array);
    }
}

void ParserJSON::pushContainer(Container container) {
    containers_.push_back(container);
    tooDeep_ = containers_.size() > kMaxJsonDepth;
}

void ParserJSON::closeArray() {
    if (!insideArray()) {
        return;  // a "]" that closes nothing open
    }
    if (containers_.back() == Container::ArrayHoldingKey) {
        arrayKeys_.pop_back();
    }
    containers_.pop_back();
}

void ParserJSON::removeLastPathComponent() {
    const size_t dot = path_.rfind(L'.');
    path_.erase(dot == std::wstring::npos ? 0 : dot);
}

void ParserJSON::qualify(std::wstring& key) const {
    if (path_.empty()) {
        return;
    }
    std::wstring joined;
    joined.reserve(path_.size() + 1 + key.size());
    joined.append(path_).append(1, L'.').append(key);
    key.swap(joined);
}

std::wstring_view ParserJSON::stringContent(const ParsedEntity& entity) const {
    // Without the opening quote, and without the closing one when the string has one: a string
    // cut by the end of the text keeps all it has.
    if (entity.length < 2) {
        return std::wstring_view();
    }
    size_t length = static_cast<size_t>(entity.length) - 1;
    if (!entity.flags[UnterminatedFlag]) {
        --length;
    }
    return std::wstring_view(text_ + entity.start + 1, length);
}

bool ParserJSON::isHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

namespace {

unsigned hexValue(wchar_t c) {
    if (c <= L'9') {
        return static_cast<unsigned>(c - L'0');
    }
    if (c <= L'F') {
        return static_cast<unsigned>(c - L'A' + 10);
    }
    return static_cast<unsigned>(c - L'a' + 10);
}

// Removes each double-quoted segment: from an unescaped double quote through the next one, or to
// the end of the text. A quote counts as escaped when a backslash stands directly before it.
std::wstring removeQuotedSegments(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const wchar_t c = text[i];
        // What stands before this character is what is left of the text before it.
        if (c == L'"' && !(!out.empty() && out.back() == L'\\')) {
            size_t j = i + 1;
            while (j < text.size() && !(text[j] == L'"' && text[j - 1] != L'\\')) {
                ++j;
            }
            i = j < text.size() ? j + 1 : text.size();
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace

std::wstring ParserJSON::unescape(std::wstring_view raw) {
    std::wstring unquoted;
    if (raw.find(L'"') != std::wstring_view::npos) {
        unquoted = removeQuotedSegments(raw);
        raw = unquoted;
    }
    if (raw.find(L'\\') == std::wstring_view::npos) {
        return std::wstring(raw);
    }

    std::wstring out;
    out.reserve(raw.size());
    const size_t n = raw.size();
    size_t i = 0;
    while (i < n) {
        wchar_t c = raw[i++];
        if (c != L'\\') {
            out += c;
            continue;
        }
        if (i >= n) {
            break;  // a backslash at the very end just goes
        }
        c = raw[i++];
        switch (c) {
        case L'a':
            out += L'\a';
            break;
        case L'b':
            out += L'\b';
            break;
        case L'f':
            out += L'\f';
            break;
        case L'n':
            out += L'\n';
            break;
        case L'r':
            out += L'\r';
            break;
        case L't':
            out += L'\t';
            break;
        case L'v':
            out += L'\v';
            break;
        case L'u':
            // Exactly four hexadecimal digits make one UTF-16 unit; anything else stays as text.
            if (i + 4 <= n && isHexDigit(raw[i]) && isHexDigit(raw[i + 1]) && isHexDigit(raw[i + 2]) &&
                isHexDigit(raw[i + 3])) {
                const unsigned unit = (hexValue(raw[i]) << 12) | (hexValue(raw[i + 1]) << 8) |
                                      (hexValue(raw[i + 2]) << 4) | hexValue(raw[i + 3]);
                out += static_cast<wchar_t>(unit);
                i += 4;
            } else {
                out += L'u';
            }
            break;
        case L'x': {
            // The whole run of digits goes; its value (saturated at 32 bits) gives the low 16 bits.
            uint64_t number = 0;
            const size_t runStart = i;
            while (i < n && isHexDigit(raw[i])) {
                number = number * 16 + hexValue(raw[i]);
                if (number > UINT32_MAX) {
                    number = UINT32_MAX;
                }
                ++i;
            }
            if (i > runStart) {
                out += static_cast<wchar_t>(number & 0xFFFF);
            } else {
                out += L'x';
            }
            break;
        }
        default:
            // \" \' \? \\ and every other escaped character stand for themselves.
            out += c;
            break;
        }
    }
    return out;
}
