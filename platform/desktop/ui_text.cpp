#include "platform/desktop/ui_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "platform/desktop/qt_text.h"

namespace {

// Translators stay installed for the rest of the run.
std::unique_ptr<QTranslator> qtTexts;
std::unique_ptr<QTranslator> ownTexts;

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (!translator) return;
    QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

bool Install(std::unique_ptr<QTranslator>& slot, const QString& name,
             const std::vector<std::u16string>& folders) {
    auto translator = std::make_unique<QTranslator>();
    for (const std::u16string& folder : folders) {
        if (translator->load(name, ToQt(folder))) {
            QCoreApplication::installTranslator(translator.get());
            slot = std::move(translator);
            return true;
        }
    }
    return false;
}

}  // namespace

std::u16string Text(const char* chinese) {
    return FromQt(QtText(chinese));
}

std::u16string WithArg(const std::u16string& text, const std::u16string& argument) {
    return FromQt(ToQt(text).arg(ToQt(argument)));
}

std::u16string WithArg(const std::u16string& text, long long number) {
    return FromQt(ToQt(text).arg(number));
}

std::u16string CancelledText() {
    return Text("已取消");
}

bool LanguageFromName(const std::u16string& name, InterfaceLanguage& language) {
    const QString lower = ToQt(name).toLower();
    if (lower == QStringLiteral("zh")) {
        language = InterfaceLanguage::Chinese;
        return true;
    }
    if (lower == QStringLiteral("en")) {
        language = InterfaceLanguage::English;
        return true;
    }
    return false;
}

std::vector<std::u16string> TranslationFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {FromQt(QDir::cleanPath(programDir + QStringLiteral("/../share/quorvane/translations"))),
            FromQt(programDir + QStringLiteral("/translations")),
            FromQt(QDir::cleanPath(programDir + QStringLiteral("/../translations")))};
}

bool InstallTranslations(InterfaceLanguage language) {
    Remove(qtTexts);
    Remove(ownTexts);
    if (language == InterfaceLanguage::Chinese) {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        return Install(qtTexts, QStringLiteral("qtbase_zh_CN"),
                       {FromQt(QLibraryInfo::path(QLibraryInfo::TranslationsPath))});
    }
    // Qt's own texts are English already.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return Install(ownTexts, QStringLiteral("quorvane_en"), TranslationFolders());
}
