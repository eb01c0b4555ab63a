// The program's HTTP client: whole-file reads from the maker's servers (the
// update file, the catalogue), and the threaded request the download
// facility is built on. Every request goes through WinINet with the user's
// system proxy, bypasses every cache on the way (a stale update file would
// hide a new version), gives up on a connection that stays silent, and
// counts as content only a 200 answer with the whole announced body.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

// Bases of the maker's servers, without a trailing slash: the environment
// variables FONTIVA_DOWNLOAD_SERVER and FONTIVA_WEB_SERVER when set, else
// the defaults built into the program.
std::string DownloadServer();
std::string WebServer();

// Reads the whole file at an http(s) address into bytes. False, with bytes
// empty, when the address cannot be reached, the answer is not 200 (an
// error page is never content), the connection breaks or stalls, or fewer
// bytes arrive than the server announced.
bool HttpGetFile(const std::string& address, std::vector<unsigned char>& bytes);

// --- Requests read on a thread of their own --------------------------------

// How long a request may take to connect, and how long an answer may stay
// silent before it counts as broken.
struct HttpTimeouts {
    DWORD connectMilliseconds = 15000;
    DWORD receiveMilliseconds = 15000;
};

struct FetchChannel;

// A GET whose answer a reader thread receives while the caller waits in
// slices of its choosing: the caller can give up on a silent connection,
// or end the transfer, between any two waits (WinINet's own receive
// timeout does not hold on every system, and a blocked read cannot be
// interrupted safely). Destroying the fetch abandons the reader, which
// closes its handles and ends as soon as its current WinINet call returns.
class HttpFetch {
public:
    enum class State {
        Pending,  // nothing new within the wait
        Data,     // the head (WaitForHead) or some bytes (Take) arrived
        End,      // the body is complete
        Broken,   // no answer, or the connection broke
    };

    HttpFetch() = default;
    ~HttpFetch();
    HttpFetch(const HttpFetch&) = delete;
    HttpFetch& operator=(const HttpFetch&) = delete;

    // Starts the request; false for an address that is not http(s) or when
    // no thread can be started.
    bool Start(const std::string& address, const HttpTimeouts& timeouts);
    // Waits up to the given time for the answer's head.
    State WaitForHead(DWORD milliseconds);
    DWORD Status() const;               // once the head arrived
    long long ContentLength() const;    // -1 when none was announced
    // Appends the bytes that arrived to bytes, waiting up to the given time
    // for some; End and Broken come only once every byte has been taken.
    State Take(std::vector<unsigned char>& bytes, DWORD milliseconds);

private:
    std::shared_ptr<FetchChannel> channel;
};
