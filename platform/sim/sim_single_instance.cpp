#include "platform/sim/sim_single_instance.h"

#include "platform/sim/name_compare.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_shared.h"
#include "platform/whole_text.h"

SimMutexes& simMutexes = simHandheld.mutexes;

namespace {

constexpr std::uint32_t NO_ERROR = 0;

int indexNamed(const char16_t* name) {
    if (name == nullptr || name[0] == u'\0') {
        return -1; // unnamed mutexes are never opened again
    }
    for (int i = 0; i < simMutexes.count; ++i) {
        if (sameName(simMutexes.mutexes[i].name, name)) {
            return i;
        }
    }
    return -1;
}

NamedMutex answer(int index, std::uint32_t lastError) {
    return NamedMutex{static_cast<MutexHandle>(index + 1), lastError};
}

NamedMutex failure(std::uint32_t lastError) {
    return NamedMutex{MutexHandle::None, lastError};
}

} // namespace

NamedMutex createNamedMutex(const char16_t* name) {
    if (simMutexes.creationFails) {
        return failure(SIM_ERROR_ACCESS_DENIED);
    }
    const int existing = indexNamed(name);
    if (existing >= 0) {
        ++simMutexes.mutexes[existing].creations;
        return answer(existing, ERROR_MUTEX_ALREADY_EXISTS);
    }
    if (simMutexes.count == SIM_MUTEX_CAPACITY) {
        return failure(SIM_ERROR_NOT_ENOUGH_MEMORY);
    }
    SimMutex& made = simMutexes.mutexes[simMutexes.count];
    if (!copyWholeText(name, made.name, SIM_MUTEX_NAME_CAPACITY)) {
        return failure(SIM_ERROR_FILENAME_EXCED_RANGE);
    }
    const SimSharedLock lock = simLockSharedMutex(name);
    if (lock == SimSharedLock::Failed) {
        return failure(SIM_ERROR_ACCESS_DENIED);
    }
    made.creations = 1;
    return answer(simMutexes.count++,
                  lock == SimSharedLock::HeldElsewhere ? ERROR_MUTEX_ALREADY_EXISTS : NO_ERROR);
}

const SimMutex* simMutexNamed(const char16_t* name) {
    const int index = indexNamed(name);
    return index < 0 ? nullptr : &simMutexes.mutexes[index];
}
