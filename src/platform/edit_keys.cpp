#include "platform/edit_keys.h"

namespace corvantis::platform {
namespace {

constexpr unsigned kTab = u'\t';
constexpr unsigned kCarriageReturn = u'\r'; // Enter, Shift+Enter
constexpr unsigned kLineFeed = u'\n';       // Ctrl+Enter

} // namespace

bool ReachesSingleLineBox(KeyMessage message, unsigned code) {
    return message == KeyMessage::KeyDown ||
           (code != kTab && code != kCarriageReturn && code != kLineFeed);
}

} // namespace corvantis::platform
