#include "support/TestPrinter.h"

#include "support/TestSupport.h"

#include <windows.h>
#include <winspool.h>

namespace {

const wchar_t printerName[] = L"Pixhaul Test Printer";
const wchar_t driverName[] = L"Pixhaul Test PostScript";
const wchar_t descriptionFileName[] = L"pixhaultest.ppd";

// The smallest printer description Wine's PostScript driver accepts: one A4 page size.
const char printerDescription[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"PIXTEST.PPD\"\n"
    "*Manufacturer: \"Pixhaul\"\n"
    "*Product: \"(Test)\"\n"
    "*ModelName: \"Pixhaul Test PostScript\"\n"
    "*NickName: \"Pixhaul Test PostScript\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: True\n"
    "*DefaultColorSpace: RGB\n"
    "*TTRasterizer: Type42\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize/Media Size: PickOne\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"18 36 577 806\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n";

std::wstring defaultPrinter() {
    wchar_t name[512] = {};
    DWORD size = 512;
    return GetDefaultPrinterW(name, &size) ? name : L"";
}

void deletePrinter() {
    PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(printerName), &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
}

}  // namespace

TestPrinter::TestPrinter(const std::wstring& port) : port_(port) {
    installed_ = install();
}

std::wstring TestPrinter::name() const {
    return printerName;
}

void TestPrinter::remove() {
    deletePrinter();
}

TestPrinter::~TestPrinter() {
    if (!previousDefault_.empty()) {
        SetDefaultPrinterW(previousDefault_.c_str());
    }
    deletePrinter();
    if (driverAdded_) {
        // Only the registration: the driver file beside the description is the prefix's own.
        DeletePrinterDriverW(nullptr, nullptr, const_cast<wchar_t*>(driverName));
    }
    if (!descriptionFile_.empty()) {
        DeleteFileW(descriptionFile_.c_str());
    }
}

bool TestPrinter::install() {
    wchar_t driverFolder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(driverFolder),
                                    sizeof(driverFolder), &needed)) {
        problem_ = L"no printer driver folder";
        return false;
    }
    // The driver's files are looked up in the version folder of the driver folder, where the
    // prefix keeps Wine's PostScript driver.
    const std::wstring versionFolder = std::wstring(driverFolder) + L"\\3";
    CreateDirectoryW(versionFolder.c_str(), nullptr);
    descriptionFile_ = versionFolder + L"\\" + descriptionFileName;
    if (!testsupport::writeFileBytes(descriptionFile_, printerDescription)) {
        problem_ = L"cannot write " + descriptionFile_;
        return false;
    }

    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(driverName);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(descriptionFileName);
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
        problem_ = L"the PostScript driver cannot be added";
        return false;
    }
    driverAdded_ = true;

    // A printer left over from an interrupted run is replaced.
    deletePrinter();
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(printerName);
    info.pPortName = const_cast<wchar_t*>(port_.c_str());
    info.pDriverName = const_cast<wchar_t*>(driverName);
    info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer == nullptr) {
        problem_ = L"the printer cannot be added";
        return false;
    }
    ClosePrinter(printer);

    previousDefault_ = defaultPrinter();
    if (previousDefault_ == printerName) {
        previousDefault_.clear();
    }
    if (!SetDefaultPrinterW(printerName)) {
        problem_ = L"the printer cannot be made the default";
        return false;
    }
    return true;
}
