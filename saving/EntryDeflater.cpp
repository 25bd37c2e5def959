#include "saving/EntryDeflater.h"

namespace {

constexpr uInt kOutputBytes = 64 * 1024;
constexpr int kMemoryLevel = 8;  // zlib's default

}  // namespace

EntryDeflater::~EntryDeflater() {
    if (ready_)
        deflateEnd(&stream_);
}

bool EntryDeflater::begin() {
    if (ready_)
        return deflateReset(&stream_) == Z_OK;
    try {
        output_.resize(kOutputBytes);
    } catch (...) {
        return false;
    }
    stream_ = z_stream{};
    ready_ = deflateInit2(&stream_, kLevel, Z_DEFLATED, -MAX_WBITS, kMemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
    return ready_;
}

bool EntryDeflater::add(const void* bytes, uInt size, bool last, const Sink& sink) {
    if (!ready_)
        return false;
    stream_.next_in = static_cast<Bytef*>(const_cast<void*>(bytes));
    stream_.avail_in = size;
    for (;;) {
        stream_.next_out = output_.data();
        stream_.avail_out = kOutputBytes;
        const int result = deflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
        const uInt produced = kOutputBytes - stream_.avail_out;
        if (result == Z_STREAM_ERROR || (result == Z_BUF_ERROR && produced == 0 && last))
            return false;
        if (produced > 0 && !sink(output_.data(), produced))
            return false;
        // Without the end, all input is taken once the output has room to spare.
        if (last ? result == Z_STREAM_END : stream_.avail_out != 0)
            return true;
    }
}
