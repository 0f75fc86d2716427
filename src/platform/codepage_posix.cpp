#include "platform/codepage.h"

#include <cerrno>
#include <iconv.h>
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

} // namespace

std::u16string DecodeNonAscii(std::string_view bytes, unsigned codePage) {
    Iconv cd("UTF-16LE", CodePageName(codePage).c_str());
    std::u16string out;
    if (!cd.valid()) {
        out.assign(bytes.size(), u'\uFFFD');
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    std::u16string buffer(bytes.size() + 4, u'\0');
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(char16_t);
        const size_t result = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), (buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or cut-off byte: replace it and go on with the next one.
            out += u'\uFFFD';
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::optional<std::string> EncodeNonAscii(std::u16string_view text, unsigned codePage) {
    Iconv cd(CodePageName(codePage).c_str(), "UTF-16LE");
    if (!cd.valid()) {
        return std::nullopt;
    }
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    size_t inLeft = text.size() * sizeof(char16_t);
    std::string out(text.size() * 4 + 4, '\0');
    char* outPtr = out.data();
    size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace corvantis::platform
