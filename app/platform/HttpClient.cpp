#include "app/platform/HttpClient.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>

#include <wininet.h>

#include "toolkit/host/Toolkit.h"

namespace {

constexpr wchar_t UserAgent[] = L"Fontiva/v1.0";
// Asks any proxy on the way to fetch the file anew as well.
constexpr wchar_t NoCacheHeaders[] = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
constexpr DWORD RequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                               INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                               INTERNET_FLAG_NO_COOKIES;
// The update and catalogue files are a few hundred bytes; anything this
// large is not one of them.
constexpr size_t MaxWholeFile = 32u << 20;
// WinINet's cost per call dominates small reads, so while bytes pour in the
// reader asks for pieces worth about ReadTarget of transfer, up to MaxPiece;
// a read that asks for more than has arrived waits until it all has.
// Below MinAskedPiece it asks only for what has arrived, so counts stay
// current and a slow connection never waits for a piece to fill.
constexpr auto ReadTarget = std::chrono::milliseconds(50);
constexpr DWORD MinAskedPiece = 64 * 1024;
constexpr DWORD MaxPiece = 1024 * 1024;
// The reader pauses while this much waits to be taken, so a slow taker
// never makes memory grow.
constexpr size_t MaxQueued = 2u << 20;
constexpr size_t MaxSpare = 4;  // pieces kept for reuse

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// An answered GET; the request handle is closed before the session.
struct HttpResponse {
    InternetHandle session;
    InternetHandle request;
    DWORD status = 0;
    long long contentLength = -1;
};

std::string ServerBase(const char* variable, const char* fallback) {
    char value[2048];
    DWORD length = GetEnvironmentVariableA(variable, value, sizeof value);
    std::string base = (length > 0 && length < sizeof value) ? std::string(value, length) : fallback;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

bool IsHttpAddress(const std::string& address) {
    auto startsWith = [&](const char* scheme) {
        size_t n = strlen(scheme);
        return address.size() > n && _strnicmp(address.c_str(), scheme, n) == 0;
    };
    return startsWith("http://") || startsWith("https://");
}

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
    InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
}

// Sends the GET and reads the answer's head; false when no answer came.
bool OpenHttpGet(const std::string& address, const HttpTimeouts& timeouts, HttpResponse& response) {
    response.session.reset(InternetOpenW(UserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!response.session) return false;
    HINTERNET session = response.session.get();
    SetTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMilliseconds);
    SetTimeout(session, INTERNET_OPTION_SEND_TIMEOUT, timeouts.receiveMilliseconds);
    SetTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMilliseconds);
    DWORD retries = 1;
    InternetSetOptionW(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

    std::wstring url = AnsiToWide(address);
    response.request.reset(InternetOpenUrlW(session, url.c_str(), NoCacheHeaders, static_cast<DWORD>(-1L),
                                            RequestFlags, 0));
    if (!response.request) return false;

    DWORD status = 0, size = sizeof status, index = 0;
    if (!HttpQueryInfoW(response.request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, &index))
        return false;
    response.status = status;

    wchar_t length[32];
    size = sizeof length;
    index = 0;
    if (HttpQueryInfoW(response.request.get(), HTTP_QUERY_CONTENT_LENGTH, length, &size, &index)) {
        wchar_t* end = nullptr;
        long long value = wcstoll(length, &end, 10);
        if (end != length && value >= 0) response.contentLength = value;
    }
    return true;
}

// Reads the next piece of the body into piece: asked bytes (waiting until
// they have all arrived or the body ends), or with asked 0 whatever has
// arrived. piece is empty at the end of the body.
bool ReadHttpBody(const HttpResponse& response, DWORD asked, std::vector<unsigned char>& piece) {
    piece.clear();
    if (asked == 0) {
        if (!InternetQueryDataAvailable(response.request.get(), &asked, 0, 0)) return false;
        if (asked == 0) return true;
        asked = std::min(asked, MaxPiece);
    }
    piece.resize(asked);
    DWORD read = 0;
    bool ok = InternetReadFile(response.request.get(), piece.data(), asked, &read) != FALSE;
    piece.resize(ok ? read : 0);
    return ok;
}

// The size to ask for after a read of read bytes that took elapsed.
DWORD NextAsk(size_t read, std::chrono::steady_clock::duration elapsed) {
    using namespace std::chrono;
    auto micros = std::max<long long>(duration_cast<microseconds>(elapsed).count(), 1);
    double wanted = double(read) * duration_cast<microseconds>(ReadTarget).count() / double(micros);
    if (wanted < MinAskedPiece) return 0;
    return wanted >= MaxPiece ? MaxPiece : static_cast<DWORD>(wanted) / MinAskedPiece * MinAskedPiece;
}

}  // namespace

// What the reader thread and the fetch share.
struct FetchChannel {
    std::string address;
    HttpTimeouts timeouts;

    std::mutex lock;
    std::condition_variable changed;
    bool headArrived = false;
    bool ended = false;
    bool broken = false;
    bool abandoned = false;
    DWORD status = 0;
    long long contentLength = -1;
    std::deque<std::vector<unsigned char>> pieces;
    size_t queued = 0;
    // Taken pieces kept for the reader to fill again: a fresh megabyte block
    // for every read costs more than the copying does.
    std::vector<std::vector<unsigned char>> spare;
};

namespace {

void Receive(FetchChannel& channel) {
    HttpResponse response;
    bool answered = OpenHttpGet(channel.address, channel.timeouts, response);
    {
        std::lock_guard<std::mutex> hold(channel.lock);
        if (answered) {
            channel.headArrived = true;
            channel.status = response.status;
            channel.contentLength = response.contentLength;
        } else {
            channel.broken = true;
        }
        channel.changed.notify_all();
        if (!answered || channel.abandoned || response.status != HTTP_STATUS_OK) return;
    }
    DWORD asked = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(channel.lock);
            channel.changed.wait(hold, [&] { return channel.abandoned || channel.queued < MaxQueued; });
            if (channel.abandoned) return;
        }
        std::vector<unsigned char> piece;
        {
            std::lock_guard<std::mutex> hold(channel.lock);
            if (!channel.spare.empty()) {
                piece.swap(channel.spare.back());
                channel.spare.pop_back();
            }
        }
        auto start = std::chrono::steady_clock::now();
        bool ok = ReadHttpBody(response, asked, piece);
        asked = NextAsk(piece.size(), std::chrono::steady_clock::now() - start);
        std::lock_guard<std::mutex> hold(channel.lock);
        if (channel.abandoned) return;
        if (!ok || piece.empty()) {
            (ok ? channel.ended : channel.broken) = true;
            channel.changed.notify_all();
            return;
        }
        channel.queued += piece.size();
        channel.pieces.push_back(std::move(piece));
        channel.changed.notify_all();
    }
}

DWORD WINAPI ReceiveThread(void* parameter) {
    std::unique_ptr<std::shared_ptr<FetchChannel>> owner(static_cast<std::shared_ptr<FetchChannel>*>(parameter));
    FetchChannel& channel = **owner;
    try {
        Receive(channel);
    } catch (...) {
        std::lock_guard<std::mutex> hold(channel.lock);
        channel.broken = true;
        channel.changed.notify_all();
    }
    return 0;
}

}  // namespace

HttpFetch::~HttpFetch() {
    if (!channel) return;
    std::lock_guard<std::mutex> hold(channel->lock);
    channel->abandoned = true;
    channel->pieces.clear();
    channel->queued = 0;
    channel->changed.notify_all();
}

bool HttpFetch::Start(const std::string& address, const HttpTimeouts& timeouts) {
    if (channel || !IsHttpAddress(address)) return false;
    auto started = std::make_shared<FetchChannel>();
    started->address = address;
    started->timeouts = timeouts;
    auto* parameter = new std::shared_ptr<FetchChannel>(started);
    HANDLE thread = CreateThread(nullptr, 0, ReceiveThread, parameter, 0, nullptr);
    if (!thread) {
        delete parameter;
        return false;
    }
    CloseHandle(thread);
    channel = std::move(started);
    return true;
}

HttpFetch::State HttpFetch::WaitForHead(DWORD milliseconds) {
    if (!channel) return State::Broken;
    std::unique_lock<std::mutex> hold(channel->lock);
    channel->changed.wait_for(hold, std::chrono::milliseconds(milliseconds),
                              [this] { return channel->headArrived || channel->broken; });
    if (channel->headArrived) return State::Data;
    return channel->broken ? State::Broken : State::Pending;
}

DWORD HttpFetch::Status() const {
    if (!channel) return 0;
    std::lock_guard<std::mutex> hold(channel->lock);
    return channel->status;
}

long long HttpFetch::ContentLength() const {
    if (!channel) return -1;
    std::lock_guard<std::mutex> hold(channel->lock);
    return channel->contentLength;
}

HttpFetch::State HttpFetch::Take(std::vector<unsigned char>& bytes, DWORD milliseconds) {
    if (!channel) return State::Broken;
    std::deque<std::vector<unsigned char>> taken;
    State state;
    {
        std::unique_lock<std::mutex> hold(channel->lock);
        channel->changed.wait_for(hold, std::chrono::milliseconds(milliseconds), [this] {
            return !channel->pieces.empty() || channel->ended || channel->broken;
        });
        if (!channel->pieces.empty()) {
            taken.swap(channel->pieces);
            channel->queued = 0;
            channel->changed.notify_all();
            state = State::Data;
        } else {
            state = channel->ended ? State::End : channel->broken ? State::Broken : State::Pending;
        }
    }
    for (const auto& piece : taken) bytes.insert(bytes.end(), piece.begin(), piece.end());
    if (!taken.empty()) {
        std::lock_guard<std::mutex> hold(channel->lock);
        for (auto& piece : taken)
            if (channel->spare.size() < MaxSpare) channel->spare.push_back(std::move(piece));
    }
    return state;
}

std::string DownloadServer() {
    return ServerBase("FONTIVA_DOWNLOAD_SERVER", FONTIVA_DEFAULT_DOWNLOAD_SERVER);
}

std::string WebServer() {
    return ServerBase("FONTIVA_WEB_SERVER", FONTIVA_DEFAULT_WEB_SERVER);
}

bool HttpGetFile(const std::string& address, std::vector<unsigned char>& bytes) {
    bytes.clear();
    HttpTimeouts timeouts;
    HttpFetch fetch;
    if (!fetch.Start(address, timeouts)) return false;
    if (fetch.WaitForHead(timeouts.connectMilliseconds + timeouts.receiveMilliseconds) != HttpFetch::State::Data ||
        fetch.Status() != HTTP_STATUS_OK)
        return false;
    long long announced = fetch.ContentLength();
    if (announced > static_cast<long long>(MaxWholeFile)) return false;
    try {
        std::vector<unsigned char> body;
        if (announced > 0) body.reserve(static_cast<size_t>(announced));
        for (;;) {
            HttpFetch::State state = fetch.Take(body, timeouts.receiveMilliseconds);
            if (state == HttpFetch::State::End) break;
            // Pending here means silent for the whole receive timeout.
            if (state != HttpFetch::State::Data || body.size() > MaxWholeFile) return false;
        }
        if (announced >= 0 && static_cast<long long>(body.size()) != announced) return false;
        bytes.swap(body);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
