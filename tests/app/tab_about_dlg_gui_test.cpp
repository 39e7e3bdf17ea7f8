// The About page's "Open with Quorvane" entry, in a private XDG_DATA_HOME.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>

#include "app/tab_about_dlg.h"
#include "app/tab_about_template.h"
#include "platform/desktop/desktop_entry_qt.h"
#include "support/gui_support.h"
#include "support/test_files.h"

using namespace testing_support;

namespace {

using about_page_ids::kContextMenuBox;

class AboutPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome.path().string()));
    }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }

    std::unique_ptr<CTabAboutDlg> NewPage(const QString& programPath) {
        auto page = std::make_unique<CTabAboutDlg>(FromQt(programPath));
        CreateInside(*page, &parent);
        return page;
    }
    void Click(CTabAboutDlg& page) { QtItemAs<QCheckBox>(page, kContextMenuBox)->click(); }
    QString EntryText() {
        QFile file(OpenWithEntryPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    TempDir dataHome;
    QWidget parent;
    ScriptedMessageBoxes boxes;
    const QString program = QStringLiteral("/opt/quorvane/bin/quorvane");
};

TEST_F(AboutPageTest, TickingWritesTheEntryAndANewPageShowsItTicked) {
    auto page = NewPage(program);
    EXPECT_FALSE(page->IsChecked(kContextMenuBox));
    EXPECT_EQ(ToQt(page->ItemText(kContextMenuBox)),
              QStringLiteral("添加程序到文件管理器的“打开方式”菜单"));
    Click(*page);
    EXPECT_TRUE(page->IsChecked(kContextMenuBox));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("成功添加到右键菜单"));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);

    EXPECT_EQ(OpenWithEntryPath(),
              QString::fromStdString(
                  (dataHome.path() / "applications/quorvane-open-with.desktop").string()));
    const QString text = EntryText();
    EXPECT_TRUE(text.contains("\nExec=\"/opt/quorvane/bin/quorvane\" %f\n")) << text.toStdString();
    for (const char* line :
         {"Type=Application", "Name=Open with Quorvane", "Name[zh_CN]=使用 Quorvane 打开",
          "NoDisplay=true", "MimeType=application/octet-stream;all/all;all/allfiles;"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line) + "\n")) << line;

    EXPECT_TRUE(NewPage(program)->IsChecked(kContextMenuBox));
}

TEST_F(AboutPageTest, AnEntryForAnotherPathShowsClearAndTickingRewritesIt) {
    ASSERT_TRUE(WriteOpenWithEntry(u"/old/place/quorvane"));
    auto page = NewPage(program);
    EXPECT_FALSE(page->IsChecked(kContextMenuBox));
    Click(*page);
    EXPECT_TRUE(EntryText().contains("Exec=\"/opt/quorvane/bin/quorvane\" %f"));
    EXPECT_TRUE(NewPage(program)->IsChecked(kContextMenuBox));
}

TEST_F(AboutPageTest, PathsWithChineseSpacesAndShellCharactersRoundTrip) {
    const QString odd =
        QStringLiteral("/home/用户 名/my $tools/100% \"quoted\"/back\\slash/quorvane");
    EXPECT_EQ(OpenWithExecValue(odd),
              QStringLiteral("\"/home/用户 名/my \\\\$tools/100%% "
                             "\\\\\"quoted\\\\\"/back\\\\\\\\slash/quorvane\" %f"));
    Click(*NewPage(odd));
    EXPECT_TRUE(NewPage(odd)->IsChecked(kContextMenuBox));
    EXPECT_FALSE(NewPage(program)->IsChecked(kContextMenuBox));
}

TEST_F(AboutPageTest, AnUnwritableLocationFailsWithPromptAndLeavesTheBoxClear) {
    // A regular file where the data folder should be: nothing can be created below it.
    WriteFile(dataHome / "blocker", {1});
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((dataHome / "blocker").string()));
    auto page = NewPage(program);
    Click(*page);
    EXPECT_FALSE(page->IsChecked(kContextMenuBox));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("访问注册表失败，此操作需要管理员权限"));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Prompt"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(AboutPageTest, ClearingRemovesTheEntryAndClearingAGoneEntryFails) {
    auto page = NewPage(program);
    Click(*page);
    ASSERT_TRUE(QFile::exists(OpenWithEntryPath()));
    Click(*page);
    EXPECT_FALSE(page->IsChecked(kContextMenuBox));
    EXPECT_FALSE(QFile::exists(OpenWithEntryPath()));
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("成功删除右键菜单项"));
    EXPECT_EQ(boxes.shown.back().caption, QStringLiteral("提示"));

    Click(*page);                                     // ticked again: entry written
    ASSERT_TRUE(QFile::remove(OpenWithEntryPath()));  // removed behind the program's back
    Click(*page);
    EXPECT_TRUE(page->IsChecked(kContextMenuBox))
        << "the box returns to the state before the click";
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("访问注册表失败，此操作需要管理员权限"));
    EXPECT_EQ(boxes.shown.back().caption, QStringLiteral("Prompt"));
}

TEST_F(AboutPageTest, ShowsTheProgramsTextsAndNoRealPersonsAddress) {
    auto page = NewPage(program);
    QStringList texts;
    for (const QLabel* label : QtHost(*page)->findChildren<QLabel*>()) texts << label->text();
    const QString all = texts.join('\n');
    EXPECT_TRUE(texts.contains("Quorvane"));
    EXPECT_TRUE(all.contains(QStringLiteral("Version: 0.2.0 (%1-bit),").arg(sizeof(void*) * 8)));
    for (const char* line : {"欢迎任何反馈、意见和建议。",
                             "AES(高级加密标准)， 是当今安全性最好的对称分组式密码算法之一。",
                             "本程序实现的AES相关功能的一部分是基于FIPS-197文档中的描述。",
                             "本程序实现的Camellia相关功能的一部分是基于RFC-3713文档中的描述。"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(all.contains("Email: ") && all.contains("URL: "));
    EXPECT_TRUE(all.contains("quorvane.example.org"));
}

}  // namespace
