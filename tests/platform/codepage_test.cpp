#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace corvantis::platform {
namespace {

constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;

std::string Hex(std::string_view bytes) {
    std::string out;
    for (const char b : bytes) {
        out += "0123456789ABCDEF"[(static_cast<unsigned char>(b) >> 4) & 0xF];
        out += "0123456789ABCDEF"[static_cast<unsigned char>(b) & 0xF];
        out += ' ';
    }
    return out;
}

TEST(DecodeUtf8, TakesExactlyTheValidFormsAndReplacesEverythingElse) {
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xC2\x80", u"\u0080"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xE7\x8C\xAB", u"猫"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        // Overlong forms.
        {"\xC0\xAF", u"\uFFFD\uFFFD"},
        {"\xC1\xBF", u"\uFFFD\uFFFD"},
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        // Surrogates and code points past U+10FFFF.
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        // Leads that begin no valid form.
        {"\xF5\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF8\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xFF\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xFE", u"\uFFFD"},
        {"\x80x", u"\uFFFDx"},
        // Cut-off sequences: one replacement, and the next character survives.
        {"\xE7\x8C", u"\uFFFD"},
        {"\xE7\x8Cx", u"\uFFFDx"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xE7\xE7\x8C\xAB", u"\uFFFD猫"},
        {"\xC2", u"\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << Hex(c.bytes);
    }
}

TEST(EncodeUtf8, WritesEachCodePointAndReplacesUnpairedSurrogates) {
    const struct {
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {u"abc", "abc"},
        {u"\u07FF", "\xDF\xBF"},
        {u"猫", "\xE7\x8C\xAB"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {u"\xD800", "\xEF\xBF\xBD"},
        {u"\xDC00x", "\xEF\xBF\xBDx"},
        {u"\xD800\xD800\xDC00", "\xEF\xBF\xBD\xF0\x90\x80\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeUtf8(c.text), c.bytes) << Hex(c.bytes);
        if (c.bytes.find("\xEF\xBF\xBD") == std::string::npos) {
            EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << Hex(c.bytes);
        }
    }
}

TEST(CodePage, DecodesAndEncodesExactlyOrSaysItCannot) {
    const struct {
        unsigned codePage;
        std::u16string text;
        std::optional<std::string> bytes; // nullopt: the code page cannot hold the text
    } cases[] = {
        {kGbk, u"bd 百度:x\r\n", "bd \xB0\xD9\xB6\xC8:x\r\n"},
        {kGbk, u"猫\r\n狗", "\xC3\xA8\r\n\xB9\xB7"},
        // Lines of ASCII between others, a lone LF inside a line, no line end at the close.
        {kGbk, u"a\r\n猫 x\n狗\r\nb\r\n百度", "a\r\n\xC3\xA8 x\n\xB9\xB7\r\nb\r\n\xB0\xD9\xB6\xC8"},
        {kGbk, u"\uD55C", std::nullopt},                 // Hangul
        {kGbk, u"猫\r\nok\r\n\uD55C\r\n", std::nullopt}, // one line it cannot hold is enough
        {kGbk, u"ascii only", "ascii only"},
        {kWestern, u"caf\u00E9", "caf\xE9"},
        {kWestern, u"百度", std::nullopt},
        {kCodePageUtf8, u"百度", "\xE7\x99\xBE\xE5\xBA\xA6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeCodePage(c.text, c.codePage), c.bytes) << c.codePage;
        if (c.bytes) {
            EXPECT_EQ(DecodeCodePage(*c.bytes, c.codePage), c.text) << c.codePage;
        }
    }
}

TEST(CodePage, BytesThatAreNoCharacterBecomeReplacementsAndNothingIsDropped) {
    // 0x81 begins a GBK pair; followed by a line end it is cut off, and the line end stays.
    EXPECT_EQ(DecodeCodePage("a\x81\r\nb", kGbk), u"a\uFFFD\r\nb");
}

} // namespace
} // namespace corvantis::platform
