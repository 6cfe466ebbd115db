#include "platform/single_instance.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

NamedMutex createNamedMutex(const char16_t* name) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, wide(name));
    const DWORD lastError = GetLastError(); // before any other call can change it
    return NamedMutex{handleOf<MutexHandle>(mutex), lastError};
}
