#pragma once
// IEnumXxx over a copy of the items taken when the enumerator was made. `Traits` says how an
// item is copied out to a caller (adding a reference) and released.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <new>
#include <vector>

namespace activex {

template <class EnumInterface, class Item, class Traits>
class SnapshotEnumerator final : public EnumInterface {
public:
    // Makes an enumerator over `items` (each copied with a new reference) and returns it.
    static HRESULT create(REFIID iid, const std::vector<Item>& items, std::size_t position,
                          EnumInterface** result) {
        if (!result) {
            return E_POINTER;
        }
        *result = nullptr;
        auto* enumerator = new (std::nothrow) SnapshotEnumerator(iid, items, position);
        if (!enumerator) {
            return E_OUTOFMEMORY;
        }
        *result = enumerator;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
            *object = static_cast<EnumInterface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG remaining = InterlockedDecrement(&references_);
        if (remaining == 0) {
            delete this;
        }
        return static_cast<ULONG>(remaining);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
        if (!items || (count > 1 && !fetched)) {
            return E_POINTER;
        }
        ULONG done = 0;
        while (done < count && position_ < items_.size()) {
            items[done++] = Traits::copy(items_[position_++]);
        }
        if (fetched) {
            *fetched = done;
        }
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        std::size_t left = items_.size() - position_;
        if (count > left) {
            position_ = items_.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(EnumInterface** result) override {
        return create(iid_, items_, position_, result);
    }

private:
    SnapshotEnumerator(REFIID iid, const std::vector<Item>& items, std::size_t position)
        : iid_(iid), position_(position) {
        items_.reserve(items.size());
        for (const Item& item : items) {
            items_.push_back(Traits::copy(item));
        }
    }
    ~SnapshotEnumerator() {
        for (Item& item : items_) {
            Traits::release(item);
        }
    }

    const IID& iid_;
    std::vector<Item> items_;
    std::size_t position_;
    LONG references_ = 1;
};

}  // namespace activex
