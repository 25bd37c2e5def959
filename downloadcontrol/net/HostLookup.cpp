#include "downloadcontrol/net/HostLookup.h"

#include <cstring>

namespace {

// What the lookup thread owns: its share of the lookup and a reference to the module that holds its code,
// which the module may otherwise lose while the thread still runs (a host frees unused libraries).
struct LookupThreadArgs {
    std::shared_ptr<HostLookup> lookup;
    HMODULE module = nullptr;
};

}  // namespace

bool HostLookup::systemResolver(const char* name, in_addr& address) {
    const hostent* entry = ::gethostbyname(name);
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0]) {
        return false;
    }
    std::memcpy(&address, entry->h_addr_list[0], sizeof(address));
    return true;
}

HostLookup::HostLookup(const std::string& name, Resolver resolver)
    : name_(name), resolver_(resolver), ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

std::shared_ptr<HostLookup> HostLookup::start(const std::string& name, Resolver resolver) {
    auto lookup = std::make_shared<HostLookup>(name, resolver);
    if (!lookup->ended_.valid()) {
        return nullptr;
    }
    auto args = std::make_unique<LookupThreadArgs>();
    args->lookup = lookup;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&HostLookup::run),
                       &args->module);
    ScopedHandle thread(CreateThread(nullptr, 0, &HostLookup::run, args.get(), 0, nullptr));
    if (!thread.valid()) {
        if (args->module) {
            FreeLibrary(args->module);
        }
        return nullptr;
    }
    args.release();
    return lookup;
}

DWORD WINAPI HostLookup::run(void* parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<LookupThreadArgs> args(static_cast<LookupThreadArgs*>(parameter));
        HostLookup& lookup = *args->lookup;
        lookup.resolved_ = lookup.resolver_(lookup.name_.c_str(), lookup.address_);
        SetEvent(lookup.ended_.get());
        module = args->module;
    }
    if (module) {
        FreeLibraryAndExitThread(module, 0);
    }
    return 0;
}

bool HostLookup::wait(DWORD milliseconds) const {
    return WaitForSingleObject(ended_.get(), milliseconds) == WAIT_OBJECT_0;
}
