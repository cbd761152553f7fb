// The one way code includes <windows.h>.
//
// The Windows headers map generic names to their A or W function with
// macros (GetMessage -> GetMessageA). Those macros would rename our own
// members and functions of the same names (Exception::GetMessage,
// TStrings::GetObject, DeleteFile, RegisterClass, ...) in some translation
// units and not in others. Our code always names the A or W function
// explicitly, so the generic macros are removed here.
#pragma once

#ifndef _WIN32
#error "WinApi.h is for the win32 build only"
#endif

#include <windows.h>

#undef AppendMenu
#undef CharLower
#undef CharUpper
#undef ChooseColor
#undef ChooseFont
#undef CompareString
#undef CopyFile
#undef CreateDirectory
#undef CreateEvent
#undef CreateFile
#undef CreateFont
#undef CreateWindow
#undef DeleteFile
#undef DrawState
#undef DrawText
#undef ExtractIcon
#undef FindResource
#undef FindText
#undef FindWindow
#undef FormatMessage
#undef GetClassName
#undef GetFileAttributes
#undef GetLocaleInfo
#undef GetMessage
#undef GetModuleFileName
#undef GetModuleHandle
#undef GetObject
#undef GetProp
#undef GetTextMetrics
#undef GetUserName
#undef GetWindowText
#undef InsertMenu
#undef LoadBitmap
#undef LoadCursor
#undef LoadIcon
#undef LoadImage
#undef LoadString
#undef MessageBox
#undef ModifyMenu
#undef MoveFile
#undef PlaySound
#undef PostMessage
#undef PrintDlg
#undef RegisterClass
#undef RemoveProp
#undef ReplaceText
#undef SendMessage
#undef SetProp
#undef SetWindowText
#undef ShellExecute
#undef TextOut
#undef UnregisterClass
#undef Yield
