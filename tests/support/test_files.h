#pragma once
// Small helpers for tests that work on real files in a private temporary folder.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

/// A fresh folder under the system's temporary folder, removed with its
/// contents when the object goes out of scope.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

/// Writes `bytes` to `path`, replacing any file there.
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
/// Reads the whole file; fails the current test when it cannot be read.
std::vector<uint8_t> ReadFile(const std::filesystem::path& path);
/// Deterministic pseudo-random bytes (not for cryptography).
std::vector<uint8_t> PatternBytes(std::size_t size, uint32_t seed = 1);
/// Parses a hex string ("00a1ff", spaces allowed) into bytes.
std::vector<uint8_t> FromHex(const std::string& hex);
/// Lower-case hex of the bytes.
std::string ToHex(const uint8_t* data, std::size_t size);
inline std::string ToHex(const std::vector<uint8_t>& v) {
    return ToHex(v.data(), v.size());
}
/// Path of a file in the tests' data folders, e.g. DataPath("ciphers/data/x.rsp").
std::filesystem::path DataPath(const std::string& relative);

/// Result of running a program.
struct RunResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};
/// How a program is started by RunProgram.
struct RunOptions {
    std::string input;  ///< fed to standard input
    /// > 0 sets RLIMIT_FSIZE in the child (to provoke write failures without
    /// permissions, which root ignores).
    long file_size_limit = 0;
    /// Extra environment entries, "NAME=value"; they win over inherited ones.
    std::vector<std::string> environment;
    /// Signals set to SIG_IGN in the child before it starts.
    std::vector<int> ignored_signals;
    /// Called with the child's pid each time it stops (SIGSTOP); the child is
    /// continued (SIGCONT) afterwards.
    std::function<void(int pid)> on_stop;
};

/// Runs `argv` and collects both outputs. The exit code is 128 + the signal
/// number for a child ended by a signal.
RunResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options);
/// Runs `argv` with `input` on standard input and collects both outputs.
RunResult RunProgram(const std::vector<std::string>& argv, const std::string& input = "",
                     long file_size_limit = 0);

/// Faults for the file service of a Windows test build to inject into this
/// very process (platform/system/injected_faults.h): the settings, each
/// "QUORVANE_FAULT_...=value", are in the environment while the object lives.
class InjectedFaults {
  public:
    explicit InjectedFaults(const std::vector<std::string>& settings);
    ~InjectedFaults();
    InjectedFaults(const InjectedFaults&) = delete;
    InjectedFaults& operator=(const InjectedFaults&) = delete;

  private:
    std::vector<std::string> names_;
};

/// True when the tests run under Wine rather than on Windows itself (always
/// false on Linux): some behaviour of Windows' file systems Wine lacks.
bool RunningUnderWine();

}  // namespace testing_support
