#pragma once
// A PostScript printer that prints to a file port, installed into the Wine prefix for the life of
// the object and made the default printer, so that the print dialog has a printer to offer and can
// return a device context. Wine finds no printer of its own here (no print system runs).
#include <string>

class TestPrinter {
public:
    TestPrinter();
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    // False when the printer could not be installed (the reason is in problem()).
    bool installed() const { return installed_; }
    const std::wstring& problem() const { return problem_; }

private:
    bool install();

    bool installed_ = false;
    bool driverAdded_ = false;
    std::wstring problem_;
    std::wstring descriptionFile_;
    std::wstring previousDefault_;
};
