// Start-up and shutdown of the application's state: the globals in their
// initial state, and the exit routine running exactly once however the
// process ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/Globals.h"
#include "support/TestWindow.h"

namespace {

// The exit routine's runs are reported by a second exit routine that was
// registered first, so it runs last.
std::wstring ReportPath() {
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"FONTIVA_TEST_REPORT", path, MAX_PATH);
    return path;
}

void WriteReport() {
    FILE* file = _wfopen(ReportPath().c_str(), L"w");
    if (!file) return;
    std::fprintf(file, "%d %d", ReleaseGlobalsRuns(), static_cast<int>(static_cast<bool>(MainHost)));
    std::fclose(file);
}

int EndExplicitly() {
    std::atexit(WriteReport);
    ConstructGlobals();
    std::atexit(ReleaseGlobals);
    EndProgram();
}

int EndByReturning() {
    std::atexit(WriteReport);
    ConstructGlobals();
    std::atexit(ReleaseGlobals);
    return 3;
}

const bool registered = (RegisterChildMode("end-explicitly", EndExplicitly),
                         RegisterChildMode("end-by-returning", EndByReturning), true);

std::string ReadReport(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"r");
    if (!file) return "missing";
    char buffer[64] = {};
    size_t read = std::fread(buffer, 1, sizeof(buffer) - 1, file);
    std::fclose(file);
    return std::string(buffer, read);
}

struct EndCase {
    const char* mode;
    DWORD exitCode;
};

class ProcessEnd : public testing::TestWithParam<EndCase> {};

TEST_P(ProcessEnd, ReleasesTheGlobalsExactlyOnce) {
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"fv", 0, path);
    DeleteFileW(path);
    EXPECT_EQ(GetParam().exitCode,
              RunChild(GetParam().mode, std::wstring(L"FONTIVA_TEST_REPORT=") + path));
    EXPECT_EQ("1 0", ReadReport(path));  // one run; the hosts are gone
    DeleteFileW(path);
}

INSTANTIATE_TEST_SUITE_P(Ends, ProcessEnd,
                         testing::Values(EndCase{"end-explicitly", 0},
                                         EndCase{"end-by-returning", 3}));

TEST(Globals, StartEmptyWithTheirDeclaredSizes) {
    ConstructGlobals();
    EXPECT_TRUE(GameFolder.empty());
    EXPECT_EQ(8u, FontSizes.size());
    EXPECT_EQ(5u, InfoCaptions.size());
    EXPECT_EQ(0, SelectedFont);
    ASSERT_TRUE(static_cast<bool>(DownloadRecord));
    EXPECT_EQ(0u, DownloadRecord->task);
    EXPECT_EQ(0, DownloadRecord->total);
    const DownloadSettings& settings = DownloadRecord->settings;
    EXPECT_EQ(1, settings.flags);
    EXPECT_EQ("anonymous", settings.loginName);
    EXPECT_EQ((std::array<int, 9>{1, 0, 20000, 20000, 20000, 1000, 20480, 1024, 0}),
              settings.numbers);
    EXPECT_EQ(".exe|.rar|.zip|.gif|.jpg|.mp3|.rm", settings.extensions);
    EXPECT_EQ(1, settings.number);
    EXPECT_EQ(nullptr, settings.callback);
    EXPECT_EQ(0u, (*FontButtons)[1].GetHandle());
    EXPECT_EQ(0u, (*FontButtons)[8].GetHandle());
    EXPECT_EQ(nullptr, MainHost->window);

    EXPECT_EQ("", TextAt(FontSizes, 0));
    EXPECT_EQ("", TextAt(FontSizes, 9));
}

}  // namespace
