// The download facility: copies one file from an http address into a local
// file on a worker thread and reports back through the task's callback
// (3 started with the total size, 4 finished, 9 failed). The application
// keeps one settings record and one task handle (the download record) and
// adds each new download to the same record.
//
// One transfer runs at a time: adding a task releases the one before it.
// Events reach the callback on the thread that added the task, through a
// hidden message-only window of the facility created on that thread, so a
// handler may show modal boxes and destroy windows. Code 3 comes once,
// before any byte is counted, then 4 or 9 exactly once. A transfer fails
// (9) when no answer comes within 15 s plus stallMilliseconds, the answer
// is not 200, the connection breaks, nothing arrives for stallMilliseconds,
// fewer bytes arrive than announced, or the local file cannot be written;
// the partial local file is then deleted before 9 is delivered. At 4 the
// local file is complete and closed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <windows.h>

using DownloadTask = UINT_PTR;  // 0: none

// Event codes of the task callback.
enum DownloadEvent : int {
    DownloadStarted = 3,   // a3: total size in bytes
    DownloadFinished = 4,  // the local file is complete
    DownloadFailed = 9,
    DownloadQuery = 18,    // answered by the application; this facility never raises it
};

using DownloadCallback = int (*)(int code, int a2, int a3, int a4, int a5);

struct DownloadSettings {
    int flags = 1;
    std::string sourceAddress;
    std::string localFile;
    std::string loginName = "anonymous";
    std::string loginPassword = "anonymous@localhost";
    std::array<int, 9> numbers{1, 0, 20000, 20000, 20000, 1000, 20480, 1024, 0};
    DownloadCallback callback = nullptr;
    std::string text;
    int number = 1;
    std::string extensions = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";
    std::string text2;
    std::string text3;
    // The facility's own: how long a transfer may receive nothing before
    // it fails (the fields above come from the download record's layout
    // and mean nothing to this facility beyond source, file and callback).
    unsigned long stallMilliseconds = 15000;
};

// Adds a task and starts its transfer; any earlier task is released first.
// Returns 0 only when no event could ever be delivered.
DownloadTask AddDownloadTask(const DownloadSettings& settings);

// Bytes received so far; 0 until the callback has returned from the task's
// code 3, and for a released or unknown task.
int64_t DownloadBytesDone(DownloadTask task);

// Bytes received since the previous call for the task (each call resets
// the count); 0 until the callback has returned from code 3.
int64_t DownloadBytesSinceLastQuery(DownloadTask task);

// Ends a task and releases it: no event of it is delivered any more, a
// running transfer stops and its partial file is deleted. Accepts 0 and
// handles already released; may be called from the task's own callback.
void ReleaseDownloadTask(DownloadTask task);
