#include "platform/sim/sim_shared.h"

#include "platform/sim/sim_single_instance.h"
#include "platform/sim/sim_windows.h"
#include "platform/whole_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

static_assert(sizeof(std::uintptr_t) == 8, "messages travel as 64-bit values");

namespace {

constexpr std::uint32_t PROTOCOL_MAGIC = 0x3156'4154; // "TAV1"
constexpr std::uint32_t REQUEST_FIND = 1;
constexpr std::uint32_t REQUEST_POST = 2;
constexpr int REPLY_TIMEOUT_MS = 500;
constexpr int REQUESTS_PER_RECEIVE = 32; // the rest wait for the next call
constexpr std::uintptr_t FIRST_REMOTE_WINDOW = 0x20000;
constexpr int REMOTE_WINDOW_CAPACITY = 8;
constexpr char SOCKET_SUFFIX[] = ".sock";
constexpr char LOCK_SUFFIX[] = ".lock";
// "/mutex-" and 16 hexadecimal digits, then the longer suffix and the terminator.
constexpr std::size_t FILE_NAME_LENGTH = 7 + 16 + sizeof SOCKET_SUFFIX;
constexpr std::size_t FOLDER_CAPACITY = sizeof(sockaddr_un::sun_path) - FILE_NAME_LENGTH;

// Both travel whole in one datagram; anything of another size is refused.
struct Request {
    std::uint32_t magic;
    std::uint32_t kind;
    std::uint64_t window; // the owner's own handle (post)
    std::uint32_t message;
    std::uint32_t unused;
    std::uint64_t wParam;
    std::int64_t lParam;
    char16_t className[SIM_NAME_CAPACITY]; // terminated (find)
    char16_t title[SIM_TITLE_CAPACITY];    // terminated (find)
};

struct Reply {
    std::uint32_t magic;
    std::uint32_t kind;
    std::uint64_t window; // the window found or posted to; 0 for none
};

// A mutex this process has asked for by name: held by it (fd of its lock file)
// or by another process (fd -1).
struct SharedLock {
    std::uint64_t key;
    int fd;
};

struct RemoteWindow {
    std::uint64_t key; // of the mutex its owner holds
    std::uint64_t window;
};

struct Sharing {
    bool on;
    pid_t process; // a child made by fork inherits the state, but the files are not its own
    char folder[FOLDER_CAPACITY];
    int socketFd = -1;
    char socketPath[sizeof(sockaddr_un::sun_path)]; // where the socket was bound first
    SharedLock locks[SIM_MUTEX_CAPACITY];
    int lockCount;
    RemoteWindow remotes[REMOTE_WINDOW_CAPACITY];
    int remoteCount;
};

Sharing sharing;

// FNV-1a over the name's UTF-16 units: file names stay short and never carry
// the name's own characters.
std::uint64_t nameKey(const char16_t* name) {
    std::uint64_t key = 0xcbf2'9ce4'8422'2325;
    for (; *name != u'\0'; ++name) {
        key = (key ^ (*name & 0xFFu)) * 0x100'0000'01b3;
        key = (key ^ (static_cast<unsigned>(*name) >> 8)) * 0x100'0000'01b3;
    }
    return key;
}

sockaddr_un fileAddress(std::uint64_t key, const char* suffix) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/mutex-%016llx%s", sharing.folder,
                  static_cast<unsigned long long>(key), suffix);
    return address;
}

bool ownedFolder(const char* folder) {
    if (mkdir(folder, 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat status {};
    return lstat(folder, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & 077) == 0;
}

// A runtime folder too long for a socket's address counts as none.
void userFolder(char* folder, std::size_t capacity) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        const int length = std::snprintf(folder, capacity, "%s/tavil", runtime);
        if (length > 0 && static_cast<std::size_t>(length) < capacity) {
            return;
        }
    }
    std::snprintf(folder, capacity, "/tmp/tavil-%u", static_cast<unsigned>(geteuid()));
}

// Binds the process's socket under the mutex's name; a later mutex gets a link
// to the same socket. The lock is held, so a file there was left by a process
// that ended.
bool publishSocket(std::uint64_t key) {
    const sockaddr_un address = fileAddress(key, SOCKET_SUFFIX);
    unlink(address.sun_path);
    if (sharing.socketFd >= 0) {
        return link(sharing.socketPath, address.sun_path) == 0;
    }
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return false;
    }
    sharing.socketFd = fd;
    std::memcpy(sharing.socketPath, address.sun_path, sizeof sharing.socketPath);
    return true;
}

bool terminated(const char16_t* text, std::size_t capacity) {
    return std::char_traits<char16_t>::find(text, capacity, u'\0') != nullptr;
}

std::int64_t millisecondsNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

bool replyArrives(int fd) {
    const std::int64_t deadline = millisecondsNow() + REPLY_TIMEOUT_MS;
    for (std::int64_t left = REPLY_TIMEOUT_MS; left > 0; left = deadline - millisecondsNow()) {
        pollfd waiting{fd, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
    return false;
}

// Sends the request to the holder of the mutex and waits a bounded time for its
// reply; the holder's answer, or 0 when it did not give one.
std::uint64_t askHolder(std::uint64_t key, const Request& request) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    const sockaddr_un holder = fileAddress(key, SOCKET_SUFFIX);
    sockaddr_un self{};
    self.sun_family = AF_UNIX; // bound to an address of its own choosing, for the reply
    Reply reply{};
    unsigned char bytes[sizeof reply + 1];
    const bool answered =
        bind(fd, reinterpret_cast<const sockaddr*>(&self), sizeof self.sun_family) == 0 &&
        sendto(fd, &request, sizeof request, MSG_DONTWAIT,
               reinterpret_cast<const sockaddr*>(&holder),
               sizeof holder) == static_cast<ssize_t>(sizeof request) &&
        replyArrives(fd) && recv(fd, bytes, sizeof bytes, MSG_DONTWAIT) == sizeof reply;
    close(fd);
    if (!answered) {
        return 0;
    }
    std::memcpy(&reply, bytes, sizeof reply);
    return reply.magic == PROTOCOL_MAGIC && reply.kind == request.kind ? reply.window : 0;
}

// The answer to a request of another process; 0 for nothing found or posted.
std::uint64_t answer(const Request& request) {
    if (request.kind == REQUEST_FIND && terminated(request.className, SIM_NAME_CAPACITY) &&
        terminated(request.title, SIM_TITLE_CAPACITY)) {
        return static_cast<std::uint64_t>(simFindLocalWindow(request.className, request.title));
    }
    if (request.kind == REQUEST_POST &&
        simPostLocalMessage(static_cast<WindowHandle>(request.window), request.message,
                            request.wParam, request.lParam)) {
        return request.window;
    }
    return 0;
}

void receiveOne(int fd) {
    unsigned char bytes[sizeof(Request) + 1]; // a longer datagram arrives cut, one too long
    sockaddr_un from{};
    socklen_t fromLength = sizeof from;
    const ssize_t length = recvfrom(fd, bytes, sizeof bytes, MSG_DONTWAIT,
                                    reinterpret_cast<sockaddr*>(&from), &fromLength);
    Request request{};
    if (length != static_cast<ssize_t>(sizeof request)) {
        return;
    }
    std::memcpy(&request, bytes, sizeof request);
    if (request.magic != PROTOCOL_MAGIC || fromLength <= sizeof from.sun_family) {
        return;
    }
    const Reply reply{PROTOCOL_MAGIC, request.kind, answer(request)};
    sendto(fd, &reply, sizeof reply, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&from),
           fromLength);
}

WindowHandle rememberRemote(std::uint64_t key, std::uint64_t window) {
    int index = 0;
    while (index < sharing.remoteCount &&
           (sharing.remotes[index].key != key || sharing.remotes[index].window != window)) {
        ++index;
    }
    if (index == REMOTE_WINDOW_CAPACITY) {
        return WindowHandle::None;
    }
    if (index == sharing.remoteCount) {
        sharing.remotes[sharing.remoteCount++] = RemoteWindow{key, window};
    }
    return static_cast<WindowHandle>(FIRST_REMOTE_WINDOW + static_cast<std::uintptr_t>(index));
}

} // namespace

bool simShareAcrossProcesses(const char* folder) {
    simStopSharing();
    char chosen[FOLDER_CAPACITY];
    if (folder == nullptr) {
        userFolder(chosen, sizeof chosen);
    }
    const char* used = folder != nullptr ? folder : chosen;
    if (std::strlen(used) >= FOLDER_CAPACITY || !ownedFolder(used)) {
        return false;
    }
    std::strcpy(sharing.folder, used);
    sharing.on = true;
    sharing.process = getpid();
    return true;
}

void simStopSharing() {
    for (int i = 0; i < sharing.lockCount; ++i) {
        if (sharing.locks[i].fd >= 0 && sharing.process == getpid()) {
            unlink(fileAddress(sharing.locks[i].key, SOCKET_SUFFIX).sun_path);
            close(sharing.locks[i].fd);
        }
    }
    if (sharing.socketFd >= 0) {
        close(sharing.socketFd);
    }
    sharing = Sharing{};
}

int simSharedMessagesFd() {
    return sharing.socketFd;
}

void simReceiveSharedMessages() {
    for (int i = 0; i < REQUESTS_PER_RECEIVE && sharing.socketFd >= 0; ++i) {
        receiveOne(sharing.socketFd);
    }
}

SimSharedLock simLockSharedMutex(const char16_t* name) {
    if (!sharing.on || name == nullptr || name[0] == u'\0') {
        return SimSharedLock::NotShared;
    }
    const std::uint64_t key = nameKey(name);
    int index = 0;
    while (index < sharing.lockCount && sharing.locks[index].key != key) {
        ++index;
    }
    if (index < sharing.lockCount && sharing.locks[index].fd >= 0) {
        return SimSharedLock::Acquired; // since before the handheld was reset
    }
    if (index == SIM_MUTEX_CAPACITY) {
        return SimSharedLock::Failed;
    }
    const int fd = open(fileAddress(key, LOCK_SUFFIX).sun_path,
                        O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return SimSharedLock::Failed;
    }
    SimSharedLock outcome = SimSharedLock::Acquired;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        outcome = errno == EWOULDBLOCK ? SimSharedLock::HeldElsewhere : SimSharedLock::Failed;
    } else if (!publishSocket(key)) {
        outcome = SimSharedLock::Failed;
    }
    if (outcome != SimSharedLock::Acquired) {
        close(fd);
    }
    if (outcome != SimSharedLock::Failed) {
        sharing.locks[index] = SharedLock{key, outcome == SimSharedLock::Acquired ? fd : -1};
        sharing.lockCount += index == sharing.lockCount ? 1 : 0;
    }
    return outcome;
}

WindowHandle simFindSharedWindow(const char16_t* className, const char16_t* title) {
    Request request{PROTOCOL_MAGIC, REQUEST_FIND, 0, 0, 0, 0, 0, {}, {}};
    if (!copyWholeText(className, request.className, SIM_NAME_CAPACITY) ||
        !copyWholeText(title, request.title, SIM_TITLE_CAPACITY)) {
        return WindowHandle::None;
    }
    for (int i = 0; i < sharing.lockCount; ++i) {
        if (sharing.locks[i].fd < 0) {
            if (const std::uint64_t window = askHolder(sharing.locks[i].key, request)) {
                return rememberRemote(sharing.locks[i].key, window);
            }
        }
    }
    return WindowHandle::None;
}

bool simPostSharedMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    const std::uintptr_t index = static_cast<std::uintptr_t>(window) - FIRST_REMOTE_WINDOW;
    if (index >= static_cast<std::uintptr_t>(sharing.remoteCount)) {
        return false;
    }
    const RemoteWindow& remote = sharing.remotes[index];
    const Request request{
        PROTOCOL_MAGIC, REQUEST_POST, remote.window, message, 0, wParam, lParam, {}, {}};
    return askHolder(remote.key, request) == remote.window;
}
