#include "platform/system/cpu_features.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace cpu {
namespace {

bool PortableRequested() {
    const char* value = std::getenv("QUORVANE_CPU");
    return value != nullptr && std::strcmp(value, "portable") == 0;
}

#if defined(__x86_64__) || defined(__i386__)
uint64_t ReadXcr0() {
    uint32_t eax = 0;
    uint32_t edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
    return (static_cast<uint64_t>(edx) << 32) | eax;
}

Features Probe() {
    Features f;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    f.sse41 = (c >> 19) & 1;
    f.ssse3 = (c >> 9) & 1;
    f.aesni = (c >> 25) & 1;
    f.pclmul = (c >> 1) & 1;
    const bool osxsave = (c >> 27) & 1;
    const bool avx_cpu = (c >> 28) & 1;
    const uint64_t xcr0 = osxsave ? ReadXcr0() : 0;
    const bool ymm_saved = (xcr0 & 0x6) == 0x6;
    const bool zmm_saved = (xcr0 & 0xE6) == 0xE6;
    f.avx = avx_cpu && ymm_saved;

    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return f;
    f.avx2 = f.avx && ((b >> 5) & 1);
    f.bmi1 = (b >> 3) & 1;
    f.bmi2 = (b >> 8) & 1;
    f.sha = (b >> 29) & 1;
    f.avx512f = f.avx && zmm_saved && ((b >> 16) & 1);
    f.avx512vl = f.avx512f && ((b >> 31) & 1);
    f.avx512bw = f.avx512f && ((b >> 30) & 1);
    f.vaes = f.avx && ((c >> 9) & 1);
    f.vpclmulqdq = f.avx && ((c >> 10) & 1);
    f.gfni = (c >> 8) & 1;
    return f;
}
#else
Features Probe() {
    return Features{};
}
#endif

}  // namespace

bool PortableForced() {
    static const bool forced = PortableRequested();
    return forced;
}

const Features& Detected() {
    static const Features features = Probe();
    return features;
}

}  // namespace cpu
