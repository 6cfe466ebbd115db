// The simulated handheld shared across processes: a second copy finds the
// first and hands it a message, a copy that ended leaves nothing in the way,
// a silent or misbehaving peer neither blocks nor gets anything in.

#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_shared.h"
#include "platform/single_instance.h"
#include "platform/windowing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char16_t* NAME = u"Tavil"; // the mutex, the window class and its title
constexpr std::uint32_t HAND_OVER = 0x8001;
constexpr std::uintptr_t HAND_OVER_W = 7;
constexpr std::intptr_t HAND_OVER_L = -3;

std::intptr_t quietProcedure(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

WindowHandle makeWindow() {
    registerWindowClass(WindowClassRecord{0, quietProcedure, ModuleHandle{}, 0, NAME});
    return createWindow(NAME, NAME, 0, ModuleHandle{});
}

// Waits for another process as a front-end does; when nothing comes, the loop ends.
void waitForOtherProcess(std::uint64_t) {
    pollfd shared{simSharedMessagesFd(), POLLIN, 0};
    if (poll(&shared, 1, 5000) <= 0) {
        postQuitMessage(1);
    }
}

enum class Copy { Second, Crashing, Silent };

// The step at which a second copy went wrong; 0 when every step went right.
int runSecondCopy() {
    if (createNamedMutex(NAME).lastError != ERROR_MUTEX_ALREADY_EXISTS) {
        return 1;
    }
    const WindowHandle running = findWindow(NAME, NAME);
    if (running == WindowHandle::None) {
        return 2;
    }
    if (!postMessage(running, HAND_OVER, HAND_OVER_W, HAND_OVER_L)) {
        return 3;
    }
    const auto unknown = static_cast<WindowHandle>(static_cast<std::uintptr_t>(running) + 1);
    if (postMessage(unknown, HAND_OVER, 0, 0)) {
        return 4;
    }
    return createNamedMutex(u"").lastError != 0 ? 5 : 0; // unnamed mutexes are never shared
}

// Runs a copy in a process of its own; `ready` gets a byte once it holds its
// window. A crashing copy is killed right then.
pid_t startCopy(Copy copy, const std::string& folder, int ready) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    resetSimHandheld(SimProcessorKind::Pxa270);
    if (!simShareAcrossProcesses(folder.c_str())) {
        _exit(10);
    }
    if (copy == Copy::Second) {
        _exit(runSecondCopy());
    }
    if (createNamedMutex(NAME).lastError != 0 || makeWindow() == WindowHandle::None) {
        _exit(11);
    }
    const char byte = 1;
    if (write(ready, &byte, 1) != 1 || copy == Copy::Crashing) {
        kill(getpid(), SIGKILL);
    }
    pause();
    _exit(12);
}

bool cameReady(int ready) {
    pollfd waiting{ready, POLLIN, 0};
    char byte = 0;
    return poll(&waiting, 1, 5000) == 1 && read(ready, &byte, 1) == 1;
}

int exitStatus(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

class SimSharedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetSimHandheld(SimProcessorKind::Pxa270);
        char made[] = "/tmp/tavil-shared-test-XXXXXX";
        ASSERT_NE(mkdtemp(made), nullptr);
        folder = made;
        ASSERT_EQ(pipe(ready), 0);
    }
    void TearDown() override {
        simStopSharing();
        simDriver = SimDriver{};
        close(ready[0]);
        close(ready[1]);
        std::filesystem::remove_all(folder);
    }

    std::string socketFile() const {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".sock") {
                return entry.path();
            }
        }
        return {};
    }

    std::string folder;
    int ready[2] = {-1, -1};
};

TEST_F(SimSharedTest, ASecondCopyGetsTheMutexAsExistingAndHandsItsMessageToTheFirst) {
    for (const bool crashedBefore : {false, true}) {
        SCOPED_TRACE(crashedBefore ? "after a copy that crashed" : "first copy");
        if (crashedBefore) {
            EXPECT_EQ(exitStatus(startCopy(Copy::Crashing, folder, ready[1])), 100 + SIGKILL);
            ASSERT_TRUE(cameReady(ready[0]));
            ASSERT_FALSE(socketFile().empty()) << "the crashed copy left its socket";
        }
        resetSimHandheld(SimProcessorKind::Pxa270);
        ASSERT_TRUE(simShareAcrossProcesses(folder.c_str()));
        EXPECT_EQ(createNamedMutex(NAME).lastError, 0u);
        createNamedMutex(u"");
        const WindowHandle window = makeWindow();

        const pid_t second = startCopy(Copy::Second, folder, ready[1]);
        simDriver.wait = waitForOtherProcess;
        WindowMessage message{};
        EXPECT_TRUE(getMessage(message));
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(message.message, HAND_OVER);
        EXPECT_EQ(message.wParam, HAND_OVER_W);
        EXPECT_EQ(message.lParam, HAND_OVER_L);
        EXPECT_EQ(exitStatus(second), 0) << "the step where the second copy failed";
        simStopSharing();
        EXPECT_TRUE(socketFile().empty());
    }
}

TEST_F(SimSharedTest, ASilentHolderDelaysNothingAndItsMutexIsFreeOnceItEnded) {
    const pid_t silent = startCopy(Copy::Silent, folder, ready[1]);
    ASSERT_TRUE(cameReady(ready[0]));
    ASSERT_TRUE(simShareAcrossProcesses(folder.c_str()));
    EXPECT_EQ(createNamedMutex(NAME).lastError, ERROR_MUTEX_ALREADY_EXISTS);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(findWindow(NAME, NAME), WindowHandle::None);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    kill(silent, SIGKILL);
    exitStatus(silent);
    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_EQ(createNamedMutex(NAME).lastError, 0u);
}

struct Datagram {
    const char* what;
    std::vector<unsigned char> bytes;
};

// A request as the protocol lays it out, for the window given.
std::vector<unsigned char> postRequest(std::uint32_t magic, std::uint32_t kind,
                                       std::uint64_t window) {
    std::vector<unsigned char> bytes(40 + 2 * (32 + 128), 0);
    const std::uint32_t message = HAND_OVER;
    std::memcpy(&bytes[0], &magic, 4);
    std::memcpy(&bytes[4], &kind, 4);
    std::memcpy(&bytes[8], &window, 8);
    std::memcpy(&bytes[16], &message, 4);
    return bytes;
}

std::vector<unsigned char> resized(std::vector<unsigned char> bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
}

// Sends the datagram from a socket of its own; the window in the holder's
// reply, or 0 when there is none.
std::uint64_t sendTo(const std::string& socketFile, const std::vector<unsigned char>& bytes) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un self{};
    self.sun_family = AF_UNIX;
    bind(fd, reinterpret_cast<const sockaddr*>(&self), sizeof self.sun_family);
    sockaddr_un holder{};
    holder.sun_family = AF_UNIX;
    std::strncpy(holder.sun_path, socketFile.c_str(), sizeof holder.sun_path - 1);
    sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&holder),
           sizeof holder);
    simReceiveSharedMessages();
    unsigned char reply[16] = {};
    const bool answered = recv(fd, reply, sizeof reply, MSG_DONTWAIT) == sizeof reply;
    close(fd);
    std::uint64_t window = 0;
    std::memcpy(&window, &reply[8], 8);
    return answered ? window : 0;
}

TEST_F(SimSharedTest, MalformedRequestsAreRefusedAndAWellFormedOneStillGetsThrough) {
    ASSERT_TRUE(simShareAcrossProcesses(folder.c_str()));
    createNamedMutex(NAME);
    const auto window = static_cast<std::uint64_t>(makeWindow());
    const std::uint32_t magic = 0x31564154;
    const std::vector<unsigned char> valid = postRequest(magic, 2, window);
    std::vector<unsigned char> classUnended = postRequest(magic, 1, 0);
    std::fill(classUnended.begin() + 40, classUnended.begin() + 104, 'T');
    std::vector<unsigned char> titleUnended = postRequest(magic, 1, 0);
    std::memcpy(&titleUnended[40], NAME, 12);
    std::fill(titleUnended.begin() + 104, titleUnended.end(), 'T');

    const Datagram refused[] = {
        {"empty", {}},
        {"one byte short", resized(valid, valid.size() - 1)},
        {"one byte long", resized(valid, valid.size() + 1)},
        {"twice as long", resized(valid, 2 * valid.size())},
        {"another magic", postRequest(magic + 1, 2, window)},
        {"unknown kind", postRequest(magic, 3, window)},
        {"no such window", postRequest(magic, 2, window + 1)},
        {"a remote handle", postRequest(magic, 2, 0x20000)},
        {"a class name without an end", classUnended},
        {"a title without an end", titleUnended},
    };
    for (const Datagram& datagram : refused) {
        EXPECT_EQ(sendTo(socketFile(), datagram.bytes), 0u) << datagram.what;
        EXPECT_EQ(simWindowing.queued, 0) << datagram.what;
    }
    EXPECT_EQ(sendTo(socketFile(), valid), window);
    EXPECT_EQ(simWindowing.queued, 1);
}

TEST_F(SimSharedTest, ALockFileReplacedByALinkIsNotFollowed) {
    ASSERT_TRUE(simShareAcrossProcesses(folder.c_str()));
    createNamedMutex(NAME);
    simStopSharing();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".lock") {
            std::filesystem::remove(entry.path());
            std::filesystem::create_symlink(folder + "/elsewhere", entry.path());
        }
    }
    resetSimHandheld(SimProcessorKind::Pxa270);
    ASSERT_TRUE(simShareAcrossProcesses(folder.c_str()));
    const NamedMutex refused = createNamedMutex(NAME);
    EXPECT_EQ(refused.handle, MutexHandle::None);
    EXPECT_EQ(refused.lastError, 5u); // access denied
    EXPECT_FALSE(std::filesystem::exists(folder + "/elsewhere"));
}

TEST_F(SimSharedTest, OnlyAFolderOfThisUserAloneIsShared) {
    const std::string open = folder + "/open";
    mkdir(open.c_str(), 0755);
    chmod(open.c_str(), 0755);
    const std::string link = folder + "/link";
    symlink(folder.c_str(), link.c_str());
    const std::string file = folder + "/file";
    close(creat(file.c_str(), 0600));
    for (const std::string& refused :
         {open, link, file, folder + std::string(80, 'x'), std::string("/proc/no/such")}) {
        EXPECT_FALSE(simShareAcrossProcesses(refused.c_str())) << refused;
        EXPECT_EQ(simSharedMessagesFd(), -1) << refused;
    }
    EXPECT_TRUE(simShareAcrossProcesses((folder + "/made").c_str()));
}

} // namespace
