#pragma once
// A PostScript printer installed into the Wine prefix for the life of the object and made the
// default printer, so that the print dialog has a printer to offer and can return a device context.
// Wine finds no printer of its own here (no print system runs). Its port is "FILE:" (a job asks for
// a file name) or a Unix file path, where Wine's spooler writes each job's PostScript unasked.
#include <string>

class TestPrinter {
public:
    explicit TestPrinter(const std::wstring& port = L"FILE:");
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    // False when the printer could not be installed (the reason is in problem()).
    bool installed() const { return installed_; }
    const std::wstring& problem() const { return problem_; }
    // The printer's name, for CreateDCW.
    std::wstring name() const;
    // Deletes the printer before its time, as if it had been taken away.
    void remove();

private:
    bool install();

    std::wstring port_;
    bool installed_ = false;
    bool driverAdded_ = false;
    std::wstring problem_;
    std::wstring descriptionFile_;
    std::wstring previousDefault_;
};
