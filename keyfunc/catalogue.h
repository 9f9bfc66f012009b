// The function catalogue: the predefined key functions, in enumeration order.
#pragma once
#include <cstddef>

namespace vn {
namespace catalogue {

using Action = int(__stdcall*)();  // the exports themselves
using GenericAction = int(__stdcall*)(int eventKind);

struct Entry {
    unsigned long usage;    // HID Consumer-page usage or private code; 0 when no key reports it
    const char* name;       // internal name, compared without regard to case
    unsigned descriptionId; // string table id; 0 when the entry has no description
    GenericAction generic;  // when no event-specific action applies
    Action press;           // event kind 1
    Action kind2;           // event kind 2
    Action release;         // event kind 0
};

constexpr std::size_t kEntryCount = 37;
extern const Entry kEntries[kEntryCount];

}  // namespace catalogue
}  // namespace vn
