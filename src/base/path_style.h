#pragma once
// How the system the program runs on writes a file's path: POSIX ("/" alone
// is the root) or Windows (drive letters, "\\server\share", "\" or "/"
// between names, names that differ only in case naming one file). Code that
// parses paths takes the style as a parameter, so that both are tested on
// either system; the programs pass the native one.
namespace vennik {

enum class PathStyle { Posix, Windows };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

}  // namespace vennik
