// Number parsing and field splitting: pure rules, no registry.
#include <gtest/gtest.h>

#include <string>

#include "keyfunc/fields.h"
#include "keyfunc/valuerules.h"
#include "keyfunc/vnutil.h"

namespace {

struct FieldCase {
    const char* text;
    int n;
    char separator;
    int offset;
    const char* field;
};

TEST(StringToInteger, DecimalHexAndStopCharacters) {
    EXPECT_EQ(StringToInteger("1234"), 1234);
    EXPECT_EQ(StringToInteger("0x1F"), 31);
    EXPECT_EQ(StringToInteger("x1F"), 31);
    EXPECT_EQ(StringToInteger("12x1F"), 31);   // 'x' resets the value
    EXPECT_EQ(StringToInteger("1a2"), 12);     // hex letters are skipped in radix 10
    EXPECT_EQ(StringToInteger("-5"), 0);       // a sign ends the scan
    EXPECT_EQ(StringToInteger("12 34"), 12);
    EXPECT_EQ(StringToInteger("abc"), 0);
    EXPECT_EQ(StringToInteger(""), 0);
    EXPECT_EQ(StringToInteger(nullptr), 0);
    EXPECT_EQ(StringToInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(StringToInteger("4294967297"), 1);  // wraps at 32 bits
}

TEST(StrGetField, Cases) {
    const FieldCase cases[] = {
        {"a\\b\\c", 3, '\\', 4, "c"},
        {"a\\b", 3, '\\', -1, ""},
        {"  \"x y\" z", 1, ' ', 2, "x y"},
        {"  \"x y\" z", 2, ' ', 8, "z"},
        {",x", 1, ',', 0, ""},          // a leading separator: empty field at offset 0
        {",x", 2, ',', 1, "x"},
        {"a   b", 2, ' ', 4, "b"},      // runs of blanks count as one separator
        {"a, b ,c", 2, ',', 3, "b "},   // trailing blanks of a field are kept
        {"\"a,b\",c", 1, ',', 0, "a,b"},  // quotes enclose separators
        {"   ", 1, ' ', -1, ""},
        {"x", 0, ',', -1, ""},
    };
    for (const FieldCase& c : cases) {
        char field[260] = "untouched";
        int offset = Str_GetField(c.text, c.n, field, c.separator);
        EXPECT_EQ(offset, c.offset) << c.text << " #" << c.n;
        if (c.offset != -1) {
            EXPECT_STREQ(field, c.field) << c.text << " #" << c.n;
        }
    }
}

TEST(StrGetFirstField, ReturnsRestAndStart) {
    const char* text = "ab\\cd";
    char field[260];
    int start = 7;
    char* rest = Str_GetFirstField(text, field, '\\', &start);
    EXPECT_STREQ(field, "ab");
    EXPECT_EQ(start, 0);
    EXPECT_EQ(rest, text + 3);
    rest = Str_GetFirstField(rest, nullptr, '\\', nullptr);  // null buffer and offset are allowed
    EXPECT_EQ(*rest, '\0');
    start = 0;
    Str_GetFirstField("\t  ", field, ',', &start);
    EXPECT_EQ(start, -1);
    EXPECT_STREQ(field, "");
}

TEST(StrGetFirstField, LongFieldStaysInsideA260Buffer) {
    std::string text(5000, 'q');
    text += ",tail";
    char field[262];
    field[260] = field[261] = '#';
    int start = -2;
    char* rest = Str_GetFirstField(text.c_str(), field, ',', &start);
    EXPECT_EQ(std::string(field).size(), 259u);
    EXPECT_EQ(field[260], '#');
    EXPECT_EQ(start, 0);
    EXPECT_STREQ(rest, "tail");  // the scan still ends at the real separator
}

TEST(ValueRules, NumberAndBoolDecoding) {
    int v = 99;
    const unsigned char dword[4] = {0x10, 0x00, 0x00, 0x80};
    EXPECT_TRUE(vn::DecodeNumber(vn::kRegDword, dword, 4, &v));
    EXPECT_EQ(v, static_cast<int>(0x80000010u));
    EXPECT_TRUE(vn::DecodeNumber(vn::kRegBinary, dword, 4, &v));
    EXPECT_FALSE(vn::DecodeNumber(vn::kRegBinary, dword, 3, &v));
    EXPECT_FALSE(vn::DecodeNumber(7 /* REG_MULTI_SZ */, dword, 4, &v));
    const unsigned char text[] = {'4', '2'};  // no terminating zero stored
    EXPECT_TRUE(vn::DecodeNumber(vn::kRegSz, text, 2, &v));
    EXPECT_EQ(v, 42);

    const unsigned char one[1] = {1};
    EXPECT_TRUE(vn::DecodeBool(vn::kRegBinary, one, 1, &v));  // padded with zero bytes
    EXPECT_EQ(v, 1);
    const unsigned char tRue[] = "tRuE";
    EXPECT_TRUE(vn::DecodeBool(vn::kRegSz, tRue, 5, &v));
    EXPECT_EQ(v, 1);
    const unsigned char fAlse[] = "False";
    EXPECT_TRUE(vn::DecodeBool(vn::kRegSz, fAlse, 6, &v));
    EXPECT_EQ(v, 0);
    unsigned char big[261] = {1};
    EXPECT_TRUE(vn::DecodeBool(vn::kRegBinary, big, 260, &v));
    EXPECT_FALSE(vn::DecodeBool(vn::kRegBinary, big, 261, &v));
    EXPECT_FALSE(vn::DecodeNumber(vn::kRegSz, big, 261, &v));
}

}  // namespace
