#pragma once
// Decodes thumbnail files on a thread of its own, each into memory of its own (the file stays
// free) together with a copy scaled to the tile's size, so that neither costs the GUI thread.
// A client (a tile) asks for a file and gets the result on the GUI thread, through a hidden
// window; a result of a request the client replaced or cancelled meanwhile is dropped.
#include "gui/Bitmap.h"
#include "gui/GdiPlus.h"
#include "mainwindow/ThumbnailDecodeQueue.h"
#include <windows.h>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// What the thread made of one request; empty bitmaps when the file did not decode.
struct DecodedThumbnail {
    const void* client = nullptr;
    uint64_t ticket = 0;
    std::unique_ptr<gui::TBitmap> picture;  // the file's pixels, 32-bit premultiplied
    std::unique_ptr<gui::TBitmap> scaled;   // the picture stretched to the requested size
    bool scaledOpaque = false;
};

class ThumbnailDecoder {
public:
    class Client {
    public:
        // On the GUI thread, for the client's newest request only.
        virtual void thumbnailDecoded(DecodedThumbnail& result) = 0;

    protected:
        ~Client() = default;
    };

    ThumbnailDecoder();
    // Stops the thread after the file it decodes; results not delivered yet are freed.
    ~ThumbnailDecoder();
    ThumbnailDecoder(const ThumbnailDecoder&) = delete;
    ThumbnailDecoder& operator=(const ThumbnailDecoder&) = delete;

    // Asks for path decoded and scaled to width x height; replaces the client's earlier request.
    // False when there is no thread (the caller decodes itself).
    bool request(Client* client, const std::wstring& path, int width, int height);
    // Drops the client's request; a client cancels before it goes away.
    void cancel(Client* client);

    // Decodes and scales on the calling thread (the thread's work, also the fallback without one).
    static std::unique_ptr<DecodedThumbnail> decode(const ThumbnailDecodeJob& job);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void run();
    void deliver(DecodedThumbnail* result);

    gui::GdiPlusSession gdiPlus_;  // outlives the thread's use of it
    std::mutex lock_;
    std::condition_variable wake_;  // a job was queued, or the thread should stop
    ThumbnailDecodeQueue queue_;    // under lock_
    bool stopping_ = false;         // under lock_
    HWND window_ = nullptr;
    std::thread thread_;
};
