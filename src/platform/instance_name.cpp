#include "platform/instance_name.h"

namespace corvantis::platform {
namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;
constexpr char16_t kNamePrefix[] = u"Local\\Corvantis.";
constexpr int kKeyBits = 64;
constexpr int kHexDigitBits = 4;

} // namespace

std::uint64_t KeyOfSpelling(std::u16string_view spelling) {
    std::uint64_t key = kFnvOffset;
    for (const char16_t unit : spelling) {
        key = (key ^ static_cast<std::uint16_t>(unit)) * kFnvPrime;
    }
    return key;
}

std::u16string MutexName(std::uint64_t key) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string name = kNamePrefix;
    for (int shift = kKeyBits - kHexDigitBits; shift >= 0; shift -= kHexDigitBits) {
        name += kHex[(key >> shift) & 0xF];
    }
    return name;
}

LockState StateAfter(MutexCreation creation, bool openedToWait) {
    switch (creation) {
    case MutexCreation::Made:
        return LockState::Waitable;
    case MutexCreation::AccessDenied:
        return openedToWait ? LockState::Waitable : LockState::HeldElsewhere;
    case MutexCreation::Failed:
        break;
    }
    return LockState::Unlocked;
}

} // namespace corvantis::platform
