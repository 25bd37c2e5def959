// A host that stops its download halfway and ends, leaving the file's header in the default header
// folder for a control of another process. Arguments: the file's address and its save path. Exit code 0
// once half the file arrived before the stop, else the step that failed.
#include "EngineTestSupport.h"

#include <shellapi.h>

#include <string>

int main() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 3) {
        return 1;
    }
    enginetest::TestEngine test;
    test.engine = std::make_unique<DownloadEngine>(test.errors, test.host, test.host);
    bool halfway = false;
    test.host.whenProgress = [&](const enginetest::Event& event) {
        halfway = halfway || std::stoll(event.texts[1]) * 2 >= std::stoll(event.texts[0]);
    };
    const bool started = test.engine->create() && test.add(args[1], args[2]) >= 0 && test.engine->download();
    LocalFree(args);
    if (!started) {
        return 2;
    }
    const bool stoppedHalfway =
        enginetest::pumpUntil([&] { return halfway || test.host.completed(); }) && !test.host.completed();
    test.engine->stopDownload();
    return stoppedHalfway ? 0 : 3;
}
