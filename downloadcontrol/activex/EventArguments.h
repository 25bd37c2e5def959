#pragma once
// The arguments of one event, built in declaration order and handed to IDispatch::Invoke
// (which takes them last to first). Every argument built here is freed with the object.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <string>
#include <vector>

namespace activex {

class EventArguments {
public:
    EventArguments() = default;
    EventArguments(const EventArguments&) = delete;
    EventArguments& operator=(const EventArguments&) = delete;
    ~EventArguments();

    EventArguments& addLong(long value);
    EventArguments& addBool(bool value);
    EventArguments& addDouble(double value);
    EventArguments& addText(const std::wstring& value);

    // The parameter block for Invoke; valid until this object changes or goes.
    DISPPARAMS* parameters();
    std::size_t count() const { return values_.size(); }

private:
    VARIANT& append();

    std::vector<VARIANT> values_;    // declaration order
    std::vector<VARIANT> reversed_;  // Invoke order; shares the values, owns nothing
    DISPPARAMS parameters_ = {};
};

}  // namespace activex
