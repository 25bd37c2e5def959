#pragma once
// An error with a wide message, shown by the application object when it escapes an event.
#include <exception>
#include <string>

namespace gui {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const { return message_; }
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::wstring message_;
    std::string narrow_;
};

// The text to show for an exception: Exception::Message, std::exception::what, or a fixed text.
std::wstring ExceptionMessage(std::exception_ptr error);

}  // namespace gui
