#pragma once
// A scratch folder for one test, removed with everything in it afterwards.

#include "platform/codepage.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <csignal>
#include <sys/resource.h>

namespace corvantis::testing {

class TempDir {
public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("corvantis-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        // A test may have taken the write permission away to make a write fail.
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path Path(const std::string& name) const { return path_ / name; }
    // How many files and folders the folder holds, not counting what its folders hold.
    size_t Entries() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                 std::filesystem::directory_iterator()));
    }
    // The same path as the program's UTF-16 paths.
    std::u16string Name(const std::string& name) const {
        return platform::DecodeUtf8(Path(name).string());
    }

    std::u16string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Name(name);
    }

    // The same, dated a while back: a file nobody is writing, which the program takes at once
    // (one written a moment ago it reads twice, to be sure it is whole).
    std::u16string WriteSettled(const std::string& name, const std::string& bytes) const {
        Write(name, bytes);
        const auto path = Path(name);
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                                   std::chrono::minutes(1));
        return Name(name);
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

// While it lasts, no file of this process grows past its first byte, as on a full disk: a write
// fails whoever runs it, root included (no permission stops root).
class DiskFull {
public:
    DiskFull() {
        getrlimit(RLIMIT_FSIZE, &before_);
        rlimit full = before_;
        full.rlim_cur = 1;
        previous_ = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the test
        setrlimit(RLIMIT_FSIZE, &full);
    }
    ~DiskFull() {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previous_);
    }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit before_{};
    void (*previous_)(int) = nullptr;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace corvantis::testing
