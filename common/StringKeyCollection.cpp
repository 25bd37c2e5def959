#include "common/StringKeyCollection.h"

#include "common/TextFunctions.h"

bool StringKeyOrder::operator()(const StringKey& a, const StringKey& b) const {
    return compareStrings(*a.text, *b.text, caseSensitive_) < 0;
}

StringKeyCollection::StringKeyCollection() : entries_(StringKeyOrder(true)), iteration_(entries_.end()) {}

bool StringKeyCollection::insert(const StringKey& key) {
    if (key.text == nullptr) {
        return false;
    }
    return entries_.insert(key).second;
}

void StringKeyCollection::erase(const std::wstring& text) {
    const Entries::iterator position = entries_.find(StringKey(&text, nullptr));
    if (position == entries_.end()) {
        return;
    }
    if (position == iteration_) {
        iteration_ = entries_.erase(position);
        iterationAdvanced_ = true;
    } else {
        entries_.erase(position);
    }
}

bool StringKeyCollection::find(const std::wstring& text, StringKey& found) const {
    return report(entries_.find(StringKey(&text, nullptr)), found);
}

bool StringKeyCollection::contains(const std::wstring& text) const {
    return entries_.find(StringKey(&text, nullptr)) != entries_.end();
}

bool StringKeyCollection::first(StringKey& entry) {
    iteration_ = entries_.begin();
    iterationAdvanced_ = false;
    return report(iteration_, entry);
}

bool StringKeyCollection::next(StringKey& entry) {
    if (iterationAdvanced_) {
        iterationAdvanced_ = false;
    } else if (iteration_ != entries_.end()) {
        ++iteration_;
    }
    return report(iteration_, entry);
}

void StringKeyCollection::clear() {
    entries_.clear();
    iteration_ = entries_.end();
    iterationAdvanced_ = false;
}

bool StringKeyCollection::report(Entries::const_iterator position, StringKey& entry) const {
    if (position == entries_.end()) {
        entry.text = nullptr;
        entry.value = nullptr;
        return false;
    }
    entry.text = position->text;
    entry.value = position->value;
    return true;
}
