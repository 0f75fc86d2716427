#pragma once
// One running copy of the program per folder: the copies started from one folder share a named
// mutex, and the copy that owns it is the one that runs.

#include "platform/handles_win.h"
#include "platform/instance_name.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace corvantis::platform {

// A key for `folder` that every spelling of it shares: short (8.3) names are made long and the
// letters are folded to capitals as the file system compares them.
std::uint64_t FolderKey(std::u16string_view folder);

// The folder's mutex, owned from a successful Own until the scope ends. Without a mutex (it
// could not be created, which is traced) every copy owns its lock and runs.
class InstanceLock {
public:
    explicit InstanceLock(std::u16string_view folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Waits up to `milliseconds` for the lock; true once this copy owns it.
    bool Own(DWORD milliseconds);
    // Whether a copy that this one may not even wait for holds the folder: one run as
    // administrator, when this one is not.
    bool HeldElsewhere() const { return state_ == LockState::HeldElsewhere; }
    std::uint64_t Key() const { return key_; }

private:
    void Acquire();

    std::uint64_t key_;
    std::wstring name_;
    UniqueHandle mutex_;
    LockState state_ = LockState::Unlocked;
    bool owned_ = false;
};

} // namespace corvantis::platform
