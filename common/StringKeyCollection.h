#pragma once
// An ordered set of texts, each carrying one opaque value, ordered by the locale-aware
// compareStrings. The collection never owns the texts or values its entries point at: whoever
// inserts them frees them, typically by walking the collection with first and next before clearing
// or destroying it.
#include <set>
#include <string>

// One entry: a text owned outside the collection and an opaque value (may be null), also owned
// outside. Copied shallow.
struct StringKey {
    StringKey() = default;
    StringKey(const std::wstring* text, void* value) : text(text), value(value) {}

    const std::wstring* text = nullptr;
    void* value = nullptr;
};

// The order of StringKey entries: compareStrings of their texts in the given case mode. Under a
// case-insensitive order, texts that differ only in case are the same key.
class StringKeyOrder {
public:
    explicit StringKeyOrder(bool caseSensitive) : caseSensitive_(caseSensitive) {}
    bool operator()(const StringKey& a, const StringKey& b) const;

private:
    bool caseSensitive_;
};

class StringKeyCollection {
public:
    StringKeyCollection();
    StringKeyCollection(const StringKeyCollection&) = delete;
    StringKeyCollection& operator=(const StringKeyCollection&) = delete;

    // Adds the key unless an entry with an equal text is present (the first entry and its value
    // stay). True when it was added. A key without a text is refused.
    bool insert(const StringKey& key);

    // Removes the entry with exactly this text, if any. Erasing the entry a walk stands on is
    // allowed: the walk goes on with the entry after it.
    void erase(const std::wstring& text);

    // Looks the text up. When found, copies the entry's text and value into found and returns true;
    // else sets both to null and returns false.
    bool find(const std::wstring& text, StringKey& found) const;
    bool contains(const std::wstring& text) const;

    // A walk over all entries in order: first, then next until it returns false. Each copies the
    // entry's text and value out, or sets both to null and returns false when there is none.
    // Lookups during a walk do not disturb it.
    bool first(StringKey& entry);
    bool next(StringKey& entry);

    // Removes all entries; the texts and values stay where they are.
    void clear();

private:
    using Entries = std::set<StringKey, StringKeyOrder>;

    bool report(Entries::const_iterator position, StringKey& entry) const;

    // Insert, erase and lookups all compare case-sensitively, so texts that differ only in case
    // are separate entries.
    Entries entries_;
    Entries::iterator iteration_;
    // Set when erase removed the entry the walk stood on: iteration_ already holds the next one.
    bool iterationAdvanced_ = false;
};
