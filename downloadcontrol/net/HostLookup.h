#pragma once
// Looks up a host name's IPv4 address on a thread of its own. The system's lookup cannot be cancelled
// and may take as long as the system's own time-out; a caller that must give up earlier (a stop) stops
// waiting and lets the lookup finish alone. The lookup and its thread keep what they use alive: the
// lookup's record and the module whose code the thread runs.
#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "downloadcontrol/ScopedHandle.h"

class HostLookup {
public:
    // Resolves a name to its first IPv4 address; false when it has none. Runs on the lookup thread.
    using Resolver = bool (*)(const char* name, in_addr& address);
    // The system's lookup (gethostbyname).
    static bool systemResolver(const char* name, in_addr& address);

    // Starts looking up `name`; nullptr when no thread can be made.
    static std::shared_ptr<HostLookup> start(const std::string& name, Resolver resolver);

    // True once the lookup has ended, waiting at most `milliseconds` for it.
    bool wait(DWORD milliseconds) const;
    // After the end: whether the name was resolved, and its address.
    bool resolved() const { return resolved_; }
    in_addr address() const { return address_; }

    HostLookup(const std::string& name, Resolver resolver);

private:
    static DWORD WINAPI run(void* parameter);

    const std::string name_;
    const Resolver resolver_;
    ScopedHandle ended_;  // set by the thread once the outcome below is written
    bool resolved_ = false;
    in_addr address_{};
};
