// The handheld's processor description from its hardware layer (built only for
// the device): IOCTL_PROCESSOR_INFORMATION fills a 576-byte PROCESSOR_INFO, of
// which the shown fields are copied, each text cut to fit and terminated.

#include "platform/win32/processor_record.h"

#include <windows.h>

#include <pkfuncs.h>

#include <cstddef>

namespace {

constexpr DWORD PROCESSOR_INFORMATION_CONTROL_CODE = 0x01010064; // IOCTL_PROCESSOR_INFORMATION

// PROCESSOR_INFO as the hardware layer writes it.
struct ProcessorInfoRecord {
    WORD version;
    WCHAR processorCore[40];
    WORD coreRevision;
    WCHAR processorName[40];
    WORD processorRevision;
    WCHAR catalogNumber[100];
    WCHAR vendor[100];
    DWORD instructionSet;
    DWORD clockSpeed;
};

static_assert(offsetof(ProcessorInfoRecord, processorCore) == 2);
static_assert(offsetof(ProcessorInfoRecord, processorName) == 84);
static_assert(offsetof(ProcessorInfoRecord, vendor) == 366);
static_assert(offsetof(ProcessorInfoRecord, clockSpeed) == 572);
static_assert(sizeof(ProcessorInfoRecord) == 576);

} // namespace

ProcessorRecord queryProcessorInformation() {
    ProcessorRecord processor{};
    ProcessorInfoRecord record{};
    DWORD returned = 0;
    if (KernelIoControl(PROCESSOR_INFORMATION_CONTROL_CODE, nullptr, 0, &record, sizeof record,
                        &returned)) {
        copyFixedText(processor.core, record.processorCore);
        copyFixedText(processor.name, record.processorName);
        copyFixedText(processor.vendor, record.vendor);
        processor.clockMhz = record.clockSpeed;
    }
    return processor;
}
