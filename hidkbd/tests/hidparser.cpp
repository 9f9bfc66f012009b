#include "hidkbd/tests/hidparser.h"

#include <algorithm>

namespace fakekbd {
namespace {

std::uint32_t GetBits(const char* report, std::uint32_t offset, std::uint16_t size) {
    std::uint32_t v = 0;
    for (std::uint16_t i = 0; i < size; ++i) {
        std::uint32_t bit = offset + i;
        if ((static_cast<std::uint8_t>(report[bit / 8]) >> (bit % 8)) & 1) v |= 1u << i;
    }
    return v;
}

void SetBits(char* report, std::uint32_t offset, std::uint16_t size, std::uint32_t v) {
    for (std::uint16_t i = 0; i < size; ++i) {
        std::uint32_t bit = offset + i;
        char mask = char(1 << (bit % 8));
        if ((v >> i) & 1) report[bit / 8] |= mask;
        else report[bit / 8] &= char(~mask);
    }
}

std::int64_t Signed(std::uint32_t v, std::uint16_t size) {
    if (size == 0) return 0;
    if (size < 32 && (v >> (size - 1)) & 1) return std::int32_t(v | (~0u << size));
    return std::int32_t(v);
}

// A field's raw value as the logical range reads it: signed when the range has negative values.
std::int64_t Logical(const Field& f, std::uint32_t raw) {
    return f.logicalMin < 0 ? Signed(raw, f.size) : std::int64_t(raw);
}

bool Holds(const Field& f, Usage u) {
    if (f.isRange) return u >= f.usageMin && u <= f.usageMax;
    return std::find(f.usages.begin(), f.usages.end(), u) != f.usages.end();
}

// The last button field of the report type and page that holds usage u (null: none).
const Field* ButtonField(const Collection& c, ReportType type, Usage page, Usage u) {
    const Field* field = nullptr;
    for (const Field& f : c.fields)
        if (f.type == type && f.isButton && f.page == page && Holds(f, u)) field = &f;
    return field;
}

// Index of usage u within a variable field.
std::uint32_t IndexOf(const Field& f, Usage u) {
    if (f.isRange) return std::uint32_t(u - f.usageMin);
    for (std::size_t i = 0; i < f.usages.size(); ++i)
        if (f.usages[i] == u) return std::uint32_t(i);
    return 0;
}

bool ClaimReportId(char* report, std::uint8_t id) {
    if (report[0] == 0) report[0] = char(id);
    return std::uint8_t(report[0]) == id;
}

// Where a field's usage lies in the report; false when that is beyond a report of the given length.
bool Fits(const Field& f, std::uint32_t index, std::uint32_t reportLength) {
    return f.bitOffset + std::uint64_t(index + 1) * f.size <= std::uint64_t(reportLength) * 8;
}

}  // namespace

Collection Collection::Parse(const Bytes& d) {
    Collection c;
    Usage page = 0;
    std::int32_t logMin = 0, logMax = 0;
    std::uint16_t size = 0, count = 0;
    std::uint8_t id = 0;
    std::vector<Usage> usages;
    bool haveMin = false, haveMax = false;
    Usage usageMin = 0, usageMax = 0;
    std::uint64_t bits[3][256] = {};
    int depth = 0;
    for (std::size_t i = 0; i < d.size();) {
        std::uint8_t prefix = d[i];
        int n = prefix & 3;
        if (n == 3) n = 4;
        int type = (prefix >> 2) & 3, tag = prefix >> 4;
        std::uint32_t u = 0;
        for (int k = 0; k < n && i + 1 + k < d.size(); ++k) u |= std::uint32_t(d[i + 1 + k]) << (8 * k);
        std::int32_t s = n == 1 ? std::int32_t(std::int8_t(u)) : n == 2 ? std::int32_t(std::int16_t(u)) : std::int32_t(u);
        i += 1 + n;
        if (type == 1) {  // global
            switch (tag) {
            case 0: page = Usage(u); break;
            case 1: logMin = s; break;
            case 2: logMax = s; break;
            case 7: size = std::uint16_t(u); break;
            case 8: id = std::uint8_t(u); break;
            case 9: count = std::uint16_t(u); break;
            }
        } else if (type == 2) {  // local
            if (tag == 0) usages.push_back(Usage(u));
            if (tag == 1) { usageMin = Usage(u); haveMin = true; }
            if (tag == 2) { usageMax = Usage(u); haveMax = true; }
        } else if (type == 0) {  // main
            if (tag == 0xA) {
                if (depth++ == 0 && !usages.empty()) {
                    c.page = page;
                    c.usage = usages.front();
                }
            } else if (tag == 0xC) {
                --depth;
            } else if (tag == 0x8 || tag == 0x9 || tag == 0xB) {
                ReportType rt = tag == 0x8 ? kInput : tag == 0x9 ? kOutput : kFeature;
                std::uint64_t& at = bits[rt][id];
                if (!(u & 1)) {  // data, not padding
                    if (size == 0 || size > 32) c.usable = false;
                    Field f{};
                    f.type = rt;
                    f.reportId = id;
                    f.page = page;
                    f.isArray = !(u & 2);
                    f.relative = (u & 4) != 0;
                    f.isButton = f.isArray || (size == 1 && logMin == 0 && logMax == 1);
                    f.isRange = haveMin && haveMax;
                    f.usageMin = usageMin;
                    f.usageMax = usageMax;
                    f.usages = usages;
                    f.bitOffset = std::uint32_t(8 + std::min<std::uint64_t>(at, 1u << 20));
                    f.size = size;
                    f.count = count;
                    f.logicalMin = logMin;
                    f.logicalMax = logMax;
                    c.fields.push_back(f);
                }
                at += std::uint64_t(size) * count;
            }
            usages.clear();
            haveMin = haveMax = false;
        }
    }
    for (int t = 0; t < 3; ++t) {
        for (int r = 0; r < 256; ++r) {
            if (!bits[t][r]) continue;
            std::uint64_t bytes = 1 + (bits[t][r] + 7) / 8;
            if (bytes > kMaxReportBytes) c.usable = false;
            else c.length[t] = std::max<std::uint16_t>(c.length[t], std::uint16_t(bytes));
        }
    }
    for (const Field& f : c.fields) {
        auto add = [&](bool range, Usage a, Usage b) {
            Cap cap{f.page, f.reportId, !f.relative, range, a, b, f.size, f.count, f.logicalMin, f.logicalMax};
            (f.isButton ? c.buttonCaps : c.valueCaps)[f.type].push_back(cap);
        };
        if (f.isRange) {
            add(true, f.usageMin, f.usageMax);
        } else {
            for (Usage u : f.usages) add(false, u, u);
        }
    }
    return c;
}

Bytes KeyboardDescriptor() {
    return {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x04,
            0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
            0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
            0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
            0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x95, 0x05, 0x75, 0x01, 0x91, 0x02,
            0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0xC0};
}

Bytes ConsumerDescriptor() {
    return {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,
            // two array slots: 1..59 stand for usages 0xB0..0xEA
            0x19, 0xB0, 0x29, 0xEA, 0x15, 0x01, 0x25, 0x3B, 0x75, 0x08, 0x95, 0x02, 0x81, 0x00,
            // eight launch keys, one bit each
            0x0A, 0x83, 0x01, 0x0A, 0x8A, 0x01, 0x0A, 0x92, 0x01, 0x0A, 0x94, 0x01,
            0x0A, 0x23, 0x02, 0x0A, 0x24, 0x02, 0x0A, 0x25, 0x02, 0x0A, 0x2A, 0x02,
            0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
            // volume dial, relative -64..63
            0x09, 0xE0, 0x15, 0xC0, 0x25, 0x3F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06, 0xC0};
}

Bytes VendorDescriptor() {
    return {0x06, 0x7F, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02,
            0x05, 0x09, 0x19, 0x02, 0x29, 0x08, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x07, 0x81, 0x02,
            0x95, 0x01, 0x75, 0x01, 0x81, 0x01,
            0x85, 0x03, 0x05, 0x08, 0x19, 0x01, 0x29, 0x03, 0x95, 0x03, 0x75, 0x01, 0x91, 0x02,
            0x09, 0x19, 0x09, 0x27, 0x95, 0x02, 0x91, 0x02, 0x95, 0x03, 0x91, 0x01, 0xC0};
}

std::uint32_t MaxUsageListLength(const Collection& c, ReportType type, Usage page) {
    std::uint32_t n = 0;
    for (const Field& f : c.fields)
        if (f.type == type && f.isButton && (page == 0 || f.page == page)) n += f.count;
    return n;
}

std::int32_t GetUsages(const Collection& c, ReportType type, Usage page, Usage* list,
                       std::uint32_t* length, const char* report, std::uint32_t reportLength) {
    if (reportLength != c.length[type]) return kInvalidReportLength;
    std::uint8_t id = std::uint8_t(report[0]);
    bool pageFound = false, idFound = false, tooSmall = false;
    std::uint32_t n = 0;
    auto add = [&](std::int64_t u) {
        if (u == 0) return;
        if (n < *length) list[n++] = Usage(u);
        else tooSmall = true;
    };
    for (const Field& f : c.fields) {
        if (f.type != type || !f.isButton || f.page != page) continue;
        pageFound = true;
        if (f.reportId != id) continue;
        idFound = true;
        for (std::uint16_t k = 0; k < f.count && Fits(f, k, reportLength); ++k) {
            std::uint32_t v = GetBits(report, f.bitOffset + std::uint32_t(k) * f.size, f.size);
            if (f.isArray) {
                std::int64_t sv = Logical(f, v);
                if (sv < f.logicalMin || sv > f.logicalMax) continue;  // the null value
                std::int64_t u = f.usageMin + (sv - f.logicalMin);
                if (u <= f.usageMax) add(u);
            } else if (v) {
                if (f.isRange) add(f.usageMin + k <= f.usageMax ? f.usageMin + k : 0);
                else add(f.usages.empty() ? 0 : f.usages[std::min<std::size_t>(k, f.usages.size() - 1)]);
            }
        }
    }
    if (!pageFound) return kUsageNotFound;
    if (!idFound) return kIncompatibleReportId;
    *length = n;
    return tooSmall ? kBufferTooSmall : kSuccess;
}

std::int32_t UsageListDifference(const Usage* previous, const Usage* current, Usage* breaks,
                                 Usage* makes, std::uint32_t length) {
    auto contains = [length](const Usage* l, Usage u) {
        for (std::uint32_t i = 0; i < length && l[i]; ++i)
            if (l[i] == u) return true;
        return false;
    };
    std::uint32_t b = 0, m = 0;
    for (std::uint32_t i = 0; i < length && previous[i]; ++i)
        if (!contains(current, previous[i])) breaks[b++] = previous[i];
    for (std::uint32_t i = 0; i < length && current[i]; ++i)
        if (!contains(previous, current[i])) makes[m++] = current[i];
    for (; b < length; ++b) breaks[b] = 0;
    for (; m < length; ++m) makes[m] = 0;
    return kSuccess;
}

std::int32_t GetUsageValue(const Collection& c, ReportType type, Usage page, Usage usage,
                           std::uint32_t* value, const char* report, std::uint32_t reportLength) {
    if (reportLength != c.length[type]) return kInvalidReportLength;
    for (const Field& f : c.fields) {
        if (f.type != type || f.isButton || f.page != page || !Holds(f, usage)) continue;
        if (f.reportId != std::uint8_t(report[0])) return kIncompatibleReportId;
        if (!Fits(f, IndexOf(f, usage), reportLength)) return kUsageNotFound;
        *value = GetBits(report, f.bitOffset + IndexOf(f, usage) * f.size, f.size);
        return kSuccess;
    }
    return kUsageNotFound;
}

std::int32_t GetScaledUsageValue(const Collection& c, ReportType type, Usage page, Usage usage,
                                 std::int32_t* value, const char* report, std::uint32_t reportLength) {
    std::uint32_t raw = 0;
    std::int32_t st = GetUsageValue(c, type, page, usage, &raw, report, reportLength);
    if (st != kSuccess) return st;
    for (const Field& f : c.fields) {
        if (f.type != type || f.isButton || f.page != page || !Holds(f, usage)) continue;
        std::int64_t v = Logical(f, raw);
        if (v < f.logicalMin || v > f.logicalMax) return kValueOutOfRange;
        *value = std::int32_t(v);
        return kSuccess;
    }
    return kUsageNotFound;
}

namespace {

// Finds the field of each listed usage and claims the report for its id, then lets change set or
// clear the usage there.
template <typename Change>
std::int32_t ChangeButtons(const Collection& c, ReportType type, Usage page, const Usage* list,
                           std::uint32_t length, char* report, std::uint32_t reportLength, Change change) {
    if (reportLength != c.length[type]) return kInvalidReportLength;
    for (std::uint32_t i = 0; i < length; ++i) {
        Usage u = list[i];
        if (u == 0) continue;
        const Field* field = ButtonField(c, type, page, u);
        if (!field) return kUsageNotFound;
        if (!ClaimReportId(report, field->reportId)) return kIncompatibleReportId;
        std::int32_t status = change(*field, u);
        if (status != kSuccess) return status;
    }
    return kSuccess;
}

}  // namespace

std::int32_t SetUsages(const Collection& c, ReportType type, Usage page, const Usage* list,
                       std::uint32_t length, char* report, std::uint32_t reportLength) {
    return ChangeButtons(c, type, page, list, length, report, reportLength, [&](const Field& field, Usage u) {
        if (!field.isArray) {
            SetBits(report, field.bitOffset + IndexOf(field, u), 1, 1);
            return kSuccess;
        }
        for (std::uint16_t k = 0; k < field.count; ++k) {
            std::uint32_t off = field.bitOffset + std::uint32_t(k) * field.size;
            std::int64_t v = std::int32_t(GetBits(report, off, field.size));
            if (v >= field.logicalMin && v <= field.logicalMax) continue;
            SetBits(report, off, field.size, std::uint32_t(field.logicalMin + (u - field.usageMin)));
            return kSuccess;
        }
        return kBufferTooSmall;
    });
}

std::int32_t UnsetUsages(const Collection& c, ReportType type, Usage page, const Usage* list,
                         std::uint32_t length, char* report, std::uint32_t reportLength) {
    return ChangeButtons(c, type, page, list, length, report, reportLength, [&](const Field& field, Usage u) {
        if (field.isArray) return kButtonNotPressed;
        std::uint32_t off = field.bitOffset + IndexOf(field, u);
        if (!GetBits(report, off, 1)) return kButtonNotPressed;
        SetBits(report, off, 1, 0);
        return kSuccess;
    });
}

std::int32_t SetUsageValue(const Collection& c, ReportType type, Usage page, Usage usage,
                           std::uint32_t value, char* report, std::uint32_t reportLength) {
    if (reportLength != c.length[type]) return kInvalidReportLength;
    for (const Field& f : c.fields) {
        if (f.type != type || f.isButton || f.page != page || !Holds(f, usage)) continue;
        if (!ClaimReportId(report, f.reportId)) return kIncompatibleReportId;
        SetBits(report, f.bitOffset + IndexOf(f, usage) * f.size, f.size, value);
        return kSuccess;
    }
    return kUsageNotFound;
}

}  // namespace fakekbd
