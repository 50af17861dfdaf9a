// Kernel handles (files, searches) report failure as INVALID_HANDLE_VALUE, not as null.
#pragma once

#include <windows.h>

#include "services/unique_handle.h"

namespace pelloram {

struct InvalidHandleValue {
  static HANDLE Value() { return INVALID_HANDLE_VALUE; }
};

struct CloseHandleCall {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// From CreateFileW.
using UniqueFile = UniqueHandle<HANDLE, CloseHandleCall, InvalidHandleValue>;

struct FindCloseCall {
  void operator()(HANDLE search) const { FindClose(search); }
};
// From FindFirstFileExW.
using UniqueSearch = UniqueHandle<HANDLE, FindCloseCall, InvalidHandleValue>;

}  // namespace pelloram
