#pragma once
// Every text the windows show is written in Chinese in the source and passes
// through Qt's translation system on its way to the screen. The Chinese text
// is the key, so the Chinese interface needs no translation of its own, and
// another language is one more translations/quorvane_<lang>.ts.

#include <QString>

/// The one translation context of the program's own texts.
inline constexpr char kTextContext[] = "Quorvane";

/// `chinese` (UTF-8) in the interface's language: the text itself unless a
/// translation is installed that has it.
QString Text(const char* chinese);

/// The status of a file or a run that Stop cut short: "已取消".
QString CancelledText();

/// The interface languages. Chinese is the default.
enum class InterfaceLanguage { Chinese, English };

/// "zh" or "en" (case does not matter); nothing for any other name.
bool LanguageFromName(const QString& name, InterfaceLanguage& language);

/// Installs the translations of `language` in the running application: for
/// Chinese, Qt's own Simplified Chinese texts (standard buttons, file
/// dialogs); for English, the program's English texts. Returns false when a
/// translation file is missing; the interface then keeps the texts it has.
bool InstallTranslations(InterfaceLanguage language);

/// The folders searched for quorvane_<lang>.qm, nearest first: beside an
/// installed program (../share/quorvane/translations) and in a build tree.
QStringList TranslationFolders();
