// The ports bound to the real libraries: VnUsbKbd (by ordinal), VNOSD, vnhooks and VNUtil.
#pragma once
#include "service/ports.h"

namespace vnd {

KeyboardPort& RealKeyboard();
DisplayPort& RealDisplay();
HookPort& RealHook();
KeyFuncPort& RealKeyFunc();

}  // namespace vnd
