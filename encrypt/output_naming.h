#pragma once
// Names of the files a run writes, shared by the encryption page and the
// command line so that both name their outputs alike.

#include <filesystem>

/// Extensions of the two container kinds; compared exactly and case-sensitively.
inline constexpr char kAes256Extension[] = ".aes256";
inline constexpr char kCamellia256Extension[] = ".cam256";
inline constexpr char kDecryptedSuffix[] = ".decrypted";

/// The output path for `input`:
/// - encrypting: the input path followed by ".aes256" (or ".cam256" when
///   `camellia`);
/// - decrypting: when the input path is longer than 7 characters and ends in
///   exactly the chosen cipher's extension, the input path without it;
///   otherwise the input path followed by ".decrypted". "x.AES256", and the
///   other cipher's extension, therefore get ".decrypted", and so does a
///   name that would be left naming a folder: "sub/.aes256" (which would
///   give "sub/") or "docs.aes256" beside a folder "docs".
/// The path is otherwise treated as text; it is neither shortened nor made
/// absolute.
std::filesystem::path OutputPathFor(const std::filesystem::path& input, bool camellia,
                                    bool decrypt);
