// Input reports to key makes and breaks: the data items of a report type, the state a reader keeps
// between reports and the unpacking itself. Plain C++ behind a narrow parser interface, so that the
// same code runs over the system's HID parser in the library and over a descriptor-reading parser
// in the tests and the fuzz target.
#pragma once
#include <cstdint>

namespace vnhid {

using Usage = std::uint16_t;

// One button capability or one value usage of a report type.
struct DataItem {
    std::uint8_t isButton;
    std::uint8_t reserved;
    Usage usagePage;
    std::int32_t status;  // of the parser's last call for the item
    std::uint32_t reportId;
    std::uint8_t dataSet;
    union {
        struct {
            std::uint32_t usageMin;
            std::uint32_t usageMax;
            std::uint32_t maxUsageLength;
            Usage* usages;    // current list, zero-terminated when shorter
            Usage* previous;  // input items only: the list of the previous report
        } button;
        struct {
            Usage usage;
            std::uint16_t reserved;
            std::uint32_t value;
            std::int32_t scaledValue;
        } value;
    };
};

// The parser calls that unpacking makes, on the input reports of one collection (link collection
// 0). Results are the parser's status codes.
class InputParser {
public:
    virtual std::int32_t GetUsages(Usage page, Usage* list, std::uint32_t* length, char* report,
                                   std::uint32_t reportLength) = 0;
    virtual std::int32_t UsageListDifference(Usage* previous, Usage* current, Usage* breaks,
                                             Usage* makes, std::uint32_t length) = 0;
    virtual std::int32_t GetUsageValue(Usage page, Usage usage, std::uint32_t* value, char* report,
                                       std::uint32_t reportLength) = 0;
    virtual std::int32_t GetScaledUsageValue(Usage page, Usage usage, std::int32_t* value,
                                             char* report, std::uint32_t reportLength) = 0;

protected:
    ~InputParser() = default;
};

// What a reader keeps besides the items, all allocated before its thread starts: the thread may be
// terminated at any instruction, so it never allocates.
struct KeyState {
    DataItem* breakItems = nullptr;  // copy of the input items holding each item's break list
    std::uint32_t buttonItems = 0;   // the leading button items (NumberInputButtonCaps)
    Usage* makeScratch = nullptr;    // difference output, sized for the longest item
    Usage* breakScratch = nullptr;
};

// Prepares the state for the input items. False on memory shortage for the difference lists;
// without memory for the break copy the state has none and only makes are reported.
bool PrepareKeyState(KeyState& state, const DataItem* items, std::uint32_t itemCount,
                     std::uint32_t buttonCaps);
void FreeKeyState(KeyState& state);

// Decodes the report (its first byte is the report id) into the items and the break copy.
void UnpackReport(InputParser& parser, char* report, std::uint32_t length, DataItem* items,
                  std::uint32_t itemCount, KeyState& state);

// Receives one key event: the item it belongs to, down (make) or up (break), and the usage page
// in the high and the usage in the low 16 bits.
using KeySink = void (*)(void* context, std::uint32_t item, bool down, std::uint32_t pageAndUsage);

// Hands out the makes and breaks of the unpacked report, interleaved per item; returns their number.
unsigned ReportKeys(const char* report, const DataItem* items, std::uint32_t itemCount,
                    const KeyState& state, KeySink sink, void* context);

}  // namespace vnhid
