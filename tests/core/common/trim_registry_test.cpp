// Trimming of record text fields, and the registry stand-in with its one key.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/common/registry.h"
#include "core/common/trim.h"

namespace wb {
namespace {

TEST(TrimBlankNul, RemovesBlanksAndNulsAtBothEndsOnly) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"  ab c  ", "ab c"},                                  // the inner blank stays
      {"W1-2" + std::string(12, '\0'), "W1-2"},              // a 16-character field of a 4-character name
      {std::string(16, '\0'), ""},
      {"", ""},
      {"   ", ""},
      {std::string(" \0 x \0", 6), "x"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},      // inner NUL stays
      {"\tW1", "\tW1"},                                      // a tab is no padding
      {"W1\r\n", "W1\r\n"},
      {"\u3000W1", "\u3000W1"},                              // nor the full-width blank
      {"张三李四    ", "张三李四"},
      {std::string(" \0张三\0 ", 10), "张三"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.out);
    EXPECT_EQ(Trim_Blank_Nul(c.in), c.out);
  }
}

TEST(TrimBlanks, LeavesNuls) {
  EXPECT_EQ(trim_blanks(std::string(" \0ab\0 ", 6)), std::string("\0ab\0", 4));
  EXPECT_EQ(trim_blanks("  井 号  "), "井 号");
  EXPECT_EQ(trim_blanks(""), "");
}

class Registry : public ::testing::Test {
 protected:
  void TearDown() override { set_default_printer_source(nullptr); }
  static std::string printer_box() {
    return Get_Reg_String(HKEY_LOCAL_MACHINE, kPrinterKeyPath, "Default", "NO KEY FOUND");
  }
};

TEST_F(Registry, DefaultPrinterAnswersThePrinterKey) {
  set_default_printer_source([] { return std::optional<std::string>("HP LaserJet 1020"); });
  EXPECT_EQ(printer_box(), "HP LaserJet 1020");
}

TEST_F(Registry, MissingKeyGivesTheDefaultText) {
  EXPECT_EQ(printer_box(), "NO KEY FOUND");  // no source at all
  set_default_printer_source([] { return std::optional<std::string>(); });
  EXPECT_EQ(printer_box(), "NO KEY FOUND");  // no default printer
  set_default_printer_source([] { return std::optional<std::string>("P1"); });
  EXPECT_EQ(Get_Reg_String(HKEY_LOCAL_MACHINE, "Software\\Other", "Default", "dflt"), "dflt");
  EXPECT_EQ(Get_Reg_String(0x80000001u, kPrinterKeyPath, "Default", "dflt"), "dflt");
}

TEST_F(Registry, ExistingKeyWithoutTheValueGivesEmptyText) {
  set_default_printer_source([] { return std::optional<std::string>("P1"); });
  EXPECT_EQ(Get_Reg_String(HKEY_LOCAL_MACHINE, kPrinterKeyPath, "Other", "NO KEY FOUND"), "");
  EXPECT_EQ(Get_Reg_Value(HKEY_LOCAL_MACHINE, "Default"), "");  // the root has no such value
}

TEST_F(Registry, TextValueEndsAtItsNul) {
  set_default_printer_source([] { return std::optional<std::string>(std::string("PDF\0junk", 8)); });
  EXPECT_EQ(printer_box(), "PDF");
}

}  // namespace
}  // namespace wb
