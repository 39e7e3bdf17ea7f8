#pragma once
// Version and build texts shown by the main window and the About page. They
// name the architecture and word size the program was really built for.

#include <string>

inline constexpr const char* kProductName = "Quorvane";
/// "0.2.0": the version the build was made from.
const char* ProductVersion();
/// The project's own page, shown where the program points users to its maker.
inline constexpr const char* kProjectUrl = "https://quorvane.example.org/";
inline constexpr const char* kProjectEmail = "feedback@quorvane.example.org";

/// "x86_64", "x86", "aarch64", ... as compiled.
const char* BuildArchitecture();
/// "64-bit" or "32-bit".
std::string BuildWordSize();
/// "Quorvane x86_64 Ver: 0.2.0"
std::string MainWindowCaption();
/// "Quorvane Ver: 0.2.0 (64-bit)"
std::string VersionLabelText();
