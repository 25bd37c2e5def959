#include "mainwindow/ThumbnailDecoder.h"

#include "common/PathFunctions.h"
#include "controls/PictureCache.h"
#include "gui/WinControl.h"
#include <gdiplus.h>

namespace {

constexpr UINT WM_THUMBNAIL_DECODED = WM_APP;  // lParam: a DecodedThumbnail the window frees
constexpr wchar_t kWindowClass[] = L"PixhaulThumbnailDecoder";

HWND makeWindow(ThumbnailDecoder* owner, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = gui::HInstance();
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);  // fails harmlessly once the class is there
    HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  gui::HInstance(), nullptr);
    if (window)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

}  // namespace

ThumbnailDecoder::ThumbnailDecoder() {
    window_ = makeWindow(this, windowProc);
    if (!window_ || !gdiPlus_.Started())
        return;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (...) {
        // No thread: the clients decode on their own thread.
    }
}

ThumbnailDecoder::~ThumbnailDecoder() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
    if (!window_)
        return;
    // Results posted but not delivered are freed with the window.
    MSG message{};
    while (PeekMessageW(&message, window_, WM_THUMBNAIL_DECODED, WM_THUMBNAIL_DECODED, PM_REMOVE))
        delete reinterpret_cast<DecodedThumbnail*>(message.lParam);
    DestroyWindow(window_);
}

bool ThumbnailDecoder::request(Client* client, const std::wstring& path, int width, int height) {
    if (!thread_.joinable())
        return false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        queue_.request(client, path, width, height);
    }
    wake_.notify_one();
    return true;
}

void ThumbnailDecoder::cancel(Client* client) {
    std::lock_guard<std::mutex> hold(lock_);
    queue_.cancel(client);
}

std::unique_ptr<DecodedThumbnail> ThumbnailDecoder::decode(const ThumbnailDecodeJob& job) {
    auto result = std::make_unique<DecodedThumbnail>();
    result->client = job.client;
    result->ticket = job.ticket;
    auto picture = std::make_unique<gui::TBitmap>();
    if (job.path.empty() || !gui::DecodePictureFile(makeLongPath(job.path), *picture) || picture->Empty())
        return result;
    Gdiplus::Bitmap source(picture->Width(), picture->Height(), picture->Width() * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(picture->ScanLine(0)));
    if (source.GetLastStatus() != Gdiplus::Ok)
        return result;
    if (job.width > 0 && job.height > 0) {
        auto scaled = std::make_unique<gui::TBitmap>();
        if (controls::PictureCache::Render(&source, job.width, job.height,
                                           controls::PictureCache::Fit::Stretch, *scaled,
                                           result->scaledOpaque))
            result->scaled = std::move(scaled);
    }
    result->picture = std::move(picture);
    return result;
}

void ThumbnailDecoder::run() {
    for (;;) {
        ThumbnailDecodeJob job;
        {
            std::unique_lock<std::mutex> hold(lock_);
            wake_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_ || !queue_.take(job))
                return;
        }
        try {
            std::unique_ptr<DecodedThumbnail> result = decode(job);
            if (PostMessageW(window_, WM_THUMBNAIL_DECODED, 0, reinterpret_cast<LPARAM>(result.get())))
                result.release();
        } catch (...) {
            // Out of memory for one picture: its tile stays without one.
        }
    }
}

void ThumbnailDecoder::deliver(DecodedThumbnail* posted) {
    std::unique_ptr<DecodedThumbnail> result(posted);
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!queue_.takeResult(result->client, result->ticket))
            return;
    }
    // The client is alive: it cancels its request before it goes away.
    static_cast<Client*>(const_cast<void*>(result->client))->thumbnailDecoded(*result);
}

LRESULT CALLBACK ThumbnailDecoder::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_THUMBNAIL_DECODED)
        return DefWindowProcW(window, message, wParam, lParam);
    auto* decoder = reinterpret_cast<ThumbnailDecoder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    auto* result = reinterpret_cast<DecodedThumbnail*>(lParam);
    if (!decoder) {
        delete result;
        return 0;
    }
    try {
        decoder->deliver(result);
    } catch (...) {
        gui::HandleCallbackException(nullptr);
    }
    return 0;
}
