// Container decryption with a fixed key, AES-256 and Camellia-256, on any
// file: no crash; it succeeds exactly when the deciphered end of the file
// shows a valid padding, and then gives the bytes before it; a failure leaves
// no output. One
// input in sixteen (by its first byte) gets filler ciphertext after the IV,
// up to the 1 MiB chunk edge and beyond, so that the held-back tail
// straddles two chunks. Files go to memory (/dev/shm) where it exists, since
// every successful run syncs its output.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "encrypt/cbc.h"
#include "encrypt/file_crypt.h"
#include "platform/system/progress.h"

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kKey[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                              17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path memory = "/dev/shm";
        const fs::path parent = fs::is_directory(memory) ? memory : fs::temp_directory_path();
        std::string pattern = (parent / "quorvane-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(Folder(), ignored);
        });
        return fs::path(pattern);
    }();
    return folder;
}

std::vector<uint8_t> Container(const uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const uint8_t flags = data[0];
    ++data, --size;
    std::vector<uint8_t> file(data, data + std::min<std::size_t>(size, 16));
    if ((flags & 0x0F) == 1 && size >= 16) {
        // kWorkUnitBytes - 48 .. kWorkUnitBytes + 64 bytes of filler, whole blocks.
        static const std::vector<uint8_t> pattern = [] {
            std::vector<uint8_t> bytes(kWorkUnitBytes + 64);
            for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131);
            return bytes;
        }();
        const std::size_t filler = kWorkUnitBytes - 48 + 16 * ((flags >> 4) % 8);
        file.insert(file.end(), pattern.begin(), pattern.begin() + filler);
    }
    if (size > 16) file.insert(file.end(), data + 16, data + size);
    return file;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t EntriesIn(const fs::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

// What decryption must give, worked out from the file's last two blocks
// alone (CBC needs nothing before them): nothing for a file that is no
// container or whose padding is not the marker 0x01 followed by zero bytes, 1
// to 17 bytes in all; else the length of the plaintext and its last bytes
// (up to 31) in the last two blocks.
struct Outcome {
    uint64_t length;
    std::vector<uint8_t> end;
};

template <typename Context, typename SetKey, typename Decrypt>
std::optional<Outcome> Expected(const std::vector<uint8_t>& container, SetKey set_key,
                                Decrypt decrypt) {
    const std::size_t size = container.size();
    if (size < 32 || size % 16 != 0) return std::nullopt;
    const std::size_t from = size >= 48 ? size - 32 : 16;  // the last two blocks, or one
    std::vector<uint8_t> last(container.begin() + from, container.end());
    uint8_t chain[16];
    std::memcpy(chain, container.data() + from - 16, 16);
    Context context;
    set_key(&context, kKey);
    decrypt(last.size() / 16, last.data(), &context, chain);
    std::size_t marker = last.size();
    while (marker > 0 && last[marker - 1] == 0) --marker;
    if (marker == 0 || last[marker - 1] != 0x01 || last.size() - (marker - 1) > 17) {
        return std::nullopt;
    }
    last.resize(marker - 1);
    return Outcome{size - 16 - (size - from - last.size()), last};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<uint8_t> container = Container(data, size);
    const fs::path input = Folder() / "in";
    const fs::path output = Folder() / "out";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(container.data()),
                  static_cast<std::streamsize>(container.size()));
    }
    for (bool camellia : {false, true}) {
        const bool done = (camellia ? DecryptFileCamellia256(input, output, kKey, nullptr, nullptr)
                                    : DecryptFileAes256(input, output, kKey, nullptr, nullptr))
                              .done();
        const auto expected =
            camellia
                ? Expected<Camellia256Context>(container, Camellia256SetKey, Camellia256CbcDecrypt)
                : Expected<Aes256Context>(container, Aes256SetDecryptKey, Aes256CbcDecrypt);
        if (done != expected.has_value()) std::abort();
        if (!done) {
            // Nothing written: only the input is in the folder.
            if (EntriesIn(Folder()) != 1) std::abort();
            continue;
        }
        const std::vector<uint8_t> plain = ReadAll(output);
        if (plain.size() != expected->length ||
            !std::equal(expected->end.begin(), expected->end.end(),
                        plain.end() - static_cast<std::ptrdiff_t>(expected->end.size()))) {
            std::abort();
        }
        fs::remove(output);
    }
    return 0;
}
