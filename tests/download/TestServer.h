// The local maker server as the download tests see it: its base address
// (exported by run_with_server.py), its control endpoints (files, faults,
// request log) reached with plain WinINet requests of their own, and small
// helpers for test files and folders.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

using Bytes = std::vector<unsigned char>;

// "http://127.0.0.1:PORT" from FONTIVA_TEST_SERVER; empty when not set.
std::string TestServerBase();

struct ServerAnswer {
    DWORD status = 0;  // 0: no answer
    std::string body;
};

// A request to the server's control endpoints ("/_control/...").
ServerAnswer ServerControl(const std::wstring& method, const std::string& path, const std::string& json = "");

// Drops every fault, replaced file and log entry.
bool ResetServer();
// Serves bytes at path (one of /LOL/Typeface/1.TTF..8.TTF, data.txt, paizi.txt).
bool ServeFile(const std::string& path, const Bytes& content);
// Sets a fault on path: fault is its name, options extra JSON members
// (e.g. "\"rate\": 65536"), without braces.
bool SetFault(const std::string& path, const std::string& fault, const std::string& options = "");
// The JSON list of logged requests for path.
std::string ServerLog(const std::string& path);

// Reproducible bytes of the given length.
Bytes RandomBytes(size_t length, unsigned seed);

// A fresh empty folder under the temporary folder (ANSI, with a trailing
// backslash), removed with its files by the destructor.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path; }

private:
    std::string path;
};

bool FileExists(const std::string& path);
// The file's bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, Bytes& bytes);

// A port on 127.0.0.1 where nothing listens.
unsigned short UnusedPort();
