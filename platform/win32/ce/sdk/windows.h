#pragma once
// The device build's <windows.h>: every declaration comes from the device SDK header.

#include "platform/win32/ce/ce_sdk.h"
