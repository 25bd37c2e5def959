#include "feed/Parser.h"

#include <climits>
#include <cwchar>
#include <vector>

namespace {

// The character tables, shared read-only by every tokenizer.
struct ScriptTokenTables {
    enum : uint8_t {
        Separator = 1,  // skipped between tokens
        LineBreak = 2,  // skipped too, and ends a line comment or a regular-expression attempt
        Delimiter = 4,
        Operator = 8,  // can start an operator
        Quote = 16,
        RegExpFlag = 32,
        WordStop = Separator | LineBreak | Delimiter | Operator | Quote,
    };

    struct Keyword {
        const wchar_t* text;
        EntityKind kind;
        bool expressionFollows;  // a regular expression may follow the keyword

        bool matches(const wchar_t* word, size_t length) const {
            return wcslen(text) == length && wcsncmp(text, word, length) == 0;
        }
    };

    ScriptTokenTables();

    uint8_t classOf(wchar_t c) const {
        if (c < 128) {
            return classes[c];
        }
        return c == 0x00A0 ? Separator : 0;
    }

    // The keyword a word spells, or null.
    const Keyword* findKeyword(const wchar_t* word, size_t length) const {
        if (length < 2 || length > 10 || word[0] < L'a' || word[0] > L'z') {
            return nullptr;
        }
        for (const Keyword& keyword : keywords) {
            if (keyword.matches(word, length)) {
                return &keyword;
            }
        }
        return nullptr;
    }

    uint8_t classes[128] = {};
    // The operators that start with each character, longest first.
    std::vector<const wchar_t*> operators[128];
    std::vector<Keyword> keywords;
};

const wchar_t kSeparators[] = L" \t\v\f\u00A0";
const wchar_t kLineBreaks[] = L"\r\n";
const wchar_t kDelimiters[] = L"(){}[];,.@#";
const wchar_t kQuotes[] = L"'\"";
const wchar_t kRegExpFlags[] = L"gim";

const wchar_t* const kOperators[] = {
    L"!",  L"!=",  L"!==", L"%",  L"%=",  L"&",  L"&&",  L"&=",   L"*", L"*=", L"+",  L"++",  L"+=",
    L"-",  L"--",  L"-=",  L"/",  L"/=",  L":",  L"?",   L"~",    L"<", L"<<", L"<=", L"<<=", L"=",
    L"==", L"===", L">",   L">>", L">>>", L">=", L">>=", L">>>=", L"^", L"^=", L"|",  L"||",  L"|=",
};

// Character entities of the two quote characters, recognised when entity recognition is on.
struct QuoteEntity {
    const wchar_t* text;
    wchar_t quote;
};
const QuoteEntity kQuoteEntities[] = {
    {L"&quot;", L'"'},  {L"&#34;", L'"'},  {L"&#x22;", L'"'},
    {L"&apos;", L'\''}, {L"&#39;", L'\''}, {L"&#x27;", L'\''},
};

ScriptTokenTables::ScriptTokenTables() {
    for (const wchar_t* c = kSeparators; *c; ++c) {
        if (*c < 128) {
            classes[*c] |= Separator;
        }
    }
    for (const wchar_t* c = kLineBreaks; *c; ++c) {
        classes[*c] |= LineBreak;
    }
    for (const wchar_t* c = kDelimiters; *c; ++c) {
        classes[*c] |= Delimiter;
    }
    for (const wchar_t* c = kQuotes; *c; ++c) {
        classes[*c] |= Quote;
    }
    for (const wchar_t* c = kRegExpFlags; *c; ++c) {
        classes[*c] |= RegExpFlag;
    }
    for (const wchar_t* op : kOperators) {
        classes[op[0]] |= Operator;
        std::vector<const wchar_t*>& list = operators[op[0]];
        auto at = list.begin();
        while (at != list.end() && wcslen(*at) >= wcslen(op)) {
            ++at;
        }
        list.insert(at, op);
    }
    keywords = {
        {L"in", EntityKind::KeywordOperator, true},
        {L"instanceof", EntityKind::KeywordOperator, true},
        {L"new", EntityKind::UnaryKeyword, true},
        {L"delete", EntityKind::UnaryKeyword, true},
        {L"typeof", EntityKind::UnaryKeyword, true},
        {L"void", EntityKind::UnaryKeyword, true},
        {L"function", EntityKind::Word, false},
        {L"this", EntityKind::Word, false},
        {L"var", EntityKind::Word, false},
        {L"if", EntityKind::Word, false},
        {L"else", EntityKind::Word, true},
        {L"case", EntityKind::Word, true},
        {L"do", EntityKind::Word, true},
        {L"while", EntityKind::Word, false},
        {L"for", EntityKind::Word, false},
        {L"with", EntityKind::Word, false},
        {L"return", EntityKind::Word, true},
        {L"throw", EntityKind::Word, true},
    };
}

const ScriptTokenTables& scriptTokenTables() {
    // Built on first use (thread-safe) and never destroyed before the process ends.
    static const ScriptTokenTables* const tables = new ScriptTokenTables();
    return *tables;
}

}  // namespace

void initScriptTokenTables() {
    scriptTokenTables();
}

void freeScriptTokenTables() {
    // Nothing to do: the tables outlive every tokenizer (see the header).
}

Parser::Parser() {
    initScriptTokenTables();
}

void Parser::reset() {
    tokenSeen_ = false;
    regExpAllowed_ = true;
    lineBreakSeen_ = false;
}

void Parser::setText(const wchar_t* text, bool markupMode) {
    static const wchar_t kEmpty[] = L"";
    text_ = text ? text : kEmpty;
    // Token offsets are 32-bit; a longer text is read up to that limit.
    length_ = wcsnlen(text_, INT32_MAX - 1);
    markupMode_ = markupMode;
    position_ = 0;
    line_ = 1;
    column_ = 1;
    afterCarriageReturn_ = false;
    reset();
    setStopFlag(false);
}

std::wstring Parser::entityText(const ParsedEntity& entity) const {
    if (!entity.text || entity.start < 0 || entity.length <= 0) {
        return std::wstring();
    }
    return std::wstring(entity.text + entity.start, static_cast<size_t>(entity.length));
}

bool Parser::getNextEntity(ParsedEntity& entity, bool returnSeparators) {
    if (isStopped()) {
        return false;
    }
    const ScriptTokenTables& tables = scriptTokenTables();
    const size_t runStart = position_;
    const int32_t runLine = line_;
    const int32_t runColumn = column_;
    size_t runEnd = position_;
    while (runEnd < length_) {
        const uint8_t cls = tables.classOf(text_[runEnd]);
        if (!(cls & (ScriptTokenTables::Separator | ScriptTokenTables::LineBreak))) {
            break;
        }
        if (cls & ScriptTokenTables::LineBreak) {
            lineBreakSeen_ = true;
        }
        ++runEnd;
    }
    advanceTo(runEnd);

    Scan scan;
    size_t start;
    int32_t line;
    int32_t column;
    if (returnSeparators && runEnd > runStart) {
        scan = Scan{EntityKind::Separators, runEnd, false};
        start = runStart;
        line = runLine;
        column = runColumn;
    } else {
        if (position_ >= length_ || isStopped()) {
            return false;
        }
        start = position_;
        line = line_;
        column = column_;
        scan = scanToken();
    }

    entity.text = text_;
    entity.kind = scan.kind;
    entity.start = static_cast<int32_t>(start);
    entity.length = static_cast<int32_t>(scan.end - start);
    entity.end = static_cast<int32_t>(scan.end);
    entity.line = line;
    entity.column = column;
    entity.context = nullptr;
    entity.flags.fill(false);
    entity.flags[RegExpAllowedFlag] = regExpAllowed_;
    entity.flags[LineBreakBeforeFlag] = lineBreakSeen_;
    entity.flags[TokenSeenFlag] = tokenSeen_;
    entity.flags[MarkupModeFlag] = markupMode_;
    entity.flags[UnterminatedFlag] = scan.unterminated;
    entity.tagText.clear();

    if (scan.kind != EntityKind::Separators) {
        advanceTo(scan.end);
        updateContext(scan, start);
    }
    return true;
}

Parser::Scan Parser::scanToken() {
    const ScriptTokenTables& tables = scriptTokenTables();
    const size_t p = position_;
    const wchar_t c = text_[p];
    if (c == L'/') {
        if (p + 1 < length_ && text_[p + 1] == L'*') {
            return scanBlockComment(p + 2);
        }
        if (p + 1 < length_ && text_[p + 1] == L'/') {
            return scanLineComment();
        }
        Scan scan;
        if (regExpAllowed_ && scanRegExp(scan)) {
            return scan;
        }
        // No regular expression here: the slash is an operator, and reading moves on past it.
        return scanOperator();
    }
    if (c == L'<' && (markupMode_ || !tokenSeen_) && startsWith(p, L"<!--")) {
        return scanMarkupComment();
    }
    const uint8_t cls = tables.classOf(c);
    if (cls & ScriptTokenTables::Quote) {
        return scanString();
    }
    wchar_t quote;
    if (c == L'&' && entityRecognition_ && quoteEntityLength(p, &quote) > 0) {
        return scanString();
    }
    if (c == L':' && markupMode_) {
        return Scan{EntityKind::Delimiter, p + 1, false};
    }
    if (cls & ScriptTokenTables::Operator) {
        return scanOperator();
    }
    if (cls & ScriptTokenTables::Delimiter) {
        return Scan{EntityKind::Delimiter, p + 1, false};
    }
    return scanWord();
}

Parser::Scan Parser::scanBlockComment(size_t from) const {
    for (size_t j = from; j + 1 < length_; ++j) {
        if (text_[j] == L'*' && text_[j + 1] == L'/') {
            return Scan{EntityKind::Comment, j + 2, false};
        }
    }
    return Scan{EntityKind::Comment, length_, true};
}

Parser::Scan Parser::scanLineComment() const {
    const ScriptTokenTables& tables = scriptTokenTables();
    size_t j = position_ + 2;
    while (j < length_ && !(tables.classOf(text_[j]) & ScriptTokenTables::LineBreak)) {
        ++j;
    }
    return Scan{EntityKind::Comment, j, false};
}

Parser::Scan Parser::scanMarkupComment() const {
    for (size_t j = position_ + 4; j + 2 < length_; ++j) {
        if (text_[j] == L'-' && text_[j + 1] == L'-' && text_[j + 2] == L'>') {
            return Scan{EntityKind::Comment, j + 3, false};
        }
    }
    return Scan{EntityKind::Comment, length_, true};
}

Parser::Scan Parser::scanString() const {
    wchar_t quote = text_[position_];
    size_t j = position_ + 1;
    if (quote == L'&') {
        j = position_ + quoteEntityLength(position_, &quote);
    }
    bool escaped = false;
    while (j < length_) {
        const wchar_t c = text_[j];
        if (escaped) {
            escaped = false;
        } else if (c == L'\\') {
            escaped = true;
        } else if (c == quote) {
            return Scan{EntityKind::String, j + 1, false};
        } else if (c == L'&' && entityRecognition_) {
            wchar_t entityQuote;
            const size_t n = quoteEntityLength(j, &entityQuote);
            if (n > 0 && entityQuote == quote) {
                return Scan{EntityKind::String, j + n, false};
            }
        }
        ++j;
    }
    return Scan{EntityKind::String, length_, true};
}

bool Parser::scanRegExp(Scan& scan) const {
    const ScriptTokenTables& tables = scriptTokenTables();
    bool escaped = false;
    for (size_t j = position_ + 1; j < length_; ++j) {
        const wchar_t c = text_[j];
        if (tables.classOf(c) & ScriptTokenTables::LineBreak) {
            return false;
        }
        if (escaped) {
            escaped = false;
        } else if (c == L'\\') {
            escaped = true;
        } else if (c == L'/') {
            size_t end = j + 1;
            while (end < length_ && (tables.classOf(text_[end]) & ScriptTokenTables::RegExpFlag)) {
                ++end;
            }
            scan = Scan{EntityKind::RegExp, end, false};
            return true;
        }
    }
    scan = Scan{EntityKind::RegExp, length_, true};
    return true;
}

Parser::Scan Parser::scanOperator() const {
    const wchar_t c = text_[position_];
    for (const wchar_t* op : scriptTokenTables().operators[c]) {
        if (startsWith(position_, op)) {
            return Scan{EntityKind::Operator, position_ + wcslen(op), false};
        }
    }
    // Not reached: every operator character is an operator by itself.
    return Scan{EntityKind::Operator, position_ + 1, false};
}

Parser::Scan Parser::scanWord() const {
    const ScriptTokenTables& tables = scriptTokenTables();
    size_t j = position_ + 1;
    while (j < length_ && !(tables.classOf(text_[j]) & ScriptTokenTables::WordStop)) {
        ++j;
    }
    Scan scan{EntityKind::Word, j, false};
    if (!markupMode_) {
        const ScriptTokenTables::Keyword* keyword = tables.findKeyword(text_ + position_, j - position_);
        if (keyword) {
            scan.kind = keyword->kind;
        }
    }
    return scan;
}

size_t Parser::quoteEntityLength(size_t at, wchar_t* quote) const {
    for (const QuoteEntity& entity : kQuoteEntities) {
        if (startsWith(at, entity.text)) {
            *quote = entity.quote;
            return wcslen(entity.text);
        }
    }
    return 0;
}

bool Parser::startsWith(size_t at, const wchar_t* literal) const {
    for (size_t i = 0; literal[i]; ++i) {
        if (at + i >= length_ || text_[at + i] != literal[i]) {
            return false;
        }
    }
    return true;
}

void Parser::advanceTo(size_t position) {
    for (; position_ < position; ++position_) {
        const wchar_t c = text_[position_];
        if (c == L'\n') {
            if (!afterCarriageReturn_) {
                ++line_;
            }
            column_ = 1;
            afterCarriageReturn_ = false;
        } else if (c == L'\r') {
            ++line_;
            column_ = 1;
            afterCarriageReturn_ = true;
        } else {
            ++column_;
            afterCarriageReturn_ = false;
        }
    }
}

void Parser::updateContext(const Scan& scan, size_t start) {
    tokenSeen_ = true;
    lineBreakSeen_ = false;
    const size_t length = scan.end - start;
    switch (scan.kind) {
    case EntityKind::Comment:
    case EntityKind::Separators:
        break;
    case EntityKind::Operator:
        // "a++ / b" divides; after any other operator an expression starts.
        regExpAllowed_ = !(length == 2 &&
                           (wcsncmp(text_ + start, L"++", 2) == 0 || wcsncmp(text_ + start, L"--", 2) == 0));
        break;
    case EntityKind::KeywordOperator:
    case EntityKind::UnaryKeyword:
        regExpAllowed_ = true;
        break;
    case EntityKind::Delimiter: {
        const wchar_t c = text_[start];
        regExpAllowed_ = c != L')' && c != L']' && c != L'.';
        break;
    }
    case EntityKind::String:
    case EntityKind::RegExp:
        regExpAllowed_ = false;
        break;
    case EntityKind::Word: {
        // After "return", "else" and the like an expression starts; after a name or a number,
        // a slash divides.
        const ScriptTokenTables::Keyword* keyword = scriptTokenTables().findKeyword(text_ + start, length);
        regExpAllowed_ = keyword && keyword->expressionFollows;
        break;
    }
    }
}
