#pragma once
// The handheld's own Windows declarations, as its SDK (Windows CE 5, Windows
// Mobile 2003 SE and 5.0, 32-bit ARM) gives them: the files of this folder
// include this instead of <windows.h>, and it holds only what they use. The
// prototypes are the SDK's; the records keep the SDK's layouts, which the
// checks below pin down byte by byte. Records that the program only ever passes
// as null stay incomplete. On ARM every call uses the one calling convention,
// so the SDK's WINAPI adds nothing here.

#include <cstddef>

using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = unsigned long;
using LONG = long;
using UINT = unsigned int;
using BOOL = int;
using WCHAR = wchar_t;
using LPVOID = void*;
using LPDWORD = DWORD*;
using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;

using HANDLE = void*;
using HWND = struct HWND__*;
using HMENU = struct HMENU__*;
using HICON = struct HICON__*;

static_assert(sizeof(void*) == 4 && sizeof(DWORD) == 4 && sizeof(LONG) == 4,
              "the device's pointers, DWORD and LONG are 32 bits");
static_assert(sizeof(WCHAR) == 2, "the device's wide characters are 16 bits");

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;
inline constexpr int MAX_PATH = 260;

// Memory (winbase.h, winnt.h).
inline constexpr DWORD MEM_RESERVE = 0x2000;
inline constexpr DWORD MEM_RELEASE = 0x8000;
inline constexpr DWORD PAGE_NOACCESS = 0x01;
inline constexpr DWORD PAGE_READWRITE = 0x04;
inline constexpr DWORD PAGE_NOCACHE = 0x200;
inline constexpr DWORD PAGE_PHYSICAL = 0x400; // VirtualCopy's source is a physical address / 256

// Structured exception handling (excpt.h).
inline constexpr int EXCEPTION_EXECUTE_HANDLER = 1;

// Kernel I/O controls of the hardware layer (pkfuncs.h, winioctl.h).
constexpr DWORD CTL_CODE(DWORD deviceType, DWORD function, DWORD method, DWORD access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}
inline constexpr DWORD FILE_DEVICE_HAL = 0x101;
inline constexpr DWORD METHOD_BUFFERED = 0;
inline constexpr DWORD FILE_ANY_ACCESS = 0;
inline constexpr DWORD IOCTL_HAL_REBOOT =
    CTL_CODE(FILE_DEVICE_HAL, 15, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr DWORD IOCTL_PROCESSOR_INFORMATION =
    CTL_CODE(FILE_DEVICE_HAL, 25, METHOD_BUFFERED, FILE_ANY_ACCESS);
static_assert(IOCTL_HAL_REBOOT == 0x0101003C);
static_assert(IOCTL_PROCESSOR_INFORMATION == 0x01010064);

// Display settings (winuser.h).
inline constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr LONG DISP_CHANGE_BADPARAM = -5;

// Popup menus (winuser.h).
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;

// Window longs (winuser.h): the user value of a window, and of a dialog.
inline constexpr int GWL_USERDATA = -21;
inline constexpr int DWL_USER = 8;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// Extended power status (winbase.h).
struct SYSTEM_POWER_STATUS_EX2 {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
    BYTE Reserved2;
    BYTE BackupBatteryFlag;
    BYTE BackupBatteryLifePercent;
    BYTE Reserved3;
    DWORD BackupBatteryLifeTime;
    DWORD BackupBatteryFullLifeTime;
    DWORD BatteryVoltage;
    DWORD BatteryCurrent;
    DWORD BatteryAverageCurrent;
    DWORD BatteryAverageInterval;
    DWORD BatterymAHourConsumed;
    DWORD BatteryTemperature;
    DWORD BackupBatteryVoltage;
    BYTE BatteryChemistry;
};
using PSYSTEM_POWER_STATUS_EX2 = SYSTEM_POWER_STATUS_EX2*;
static_assert(sizeof(SYSTEM_POWER_STATUS_EX2) == 56);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, ACLineStatus) == 0);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryFlag) == 1);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryLifePercent) == 2);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryFlag) == 13);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryLifePercent) == 14);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryVoltage) == 24);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryCurrent) == 28);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryTemperature) == 44);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryVoltage) == 48);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryChemistry) == 52);

// Tool Help (tlhelp32.h): the device's entry is wide and longer than the
// desktop's, and Tool Help fills only an entry of exactly its size.
struct PROCESSENTRY32 {
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    DWORD th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    WCHAR szExeFile[MAX_PATH];
    DWORD th32MemoryBase;
    DWORD th32AccessKey;
};
using LPPROCESSENTRY32 = PROCESSENTRY32*;
static_assert(sizeof(PROCESSENTRY32) == 564);
static_assert(offsetof(PROCESSENTRY32, dwSize) == 0);
static_assert(offsetof(PROCESSENTRY32, th32ProcessID) == 8);
static_assert(offsetof(PROCESSENTRY32, cntThreads) == 20);
static_assert(offsetof(PROCESSENTRY32, szExeFile) == 36);

// A file search's result (winbase.h): the device's has the object id and no
// short name.
struct WIN32_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};
using LPWIN32_FIND_DATA = WIN32_FIND_DATA*;
static_assert(sizeof(WIN32_FIND_DATA) == 560);
static_assert(offsetof(WIN32_FIND_DATA, dwOID) == 36);
static_assert(offsetof(WIN32_FIND_DATA, cFileName) == 40);

// The object store (winbase.h).
struct STORE_INFORMATION {
    DWORD dwStoreSize;
    DWORD dwFreeSize;
};
using LPSTORE_INFORMATION = STORE_INFORMATION*;
static_assert(sizeof(STORE_INFORMATION) == 8);
static_assert(offsetof(STORE_INFORMATION, dwFreeSize) == 4);

// Display settings (wingdi.h): the device's record ends with the orientation,
// where the desktop's goes on to 220 bytes.
inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;
struct DEVMODEW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmDisplayOrientation;
};
using LPDEVMODEW = DEVMODEW*;
static_assert(sizeof(DEVMODEW) == 192);
static_assert(offsetof(DEVMODEW, dmSize) == 68);
static_assert(offsetof(DEVMODEW, dmFields) == 72);
static_assert(offsetof(DEVMODEW, dmDisplayOrientation) == 188);

// The processor description of the hardware layer (pkfuncs.h).
struct PROCESSOR_INFO {
    WORD wVersion;
    WCHAR szProcessCore[40];
    WORD wCoreRevision;
    WCHAR szProcessorName[40];
    WORD wProcessorRevision;
    WCHAR szCatalogNumber[100];
    WCHAR szVendor[100];
    DWORD dwInstructionSet;
    DWORD dwClockSpeed;
};
static_assert(sizeof(PROCESSOR_INFO) == 576);
static_assert(offsetof(PROCESSOR_INFO, szProcessCore) == 2);
static_assert(offsetof(PROCESSOR_INFO, szProcessorName) == 84);
static_assert(offsetof(PROCESSOR_INFO, szVendor) == 366);
static_assert(offsetof(PROCESSOR_INFO, dwClockSpeed) == 572);

// The notification icon's record (shellapi.h): the device's first and only
// version, with a 64-character tip.
struct NOTIFYICONDATA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[64];
};
using PNOTIFYICONDATA = NOTIFYICONDATA*;
static_assert(sizeof(NOTIFYICONDATA) == 152);
static_assert(offsetof(NOTIFYICONDATA, hWnd) == 4);
static_assert(offsetof(NOTIFYICONDATA, uID) == 8);
static_assert(offsetof(NOTIFYICONDATA, uFlags) == 12);
static_assert(offsetof(NOTIFYICONDATA, uCallbackMessage) == 16);
static_assert(offsetof(NOTIFYICONDATA, hIcon) == 20);
static_assert(offsetof(NOTIFYICONDATA, szTip) == 24);

struct SECURITY_ATTRIBUTES;
struct STARTUPINFOW;
struct PROCESS_INFORMATION;
struct TPMPARAMS;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPSTARTUPINFOW = STARTUPINFOW*;
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;
using LPTPMPARAMS = TPMPARAMS*;

extern "C" {

// Core library (coredll): memory, the kernel and its hardware layer.
LPVOID VirtualAlloc(LPVOID lpAddress, DWORD dwSize, DWORD flAllocationType, DWORD flProtect);
BOOL VirtualFree(LPVOID lpAddress, DWORD dwSize, DWORD dwFreeType);
BOOL VirtualCopy(LPVOID lpvDest, LPVOID lpvSrc, DWORD cbSize, DWORD fdwProtect);
BOOL SetKMode(BOOL fMode);
BOOL KernelIoControl(DWORD dwIoControlCode, LPVOID lpInBuf, DWORD nInBufSize, LPVOID lpOutBuf,
                     DWORD nOutBufSize, LPDWORD lpBytesReturned);
void SetCleanRebootFlag();

// Core library: status queries.
DWORD GetIdleTime();
DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen,
                              BOOL fUpdate);
BOOL GetStoreInformation(LPSTORE_INFORMATION lpsi);

// Core library: files and processes.
BOOL DeleteFileW(LPCWSTR lpFileName);
BOOL CreateProcessW(LPCWSTR pszImageName, LPCWSTR pszCmdLine, LPSECURITY_ATTRIBUTES psaProcess,
                    LPSECURITY_ATTRIBUTES psaThread, BOOL fInheritHandles, DWORD fdwCreate,
                    LPVOID pvEnvironment, LPWSTR pszCurDir, LPSTARTUPINFOW psiStartInfo,
                    LPPROCESS_INFORMATION pProcInfo);
HANDLE OpenProcess(DWORD fdwAccess, BOOL fInherit, DWORD IDProcess);

// Core library: windows, menus, display and the shell.
LONG GetWindowLongW(HWND hWnd, int nIndex);
LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
BOOL TrackPopupMenuEx(HMENU hmenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm);
LONG ChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, LPDEVMODEW lpDevMode, HWND hwnd, DWORD dwflags,
                             LPVOID lParam);
BOOL Shell_NotifyIcon(DWORD dwMessage, PNOTIFYICONDATA lpData);
// Its header declares a DWORD result that is a BOOL.
DWORD SHCreateShortcut(LPWSTR szShortcut, LPWSTR szTarget);

// Process snapshot library (toolhelp).
BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL CloseToolhelp32Snapshot(HANDLE hSnapshot);

// Note-project library (note_prj): the storage cards.
HANDLE FindFirstFlashCard(LPWIN32_FIND_DATA lpFindFlashData);
BOOL FindNextFlashCard(HANDLE hFlashCard, LPWIN32_FIND_DATA lpFindFlashData);
}
