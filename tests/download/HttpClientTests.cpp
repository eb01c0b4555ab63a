// Whole-file reads from the local maker server: content only from a 200
// answer with the whole body, caches bypassed, and the server bases taken
// from the environment.
#include <gtest/gtest.h>

#include "TestServer.h"
#include "app/platform/HttpClient.h"

namespace {

const std::string DataPath = "/LOL/Typeface/data.txt";

class HttpGetFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(TestServerBase().empty()) << "run through tests/download/run_with_server.py";
        ASSERT_TRUE(ResetServer());
        address = TestServerBase() + DataPath;
    }
    std::string address;
};

TEST_F(HttpGetFileTest, ReadsTheWholeFile) {
    // Sizes around the client's read piece and one far larger.
    for (size_t size : {size_t(0), size_t(1), size_t(16384), size_t(16385), size_t(700000)}) {
        Bytes served = RandomBytes(size, static_cast<unsigned>(size));
        ASSERT_TRUE(ServeFile(DataPath, served));
        std::vector<unsigned char> bytes{42};
        EXPECT_TRUE(HttpGetFile(address, bytes)) << size;
        EXPECT_TRUE(bytes == served) << size;
    }
}

struct BadAnswer {
    const char* name;
    const char* fault;
    const char* options;
};

class HttpGetFileFaultTest : public HttpGetFileTest, public testing::WithParamInterface<BadAnswer> {};

// An error page or a broken body is never content.
TEST_P(HttpGetFileFaultTest, FailsWithNoBytes) {
    ASSERT_TRUE(ServeFile(DataPath, RandomBytes(50000, 1)));
    ASSERT_TRUE(SetFault(DataPath, GetParam().fault, GetParam().options));
    std::vector<unsigned char> bytes{1, 2, 3};
    EXPECT_FALSE(HttpGetFile(address, bytes));
    EXPECT_TRUE(bytes.empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, HttpGetFileFaultTest,
                         testing::Values(BadAnswer{"NotFound", "404", ""}, BadAnswer{"ServerError", "500", ""},
                                         BadAnswer{"Forbidden", "403", ""}, BadAnswer{"Reset", "reset", ""},
                                         BadAnswer{"Drop", "drop", ""}, BadAnswer{"Short", "short", ""},
                                         // Silent past the receive timeout (15 s).
                                         BadAnswer{"Stall", "stall", "\"hold\": 40"}),
                         [](const testing::TestParamInfo<BadAnswer>& info) { return std::string(info.param.name); });

TEST_F(HttpGetFileTest, PathTheServerDoesNotHaveFails) {
    std::vector<unsigned char> bytes;
    EXPECT_FALSE(HttpGetFile(TestServerBase() + "/LOL/Typeface/9.TTF", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(HttpGetFileTest, TrickledFileArrivesWhole) {
    Bytes served = RandomBytes(60000, 5);
    ASSERT_TRUE(ServeFile(DataPath, served));
    ASSERT_TRUE(SetFault(DataPath, "trickle", "\"rate\": 100000"));
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(HttpGetFile(address, bytes));
    EXPECT_TRUE(bytes == served);
}

// A changed file shows at the next read, and every request asks caches on
// the way to fetch it anew.
TEST_F(HttpGetFileTest, BypassesCaches) {
    Bytes first = RandomBytes(2000, 1), second = RandomBytes(2000, 2);
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ServeFile(DataPath, first));
    ASSERT_TRUE(HttpGetFile(address, bytes));
    EXPECT_TRUE(bytes == first);
    ASSERT_TRUE(ServeFile(DataPath, second));
    ASSERT_TRUE(HttpGetFile(address, bytes));
    EXPECT_TRUE(bytes == second);

    std::string log = ServerLog(DataPath);
    EXPECT_NE(std::string::npos, log.find("\"no_cache\": true")) << log;
    EXPECT_EQ(std::string::npos, log.find("\"no_cache\": false")) << log;
    EXPECT_NE(std::string::npos, log.find("\"pragma\": \"no-cache\"")) << log;
    EXPECT_NE(std::string::npos, log.find("\"cache-control\": \"no-cache\"")) << log;
    EXPECT_EQ(std::string::npos, log.find("if-modified-since")) << log;
}

TEST(HttpGetFile, UnreachablePortFails) {
    unsigned short port = UnusedPort();
    ASSERT_NE(0, port);
    std::vector<unsigned char> bytes{1};
    DWORD start = GetTickCount();
    EXPECT_FALSE(HttpGetFile("http://127.0.0.1:" + std::to_string(port) + "/LOL/Typeface/data.txt", bytes));
    EXPECT_TRUE(bytes.empty());
    std::printf("unreachable port answered in %lu ms\n", GetTickCount() - start);
}

TEST(HttpGetFile, AddressesThatAreNotHttpFail) {
    for (const char* address : {"", "127.0.0.1/LOL/Typeface/data.txt", "file:///C:/windows/win.ini",
                                "ftp://127.0.0.1/data.txt", "http://"}) {
        std::vector<unsigned char> bytes{1};
        EXPECT_FALSE(HttpGetFile(address, bytes)) << address;
        EXPECT_TRUE(bytes.empty()) << address;
    }
}

struct ServerVariable {
    const char* value;     // nullptr: unset
    const char* expected;  // nullptr: the built-in default
};

class ServerBaseTest : public testing::TestWithParam<ServerVariable> {
protected:
    void TearDown() override {
        SetEnvironmentVariableA("FONTIVA_DOWNLOAD_SERVER", nullptr);
        SetEnvironmentVariableA("FONTIVA_WEB_SERVER", nullptr);
    }
};

TEST_P(ServerBaseTest, ComesFromTheEnvironmentWithoutATrailingSlash) {
    SetEnvironmentVariableA("FONTIVA_DOWNLOAD_SERVER", nullptr);
    SetEnvironmentVariableA("FONTIVA_WEB_SERVER", nullptr);
    std::string defaultDownload = DownloadServer(), defaultWeb = WebServer();
    EXPECT_EQ(0u, defaultDownload.rfind("http://", 0)) << defaultDownload;
    EXPECT_NE('/', defaultDownload.back());
    EXPECT_NE('/', defaultWeb.back());

    SetEnvironmentVariableA("FONTIVA_DOWNLOAD_SERVER", GetParam().value);
    EXPECT_EQ(GetParam().expected ? GetParam().expected : defaultDownload, DownloadServer());
    EXPECT_EQ(defaultWeb, WebServer());
    SetEnvironmentVariableA("FONTIVA_DOWNLOAD_SERVER", nullptr);
    SetEnvironmentVariableA("FONTIVA_WEB_SERVER", GetParam().value);
    EXPECT_EQ(GetParam().expected ? GetParam().expected : defaultWeb, WebServer());
    EXPECT_EQ(defaultDownload, DownloadServer());
}

INSTANTIATE_TEST_SUITE_P(Variables, ServerBaseTest,
                         testing::Values(ServerVariable{nullptr, nullptr},
                                         ServerVariable{"http://127.0.0.1:9000", "http://127.0.0.1:9000"},
                                         ServerVariable{"http://127.0.0.1:9000/", "http://127.0.0.1:9000"},
                                         ServerVariable{"http://fonts.example/base/", "http://fonts.example/base"}));

}  // namespace
