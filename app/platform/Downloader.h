// The download facility: copies one file from an http address into a local
// file on a worker thread and reports back through the task's callback
// (3 started with the total size, 4 finished, 9 failed). The application
// keeps one settings record and one task handle (the download record) and
// adds each new download to the same record.
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
    DownloadQuery = 18,    // raised by the facility, answered by the application
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
};

// Ends a task and releases it; a task handle of 0 is accepted.
void ReleaseDownloadTask(DownloadTask task);
