#include "platform/file_posix.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>

namespace corvantis::platform {

bool OpenForWriting(int file) {
#ifdef F_SETLEASE
    // A writer that opens the file in the moment the lease is held breaks it with SIGIO, which
    // would end this process by default: it is ignored unless the program handles it.
    static const bool ready = [] {
        struct sigaction action {};
        if (sigaction(SIGIO, nullptr, &action) == 0 && action.sa_handler == SIG_DFL) {
            signal(SIGIO, SIG_IGN);
        }
        return true;
    }();
    (void)ready;
    if (fcntl(file, F_SETLEASE, F_RDLCK) == 0) {
        fcntl(file, F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN;
#else
    (void)file;
    return false;
#endif
}

} // namespace corvantis::platform
