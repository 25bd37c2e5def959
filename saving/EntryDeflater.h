#pragma once
// Deflates the entries of a zip archive, one after another, with one compression state: making
// that state (about 270 KB, zeroed) for every entry cost more than compressing a photo.
#include <zlib.h>

#include <functional>
#include <vector>

class EntryDeflater {
public:
    // Takes the compressed bytes; false stops the entry.
    using Sink = std::function<bool(const Bytef* bytes, uInt size)>;
    // The compression level, also told to minizip for the entry's header flags.
    static constexpr int kLevel = Z_DEFAULT_COMPRESSION;

    EntryDeflater() = default;
    ~EntryDeflater();
    EntryDeflater(const EntryDeflater&) = delete;
    EntryDeflater& operator=(const EntryDeflater&) = delete;

    // Starts an entry (raw deflate at kLevel, as zip stores it); false when there is no
    // memory for the state.
    bool begin();
    // Compresses the entry's next bytes and hands on what comes out; `last` ends the entry. False
    // when the sink refused bytes or the compression failed.
    bool add(const void* bytes, uInt size, bool last, const Sink& sink);

private:
    z_stream stream_{};
    bool ready_ = false;
    std::vector<Bytef> output_;
};
