#pragma once
// Tokenizer for script text, read the way a script editor's highlighter reads it: operators,
// delimiters, string and regular-expression literals, comments, keyword operators and words.
//
// The feed reader runs it over text that comes from the network, so it is built for hostile
// input: it never looks outside the text, a construct cut by the end of the text ends there, and
// every token it returns covers at least one character (so a caller looping over the tokens always
// reaches the end).
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

enum class EntityKind : int32_t {
    Comment = 0,          // "/* */", "// ...", the conditional forms, "<!-- -->"
    Operator = 1,         // the longest script operator at the position
    KeywordOperator = 2,  // "in", "instanceof"
    UnaryKeyword = 3,     // "new", "delete", "typeof", "void"
    Delimiter = 4,        // one of "(){}[];,.@#" (in markup mode also ":")
    String = 5,           // quotes included
    Word = 6,             // identifiers, numbers, true, false, null ...
    RegExp = 7,           // "/.../" with its flags
    Separators = 8,       // a run of blanks and line breaks, only when the caller asks for them
};

// Indices into ParsedEntity::flags: the tokenizer's context at the token.
enum EntityFlag {
    RegExpAllowedFlag = 0,    // a regular expression could start where this token starts
    LineBreakBeforeFlag = 1,  // a line break lies between the previous token and this one
    TokenSeenFlag = 2,        // another token came before this one
    MarkupModeFlag = 3,       // the text is read in markup mode
    UnterminatedFlag = 4,     // a string, comment or regular expression cut by the end of the text
    EntityFlagCount = 8,
};

// One token. The text is the tokenizer's (not copied); start, length and end count UTF-16 units.
struct ParsedEntity {
    const wchar_t* text = nullptr;
    EntityKind kind = EntityKind::Delimiter;
    int32_t start = 0;
    int32_t length = 0;
    int32_t end = 0;
    int32_t line = 1;                  // of the token's first character, from 1
    int32_t column = 1;                // of the token's first character, from 1
    const wchar_t* context = nullptr;  // name of the enclosing script context; none is tracked
    std::array<bool, EntityFlagCount> flags{};
    std::wstring tagText;  // empty for script tokens
};

// Splits a wide text into tokens. One tokenizer belongs to one thread; only the stop flag may be
// set from another.
class Parser {
public:
    Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Forgets the script context read so far (what may follow, whether a token was seen); the
    // text and the position stay.
    void reset();

    // Starts over on a NUL-terminated text, which the caller keeps alive and unchanged while
    // tokens are read. Clears the stop flag. A null text reads as an empty one.
    void setText(const wchar_t* text, bool markupMode);

    // With entity recognition on (the default), the character entities of the two quote
    // characters (&quot; &#34; &#x22; &apos; &#39; &#x27;) also open and close strings.
    void setEntityRecognition(bool on) { entityRecognition_ = on; }

    // Whether a token has been seen. In script text, "<!--" opens a markup comment only while no
    // token has been seen; after one it reads as operators.
    void setTokenSeen(bool seen) { tokenSeen_ = seen; }

    // Fills entity with the next token; false at the end of the text or when the stop flag is set.
    // Blanks and line breaks between tokens are skipped, or returned as one Separators token when
    // returnSeparators is true.
    bool getNextEntity(ParsedEntity& entity, bool returnSeparators);

    // The characters of a token of this tokenizer's text.
    std::wstring entityText(const ParsedEntity& entity) const;

    // Another thread may set the stop flag; the tokenizer then reports the end of the text.
    void setStopFlag(bool stop) { stopped_.store(stop, std::memory_order_relaxed); }
    bool isStopped() const { return stopped_.load(std::memory_order_relaxed); }

private:
    struct Scan {
        EntityKind kind;
        size_t end;
        bool unterminated;
    };

    Scan scanToken();
    Scan scanBlockComment(size_t from) const;
    Scan scanLineComment() const;
    Scan scanMarkupComment() const;
    Scan scanString() const;
    bool scanRegExp(Scan& scan) const;
    Scan scanOperator() const;
    Scan scanWord() const;
    size_t quoteEntityLength(size_t at, wchar_t* quote) const;
    bool startsWith(size_t at, const wchar_t* literal) const;
    void advanceTo(size_t position);
    void updateContext(const Scan& scan, size_t start);

    const wchar_t* text_ = nullptr;
    size_t length_ = 0;
    size_t position_ = 0;
    int32_t line_ = 1;
    int32_t column_ = 1;
    bool afterCarriageReturn_ = false;

    bool markupMode_ = false;
    bool entityRecognition_ = true;
    bool tokenSeen_ = false;
    bool regExpAllowed_ = true;
    bool lineBreakSeen_ = false;

    std::atomic<bool> stopped_{false};
};

// The tokenizer's character tables. They are built once, on the first call or the first tokenizer,
// and live until the process ends: a worker thread may still be tokenizing while the program shuts
// down, so they are never freed. Calling either function again is harmless.
void initScriptTokenTables();
void freeScriptTokenTables();
