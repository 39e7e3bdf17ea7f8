#include "app/build_info.h"

#include "quorvane_version.h"

const char* ProductVersion() {
    return QUORVANE_VERSION;
}

const char* BuildArchitecture() {
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__i386__)
    return "x86";
#elif defined(__aarch64__)
    return "aarch64";
#elif defined(__arm__)
    return "arm";
#elif defined(__riscv) && __riscv_xlen == 64
    return "riscv64";
#elif defined(__powerpc64__)
    return "ppc64";
#else
    return "unknown";
#endif
}

std::string BuildWordSize() {
    return std::to_string(sizeof(void*) * 8) + "-bit";
}

std::string MainWindowCaption() {
    return std::string(kProductName) + " " + BuildArchitecture() + " Ver: " + ProductVersion();
}

std::string VersionLabelText() {
    return std::string(kProductName) + " Ver: " + ProductVersion() + " (" + BuildWordSize() + ")";
}
