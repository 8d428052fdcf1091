// The main window's folder and file lists on names as a Windows share or a careless
// colleague leaves them: names in GBK bytes beside look-alike UTF-8 names, names that differ
// only in case, links to devices named like test files. Whatever is clicked is what is
// opened and what is deleted.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <memory>

#include "core/common/gbk.h"
#include "core/common/paths.h"
#include "core/samples/synthetic_tests.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

// "bad" + 0xFF 0xFE (not UTF-8, not GBK) and "bad" + U+FFFD twice, what the first is shown
// as when its bytes are read as UTF-8; and 示范井2 in GBK bytes.
const std::string kRawName = "bad\xFF\xFE.o01";
const std::string kLookAlike = "bad\xEF\xBF\xBD\xEF\xBF\xBD.o01";
const std::string kGbkName = utf8_to_gbk("示范井2.o01");

struct Browser {
  test::ScopedFakeServices fakes;
  test::TempProgramFolder tmp;
  std::unique_ptr<RodEngMapDisplay> w;

  fs::path data() const { return tmp.path() / "data"; }
  // A joint test whose stroke is `period` samples: which file was opened shows in gt_num.
  void put_test(const std::string& name, int period) {
    fs::create_directories(data());
    SyntheticJointParams p;
    p.period = period;
    ASSERT_TRUE(write_synthetic_joint_test(data() / u8path(name), p));
  }
  void open_window() {
    w = std::make_unique<RodEngMapDisplay>(ProgramFolder{tmp.path()});
    w->show();
  }
  QListWidgetItem* file_item(const QString& shown) {
    for (int i = 0; i < w->File1->count(); ++i)
      if (w->File1->item(i)->text() == shown) return w->File1->item(i);
    return nullptr;
  }
  void click_file(QListWidgetItem* it, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(w->File1->viewport(), button, {}, w->File1->visualItemRect(it).center());
  }
  QStringList shown_files() const {
    QStringList out;
    for (int i = 0; i < w->File1->count(); ++i) out << w->File1->item(i)->text();
    return out;
  }
  // The folder list's entries below the current folder, as shown (without the indent).
  QStringList shown_sub_folders() const {
    QStringList out;
    for (int i = w->Dir1->currentRow() + 1; i < w->Dir1->count(); ++i) out << w->Dir1->item(i)->text().trimmed();
    return out;
  }
};

TEST(FileBrowserNames, EachNameOpensAndDeletesItsOwnFileWhateverItsBytes) {
  struct Case {
    std::string bytes;
    QString shown;
    int period;
  };
  const Case cases[] = {
      {kRawName, QString::fromStdString(gbk_to_utf8(kRawName)), 500},
      {kLookAlike, QString::fromStdString(kLookAlike), 600},
      {kGbkName, QStringLiteral("示范井2.o01"), 700},
  };
  Browser b;
  for (const Case& c : cases) b.put_test(c.bytes, c.period);
  b.open_window();
  ASSERT_EQ(b.w->File1->count(), 3);

  // Each opens itself: the path box names its bytes, the stroke is its own, and a GBK name
  // gives the well its Chinese name.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.toStdString());
    QListWidgetItem* it = b.file_item(c.shown);
    ASSERT_NE(it, nullptr) << b.shown_files().join('|').toStdString();
    b.click_file(it);
    EXPECT_TRUE(b.fakes.messages.shown.empty());
    EXPECT_EQ(b.w->st.Text2, path_text(b.data() / u8path(c.bytes)));
    EXPECT_TRUE(b.w->Text2->text().endsWith(QLatin1Char('/') + c.shown)) << b.w->Text2->text().toStdString();
    EXPECT_EQ(b.w->st.iu_num, c.period);
  }
  EXPECT_EQ(b.w->Text1[2]->text(), QStringLiteral("示范井2"));

  // Each deletes itself, after a question that names it as shown.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.toStdString());
    b.fakes.messages.shown.clear();
    b.fakes.messages.answers = {MsgAnswer::Yes};
    QListWidgetItem* it = b.file_item(c.shown);
    ASSERT_NE(it, nullptr);
    b.click_file(it);
    b.click_file(b.file_item(c.shown), Qt::RightButton);
    ASSERT_EQ(b.fakes.messages.shown.size(), 1u);
    EXPECT_NE(b.fakes.messages.shown[0].text.find(c.shown.toStdString()), std::string::npos)
        << b.fakes.messages.shown[0].text;
    EXPECT_FALSE(fs::exists(b.data() / u8path(c.bytes)));
    EXPECT_EQ(b.file_item(c.shown), nullptr);
  }
  EXPECT_EQ(b.w->File1->count(), 0);
}

TEST(FileBrowserNames, NamesDifferingInCaseKeepTheChosenOneThroughTheToolbar) {
  Browser b;
  b.put_test("示范井1.O01", 500);
  b.put_test("示范井1.o01", 600);
  b.open_window();
  ASSERT_EQ(b.w->File1->count(), 2);
  for (const char* name : {"示范井1.o01", "示范井1.O01", "示范井1.o01"}) {
    SCOPED_TRACE(name);
    const QString chosen = QString::fromUtf8(name);
    b.click_file(b.file_item(chosen));
    ASSERT_EQ(b.w->File1->file_name(), chosen);
    // 联 lists the joint tests again.
    QTest::mouseClick(b.w->Image1[2], Qt::LeftButton);
    EXPECT_EQ(b.w->File1->file_name(), chosen);
    EXPECT_EQ(b.w->File1->currentItem()->text(), chosen);
    b.fakes.messages.shown.clear();
    b.fakes.messages.answers = {MsgAnswer::No};
    b.w->File1_MouseDown(Qt::RightButton);
    ASSERT_EQ(b.fakes.messages.shown.size(), 1u);
    EXPECT_NE(b.fakes.messages.shown[0].text.find(path_text(b.data() / name)), std::string::npos)
        << b.fakes.messages.shown[0].text;
  }
  EXPECT_TRUE(fs::exists(b.data() / "示范井1.O01"));
  EXPECT_TRUE(fs::exists(b.data() / "示范井1.o01"));
}

// Only folders are listed as folders: a link to a device named like a test file is not; a
// folder named in GBK bytes and a link to a folder are, and can be entered.
TEST(FileBrowserNames, FolderListHoldsRealFoldersWhateverTheirNamesBytes) {
  Browser b;
  b.put_test("w1.o01", 500);
  const fs::path gbk_folder = b.data() / u8path(utf8_to_gbk("旧井"));
  fs::create_directories(gbk_folder);
  ASSERT_TRUE(write_synthetic_joint_test(gbk_folder / "w2.o01", SyntheticJointParams{}));
  fs::create_directories(b.tmp.path() / "elsewhere");
  fs::create_directory_symlink(b.tmp.path() / "elsewhere", b.data() / "链接");
  fs::create_symlink("/dev/null", b.data() / "null.o01");
  fs::create_symlink("/dev/zero", b.data() / "zero.g01");
  fs::create_symlink(b.data() / "w1.o01", b.data() / "file-link.o02");
  b.open_window();

  EXPECT_EQ(b.shown_sub_folders(), (QStringList{QStringLiteral("旧井"), QStringLiteral("链接")}));
  EXPECT_EQ(b.shown_files(), (QStringList{QStringLiteral("file-link.o02"), QStringLiteral("w1.o01")}));

  // Into the GBK folder: its test is listed and opens.
  const int row = b.w->Dir1->currentRow() + 1;
  QListWidgetItem* it = b.w->Dir1->item(row);
  b.w->Dir1->scrollToItem(it);
  const QPoint at = b.w->Dir1->visualItemRect(it).center();
  QTest::mouseClick(b.w->Dir1->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(b.w->Dir1->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(b.w->Dir1->currentItem()->text().trimmed(), QStringLiteral("旧井"));
  ASSERT_EQ(b.shown_files(), QStringList{QStringLiteral("w2.o01")});
  b.click_file(b.w->File1->item(0));
  EXPECT_TRUE(b.fakes.messages.shown.empty());
  EXPECT_EQ(b.w->st.Text2, path_text(gbk_folder / "w2.o01"));
}

}  // namespace
}  // namespace wb
