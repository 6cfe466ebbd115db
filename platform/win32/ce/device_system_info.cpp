// The handheld's processor description from its hardware layer (built only for
// the device): IOCTL_PROCESSOR_INFORMATION fills a 576-byte PROCESSOR_INFO, of
// which the shown fields are copied, each text cut to fit and terminated.

#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/processor_record.h"

ProcessorRecord queryProcessorInformation() {
    ProcessorRecord processor{};
    PROCESSOR_INFO record{};
    DWORD returned = 0;
    if (KernelIoControl(IOCTL_PROCESSOR_INFORMATION, nullptr, 0, &record, sizeof record,
                        &returned)) {
        copyFixedText(processor.core, record.szProcessCore);
        copyFixedText(processor.name, record.szProcessorName);
        copyFixedText(processor.vendor, record.szVendor);
        processor.clockMhz = record.dwClockSpeed;
    }
    return processor;
}
