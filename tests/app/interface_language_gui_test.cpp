// The interface languages: Qt's own Chinese texts in the Chinese interface,
// and the English interface with texts that fit the same controls.
#include <gtest/gtest.h>

#include <typeinfo>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTabBar>

#include "app/quorvane_dlg.h"
#include "app/tab_about_dlg.h"
#include "encrypt/tab_aes256_dlg.h"
#include "platform/desktop/ui_text.h"
#include "support/gui_support.h"
#include "tools/tab_tools_dlg.h"

using namespace testing_support;

namespace {

QString ShownText(const QWidget* control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    return {};
}

// Every button and label of a window shows its whole text.
void ExpectTextsFit(const DialogWindow& window) {
    for (QWidget* control : QtHost(window)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const std::string name = ShownText(control).toStdString() + " (template " +
                                 std::string(typeid(window).name()) + ")";
        if (const auto* button = qobject_cast<QPushButton*>(control)) {
            const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
            EXPECT_LE(textWidth + 8, button->width()) << name;
        } else if (const auto* label = qobject_cast<QLabel*>(control); label && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name;
        } else if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control)) {
            EXPECT_LE(control->sizeHint().width(), control->width()) << name;
        }
    }
}

TEST(InterfaceLanguage, ChineseBringsQtsOwnChineseTexts) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "qt6-translations-l10n is not installed";
    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::Chinese));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Ok)->text().startsWith(QStringLiteral("确定")))
        << buttons.button(QDialogButtonBox::Ok)->text().toStdString();
    EXPECT_EQ(ToQt(Text("加密")), QStringLiteral("加密")) << "Chinese texts are their own keys";
}

TEST(InterfaceLanguage, EnglishShowsEnglishTextsThatFitTheirControls) {
    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::English));
    ScriptedMessageBoxes boxes;
    CQuorvaneDlg window;
    window.Create(nullptr);
    const QStringList tabs{QStringLiteral("AES256/Camellia256 File Encryption"),
                           QStringLiteral("File Hashes (MD5/SHA-1/SHA512..)"),
                           QStringLiteral("Security Tools"), QStringLiteral("About...")};
    for (int i = 0; i < tabs.size(); ++i) EXPECT_EQ(TabBarOf(window)->tabText(i), tabs[i]);
    EXPECT_EQ(ToQt(window.ItemText(kIdCancel)), QStringLiteral("Exit"));

    ExpectTextsFit(window);
    for (int i = 0; i < CQuorvaneDlg::kPageCount; ++i) ExpectTextsFit(*window.Page(i));
    // The tab texts end before the tab control does.
    EXPECT_LE(TabBarOf(window)->tabRect(tabs.size() - 1).right(), TabBarOf(window)->width());

    // Texts made while the program runs are English too.
    QtItemAs<QAbstractButton>(*window.EncryptionPage(), 1008)->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("The list is empty."));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Notice"));
    window.ToolsPage()->InsertWipeRow(0, u"/x", Text("就绪."));
    EXPECT_EQ(ToQt(window.ToolsPage()->WipeList()->Text(0, 1)), QStringLiteral("Ready."));
    EXPECT_EQ(ToQt(window.AboutPage()->ItemText(1037)),
              QStringLiteral("Add the program to the file manager's \"Open With\" menu"));
}

}  // namespace
