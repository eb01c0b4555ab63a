#include "TestServer.h"

#include <winsock2.h>

#include <wininet.h>

#include <cstdlib>
#include <random>

namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string Base64(const Bytes& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = bytes[i] << 16;
        if (i + 1 < bytes.size()) value |= bytes[i + 1] << 8;
        if (i + 2 < bytes.size()) value |= bytes[i + 2];
        out += digits[(value >> 18) & 63];
        out += digits[(value >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(value >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[value & 63] : '=';
    }
    return out;
}

struct Handle {
    HINTERNET value;
    ~Handle() {
        if (value) InternetCloseHandle(value);
    }
};

}  // namespace

std::string TestServerBase() {
    const char* base = std::getenv("FONTIVA_TEST_SERVER");
    return base ? base : "";
}

ServerAnswer ServerControl(const std::wstring& method, const std::string& path, const std::string& json) {
    ServerAnswer answer;
    std::string base = TestServerBase();
    size_t colon = base.rfind(':');
    if (colon == std::string::npos) return answer;
    auto port = static_cast<INTERNET_PORT>(std::atoi(base.c_str() + colon + 1));
    Handle session{InternetOpenW(L"FontivaTests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    Handle connection{InternetConnectW(session.value, L"127.0.0.1", port, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0)};
    Handle request{HttpOpenRequestW(connection.value, method.c_str(), Widen(path).c_str(), nullptr, nullptr,
                                    nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (!request.value) return answer;
    const wchar_t headers[] = L"Content-Type: application/json\r\n";
    if (!HttpSendRequestW(request.value, headers, static_cast<DWORD>(-1L), const_cast<char*>(json.data()),
                          static_cast<DWORD>(json.size())))
        return answer;
    DWORD status = 0, size = sizeof status;
    HttpQueryInfoW(request.value, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    char piece[65536];
    DWORD read = 0;
    while (InternetReadFile(request.value, piece, sizeof piece, &read) && read > 0) answer.body.append(piece, read);
    answer.status = status;
    return answer;
}

bool ResetServer() { return ServerControl(L"POST", "/_control/reset").status == 200; }

bool ServeFile(const std::string& path, const Bytes& content) {
    std::string json = "{\"path\": \"" + path + "\", \"content_b64\": \"" + Base64(content) + "\"}";
    return ServerControl(L"POST", "/_control/file", json).status == 200;
}

bool SetFault(const std::string& path, const std::string& fault, const std::string& options) {
    std::string json = "{\"path\": \"" + path + "\", \"fault\": \"" + fault + "\"";
    if (!options.empty()) json += ", " + options;
    json += "}";
    return ServerControl(L"POST", "/_control/fault", json).status == 200;
}

std::string ServerLog(const std::string& path) {
    return ServerControl(L"GET", "/_control/log?path=" + path).body;
}

Bytes RandomBytes(size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(length);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(generator() >> 24);
    return bytes;
}

ScratchFolder::ScratchFolder() {
    static int made = 0;
    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    path = std::string(temporary) + "fontiva-download-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++made) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ReadWholeFile(const std::string& path, Bytes& bytes) {
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    unsigned char piece[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, piece, sizeof piece, &read, nullptr) != FALSE) && read > 0)
        bytes.insert(bytes.end(), piece, piece + read);
    CloseHandle(file);
    return ok;
}

unsigned short UnusedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    unsigned short port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    closesocket(probe);
    return port;
}
