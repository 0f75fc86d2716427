#include "platform/edit_keys.h"

#include <gtest/gtest.h>

namespace corvantis::platform {
namespace {

constexpr unsigned kVkReturn = 0x0D;
constexpr unsigned kVkTab = 0x09;

TEST(ReachesSingleLineBox, EveryKeyDownAndEveryCharacterButTheRejectedOnes) {
    const struct {
        KeyMessage message;
        unsigned code;
        bool reaches;
    } cases[] = {
        {KeyMessage::KeyDown, kVkReturn, true}, // the box and the window see Enter's key-down
        {KeyMessage::KeyDown, kVkTab, true},
        {KeyMessage::Character, u'\r', false}, // Enter, Shift+Enter
        {KeyMessage::Character, u'\n', false}, // Ctrl+Enter
        {KeyMessage::Character, u'\t', false},
        {KeyMessage::Character, u'a', true},
        {KeyMessage::Character, u'猫', true},
        {KeyMessage::Character, u'\u3000', true},
        {KeyMessage::Character, u'\b', true}, // Backspace
        {KeyMessage::Character, 0x01, true},  // Ctrl+A selects all
        {KeyMessage::Character, 0x16, true},  // Ctrl+V pastes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReachesSingleLineBox(c.message, c.code), c.reaches) << c.code;
    }
}

} // namespace
} // namespace corvantis::platform
