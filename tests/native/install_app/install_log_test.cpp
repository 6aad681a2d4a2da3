#include <gtest/gtest.h>

#include <thread>

#include "install/app/DebugPipe.h"
#include "install/app/InstallLog.h"
#include "platform/memory/MemoryLogOutput.h"
#include "platform/memory/MemorySystemFacts.h"
#include "platform/ports/TextCodec.h"

namespace install {
namespace {

using platform::memory::MemoryLogFile;
using platform::memory::MemoryPipeClient;
using platform::memory::MemorySystemFacts;

const std::wstring kTempLog = L"C:\\Users\\admin\\AppData\\Local\\Temp\\Talvoric_Install.log";
const std::wstring kKeptLog = L"C:\\Talvoric_Install.log";

struct LogFixture : ::testing::Test {
    MemorySystemFacts facts;
    MemoryLogFile files;
    MemoryPipeClient pipeClient;
    DebugPipe pipe{pipeClient, facts};

    std::vector<std::wstring> PipeTexts() const { return pipeClient.Texts(); }
};

TEST_F(LogFixture, OpenWritesTheFirstLineToFileAndPipe) {
    pipeClient.listening = true;
    InstallLog log(files, facts, &pipe);
    log.Open();
    EXPECT_EQ(log.Path(), kTempLog);
    EXPECT_EQ(files.files[kTempLog], "logging start\r\n");
    EXPECT_EQ(PipeTexts(), (std::vector<std::wstring>{L"Logging Start...", L"logging start"}));
    EXPECT_EQ(pipeClient.connectedNames.at(0), L"\\\\.\\pipe\\VESKA_DEBUG_PIPE");
}

TEST_F(LogFixture, PipeGetsTheTextUpToItsLastNewlineAndTheFileGetsItAll) {
    pipeClient.listening = true;
    InstallLog log(files, facts, &pipe);
    log.Open();
    struct Row { const wchar_t* text; const wchar_t* piped; const char* filed; };
    const Row rows[] = {
        {L"Drive Letter C:\\\n", L"Drive Letter C:\\", "Drive Letter C:\\\r\n"},
        {L"first\nsecond\n", L"first\nsecond", "first\r\nsecond\r\n"},
        {L"first\nsecond", L"first", "first\r\nsecond"},
        {L"no newline", L"no newline", "no newline"},
        {L"\n", L"", "\r\n"},
        {L"system text\r\n", L"system text\r", "system text\r\n"},
        {L"\uC124\uCE58\n", L"\uC124\uCE58", "\xEC\x84\xA4\xEC\xB9\x98\r\n"},
        {nullptr, nullptr, nullptr},
    };
    for (const Row* r = rows; r->text; ++r) {
        files.files[kTempLog].clear();
        pipeClient.received.clear();
        log.Write(L"%ls", r->text);
        EXPECT_EQ(PipeTexts(), std::vector<std::wstring>{r->piped}) << platform::text::ToUtf8(r->text);
        EXPECT_EQ(files.files[kTempLog], r->filed) << platform::text::ToUtf8(r->text);
    }
}

TEST_F(LogFixture, FormatsLikePrintf) {
    InstallLog log(files, facts, &pipe);
    log.Open();
    log.Write(L"Drive Letter %ls\n", L"C:\\");
    log.Write(L"Failed with %d\n", 5);
    EXPECT_EQ(files.files[kTempLog], "logging start\r\nDrive Letter C:\\\r\nFailed with 5\r\n");
}

TEST_F(LogFixture, CleanRunLeavesNoLogAnywhere) {
    files.files[kKeptLog] = "older run\r\n";
    {
        InstallLog log(files, facts, &pipe);
        log.Open();
        log.Write(L"step\n");
    }  // closed by its owner going away
    EXPECT_EQ(files.files.count(kTempLog), 0u);
    EXPECT_EQ(files.files[kKeptLog], "older run\r\n") << "a clean run leaves an older kept log alone";
}

TEST_F(LogFixture, FailedRunMovesTheLogToTheSystemDriveRootReplacingAnOlderOne) {
    facts.systemFolder = L"D:\\WINNT\\system32";
    files.files[L"D:\\Talvoric_Install.log"] = "older run\r\n";
    InstallLog log(files, facts, &pipe);
    log.Open();
    log.Write(L"Initializing modules\n");
    log.Keep();
    log.Close();
    log.Close();  // a second close changes nothing
    EXPECT_EQ(files.files.count(kTempLog), 0u);
    EXPECT_EQ(files.files[L"D:\\Talvoric_Install.log"], "logging start\r\nInitializing modules\r\n");
}

TEST_F(LogFixture, SystemFolderWithoutBackslashLeavesTheLogInTemp) {
    facts.systemFolder = L"nowhere";
    InstallLog log(files, facts, &pipe);
    log.Open();
    log.m_bDiscard = 0;
    log.Close();
    EXPECT_EQ(files.files[kTempLog], "logging start\r\n");
}

TEST_F(LogFixture, UncreatableFileLosesNothingElse) {
    files.files[kKeptLog] = "older run\r\n";
    files.faults.FailAlways("Create", 5);
    pipeClient.listening = true;
    InstallLog log(files, facts, &pipe);
    log.Open();
    log.Write(L"step\n");
    log.Keep();
    log.Close();
    EXPECT_EQ(files.files.count(kTempLog), 0u);
    EXPECT_EQ(files.files[kKeptLog], "older run\r\n") << "no log of this run, so the older one stays";
    EXPECT_EQ(PipeTexts(), (std::vector<std::wstring>{L"Logging Start...", L"logging start", L"step"}));
}

TEST_F(LogFixture, LinesFromTwoThreadsNeverInterleave) {
    pipeClient.listening = true;
    InstallLog log(files, facts, &pipe);
    log.Open();
    auto writer = [&log](const wchar_t* who) {
        for (int i = 0; i < 300; ++i) log.Write(L"%ls line %d of a longer text\n", who, i);
    };
    std::thread a(writer, L"main"), b(writer, L"worker");
    a.join();
    b.join();
    const std::string& content = files.files[kTempLog];
    size_t pos = 0, lines = 0;
    while (pos < content.size()) {
        size_t end = content.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos);
        std::string line = content.substr(pos, end - pos);
        bool whole = line == "logging start" ||
                     ((line.rfind("main line ", 0) == 0 || line.rfind("worker line ", 0) == 0) &&
                      line.size() > 17 && line.compare(line.size() - 17, 17, " of a longer text") == 0 &&
                      line.find(" of a", 0) == line.rfind(" of a"));
        EXPECT_TRUE(whole) << line;
        pos = end + 2;
        ++lines;
    }
    EXPECT_EQ(lines, 601u);
    EXPECT_EQ(pipeClient.received.size(), 602u);  // greeting + every line
}

TEST_F(LogFixture, PipeWithoutListenerIsTriedAtMostOncePerSecond) {
    InstallLog log(files, facts, &pipe);
    log.Open();                // attempt at 100000
    log.Write(L"a\n");
    facts.tick += 999;
    log.Write(L"b\n");
    EXPECT_EQ(pipeClient.connects, 1);
    pipeClient.listening = true;
    log.Write(L"c\n");         // still inside the second: dropped
    facts.tick += 1;
    log.Write(L"d\n");
    EXPECT_EQ(pipeClient.connects, 2);
    EXPECT_EQ(PipeTexts(), (std::vector<std::wstring>{L"Logging Start...", L"d"}));
    EXPECT_EQ(files.files[kTempLog], "logging start\r\na\r\nb\r\nc\r\nd\r\n") << "the file gets every line";
}

TEST_F(LogFixture, BrokenPipeIsForgottenAndReconnectedLater) {
    pipeClient.listening = true;
    InstallLog log(files, facts, &pipe);
    log.Open();
    pipeClient.faults.FailNth("Write", 1, 232);  // ERROR_NO_DATA: the listener went away
    facts.tick += 200;
    log.Write(L"lost\n");
    EXPECT_FALSE(pipeClient.Connected());
    log.Write(L"too soon\n");
    EXPECT_EQ(pipeClient.connects, 1);
    facts.tick += 800;
    log.Write(L"back\n");
    EXPECT_EQ(pipeClient.connects, 2);
    EXPECT_EQ(PipeTexts(), (std::vector<std::wstring>{L"Logging Start...", L"logging start", L"Logging Start...", L"back"}));
}

TEST_F(LogFixture, ClockWrapStillAllowsAConnection) {
    facts.tick = 0xFFFFFF00u;
    pipe.Write(L"x");  // attempt noted near the top of the range
    pipeClient.listening = true;
    facts.tick = 0x00000300u;  // 1024 ms later, after the wrap
    pipe.Write(L"y");
    EXPECT_EQ(PipeTexts(), (std::vector<std::wstring>{L"Logging Start...", L"y"}));
}

TEST(DebugPipeMessageTest, ZeroTerminatedUtf16CutAt65535Units) {
    EXPECT_EQ(DebugPipeMessage(L"Ab"), std::string("A\0b\0\0\0", 6));
    EXPECT_EQ(DebugPipeMessage(L"\uD55C"), std::string("\x5C\xD5\0\0", 4));
    EXPECT_EQ(DebugPipeMessage(std::wstring(70000, L'x')).size(), 65535u * 2 + 2);
    std::string exact = DebugPipeMessage(std::wstring(65535, L'y'));
    EXPECT_EQ(exact.size(), 65535u * 2 + 2);
    EXPECT_EQ(exact.substr(exact.size() - 4), std::string("y\0\0\0", 4));
}

}  // namespace
}  // namespace install
