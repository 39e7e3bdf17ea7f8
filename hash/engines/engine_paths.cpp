#include "hash/engines/engine_paths.h"

#include "platform/system/cpu_features.h"

namespace hash_engines {
namespace {

#if defined(__x86_64__)
bool HasBmi() {
    // andn is BMI1, rorx BMI2.
    const cpu::Features& f = cpu::Detected();
    return f.bmi1 && f.bmi2;
}

bool HasShaNi() {
    const cpu::Features& f = cpu::Detected();
    return f.sha && f.sse41 && f.ssse3;
}

bool HasAvx2Bmi2() {
    const cpu::Features& f = cpu::Detected();
    return f.avx2 && f.bmi1 && f.bmi2;
}

bool HasAvx512() {
    const cpu::Features& f = cpu::Detected();
    return f.avx512f && f.avx512vl;
}
#endif

constexpr Md5Path kMd5Paths[] = {
    {"portable", cpu::Always, Md5BlockPortable},
#if defined(__x86_64__)
    {"bmi", HasBmi, Md5BlockBmi},
#endif
};

constexpr Sha1Path kSha1Paths[] = {
    {"portable", cpu::Always, Sha1BlocksPortable},
#if defined(__x86_64__)
    {"sha-ni", HasShaNi, Sha1BlocksShaNi},
#endif
};

constexpr Sha256Path kSha256Paths[] = {
    {"portable", cpu::Always, Sha256BlocksPortable},
#if defined(__x86_64__)
    {"sha-ni", HasShaNi, Sha256BlocksShaNi},
#endif
};

constexpr Sha512Path kSha512Paths[] = {
    {"portable", cpu::Always, Sha512BlocksPortable},
#if defined(__x86_64__)
    {"avx2-bmi2", HasAvx2Bmi2, Sha512BlocksAvx2Bmi2},
#endif
};

constexpr KeccakPath kKeccakPaths[] = {
    {"portable", cpu::Always, {KeccakPermutePortable, KeccakAbsorbPortable}},
#if defined(__x86_64__)
    {"avx512", HasAvx512, {KeccakPermuteAvx512, KeccakAbsorbAvx512}},
#endif
};

constinit cpu::CodePaths<Md5Block> g_md5{kMd5Paths};
constinit cpu::CodePaths<Sha1Blocks> g_sha1{kSha1Paths};
constinit cpu::CodePaths<Sha256Blocks> g_sha256{kSha256Paths};
constinit cpu::CodePaths<Sha512Blocks> g_sha512{kSha512Paths};
constinit cpu::CodePaths<KeccakFunctions> g_keccak{kKeccakPaths};

}  // namespace

cpu::CodePaths<Md5Block>& Md5Paths() {
    return g_md5;
}
cpu::CodePaths<Sha1Blocks>& Sha1Paths() {
    return g_sha1;
}
cpu::CodePaths<Sha256Blocks>& Sha256Paths() {
    return g_sha256;
}
cpu::CodePaths<Sha512Blocks>& Sha512Paths() {
    return g_sha512;
}
cpu::CodePaths<KeccakFunctions>& KeccakPaths() {
    return g_keccak;
}

}  // namespace hash_engines
