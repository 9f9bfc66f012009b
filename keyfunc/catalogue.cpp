// Lookups over the function catalogue and the dispatch of its actions by key event.
#include <windows.h>

#include <cstring>

#include "common/handles.h"
#include "common/text.h"
#include "keyfunc/catalogue.h"
#include "keyfunc/vnutil.h"

namespace vn {
namespace catalogue {
namespace {

const Entry* ByName(const char* name) {
    if (!name) return nullptr;
    for (const Entry& e : kEntries)
        if (_stricmp(e.name, name) == 0) return &e;
    return nullptr;
}

const Entry* ByUsage(DWORD usage) {
    if (usage == 0) return nullptr;
    for (const Entry& e : kEntries)
        if (e.usage == usage) return &e;
    return nullptr;
}

// Loads the entry's description into the caller's buffer when it fits whole; the length, or 0.
int LoadDescription(const Entry& e, char* buffer, int size) {
    if (!e.descriptionId || !buffer || size <= 0) return 0;
    char text[1024] = {};
    int n = LoadStringA(ThisModule(), e.descriptionId, text, sizeof text);
    if (n <= 0 || !CopyText(buffer, static_cast<std::size_t>(size), text)) return 0;
    return n;
}

// Runs the action for the event kind; false when the entry has none for it.
bool Run(const Entry& e, int kind, int* result) {
    Action specific = kind == 1 ? e.press : kind == 0 ? e.release : kind == 2 ? e.kind2 : nullptr;
    if (specific) {
        *result = specific();
        return true;
    }
    if (e.generic) {
        *result = e.generic(kind);
        return true;
    }
    return false;
}

}  // namespace
}  // namespace catalogue
}  // namespace vn

using namespace vn;
using namespace vn::catalogue;

extern "C" {

int VNAPI EnumPredefinedFunction(int index, char* buffer, int bufferSize) {
    if (index < 0 || index >= static_cast<int>(kEntryCount)) return 0;
    return LoadDescription(kEntries[index], buffer, bufferSize);
}

int VNAPI GetFuncDescNameFromFuncName(const char* name, char* buffer, int bufferSize) {
    const Entry* e = ByName(name);
    return e ? LoadDescription(*e, buffer, bufferSize) : 0;
}

int VNAPI GetFuncNameFromFuncDescName(const char* description, char* buffer, int bufferSize) {
    if (!description || !buffer || bufferSize <= 0) return 0;
    for (const Entry& e : kEntries) {
        char text[kMaxText];
        if (LoadDescription(e, text, sizeof text) && _stricmp(text, description) == 0 &&
            CopyText(buffer, static_cast<std::size_t>(bufferSize), e.name))
            return 1;
    }
    return 0;
}

int VNAPI GetHIDFuncName(DWORD usage, char* buffer, int bufferSize) {
    const Entry* e = ByUsage(usage);
    if (!e) return 0;
    if (!buffer) return 1;
    return bufferSize > 0 && CopyText(buffer, static_cast<std::size_t>(bufferSize), e->name) ? 1 : 0;
}

int VNAPI GetHIDFuncDesc(DWORD usage, char* buffer, int bufferSize) {
    const Entry* e = ByUsage(usage);
    if (!e) return 0;
    if (!buffer) return 1;
    return LoadDescription(*e, buffer, bufferSize);
}

DWORD VNAPI GetHIDUsageCode(const char* name) {
    const Entry* e = ByName(name);
    return e ? e->usage : 0;
}

int VNAPI CallPredefinedButtonFunction(const char* name, int eventKind) {
    const Entry* e = ByName(name);
    int result = 0;
    if (!e || !Run(*e, eventKind, &result)) return 0;
    return result;
}

int VNAPI CallHIDButtonFunction(DWORD usage, int eventKind, int* actionResult) {
    if (usage == 0) return 0;
    const Entry* e = ByUsage(usage);
    int result = 0;
    if (!e) {
        if (actionResult) *actionResult = 0;
        return 0;
    }
    if (!Run(*e, eventKind, &result)) {
        // A known key without an action here counts as handled: the service must not redo it.
        if (actionResult) *actionResult = 0;
        return 1;
    }
    if (actionResult) *actionResult = result;
    return result == 1 ? 1 : 0;
}

}  // extern "C"
