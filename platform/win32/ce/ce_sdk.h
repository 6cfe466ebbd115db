#pragma once
// The handheld's own Windows declarations, as its SDK (Windows CE 5, Windows
// Mobile 2003 SE and 5.0, 32-bit ARM) gives them: the files of this folder
// include this instead of <windows.h>, and it holds only what they use. The
// prototypes are the SDK's; the records keep the SDK's layouts, which the
// checks below pin down byte by byte. Records that the program only ever passes
// as null stay incomplete. On ARM every call uses the one calling convention,
// so the SDK's WINAPI and CALLBACK add nothing here. What the SDK gives as a
// macro or an inline function of its own (MAKEINTRESOURCEW, LockResource) is an
// inline function here, which the device has no export for.

#include <cstddef>

#define WINAPI
#define CALLBACK

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
using LPBYTE = BYTE*;
using INT = int;
using ATOM = WORD;
using LANGID = WORD;
using ACCESS_MASK = DWORD;
using REGSAM = ACCESS_MASK;

// Polymorphic values (basetsd.h, windef.h): 32 bits wide on the device.
using INT_PTR = int;
using UINT_PTR = unsigned int;
using LONG_PTR = long;
using ULONG_PTR = unsigned long;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

using HANDLE = void*;
using HGLOBAL = HANDLE;
using HGDIOBJ = void*;
using HWND = struct HWND__*;
using HMENU = struct HMENU__*;
using HICON = struct HICON__*;
using HCURSOR = HICON;
using HINSTANCE = struct HINSTANCE__*;
using HMODULE = HINSTANCE;
using HRSRC = struct HRSRC__*;
using HKEY = struct HKEY__*;
using PHKEY = HKEY*;
using HBITMAP = struct HBITMAP__*;
using HBRUSH = struct HBRUSH__*;

static_assert(sizeof(void*) == 4 && sizeof(DWORD) == 4 && sizeof(LONG) == 4,
              "the device's pointers, DWORD and LONG are 32 bits");
static_assert(sizeof(WCHAR) == 2, "the device's wide characters are 16 bits");
enum EnumSizeProbe { ENUM_SIZE_PROBE };
static_assert(sizeof(EnumSizeProbe) == sizeof(int), "the device's enums are the size of an int");

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;
inline constexpr int MAX_PATH = 260;

// Handles and values with a meaning of their own (winbase.h, winreg.h, winerror.h, winnt.h).
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(-1);
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002));
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;

// Memory (winbase.h, winnt.h).
inline constexpr DWORD MEM_RESERVE = 0x2000;
inline constexpr DWORD MEM_RELEASE = 0x8000;
inline constexpr DWORD PAGE_NOACCESS = 0x01;
inline constexpr DWORD PAGE_READWRITE = 0x04;
inline constexpr DWORD PAGE_NOCACHE = 0x200;
inline constexpr DWORD PAGE_PHYSICAL = 0x400; // VirtualCopy's source is a physical address / 256

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

// Menus (winuser.h). The device's menu items know no disabled state apart from
// greyed, and their information has no separate text and type masks.
inline constexpr UINT MF_BYCOMMAND = 0x00000000;
inline constexpr UINT MF_GRAYED = 0x00000001;
inline constexpr UINT MF_CHECKED = 0x00000008;
inline constexpr UINT MF_STRING = 0x00000000;
inline constexpr UINT MF_SEPARATOR = 0x00000800;
inline constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr UINT MFS_CHECKED = MF_CHECKED;
inline constexpr UINT MIIM_STATE = 0x00000001;
inline constexpr UINT MIIM_ID = 0x00000002;
inline constexpr UINT MIIM_SUBMENU = 0x00000004;
inline constexpr UINT MIIM_TYPE = 0x00000010;

// Windows, dialogs, message boxes and images (winuser.h).
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr int SW_SHOW = 5;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT IMAGE_ICON = 1;

// A resource named by number (winuser.h).
inline LPWSTR MAKEINTRESOURCEW(WORD i) {
    return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(i));
}

// The notification icon's actions (shellapi.h).
inline constexpr DWORD NIM_ADD = 0x00000000;
inline constexpr DWORD NIM_MODIFY = 0x00000001;
inline constexpr DWORD NIM_DELETE = 0x00000002;

// Tool Help (tlhelp32.h).
inline constexpr DWORD TH32CS_SNAPPROCESS = 0x00000002;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

struct POINT {
    LONG x;
    LONG y;
};
static_assert(sizeof(POINT) == 8);

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
static_assert(sizeof(SYSTEMTIME) == 16);

// A queued message (winuser.h).
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;
static_assert(sizeof(MSG) == 28);
static_assert(offsetof(MSG, message) == 4);
static_assert(offsetof(MSG, wParam) == 8);
static_assert(offsetof(MSG, lParam) == 12);
static_assert(offsetof(MSG, pt) == 20);

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
// The device's dialog procedure answers a BOOL, where the desktop's answers an INT_PTR.
using DLGPROC = BOOL(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void(CALLBACK*)(HWND, UINT, UINT, DWORD);

// A window class (winuser.h).
struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
static_assert(sizeof(WNDCLASSW) == 40);
static_assert(offsetof(WNDCLASSW, lpfnWndProc) == 4);
static_assert(offsetof(WNDCLASSW, hInstance) == 16);
static_assert(offsetof(WNDCLASSW, hbrBackground) == 28);
static_assert(offsetof(WNDCLASSW, lpszClassName) == 36);

// A dialog template's header (winuser.h): packed to 2 bytes, as the strings
// that follow it in the resource are.
#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
#pragma pack(pop)
using LPCDLGTEMPLATEW = const DLGTEMPLATE*;
static_assert(sizeof(DLGTEMPLATE) == 18);
static_assert(offsetof(DLGTEMPLATE, cdit) == 8);
static_assert(offsetof(DLGTEMPLATE, x) == 10);
static_assert(offsetof(DLGTEMPLATE, cy) == 16);

// An icon made of two bitmaps (winuser.h).
struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};
using PICONINFO = ICONINFO*;
static_assert(sizeof(ICONINFO) == 20);
static_assert(offsetof(ICONINFO, hbmMask) == 12);
static_assert(offsetof(ICONINFO, hbmColor) == 16);

// A menu item's information (winuser.h): the device's record ends with the
// text's length, where the desktop's goes on with a bitmap.
struct MENUITEMINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    DWORD dwItemData;
    LPWSTR dwTypeData;
    UINT cch;
};
using LPMENUITEMINFOW = MENUITEMINFOW*;
static_assert(sizeof(MENUITEMINFOW) == 44);
static_assert(offsetof(MENUITEMINFOW, fType) == 8);
static_assert(offsetof(MENUITEMINFOW, fState) == 12);
static_assert(offsetof(MENUITEMINFOW, wID) == 16);
static_assert(offsetof(MENUITEMINFOW, hSubMenu) == 20);
static_assert(offsetof(MENUITEMINFOW, dwTypeData) == 36);
static_assert(offsetof(MENUITEMINFOW, cch) == 40);

// Memory in use and free (winbase.h).
struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORD dwTotalPhys;
    DWORD dwAvailPhys;
    DWORD dwTotalPageFile;
    DWORD dwAvailPageFile;
    DWORD dwTotalVirtual;
    DWORD dwAvailVirtual;
};
using LPMEMORYSTATUS = MEMORYSTATUS*;
static_assert(sizeof(MEMORYSTATUS) == 32);
static_assert(offsetof(MEMORYSTATUS, dwMemoryLoad) == 4);
static_assert(offsetof(MEMORYSTATUS, dwTotalPhys) == 8);
static_assert(offsetof(MEMORYSTATUS, dwAvailPhys) == 12);

// The system's version (winbase.h).
struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
using LPOSVERSIONINFOW = OSVERSIONINFOW*;
static_assert(sizeof(OSVERSIONINFOW) == 276);
static_assert(offsetof(OSVERSIONINFOW, dwMajorVersion) == 4);
static_assert(offsetof(OSVERSIONINFOW, dwMinorVersion) == 8);
static_assert(offsetof(OSVERSIONINFOW, dwBuildNumber) == 12);
static_assert(offsetof(OSVERSIONINFOW, szCSDVersion) == 20);

// The time zone (winbase.h).
struct TIME_ZONE_INFORMATION {
    LONG Bias;
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
using LPTIME_ZONE_INFORMATION = TIME_ZONE_INFORMATION*;
static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);
static_assert(offsetof(TIME_ZONE_INFORMATION, StandardName) == 4);
static_assert(offsetof(TIME_ZONE_INFORMATION, StandardDate) == 68);
static_assert(offsetof(TIME_ZONE_INFORMATION, StandardBias) == 84);
static_assert(offsetof(TIME_ZONE_INFORMATION, DaylightName) == 88);
static_assert(offsetof(TIME_ZONE_INFORMATION, DaylightDate) == 152);
static_assert(offsetof(TIME_ZONE_INFORMATION, DaylightBias) == 168);

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
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;
using WIN32_FIND_DATA = WIN32_FIND_DATAW;
using LPWIN32_FIND_DATA = LPWIN32_FIND_DATAW;
static_assert(sizeof(WIN32_FIND_DATAW) == 560);
static_assert(offsetof(WIN32_FIND_DATAW, dwOID) == 36);
static_assert(offsetof(WIN32_FIND_DATAW, cFileName) == 40);

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
DWORD GetLastError();
void GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer);

// Core library: status queries.
DWORD GetIdleTime();
DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen,
                              BOOL fUpdate);
BOOL GetStoreInformation(LPSTORE_INFORMATION lpsi);
BOOL GetVersionExW(LPOSVERSIONINFOW lpVersionInformation);
DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation);

// Core library: national language support (winnls.h).
UINT GetACP();
UINT GetOEMCP();
LANGID GetSystemDefaultLangID();
LANGID GetUserDefaultUILanguage();

// Core library: files, processes and named objects.
BOOL DeleteFileW(LPCWSTR lpFileName);
HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData);
BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData);
BOOL FindClose(HANDLE hFindFile);
BOOL CreateProcessW(LPCWSTR pszImageName, LPCWSTR pszCmdLine, LPSECURITY_ATTRIBUTES psaProcess,
                    LPSECURITY_ATTRIBUTES psaThread, BOOL fInheritHandles, DWORD fdwCreate,
                    LPVOID pvEnvironment, LPWSTR pszCurDir, LPSTARTUPINFOW psiStartInfo,
                    LPPROCESS_INFORMATION pProcInfo);
HANDLE OpenProcess(DWORD fdwAccess, BOOL fInherit, DWORD IDProcess);
BOOL TerminateProcess(HANDLE hProcess, DWORD uExitCode);
BOOL CloseHandle(HANDLE hObject);
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES lpsa, BOOL bInitialOwner, LPCWSTR lpName);

// Core library: the registry (winreg.h).
LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult);
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData);
LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);
LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPWSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegCloseKey(HKEY hKey);

// Core library: resources. The device's LockResource is an inline function of
// its SDK (kfuncs.h): a loaded resource is already its data.
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
inline LPVOID LockResource(HGLOBAL hResData) {
    return hResData;
}
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int nBufferMax);
HMENU LoadMenuW(HINSTANCE hInstance, LPCWSTR lpMenuName);
HANDLE LoadImageW(HINSTANCE, LPCWSTR, UINT, int, int, UINT);

// Core library: windows and their messages (winuser.h).
ATOM RegisterClassW(const WNDCLASSW* lpWndClass);
HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle,
                     int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam);
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, INT nCmdShow);
LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
HWND FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);
int GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount);
LONG GetWindowLongW(HWND hWnd, int nIndex);
LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString);
int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
BOOL SetForegroundWindow(HWND hWnd);
BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
BOOL GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL TranslateMessage(const MSG* pMsg);
LONG DispatchMessageW(const MSG* lpMsg);
UINT SetTimer(HWND hwnd, UINT idTimer, UINT uTimeOut, TIMERPROC pfnTimerProc);
int GetSystemMetrics(int nIndex);

// Core library: dialogs and message boxes (winuser.h).
HWND CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
BOOL EndDialog(HWND hDlg, int nResult);
HWND GetDlgItem(HWND hDlg, int iCtrlID);
int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
BOOL MessageBeep(UINT uType);

// Core library: menus (winuser.h).
HMENU GetSubMenu(HMENU hMenu, int nPos);
BOOL DestroyMenu(HMENU hMenu);
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT uIDNewItem, LPCWSTR lpNewItem);
BOOL GetMenuItemInfoW(HMENU, UINT, BOOL, LPMENUITEMINFOW);
BOOL TrackPopupMenuEx(HMENU hmenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm);

// Core library: bitmaps and icons (wingdi.h, winuser.h).
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel, const void* lpvBits);
BOOL DeleteObject(HGDIOBJ hObject);
HICON CreateIconIndirect(PICONINFO piconinfo);
BOOL DestroyIcon(HICON hIcon);

// Core library: display and the shell (winuser.h, shellapi.h). The device's
// shell functions have no W in their names.
LONG ChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, LPDEVMODEW lpDevMode, HWND hwnd, DWORD dwflags,
                             LPVOID lParam);
BOOL Shell_NotifyIcon(DWORD dwMessage, PNOTIFYICONDATA lpData);
BOOL SHGetSpecialFolderPath(HWND hwndOwner, LPWSTR lpszPath, int nFolder, BOOL fCreate);
// Its header declares a DWORD result that is a BOOL.
DWORD SHCreateShortcut(LPWSTR szShortcut, LPWSTR szTarget);

// Process snapshot library (toolhelp).
HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL CloseToolhelp32Snapshot(HANDLE hSnapshot);

// Note-project library (note_prj): the storage cards.
HANDLE FindFirstFlashCard(LPWIN32_FIND_DATA lpFindFlashData);
BOOL FindNextFlashCard(HANDLE hFlashCard, LPWIN32_FIND_DATA lpFindFlashData);
}
