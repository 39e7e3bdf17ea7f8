#pragma once
// Random password generator: a password of 1 to 9999 characters drawn from
// the ticked character classes, every allowed character equally likely.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kMinPasswordLength = 1;
inline constexpr int kMaxPasswordLength = 9999;

/// The seven special symbols, and nothing else, form the symbol class.
inline constexpr std::string_view kPasswordSymbols = "!\"#$%&?";

/// Which character classes a password may use.
struct PasswordClasses {
    bool upper = false;    // A-Z
    bool lower = false;    // a-z
    bool digits = false;   // 0-9
    bool symbols = false;  // kPasswordSymbols

    bool Any() const { return upper || lower || digits || symbols; }
};

/// The classes ticked when the tools page opens and used by the command line
/// when no class is named.
inline constexpr PasswordClasses kDefaultPasswordClasses{true, true, true, false};

/// Outcome of checking a request, shared by the page and the command line.
enum class PasswordCheck {
    kOk,
    kNoClass,    // no class ticked: nothing happens
    kBadLength,  // length outside 1..9999: the length field gets the focus
};

/// Checks a request. The classes are checked first, so with no class ticked
/// the length field is not even looked at.
PasswordCheck CheckPasswordRequest(long long length, PasswordClasses classes);

/// Reads the length field's text the way the page always has: leading white
/// space skipped, an optional sign, then decimal digits up to the first
/// non-digit (at most the first 7 characters are looked at). Returns the
/// length when it lies in 1..9999; an empty, non-numeric, zero, negative or
/// too large value gives nullopt.
std::optional<int> ParsePasswordLength(std::u16string_view field_text);

/// True when `code` belongs to one of the classes.
bool IsPasswordCharacter(uint8_t code, PasswordClasses classes);

/// Generates a password of `length` characters. Each position draws a byte
/// 0..255 from the system's cryptographic random source and keeps it when it
/// belongs to a ticked class, else draws again. Returns false, with `password`
/// empty, when the request fails CheckPasswordRequest or the random source
/// fails. The password is a secret: the caller wipes it when done.
bool GeneratePassword(int length, PasswordClasses classes, std::string& password);

/// What the page's "生成" handler does after focusing the output field.
enum class GenerateOutcome {
    kGenerated,      // put `password` into the output field
    kNoClass,        // change nothing
    kBadLength,      // give the length field the focus, change nothing
    kRandomFailure,  // the random source failed: change nothing
};

/// The page's whole "生成" step: checks the classes, parses the length field,
/// and generates. `password` is filled only for kGenerated.
GenerateOutcome GenerateFromFields(std::u16string_view length_text, PasswordClasses classes,
                                   std::string& password);
