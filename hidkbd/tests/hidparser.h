// The scripted keyboard's report parser: report descriptors parsed into fields, and reports read
// and written bit by bit the way the descriptor lays them out, with the status codes of the
// system's parser. Plain C++, so that the fuzz target drives the reader's unpacking with it too.
#pragma once
#include <cstdint>
#include <vector>

#include "hidkbd/unpack.h"

namespace fakekbd {

using Bytes = std::vector<std::uint8_t>;
using vnhid::Usage;

enum ReportType { kInput = 0, kOutput = 1, kFeature = 2 };  // as the system numbers them

// The parser's status codes.
constexpr std::int32_t StatusCode(std::uint32_t severity, std::uint32_t code) {
    return std::int32_t(severity << 28 | 0x11u << 16 | code);
}
constexpr std::int32_t kSuccess = StatusCode(0, 0);
constexpr std::int32_t kInvalidPreparsedData = StatusCode(0xC, 1);
constexpr std::int32_t kInvalidReportLength = StatusCode(0xC, 3);
constexpr std::int32_t kUsageNotFound = StatusCode(0xC, 4);
constexpr std::int32_t kValueOutOfRange = StatusCode(0xC, 5);
constexpr std::int32_t kBufferTooSmall = StatusCode(0xC, 7);
constexpr std::int32_t kIncompatibleReportId = StatusCode(0xC, 0xA);
constexpr std::int32_t kButtonNotPressed = StatusCode(0xC, 0xF);

// Report bytes beyond which a descriptor is refused, as the scripted device's buffers hold.
constexpr std::uint32_t kMaxReportBytes = 64;

// One main item of a report descriptor.
struct Field {
    ReportType type;
    std::uint8_t reportId;
    Usage page;
    bool isButton, isArray, isRange;
    Usage usageMin, usageMax;
    std::vector<Usage> usages;  // listed usages when not a range
    std::uint32_t bitOffset;
    std::uint16_t size, count;
    std::int32_t logicalMin, logicalMax;
    bool relative;
};

// A button or value capability, as the parser hands them out.
struct Cap {
    Usage page;
    std::uint8_t reportId;
    bool absolute, isRange;
    Usage usageMin, usageMax;  // equal when not a range
    std::uint16_t bitSize, count;
    std::int32_t logicalMin, logicalMax;
};

// The parsed descriptor of one top-level collection: what the preparsed data stands for.
struct Collection {
    Usage page = 0, usage = 0;
    bool usable = true;  // false: a field the system's parser would refuse (size 0 or over 32 bits,
                         // or a report longer than kMaxReportBytes)
    std::vector<Field> fields;
    std::uint16_t length[3] = {};
    std::vector<Cap> buttonCaps[3], valueCaps[3];
    static Collection Parse(const Bytes& descriptor);
};

// The three collections of the keyboard.
Bytes KeyboardDescriptor();  // page 0x0001 usage 0x0006, report id 4, lock LEDs
Bytes ConsumerDescriptor();  // page 0x000C usage 0x0001, report id 1: 2 array slots 0xB0-0xEA,
                             // 8 launch bits, a relative volume value
Bytes VendorDescriptor();    // page 0xFF7F usage 0x0001, report id 2: Button usages 2-8;
                             // output report id 3: LEDs 1-3, 0x19, 0x27

// The parser's functions over a collection.
std::uint32_t MaxUsageListLength(const Collection& c, ReportType type, Usage page);
std::int32_t GetUsages(const Collection& c, ReportType type, Usage page, Usage* list,
                       std::uint32_t* length, const char* report, std::uint32_t reportLength);
std::int32_t UsageListDifference(const Usage* previous, const Usage* current, Usage* breaks,
                                 Usage* makes, std::uint32_t length);
std::int32_t GetUsageValue(const Collection& c, ReportType type, Usage page, Usage usage,
                           std::uint32_t* value, const char* report, std::uint32_t reportLength);
std::int32_t GetScaledUsageValue(const Collection& c, ReportType type, Usage page, Usage usage,
                                 std::int32_t* value, const char* report, std::uint32_t reportLength);
std::int32_t SetUsages(const Collection& c, ReportType type, Usage page, const Usage* list,
                       std::uint32_t length, char* report, std::uint32_t reportLength);
std::int32_t UnsetUsages(const Collection& c, ReportType type, Usage page, const Usage* list,
                         std::uint32_t length, char* report, std::uint32_t reportLength);
std::int32_t SetUsageValue(const Collection& c, ReportType type, Usage page, Usage usage,
                           std::uint32_t value, char* report, std::uint32_t reportLength);

// The same for the reader's unpacking, on the input reports of one collection.
class DescriptorParser final : public vnhid::InputParser {
public:
    explicit DescriptorParser(const Collection& c) : c_(c) {}
    std::int32_t GetUsages(Usage page, Usage* list, std::uint32_t* length, char* report,
                           std::uint32_t reportLength) override {
        return fakekbd::GetUsages(c_, kInput, page, list, length, report, reportLength);
    }
    std::int32_t UsageListDifference(Usage* previous, Usage* current, Usage* breaks, Usage* makes,
                                     std::uint32_t length) override {
        return fakekbd::UsageListDifference(previous, current, breaks, makes, length);
    }
    std::int32_t GetUsageValue(Usage page, Usage usage, std::uint32_t* value, char* report,
                               std::uint32_t reportLength) override {
        return fakekbd::GetUsageValue(c_, kInput, page, usage, value, report, reportLength);
    }
    std::int32_t GetScaledUsageValue(Usage page, Usage usage, std::int32_t* value, char* report,
                                     std::uint32_t reportLength) override {
        return fakekbd::GetScaledUsageValue(c_, kInput, page, usage, value, report, reportLength);
    }

private:
    const Collection& c_;
};

}  // namespace fakekbd
