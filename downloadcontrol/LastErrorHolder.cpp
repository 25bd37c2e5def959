#include "downloadcontrol/LastErrorHolder.h"

#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

// The descriptions as stored in the module, index code - 1.
constexpr auto kText1 = scrambleText(L"The folder selection was cancelled.");
constexpr auto kText2 = scrambleText(L"The file save dialog was cancelled.");
constexpr auto kText3 = scrambleText(L"The folder for temporary download files cannot be created.");
constexpr auto kText4 = scrambleText(L"A temporary download header file cannot be created.");
constexpr auto kText5 = scrambleText(L"A temporary download header file cannot be opened.");
constexpr auto kText6 = scrambleText(L"A temporary download header file cannot be read or is damaged.");
constexpr auto kText7 = scrambleText(L"Writing the received data to the file failed.");
constexpr auto kText8 = scrambleText(L"There is not enough memory for the transfer.");
constexpr auto kText9 = scrambleText(L"Reserved error 9.");
constexpr auto kText10 = scrambleText(L"Reserved error 10.");
constexpr auto kText11 = scrambleText(L"The network sockets could not be started.");
constexpr auto kText12 = scrambleText(L"The URL cannot be parsed.");
constexpr auto kText13 = scrambleText(L"No connection to the server could be made.");
constexpr auto kText14 = scrambleText(L"Connecting to the server failed.");
constexpr auto kText15 = scrambleText(L"Sending to the server failed.");
constexpr auto kText16 = scrambleText(L"Receiving from the server failed.");
constexpr auto kText17 = scrambleText(L"The server answered with an unexpected status.");
constexpr auto kText18 = scrambleText(L"Sending to the server timed out.");
constexpr auto kText19 = scrambleText(L"Receiving from the server timed out.");
constexpr auto kText20 = scrambleText(L"This is not possible while a download is running.");
constexpr auto kText21 = scrambleText(L"The downloaded size differs from the file size.");
constexpr auto kText22 = scrambleText(L"There is no file with this id.");
constexpr auto kText23 = scrambleText(L"The file information field is out of range.");
constexpr auto kText24 = scrambleText(L"The segment index is out of range.");
constexpr auto kText25 = scrambleText(L"The segment information field is out of range.");
constexpr auto kText26 = scrambleText(L"A temporary download header file was not closed properly.");
constexpr auto kText27 = scrambleText(L"The server redirected too many times.");
constexpr auto kText28 = scrambleText(L"The proxy server cannot be parsed.");
constexpr auto kText29 = scrambleText(L"The protocol id is out of range.");
constexpr auto kText30 = scrambleText(L"The server denied access.");
constexpr auto kText31 = scrambleText(L"The URL is already in the file list.");
constexpr auto kText32 = scrambleText(L"There is nothing to resume.");
constexpr auto kText33 = scrambleText(L"The download was stopped.");
constexpr auto kText34 = scrambleText(L"The transfer was aborted.");
constexpr auto kText35 = scrambleText(L"Logging on to the FTP server failed.");
constexpr auto kText36 = scrambleText(L"The proxy method is out of range for this protocol.");
constexpr auto kText37 = scrambleText(L"The proxy field is out of range.");
constexpr auto kText38 = scrambleText(L"The progress bar field is out of range.");
constexpr auto kText39 = scrambleText(L"The column id is out of range.");
constexpr auto kText40 = scrambleText(L"The column field is out of range.");
constexpr auto kText41 = scrambleText(L"Reserved error 41.");
constexpr auto kText42 = scrambleText(L"Reserved error 42.");
constexpr auto kText43 =
    scrambleText(L"The server's certificate was refused: the server's identity cannot be verified.");
constexpr auto kText44 = scrambleText(L"The file changed on the server after its download began.");
constexpr auto kText45 = scrambleText(L"The file or its folder cannot be created.");
constexpr auto kText46 = scrambleText(L"The file cannot be opened for writing.");

const wchar_t* const kStoredDescriptions[] = {
    kText1.chars,  kText2.chars,  kText3.chars,  kText4.chars,  kText5.chars,  kText6.chars,  kText7.chars,
    kText8.chars,  kText9.chars,  kText10.chars, kText11.chars, kText12.chars, kText13.chars, kText14.chars,
    kText15.chars, kText16.chars, kText17.chars, kText18.chars, kText19.chars, kText20.chars, kText21.chars,
    kText22.chars, kText23.chars, kText24.chars, kText25.chars, kText26.chars, kText27.chars, kText28.chars,
    kText29.chars, kText30.chars, kText31.chars, kText32.chars, kText33.chars, kText34.chars, kText35.chars,
    kText36.chars, kText37.chars, kText38.chars, kText39.chars, kText40.chars, kText41.chars, kText42.chars,
    kText43.chars, kText44.chars, kText45.chars, kText46.chars,
};
static_assert(sizeof(kStoredDescriptions) / sizeof(kStoredDescriptions[0]) == kLastDownloadErrorCode,
              "one description per error code");

std::vector<std::wstring> unscrambleDescriptions() {
    std::vector<std::wstring> table;
    for (const wchar_t* stored : kStoredDescriptions) {
        table.push_back(UnscrambleString(stored));
    }
    return table;
}

// Built once when the module loads.
const std::vector<std::wstring> g_descriptions = unscrambleDescriptions();

}  // namespace

std::wstring downloadErrorDescription(int32_t code) {
    if (code < 1 || static_cast<std::size_t>(code) > g_descriptions.size()) {
        return {};
    }
    return g_descriptions[static_cast<std::size_t>(code) - 1];
}

void LastErrorHolder::setError(int32_t code) {
    {
        CriticalSectionLock lock(lock_);
        code_ = code;
    }
    if (shared_) {
        shared_->setError(code);
    }
}

int32_t LastErrorHolder::error() const {
    CriticalSectionLock lock(lock_);
    return code_;
}

std::wstring LastErrorHolder::description() const {
    return downloadErrorDescription(error());
}

void LastErrorHolder::setStopRequest(bool stop) {
    if (shared_) {
        shared_->setStopRequest(stop);
        return;
    }
    CriticalSectionLock lock(lock_);
    stopRequest_ = stop;
}

bool LastErrorHolder::stopRequest() const {
    if (shared_) {
        return shared_->stopRequest();
    }
    CriticalSectionLock lock(lock_);
    return stopRequest_;
}
