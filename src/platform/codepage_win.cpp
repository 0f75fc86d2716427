#include "platform/codepage.h"

#include <windows.h>

namespace corvantis::platform {

std::u16string DecodeNonAscii(std::string_view bytes, unsigned codePage) {
    const int size = static_cast<int>(bytes.size());
    // No code page gives more UTF-16 units than it has bytes, so one call mostly does; the
    // length is asked for first only when that room is short after all.
    std::u16string out(bytes.size(), u'\0');
    int length = MultiByteToWideChar(codePage, 0, bytes.data(), size,
                                     reinterpret_cast<wchar_t*>(out.data()), size);
    if (length == 0 && size > 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
        out.assign(static_cast<size_t>(length), u'\0');
        MultiByteToWideChar(codePage, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(out.data()),
                            length);
    }
    out.resize(static_cast<size_t>(length));
    return out;
}

std::optional<std::string> EncodeNonAscii(std::u16string_view text, unsigned codePage) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0,
                                           nullptr, &usedDefault);
    if (length == 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, size, out.data(), length, nullptr,
                        &usedDefault);
    // A character may still come back different (no exact form): keep only what round-trips.
    if (usedDefault || DecodeNonAscii(out, codePage) != text) {
        return std::nullopt;
    }
    return out;
}

bool IsValidNonAscii(std::string_view bytes, unsigned codePage) {
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, 0) != 0) {
        return true;
    }
    // A code page that cannot tell has no invalid bytes to report.
    return GetLastError() == ERROR_INVALID_FLAGS;
}

} // namespace corvantis::platform
