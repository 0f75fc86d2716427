#include "platform/instance_lock_win.h"

#include <string>

namespace corvantis::platform {
namespace {

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

} // namespace

std::uint64_t FolderKey(std::u16string_view folder) {
    const std::wstring path(reinterpret_cast<const wchar_t*>(folder.data()), folder.size());
    const std::wstring spelling = Capitals(LongPath(path));
    return KeyOfSpelling({reinterpret_cast<const char16_t*>(spelling.data()), spelling.size()});
}

InstanceLock::InstanceLock(std::u16string_view folder) : key_(FolderKey(folder)) {
    const std::u16string name = MutexName(key_);
    name_.assign(name.begin(), name.end());
    Acquire();
}

InstanceLock::~InstanceLock() {
    if (owned_ && mutex_) {
        ReleaseMutex(mutex_.get());
    }
}

void InstanceLock::Acquire() {
    mutex_.reset(CreateMutexW(nullptr, FALSE, name_.c_str()));
    const MutexCreation creation = mutex_ ? MutexCreation::Made
                                   : GetLastError() == ERROR_ACCESS_DENIED
                                       ? MutexCreation::AccessDenied
                                       : MutexCreation::Failed;
    if (creation == MutexCreation::AccessDenied) {
        // A wait needs SYNCHRONIZE alone, which the mutex of a copy run as administrator may
        // still grant this one.
        mutex_.reset(OpenMutexW(SYNCHRONIZE, FALSE, name_.c_str()));
    }
    state_ = StateAfter(creation, mutex_ != nullptr);
    if (state_ == LockState::Unlocked) {
        Trace(L"CreateMutexW failed: this copy runs without looking for another");
    }
}

bool InstanceLock::Own(DWORD milliseconds) {
    if (owned_) {
        return true;
    }
    if (state_ == LockState::HeldElsewhere) {
        Acquire(); // the copy that holds the folder may have ended meanwhile
    }
    switch (state_) {
    case LockState::Waitable: {
        // A copy that ended without letting go (WAIT_ABANDONED) has still let go.
        const DWORD result = WaitForSingleObject(mutex_.get(), milliseconds);
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        break;
    }
    case LockState::HeldElsewhere:
        Sleep(milliseconds);
        break;
    case LockState::Unlocked:
        owned_ = true;
        break;
    }
    return owned_;
}

} // namespace corvantis::platform
