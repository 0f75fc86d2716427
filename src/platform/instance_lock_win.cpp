#include "platform/instance_lock_win.h"

#include <string>

namespace corvantis::platform {
namespace {

// FNV-1a, 64 bits, over the UTF-16 code units.
constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

std::wstring LongPath(const std::wstring& path) {
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) {
        return path; // a folder that cannot be looked up keeps its spelling
    }
    std::wstring longer(size, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), longer.data(), size);
    if (length == 0 || length >= size) {
        return path;
    }
    longer.resize(length);
    return longer;
}

std::wstring Capitals(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), length,
                                   nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) {
        Trace(L"LCMapStringEx failed: the folder's key keeps its letters' case");
        return text;
    }
    std::wstring capitals(static_cast<size_t>(size), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), length, capitals.data(),
                  size, nullptr, nullptr, 0);
    return capitals;
}

std::wstring MutexName(std::uint64_t key) {
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name = L"Local\\Corvantis.";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kHex[(key >> shift) & 0xF];
    }
    return name;
}

} // namespace

std::uint64_t FolderKey(std::u16string_view folder) {
    const std::wstring path(reinterpret_cast<const wchar_t*>(folder.data()), folder.size());
    std::uint64_t key = kFnvOffset;
    for (const wchar_t unit : Capitals(LongPath(path))) {
        key = (key ^ static_cast<std::uint16_t>(unit)) * kFnvPrime;
    }
    return key;
}

InstanceLock::InstanceLock(std::u16string_view folder)
    : key_(FolderKey(folder)), mutex_(CreateMutexW(nullptr, FALSE, MutexName(key_).c_str())) {
    if (!mutex_) {
        Trace(L"CreateMutexW failed: this copy runs without looking for another");
    }
}

InstanceLock::~InstanceLock() {
    if (owned_ && mutex_) {
        ReleaseMutex(mutex_.get());
    }
}

bool InstanceLock::Own(DWORD milliseconds) {
    if (!owned_) {
        // A copy that ended without letting go (WAIT_ABANDONED) has still let go.
        const DWORD result =
            mutex_ ? WaitForSingleObject(mutex_.get(), milliseconds) : WAIT_OBJECT_0;
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    return owned_;
}

} // namespace corvantis::platform
