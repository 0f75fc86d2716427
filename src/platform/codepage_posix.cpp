#include "platform/codepage.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <string>

namespace corvantis::platform {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

std::string CodePageName(unsigned codePage) {
    return "CP" + std::to_string(codePage);
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Opening a converter costs far more than converting a line, and files convert line by line:
// keep the last one for each direction, reset to its initial state for every use.
iconv_t Converter(unsigned codePage, bool toUtf16) {
    struct Cached {
        unsigned codePage = 0;
        std::unique_ptr<Iconv> converter;
    };
    thread_local Cached cache[2];
    Cached& slot = cache[toUtf16 ? 1 : 0];
    if (!slot.converter || slot.codePage != codePage) {
        const std::string name = CodePageName(codePage);
        slot.converter = toUtf16 ? std::make_unique<Iconv>("UTF-16LE", name.c_str())
                                 : std::make_unique<Iconv>(name.c_str(), "UTF-16LE");
        slot.codePage = codePage;
    }
    if (!slot.converter->valid()) {
        return kNoConverter;
    }
    iconv(slot.converter->get(), nullptr, nullptr, nullptr, nullptr);
    return slot.converter->get();
}

} // namespace

std::u16string DecodeNonAscii(std::string_view bytes, unsigned codePage) {
    const iconv_t cd = Converter(codePage, true);
    std::u16string out;
    if (cd == kNoConverter) {
        out.assign(bytes.size(), u'\uFFFD');
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    std::u16string buffer(bytes.size() + 4, u'\0');
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(char16_t);
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), (buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or cut-off byte: replace it and go on with the next one.
            out += u'\uFFFD';
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

bool IsValidNonAscii(std::string_view bytes, unsigned codePage) {
    const iconv_t cd = Converter(codePage, true);
    if (cd == kNoConverter) {
        return false;
    }
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char16_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) &&
            errno != E2BIG) {
            return false; // an invalid or cut-off byte
        }
    }
    return true;
}

std::optional<std::string> EncodeNonAscii(std::u16string_view text, unsigned codePage) {
    const iconv_t cd = Converter(codePage, false);
    if (cd == kNoConverter) {
        return std::nullopt;
    }
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    size_t inLeft = text.size() * sizeof(char16_t);
    std::string out(text.size() * 4 + 4, '\0');
    char* outPtr = out.data();
    size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    // As on Windows: a character may come back different (no exact form); keep only what
    // round-trips.
    if (DecodeNonAscii(out, codePage) != text) {
        return std::nullopt;
    }
    return out;
}

} // namespace corvantis::platform
