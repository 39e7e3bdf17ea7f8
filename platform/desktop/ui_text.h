#pragma once
// Every text the windows show is written in Chinese in the source and passes
// through Qt's translation system on its way to the screen. The Chinese text
// is the key, so the Chinese interface needs no translation of its own, and
// another language is one more translations/quorvane_<lang>.ts.

#include <string>
#include <string_view>
#include <vector>

/// The one translation context of the program's own texts.
inline constexpr char kTextContext[] = "Quorvane";

/// `chinese` (UTF-8) in the interface's language: the text itself unless a
/// translation is installed that has it.
std::u16string Text(const char* chinese);

/// `text` with its lowest-numbered place marker (%1, then %2, ...) replaced
/// by `argument`: translations may move the marker within the sentence.
std::u16string WithArg(const std::u16string& text, const std::u16string& argument);
std::u16string WithArg(const std::u16string& text, long long number);

/// `ascii` (digits, names, addresses) as interface text, unchanged.
inline std::u16string FromAscii(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

/// The status of a file or a run that Stop cut short: "已取消".
std::u16string CancelledText();

/// The interface languages. Chinese is the default.
enum class InterfaceLanguage { Chinese, English };

/// "zh" or "en" (case does not matter); nothing for any other name.
bool LanguageFromName(const std::u16string& name, InterfaceLanguage& language);

/// Installs the translations of `language` in the running application: for
/// Chinese, Qt's own Simplified Chinese texts (standard buttons, file
/// dialogs); for English, the program's English texts. Returns false when a
/// translation file is missing; the interface then keeps the texts it has.
bool InstallTranslations(InterfaceLanguage language);

/// The folders searched for quorvane_<lang>.qm, nearest first: beside an
/// installed program (../share/quorvane/translations) and in a build tree.
std::vector<std::u16string> TranslationFolders();
