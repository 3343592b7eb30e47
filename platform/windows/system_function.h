// A function of a system DLL that some Windows versions lack, looked up at run time.
#pragma once

#include "platform/windows/windows_header.h"

namespace farthom {

// The exported function `name` of the already loaded `module`, as a `Function` pointer; null when
// the module is not loaded or has no such export.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  const HMODULE loaded = GetModuleHandleW(module);
  if (loaded == nullptr) return nullptr;
  // GetProcAddress answers with a generic pointer; going through the plain function pointer type
  // says that the cast to the real signature is meant.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)));
}

}  // namespace farthom
