// The download facility against the local maker server: the events a
// transfer delivers and on which thread, the byte counts, every way a
// transfer can fail, and releasing tasks at awkward moments.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/Globals.h"
#include "TestServer.h"
#include "app/platform/Downloader.h"
#include "app/platform/HttpClient.h"
#include "support/TestWindow.h"

namespace {

const std::string FontPath = "/LOL/Typeface/3.TTF";

struct Delivered {
    int code;
    int a3;
    DWORD thread;
    int64_t doneAtDelivery;
};

std::vector<Delivered> events;
DownloadTask watched = 0;         // the task whose counts the callback reads
int releaseAtCode = 0;            // the callback releases watched at this code

int RecordEvent(int code, int a2, int a3, int a4, int a5) {
    events.push_back({code, a3, GetCurrentThreadId(), DownloadBytesDone(watched)});
    if (code == releaseAtCode) ReleaseDownloadTask(watched);
    return 0;
}

bool Ended() {
    for (const auto& event : events)
        if (event.code == DownloadFinished || event.code == DownloadFailed) return true;
    return false;
}

std::vector<int> Codes() {
    std::vector<int> codes;
    for (const auto& event : events) codes.push_back(event.code);
    return codes;
}

template <class Condition>
bool PumpUntil(Condition condition, DWORD limit = 60000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limit) return false;
        PumpFor(20);
    }
    return true;
}

class DownloadTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(TestServerBase().empty()) << "run through tests/download/run_with_server.py";
        ASSERT_TRUE(ResetServer());
        events.clear();
        watched = 0;
        releaseAtCode = 0;
        content = RandomBytes(300 * 1024 + 17, 3);
        ASSERT_TRUE(ServeFile(FontPath, content));
        localFile = folder.Path() + "3.tmp.tmp";
        settings.flags = 4096;
        settings.sourceAddress = TestServerBase() + FontPath;
        settings.localFile = localFile;
        settings.callback = RecordEvent;
    }
    void TearDown() override {
        ReleaseDownloadTask(watched);
        PumpMessages();
    }

    // Adds the task, pumps until it ends and a little longer, so that an
    // event delivered twice would show.
    void RunToEnd() {
        watched = AddDownloadTask(settings);
        ASSERT_NE(0u, watched);
        ASSERT_TRUE(PumpUntil(Ended)) << "no end event";
        PumpFor(300);
    }

    ScratchFolder folder;
    Bytes content;
    std::string localFile;
    DownloadSettings settings;
};

TEST_F(DownloadTest, DeliversStartWithTheSizeThenFinishedOnTheAddingThread) {
    RunToEnd();
    ASSERT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    EXPECT_EQ(static_cast<int>(content.size()), events[0].a3);
    EXPECT_EQ(0, events[0].doneAtDelivery) << "code 3 comes before any progress";
    EXPECT_EQ(static_cast<int64_t>(content.size()), events[1].doneAtDelivery);
    for (const auto& event : events) EXPECT_EQ(GetCurrentThreadId(), event.thread);
    Bytes written;
    ASSERT_TRUE(ReadWholeFile(localFile, written));
    EXPECT_TRUE(written == content) << "the local file differs from the served one";
    // Complete and closed at code 4: the application renames it there.
    std::string renamed = folder.Path() + "3.tmp";
    EXPECT_TRUE(MoveFileA(localFile.c_str(), renamed.c_str()));
}

TEST_F(DownloadTest, EmptyFileFinishesWithSizeZero) {
    ASSERT_TRUE(ServeFile(FontPath, Bytes()));
    RunToEnd();
    ASSERT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    EXPECT_EQ(0, events[0].a3);
    Bytes written{1};
    ASSERT_TRUE(ReadWholeFile(localFile, written));
    EXPECT_TRUE(written.empty());
}

// A trickled body: counts grow while it arrives, the counts since the last
// query add up to the total, and the file still comes out whole.
TEST_F(DownloadTest, CountsBytesWhileTricklingAndResetsTheCountSinceLastQuery) {
    ASSERT_TRUE(SetFault(FontPath, "trickle", "\"rate\": 200000"));
    watched = AddDownloadTask(settings);
    EXPECT_EQ(0, DownloadBytesDone(watched));
    EXPECT_EQ(0, DownloadBytesSinceLastQuery(watched));
    ASSERT_TRUE(PumpUntil([] { return !events.empty(); }));
    EXPECT_EQ(DownloadStarted, events[0].code);

    int64_t sum = 0, last = 0;
    std::vector<int64_t> seen;
    while (!Ended()) {
        PumpFor(150);
        int64_t done = DownloadBytesDone(watched);
        EXPECT_GE(done, last);
        EXPECT_LE(done, static_cast<int64_t>(content.size()));
        last = done;
        seen.push_back(done);
        sum += DownloadBytesSinceLastQuery(watched);
    }
    ASSERT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    sum += DownloadBytesSinceLastQuery(watched);
    EXPECT_EQ(static_cast<int64_t>(content.size()), sum);
    EXPECT_EQ(0, DownloadBytesSinceLastQuery(watched)) << "each query resets the count";
    EXPECT_EQ(static_cast<int64_t>(content.size()), DownloadBytesDone(watched));
    int partial = 0;
    for (int64_t done : seen) partial += done > 0 && done < static_cast<int64_t>(content.size());
    EXPECT_GE(partial, 2) << "progress is counted as it arrives, not at the end";
    Bytes written;
    ASSERT_TRUE(ReadWholeFile(localFile, written));
    EXPECT_TRUE(written == content);
}

struct ServerFault {
    const char* name;
    const char* fault;
    const char* options;
    bool startsFirst;  // the answer's head arrives: code 3 comes before 9
};

class DownloadFaultTest : public DownloadTest, public testing::WithParamInterface<ServerFault> {};

TEST_P(DownloadFaultTest, EndsInOneFailureAndLeavesNoFile) {
    const ServerFault& fault = GetParam();
    ASSERT_TRUE(SetFault(FontPath, fault.fault, fault.options));
    settings.stallMilliseconds = 1500;
    RunToEnd();
    std::vector<int> expected{DownloadFailed};
    if (fault.startsFirst) expected.insert(expected.begin(), DownloadStarted);
    EXPECT_EQ(expected, Codes());
    EXPECT_FALSE(FileExists(localFile)) << "the partial file is deleted";
    for (const auto& event : events) EXPECT_EQ(GetCurrentThreadId(), event.thread);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DownloadFaultTest,
    testing::Values(ServerFault{"NotFound", "404", "", false}, ServerFault{"ServerError", "500", "", false},
                    ServerFault{"Reset", "reset", "", false}, ServerFault{"Drop", "drop", "", true},
                    ServerFault{"Short", "short", "", true},
                    ServerFault{"Stall", "stall", "\"hold\": 30", true},
                    ServerFault{"StallBeforeAnyByte", "stall", "\"bytes\": 0, \"hold\": 30", true}),
    [](const testing::TestParamInfo<ServerFault>& info) { return std::string(info.param.name); });

TEST_F(DownloadTest, AnnouncesTheLengthTheServerClaimsWhenTheBodyIsShort) {
    ASSERT_TRUE(SetFault(FontPath, "short", "\"extra\": 1000"));
    RunToEnd();
    ASSERT_EQ((std::vector<int>{DownloadStarted, DownloadFailed}), Codes());
    EXPECT_EQ(static_cast<int>(content.size()) + 1000, events[0].a3);
}

TEST_F(DownloadTest, MissingFolderFails) {
    settings.localFile = folder.Path() + "no such folder\\3.tmp.tmp";
    RunToEnd();
    EXPECT_EQ((std::vector<int>{DownloadFailed}), Codes());
}

TEST_F(DownloadTest, FileLockedByAnotherHandleFailsAndIsLeftAlone) {
    HANDLE locked = CreateFileA(localFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    DWORD written = 0;
    WriteFile(locked, "mine", 4, &written, nullptr);
    RunToEnd();
    CloseHandle(locked);
    EXPECT_EQ((std::vector<int>{DownloadFailed}), Codes());
    Bytes kept;
    ASSERT_TRUE(ReadWholeFile(localFile, kept));
    EXPECT_EQ(std::string("mine"), std::string(kept.begin(), kept.end()));
}

TEST_F(DownloadTest, AddressThatIsNotHttpFails) {
    settings.sourceAddress = "file:///C:/windows/win.ini";
    RunToEnd();
    EXPECT_EQ((std::vector<int>{DownloadFailed}), Codes());
    EXPECT_FALSE(FileExists(localFile));
}

// The application keeps one record and adds each download to it, without
// releasing the task before.
TEST_F(DownloadTest, SecondTaskOnTheSameRecordAfterAFailureSucceeds) {
    DownloadState record;
    record.settings = settings;
    ASSERT_TRUE(SetFault(FontPath, "404", "\"count\": 1"));
    record.task = watched = AddDownloadTask(record.settings);
    ASSERT_TRUE(PumpUntil(Ended));
    EXPECT_EQ((std::vector<int>{DownloadFailed}), Codes());

    events.clear();
    DeleteFileA(localFile.c_str());
    record.task = watched = AddDownloadTask(record.settings);
    ASSERT_TRUE(PumpUntil(Ended));
    PumpFor(300);
    EXPECT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    Bytes written;
    ASSERT_TRUE(ReadWholeFile(localFile, written));
    EXPECT_TRUE(written == content);
    watched = 0;  // the record releases its task
}

TEST_F(DownloadTest, SecondTaskAfterASuccessSucceeds) {
    RunToEnd();
    Bytes other = RandomBytes(40000, 9);
    ASSERT_TRUE(ServeFile(FontPath, other));
    events.clear();
    RunToEnd();
    EXPECT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    Bytes written;
    ASSERT_TRUE(ReadWholeFile(localFile, written));
    EXPECT_TRUE(written == other);
}

// One transfer at a time: a task added while another runs replaces it.
TEST_F(DownloadTest, AddingATaskWhileOneRunsReplacesIt) {
    ASSERT_TRUE(SetFault(FontPath, "trickle", "\"rate\": 40000, \"count\": 1"));
    DownloadTask first = watched = AddDownloadTask(settings);
    ASSERT_TRUE(PumpUntil([first] { return DownloadBytesDone(first) > 0; }));
    events.clear();
    DownloadTask second = watched = AddDownloadTask(settings);
    EXPECT_NE(first, second);
    EXPECT_EQ(0, DownloadBytesDone(first)) << "the first task is released";
    ASSERT_TRUE(PumpUntil(Ended));
    PumpFor(300);
    EXPECT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    Bytes written;
    ASSERT_TRUE(ReadWholeFile(localFile, written));
    EXPECT_TRUE(written == content);
}

struct RunningRelease {
    const char* name;
    const char* fault;
    const char* options;
    // Whether the server sees the hang-up soon: a read blocked on a silent
    // connection cannot be interrupted, so its reader hangs up only when
    // the read ends (at WinINet's receive timeout on Windows; Wine's WinINet
    // waits until the server closes).
    bool serverSeesTheHangUp;
};

class ReleaseRunningTest : public DownloadTest, public testing::WithParamInterface<RunningRelease> {};

// Released while bytes flow, or while the connection is silent: no event
// comes any more and the partial file goes away.
TEST_P(ReleaseRunningTest, StopsTheTransferAndDeletesThePartialFile) {
    ASSERT_TRUE(SetFault(FontPath, GetParam().fault, GetParam().options));
    settings.stallMilliseconds = 3000;
    watched = AddDownloadTask(settings);
    ASSERT_TRUE(PumpUntil([] { return DownloadBytesDone(watched) > 0; }));
    ASSERT_TRUE(FileExists(localFile));
    ReleaseDownloadTask(watched);
    EXPECT_EQ(0, DownloadBytesDone(watched));
    ASSERT_TRUE(PumpUntil([this] { return !FileExists(localFile); }, 20000));
    PumpFor(500);
    EXPECT_EQ((std::vector<int>{DownloadStarted}), Codes());
    if (GetParam().serverSeesTheHangUp) {
        ASSERT_TRUE(PumpUntil([] { return ServerLog(FontPath).find("\"finished\": true") != std::string::npos; },
                              20000));
        EXPECT_NE(std::string::npos, ServerLog(FontPath).find("\"complete\": false"));
    }
}

INSTANTIATE_TEST_SUITE_P(Release, ReleaseRunningTest,
                         testing::Values(RunningRelease{"WhileBytesFlow", "trickle", "\"rate\": 20000", true},
                                         RunningRelease{"WhileTheServerIsSilent", "stall", "\"hold\": 30", false}),
                         [](const testing::TestParamInfo<RunningRelease>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(DownloadTest, ReleaseAcceptsZeroAndUnknownHandlesAndTwice) {
    ReleaseDownloadTask(0);
    ReleaseDownloadTask(987654);
    EXPECT_EQ(0, DownloadBytesDone(0));
    EXPECT_EQ(0, DownloadBytesSinceLastQuery(987654));
    RunToEnd();
    ReleaseDownloadTask(watched);
    ReleaseDownloadTask(watched);
    EXPECT_EQ(0, DownloadBytesDone(watched));
    DownloadState neverUsed;  // releases task 0 on destruction
}

class ReleaseInCallbackTest : public DownloadTest, public testing::WithParamInterface<int> {};

// The handler may end the task from inside its own callback.
TEST_P(ReleaseInCallbackTest, NeitherDeadlocksNorDeliversMore) {
    releaseAtCode = GetParam();
    if (releaseAtCode == DownloadStarted) {
        ASSERT_TRUE(SetFault(FontPath, "trickle", "\"rate\": 100000"));
    }
    watched = AddDownloadTask(settings);
    ASSERT_TRUE(PumpUntil([] { return !events.empty() && events.back().code == releaseAtCode; }));
    PumpFor(800);
    std::vector<int> expected{DownloadStarted};
    if (releaseAtCode == DownloadFinished) expected.push_back(DownloadFinished);
    EXPECT_EQ(expected, Codes());
    EXPECT_EQ(releaseAtCode == DownloadFinished, FileExists(localFile));
}

INSTANTIATE_TEST_SUITE_P(Codes, ReleaseInCallbackTest, testing::Values(DownloadStarted, DownloadFinished));

// Events come to the thread that added the task, whichever it is.
TEST_F(DownloadTest, EventsArriveOnTheThreadThatAddedTheTask) {
    DWORD adder = 0;
    std::thread thread([&] {
        adder = GetCurrentThreadId();
        watched = AddDownloadTask(settings);
        PumpUntil(Ended);
        ReleaseDownloadTask(watched);
        watched = 0;
    });
    thread.join();
    ASSERT_EQ((std::vector<int>{DownloadStarted, DownloadFinished}), Codes());
    for (const auto& event : events) {
        EXPECT_EQ(adder, event.thread);
        EXPECT_NE(GetCurrentThreadId(), event.thread);
    }
}

TEST_F(DownloadTest, RequestsBypassCaches) {
    RunToEnd();
    std::string log = ServerLog(FontPath);
    EXPECT_NE(std::string::npos, log.find("\"no_cache\": true")) << log;
    EXPECT_NE(std::string::npos, log.find("\"pragma\": \"no-cache\"")) << log;
}

}  // namespace
