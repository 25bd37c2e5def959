#include "PrintedPages.h"

#include "UnixTools.h"

#include "support/TestSupport.h"

#include <sstream>

std::string PrintedJob::order() const {
    std::string text;
    for (const PrintedPage& page : pages) {
        if (!text.empty())
            text += ' ';
        text += page.photo >= 0                        ? std::to_string(page.photo)
                : page.photo == PrintedPage::emptyPage ? "-"
                                                       : "?";
    }
    return text;
}

PrintedJob renderPrintedJob(const std::wstring& postscript, int dpi, const std::wstring& artifactName,
                            const std::vector<std::wstring>& photos) {
    CreateDirectoryW(testsupport::binaryPath(L"artifacts").c_str(), nullptr);
    std::string arguments = "\"" + unixPath(postscript) + "\" " + std::to_string(dpi) + " \"" +
                            unixPath(testsupport::binaryPath(L"artifacts\\" + artifactName)) + "\"";
    for (const std::wstring& photo : photos)
        arguments += " \"" + unixPath(photo) + "\"";
    const std::string rendered = runCheckScript("print_check.py", arguments);
    PrintedJob job;
    if (rendered.rfind("error", 0) == 0) {
        job.problem = rendered;
        return job;
    }
    std::istringstream list(rendered);
    for (std::string entry; std::getline(list, entry, ';');) {
        std::istringstream fields(entry);
        std::string label;
        PrintedPage page;
        fields >> label >> page.left >> page.top >> page.right >> page.bottom;
        page.photo = label == "-"   ? PrintedPage::emptyPage
                     : label == "?" ? PrintedPage::noPhoto
                                    : std::stoi(label);
        job.pages.push_back(page);
    }
    return job;
}

PrintableArea printableArea(HDC printer, int dpi) {
    const double scaleX = static_cast<double>(dpi) / GetDeviceCaps(printer, LOGPIXELSX);
    const double scaleY = static_cast<double>(dpi) / GetDeviceCaps(printer, LOGPIXELSY);
    return PrintableArea{GetDeviceCaps(printer, PHYSICALOFFSETX) * scaleX,
                         GetDeviceCaps(printer, PHYSICALOFFSETY) * scaleY,
                         GetDeviceCaps(printer, HORZRES) * scaleX, GetDeviceCaps(printer, VERTRES) * scaleY};
}
