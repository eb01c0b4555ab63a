#include "app/platform/Downloader.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <mutex>
#include <vector>

#include <wininet.h>

#include "app/platform/HttpClient.h"
#include "toolkit/host/Toolkit.h"

namespace {

// Event code n of a task reaches its window as EventMessageBase + n, with
// the task in wParam and a3 in lParam.
constexpr UINT EventMessageBase = WM_APP + 0x100;
constexpr int EventCodeLimit = 32;
constexpr wchar_t EventWindowClass[] = L"Fontiva_DownloadEvents";
// How often a worker looks at its cancel flag while it waits.
constexpr DWORD WaitSlice = 100;
// How long a release waits for the worker to stop before leaving it to
// finish its clean-up alone (it notices within a slice, unless the disk
// holds it up).
constexpr DWORD ReleaseWait = 2000;
// Received bytes are gathered and written in pieces of at least this size.
constexpr size_t WriteBufferSize = 256 * 1024;

struct Transfer {
    DownloadTask id = 0;
    std::string source;
    std::wstring localFile;
    DownloadCallback callback = nullptr;
    HttpTimeouts timeouts;
    HWND window = nullptr;      // on the thread that added the task; set before the worker starts
    HANDLE thread = nullptr;    // the worker, 0 once joined or left alone
    HANDLE waitFirst = nullptr; // an earlier worker still ending
    std::atomic<bool> cancelled{false};
    std::atomic<bool> started{false};  // code 3 handled: counts are visible
    std::atomic<int64_t> done{0};
    std::atomic<int64_t> sinceQuery{0};

    ~Transfer() {
        if (thread) CloseHandle(thread);
        if (waitFirst) CloseHandle(waitFirst);
    }
};

std::mutex slotLock;  // guards current and lastTask
std::shared_ptr<Transfer> current;
DownloadTask lastTask = 0;

std::shared_ptr<Transfer> Find(DownloadTask task) {
    std::lock_guard<std::mutex> hold(slotLock);
    return (current && current->id == task) ? current : nullptr;
}

void Post(const Transfer& transfer, int code, int a3 = 0) {
    if (transfer.cancelled) return;
    PostMessageW(transfer.window, EventMessageBase + code, transfer.id, static_cast<LPARAM>(a3));
}

// The local file of a transfer: created empty, deleted again unless the
// transfer completes it.
class LocalFile {
public:
    explicit LocalFile(const std::wstring& path) : path(path) {
        handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    ~LocalFile() {
        if (handle == INVALID_HANDLE_VALUE) return;
        CloseHandle(handle);
        DeleteFileW(path.c_str());
    }
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    bool Write(const unsigned char* bytes, DWORD count) {
        DWORD written = 0;
        return WriteFile(handle, bytes, count, &written, nullptr) && written == count;
    }
    // Closes the file and keeps it.
    bool Keep() {
        BOOL closed = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        if (!closed) DeleteFileW(path.c_str());
        return closed != FALSE;
    }

private:
    std::wstring path;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

enum class Outcome { Finished, Failed, Cancelled };

// The transfer itself; every handle it opens is closed, and a file it
// does not complete deleted, by the time it returns.
Outcome Run(Transfer& transfer) {
    if (transfer.waitFirst) {
        // The earlier worker may still hold the same local file.
        while (WaitForSingleObject(transfer.waitFirst, WaitSlice) == WAIT_TIMEOUT)
            if (transfer.cancelled) return Outcome::Cancelled;
    }
    if (transfer.source.empty() || transfer.localFile.empty()) return Outcome::Failed;
    LocalFile file(transfer.localFile);
    if (!file.IsOpen()) return Outcome::Failed;

    HttpFetch fetch;
    if (!fetch.Start(transfer.source, transfer.timeouts)) return Outcome::Failed;
    const HttpTimeouts& limits = transfer.timeouts;
    ULONGLONG heard = GetTickCount64();  // when the server last gave a sign of life
    HttpFetch::State state;
    while ((state = fetch.WaitForHead(WaitSlice)) == HttpFetch::State::Pending) {
        if (transfer.cancelled) return Outcome::Cancelled;
        if (GetTickCount64() - heard >= limits.connectMilliseconds + limits.receiveMilliseconds)
            return Outcome::Failed;
    }
    if (transfer.cancelled) return Outcome::Cancelled;
    if (state != HttpFetch::State::Data || fetch.Status() != HTTP_STATUS_OK) return Outcome::Failed;

    long long announced = fetch.ContentLength();
    Post(transfer, DownloadStarted, static_cast<int>(std::min<long long>(std::max(announced, 0LL), INT_MAX)));

    std::vector<unsigned char> buffer;
    buffer.reserve(WriteBufferSize);
    long long received = 0;
    heard = GetTickCount64();
    for (;;) {
        size_t before = buffer.size();
        state = fetch.Take(buffer, WaitSlice);
        if (transfer.cancelled) return Outcome::Cancelled;
        if (state == HttpFetch::State::End) break;
        if (state == HttpFetch::State::Broken) return Outcome::Failed;
        if (state == HttpFetch::State::Pending) {
            if (GetTickCount64() - heard >= limits.receiveMilliseconds) return Outcome::Failed;
            continue;
        }
        heard = GetTickCount64();
        int64_t arrived = static_cast<int64_t>(buffer.size() - before);
        received += arrived;
        transfer.done += arrived;
        transfer.sinceQuery += arrived;
        if (buffer.size() >= WriteBufferSize) {
            if (!file.Write(buffer.data(), static_cast<DWORD>(buffer.size()))) return Outcome::Failed;
            buffer.clear();
        }
    }
    if (announced >= 0 && received != announced) return Outcome::Failed;
    if (!buffer.empty() && !file.Write(buffer.data(), static_cast<DWORD>(buffer.size()))) return Outcome::Failed;
    return file.Keep() ? Outcome::Finished : Outcome::Failed;
}

DWORD WINAPI TransferThread(void* parameter) {
    std::unique_ptr<std::shared_ptr<Transfer>> owner(static_cast<std::shared_ptr<Transfer>*>(parameter));
    Transfer& transfer = **owner;
    Outcome outcome = Outcome::Failed;
    try {
        outcome = Run(transfer);
    } catch (...) {
        outcome = Outcome::Failed;
    }
    if (outcome != Outcome::Cancelled)
        Post(transfer, outcome == Outcome::Finished ? DownloadFinished : DownloadFailed);
    return 0;
}

void Deliver(DownloadTask task, int code, int a3) {
    std::shared_ptr<Transfer> transfer = Find(task);  // kept alive through the callback
    if (!transfer || transfer->cancelled) return;
    if (transfer->callback) {
        try {
            transfer->callback(code, 0, a3, 0, 0);
        } catch (...) {
        }
    }
    // Counts show only once the start is known to the application, so
    // nothing it reads runs ahead of its events.
    if (code == DownloadStarted) transfer->started = true;
}

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= EventMessageBase && message < EventMessageBase + EventCodeLimit) {
        Deliver(static_cast<DownloadTask>(wParam), static_cast<int>(message - EventMessageBase),
                static_cast<int>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateEventWindow() {
    static std::once_flag registered;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::call_once(registered, [instance] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = EventWindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = EventWindowClass;
        RegisterClassExW(&windowClass);
    });
    return CreateWindowExW(0, EventWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

void DestroyEventWindow(HWND window) {
    if (!window) return;
    // Only the window's own thread may destroy it; from any other thread it
    // is asked to close itself.
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        DestroyWindow(window);
    else
        PostMessageW(window, WM_CLOSE, 0, 0);
}

// Stops a transfer taken out of the slot; returns its worker's handle when
// the worker is still ending (the caller owns it), else 0.
HANDLE End(Transfer& transfer) {
    transfer.cancelled = true;
    HANDLE left = nullptr;
    if (transfer.thread) {
        if (WaitForSingleObject(transfer.thread, ReleaseWait) == WAIT_OBJECT_0)
            CloseHandle(transfer.thread);
        else
            left = transfer.thread;
        transfer.thread = nullptr;
    }
    // The window handle stays in the record: a worker still ending may read
    // it, and posting to a destroyed window is harmless.
    DestroyEventWindow(transfer.window);
    return left;
}

}  // namespace

DownloadTask AddDownloadTask(const DownloadSettings& settings) {
    auto transfer = std::make_shared<Transfer>();
    transfer->source = settings.sourceAddress;
    transfer->localFile = AnsiToWide(settings.localFile);
    transfer->callback = settings.callback;
    transfer->timeouts.receiveMilliseconds = settings.stallMilliseconds ? settings.stallMilliseconds : 1;

    std::shared_ptr<Transfer> previous;
    {
        std::lock_guard<std::mutex> hold(slotLock);
        previous = std::move(current);
    }
    if (previous) transfer->waitFirst = End(*previous);

    transfer->window = CreateEventWindow();
    if (!transfer->window) return 0;
    {
        std::lock_guard<std::mutex> hold(slotLock);
        transfer->id = ++lastTask;
        current = transfer;
    }
    auto* parameter = new std::shared_ptr<Transfer>(transfer);
    transfer->thread = CreateThread(nullptr, 0, TransferThread, parameter, 0, nullptr);
    if (!transfer->thread) {
        delete parameter;
        Post(*transfer, DownloadFailed);
    }
    return transfer->id;
}

int64_t DownloadBytesDone(DownloadTask task) {
    std::shared_ptr<Transfer> transfer = Find(task);
    return (transfer && transfer->started) ? transfer->done.load() : 0;
}

int64_t DownloadBytesSinceLastQuery(DownloadTask task) {
    std::shared_ptr<Transfer> transfer = Find(task);
    return (transfer && transfer->started) ? transfer->sinceQuery.exchange(0) : 0;
}

void ReleaseDownloadTask(DownloadTask task) {
    if (!task) return;
    std::shared_ptr<Transfer> transfer;
    {
        std::lock_guard<std::mutex> hold(slotLock);
        if (current && current->id == task) transfer = std::move(current);
    }
    if (!transfer) return;
    // A worker that does not stop in time is left to end on its own: it
    // holds its own reference and delivers nothing once cancelled.
    if (HANDLE left = End(*transfer)) CloseHandle(left);
}
