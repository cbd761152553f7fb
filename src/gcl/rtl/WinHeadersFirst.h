// The Windows headers every Windows translation unit of the unity build
// starts with (UNITY_BUILD_CODE_BEFORE_INCLUDE in the top-level
// CMakeLists.txt). A unity source joins several files; a file's
// `using namespace gcl;` would otherwise be in force when a later file of
// the same batch first includes a Windows header, and gcl::IUnknown would
// then clash with the system's IUnknown inside those headers. Parsed first,
// the system headers always see only their own names, as they do in a file
// compiled on its own.
#pragma once

#include "WinApi.h"

#include <commctrl.h>
#include <commdlg.h>
#include <exdisp.h>
#include <mmsystem.h>
#include <objidl.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleacc.h>
#include <oleauto.h>
#include <olectl.h>
#include <oledlg.h>
#include <psapi.h>
#include <richedit.h>
#include <richole.h>
#include <shellapi.h>
#include <shlobj.h>
#include <unknwn.h>
#include <uxtheme.h>
#include <winspool.h>
