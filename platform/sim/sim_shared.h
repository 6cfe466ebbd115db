#pragma once
// The simulated handheld's named mutexes, window finding and message posting
// across the processes of one user on the host, so that a second copy of the
// program started while one runs finds it and hands it its request, as on the
// device. Off by default: then everything stays inside the process.
//
// While sharing, a named mutex is also a lock file in the shared folder, held
// until the process ends (a crash included) or stops sharing; creating a mutex
// that another process holds reports ERROR_MUTEX_ALREADY_EXISTS. The holder
// answers on a local datagram socket named after the mutex: a process that
// finds no window of its own asks the holders of the mutexes it found held
// elsewhere, and gets a handle standing for the holder's window; a message
// posted to that handle is posted into the holder's queue. Sharing belongs to
// the process: resetting the handheld leaves it as it is.

#include "platform/windowing.h"

#include <cstdint>

// Starts sharing through `folder`, which is made (for its owner alone) when
// missing; nullptr picks the user's own: $XDG_RUNTIME_DIR/tavil, or else
// /tmp/tavil-<uid>. False, and nothing shared, when the folder cannot be made,
// is not a folder that only this user can use, or its path is too long for a
// socket's address.
bool simShareAcrossProcesses(const char* folder);

// What the end of the process does: the mutexes' locks released, their socket
// files removed, and sharing off.
void simStopSharing();

// The descriptor that becomes readable when another process asks something of
// this one: a front-end waits on it beside its own. -1 when not sharing.
int simSharedMessagesFd();

// Answers what other processes asked and posts the messages they sent into the
// queue; never waits. getMessage does this itself whenever its queue is empty.
void simReceiveSharedMessages();

// For the simulated services.
enum class SimSharedLock { NotShared, Acquired, HeldElsewhere, Failed };

// The lock of a named mutex that this process does not know yet.
SimSharedLock simLockSharedMutex(const char16_t* name);

// A handle standing for a window of another process, or None.
WindowHandle simFindSharedWindow(const char16_t* className, const char16_t* title);

// False when the handle stands for no window of another process, or its
// owner did not take the message.
bool simPostSharedMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);
