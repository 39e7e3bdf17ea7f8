#include "platform/desktop/ui_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {

// Translators stay installed for the rest of the run.
std::unique_ptr<QTranslator> qtTexts;
std::unique_ptr<QTranslator> ownTexts;

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (!translator) return;
    QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

bool Install(std::unique_ptr<QTranslator>& slot, const QString& name, const QStringList& folders) {
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : folders) {
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator.get());
            slot = std::move(translator);
            return true;
        }
    }
    return false;
}

}  // namespace

QString Text(const char* chinese) {
    return QCoreApplication::translate(kTextContext, chinese);
}

QString CancelledText() {
    return Text("已取消");
}

bool LanguageFromName(const QString& name, InterfaceLanguage& language) {
    const QString lower = name.toLower();
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

QStringList TranslationFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(programDir + QStringLiteral("/../share/quorvane/translations")),
            programDir + QStringLiteral("/translations"),
            QDir::cleanPath(programDir + QStringLiteral("/../translations"))};
}

bool InstallTranslations(InterfaceLanguage language) {
    Remove(qtTexts);
    Remove(ownTexts);
    if (language == InterfaceLanguage::Chinese) {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        return Install(qtTexts, QStringLiteral("qtbase_zh_CN"),
                       {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
    }
    // Qt's own texts are English already.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return Install(ownTexts, QStringLiteral("quorvane_en"), TranslationFolders());
}
