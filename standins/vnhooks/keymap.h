// Which ordinary virtual keys the hook library takes over, and the HID usage it reports for each.
// Plain C++: no windows.h.
#pragma once

namespace vnhooks {

constexpr unsigned kConsumerPage = 0x000C;

struct KeyUsage {
    unsigned usage;      // Consumer-page usage, 0 when the key is not taken over
    bool navigation;     // an Internet navigation key (suppressed by the filter)
    bool handedOn;       // the system acts on it as well (the service only gives feedback)
};

KeyUsage UsageForVirtualKey(unsigned vk);

// lParam of a key event: usage page x 65536 + usage.
constexpr long EventParam(unsigned usage) { return static_cast<long>((kConsumerPage << 16) | usage); }

}  // namespace vnhooks
