// One function of each system library qelvo.exe imports, referenced from
// a floor program so that the loader maps them all at start, as it does
// for the program (bench/startup.sh checks that the import lists agree).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <ole2.h>
#include <oleauto.h>
#include <oledlg.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <winspool.h>
#include <winver.h>

inline void* volatile BareImports[] = {
    reinterpret_cast<void*>(&InitCommonControlsEx), reinterpret_cast<void*>(&CommDlgExtendedError),
    reinterpret_cast<void*>(&GetStockObject),       reinterpret_cast<void*>(&AlphaBlend),
    reinterpret_cast<void*>(&CoTaskMemFree),        reinterpret_cast<void*>(&ShellExecuteA),
    reinterpret_cast<void*>(&IsThemeActive),        reinterpret_cast<void*>(&RegCloseKey),
    reinterpret_cast<void*>(&SysFreeString),        reinterpret_cast<void*>(&timeGetTime),
    reinterpret_cast<void*>(&OleUIBusyA),           reinterpret_cast<void*>(&GetFileVersionInfoSizeA),
    reinterpret_cast<void*>(&ClosePrinter),
};
