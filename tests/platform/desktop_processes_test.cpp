// What only the desktop can show of the process service: a process started
// here is listed under its file name, and ending it through the service ends it
// with the exit code given. The process is a suspended copy of this test
// program, so it never runs a test itself.

#include "platform/processes.h"
#include "platform/win32/process_entry.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

constexpr DWORD EXIT_CODE = 0x2A;
constexpr DWORD WAIT_MILLISECONDS = 10000;

std::u16string ownPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return reinterpret_cast<const char16_t*>(path);
}

PROCESS_INFORMATION startSuspendedCopy(const std::u16string& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    CreateProcessW(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr, nullptr, nullptr, FALSE,
                   CREATE_SUSPENDED, nullptr, nullptr, &startup, &started);
    return started;
}

// The name under which a snapshot lists the process; empty when it is not listed.
std::u16string listedName(std::uint32_t processId) {
    const SnapshotHandle snapshot = takeProcessSnapshot();
    ProcessEntry entry{};
    std::u16string name;
    for (bool more = firstProcess(snapshot, entry); more; more = nextProcess(snapshot, entry)) {
        name = entry.processId == processId ? entry.exeFile : name;
    }
    closeProcessSnapshot(snapshot);
    return name;
}

TEST(DesktopProcesses, AProcessStartedHereIsListedAndEndsWithTheExitCodeGiven) {
    const std::u16string path = ownPath();
    const PROCESS_INFORMATION child = startSuspendedCopy(path);
    ASSERT_NE(child.hProcess, nullptr);
    EXPECT_EQ(listedName(child.dwProcessId), path.substr(path.rfind(u'\\') + 1));

    const ProcessHandle process = openProcess(child.dwProcessId);
    EXPECT_TRUE(terminateProcess(process, EXIT_CODE));
    closeProcessHandle(process);
    EXPECT_EQ(WaitForSingleObject(child.hProcess, WAIT_MILLISECONDS), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    EXPECT_EQ(exitCode, EXIT_CODE);
    EXPECT_EQ(listedName(child.dwProcessId), u"");
    TerminateProcess(child.hProcess, 0); // leaves no stray copy when the service failed to end it
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

TEST(DesktopProcesses, ANameThatFillsToolHelpsWholeFieldIsCutAndTerminated) {
    PROCESSENTRY32W found{};
    found.th32ProcessID = 0x1234;
    found.cntThreads = 3;
    std::fill(std::begin(found.szExeFile), std::end(found.szExeFile), L'n');
    const ProcessEntry entry = processEntryOf(found);
    EXPECT_EQ(entry.processId, 0x1234u);
    EXPECT_EQ(entry.threadCount, 3u);
    EXPECT_EQ(std::u16string(entry.exeFile), std::u16string(PROCESS_NAME_CAPACITY - 1, u'n'));
}

} // namespace
