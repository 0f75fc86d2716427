#pragma once
// Text conversion between UTF-16 and the byte encodings the entry file may use: a Windows code
// page (the system's ANSI code page) or UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

inline constexpr unsigned kCodePageUtf8 = 65001;
// Simplified Chinese (GBK): the code page of the systems the program's own texts are written for.
inline constexpr unsigned kCodePageGbk = 936;

// Bytes in `codePage` to UTF-16. Bytes that are not valid there become U+FFFD; nothing is dropped.
std::u16string DecodeCodePage(std::string_view bytes, unsigned codePage);
// The same, appended to `out`.
void AppendDecoded(std::u16string& out, std::string_view bytes, unsigned codePage);

// UTF-16 to `codePage`; nullopt when some character has no exact form in it (no best fit, no
// default character), so that a caller can pick an encoding that loses nothing.
std::optional<std::string> EncodeCodePage(std::u16string_view text, unsigned codePage);

// Whether the bytes are text of `codePage`: every byte belongs to a character there, so that
// nothing decodes to a replacement.
bool IsValidInCodePage(std::string_view bytes, unsigned codePage);

std::u16string DecodeUtf8(std::string_view bytes);
// Whether the bytes are UTF-8 in exactly its valid forms.
bool IsValidUtf8(std::string_view bytes);
// Where the first byte of 0x80 or more is; the size when every byte is below it, and so the same
// text in every encoding here.
size_t FirstNonAscii(std::string_view bytes);
// Unpaired surrogates become U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

// The seam: conversion of text that holds non-ASCII characters, done by the system.
std::u16string DecodeNonAscii(std::string_view bytes, unsigned codePage);
std::optional<std::string> EncodeNonAscii(std::u16string_view text, unsigned codePage);
bool IsValidNonAscii(std::string_view bytes, unsigned codePage);

} // namespace corvantis::platform
