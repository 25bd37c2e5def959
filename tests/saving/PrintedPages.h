#pragma once
// The pages a print job wrote to the test printer's PostScript file, rendered by ghostscript and
// each matched to the photo it shows. The rendered pages are kept as <build>/artifacts/<name>-<n>.png.
#include <windows.h>

#include <string>
#include <vector>

struct PrintedPage {
    // Index of the photo the page shows; emptyPage or noPhoto when it shows none of them.
    int photo = noPhoto;
    // The box of the page's non-white pixels at the rendering's resolution (right, bottom exclusive).
    double left = 0, top = 0, right = 0, bottom = 0;

    static constexpr int emptyPage = -1;
    static constexpr int noPhoto = -2;
};

struct PrintedJob {
    std::vector<PrintedPage> pages;
    // Empty, or what went wrong rendering the job.
    std::string problem;
    // The photo index of every page in order ("0 1 2 0 1 2"), "-" for an empty page, "?" for a page
    // that shows none of the photos.
    std::string order() const;
};

// Waits for the job in the PostScript file to be complete, renders it at dpi and matches every
// page against the photo files.
PrintedJob renderPrintedJob(const std::wstring& postscript, int dpi, const std::wstring& artifactName,
                            const std::vector<std::wstring>& photos);

// The printable part of the printer's page, in pixels of a rendering of the page at dpi.
struct PrintableArea {
    double left = 0, top = 0, width = 0, height = 0;
};
PrintableArea printableArea(HDC printer, int dpi);
