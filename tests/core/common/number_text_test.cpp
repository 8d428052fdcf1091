// Number texts and rounding. Expected texts are written by hand: the plain form keeps up to
// 7 significant digits of a float and 15 of a double, drops trailing zeros and switches to
// the exponent form from 10^7 (float) or 10^15 (double) up; the print form puts a blank in
// place of a plus sign and drops the zero before the point.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "core/common/number_text.h"

namespace wb {
namespace {

TEST(NumText, PlainFormOfDoubles) {
  struct Case {
    double v;
    const char* text;
  } cases[] = {
      {0.5, "0.5"},          {12.3, "12.3"},       {7, "7"},
      {-0.25, "-0.25"},      {0, "0"},             {-0.0, "0"},
      {100, "100"},          {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},  // 15 digits, rounded
      {123456789012345.0, "123456789012345"},
      {1e15, "1E+15"},       {-2.5e16, "-2.5E+16"},
      {0.001, "0.001"},      {1234.5678, "1234.5678"},
      {static_cast<double>(0.1f), "0.100000001490116"},  // a float shown with double digits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(num_text(c.v), c.text);
  }
}

TEST(NumText, SinglePrecisionShowsSevenSignificantDigits) {
  struct Case {
    float v;
    const char* text;
  } cases[] = {
      {0.1f, "0.1"},         {12.3f, "12.3"},         {1.0f / 3, "0.3333333"},
      {2.0f / 3, "0.6666667"},  {-0.15f, "-0.15"},     {1234567.0f, "1234567"},
      {123.4567f, "123.4567"},  {12345678.0f, "1.234568E+07"},  {1e7f, "1E+07"},
      {0.0f, "0"},           {3.0e-8f, "3E-08"},      {16777217.0f, "1.677722E+07"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(num_text_f(c.v), c.text);
  }
}

TEST(NumText, PrintForm) {
  struct Case {
    double v;
    const char* text;
  } cases[] = {{0.5, " .5"}, {-0.5, "-.5"}, {12, " 12"}, {-12.25, "-12.25"}, {0, " 0"},
               {0.05, " .05"}, {1.5, " 1.5"}, {-0.0, " 0"}, {1e15, " 1E+15"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(num_print(c.v), c.text);
  }
  EXPECT_EQ(num_print_f(0.1f), " .1");
  EXPECT_EQ(num_print_f(-2.0f / 3), "-.6666667");
}

TEST(NumVal, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double v;
  } cases[] = {
      {"12.5kN", 12.5}, {"", 0},        {"abc", 0},      {"  -3", -3},   {"\t4", 4},
      {".5", 0.5},      {"-.5", -0.5},  {"5.", 5},       {"1e3", 1000},  {"1E-2x", 0.01},
      {"1e", 1},        {"2d2", 200},   {"+7", 7},       {"-", 0},       {".", 0},
      {"1.2.3", 1.2},   {"12,5", 12},   {"1e999", 0},    {"1e-999", 0},  {"0x10", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(num_val(c.text), c.v);
  }
}

// The value a store takes: empty only when the leading number is beyond a double.
TEST(NumValChecked, TellsANumberBeyondADoubleFromZero) {
  struct Case {
    const char* text;
    std::optional<double> v;
  } cases[] = {{"1e400", std::nullopt}, {"-1e400kN", std::nullopt}, {" 2d999", std::nullopt},
               {"1e-999", 0.0},         {"abc", 0.0},              {"", 0.0},
               {"12.5kN", 12.5},        {"1e308", 1e308}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(num_val_checked(c.text), c.v);
  }
}

TEST(NumParse, WholeTextMustBeANumber) {
  struct Case {
    const char* text;
    bool ok;
    double v;
  } cases[] = {
      {"12.5", true, 12.5},  {" 12.5 ", true, 12.5}, {"-.5", true, -0.5}, {"1E3", true, 1000},
      {"1d3", true, 1000},   {"+2", true, 2},         {"1e-999", true, 0},
      {"", false, 0},        {"  ", false, 0},        {"12.5kN", false, 0}, {"1 2", false, 0},
      {"inf", false, 0},     {"nan", false, 0},       {"0x1A", false, 0},   {"1e999", false, 0},
      {"--1", false, 0},     {"+-1", false, 0},       {"1-", false, 0},     {"12,5", false, 0},
      // Exponents beyond any integer type saturate instead of overflowing.
      {"1e99999999999999999999", false, 0},       {"-1e99999999999999999999", false, 0},
      {"1e-99999999999999999999", true, 0},       {"0.001e-9223372036854775808", true, 0},
      {"12e9223372036854775807", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto r = num_parse(c.text);
    ASSERT_EQ(r.has_value(), c.ok);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(*r, c.v);
    }
  }
}

// Selects a locale whose decimal point is a comma: an installed one, or one compiled for
// the test from the system's locale sources (package "locales") into a temporary folder.
bool select_comma_locale() {
  for (const char* l : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
    if (std::setlocale(LC_NUMERIC, l)) return true;
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "wb_test_locales";
  std::string cmd = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' > /dev/null 2>&1";
  std::error_code ec;
  if (!std::filesystem::exists(dir / "de_DE.UTF-8", ec)) {
    std::filesystem::create_directories(dir, ec);
    [[maybe_unused]] int rc = std::system(cmd.c_str());  // warnings give a non-zero code
  }
  setenv("LOCPATH", dir.c_str(), 1);
  bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  unsetenv("LOCPATH");
  return ok;
}

TEST(NumParse, IgnoresTheProcessLocale) {
  // A window toolkit sets the user's locale, and some use a comma as the decimal point.
  std::string old = std::setlocale(LC_NUMERIC, nullptr);
  if (!select_comma_locale()) GTEST_SKIP() << "no comma-decimal locale available";
  EXPECT_DOUBLE_EQ(num_val("12.5"), 12.5);
  EXPECT_EQ(num_parse("12.5"), 12.5);
  EXPECT_EQ(num_parse("12,5"), std::nullopt);
  EXPECT_EQ(num_text(12.5), "12.5");
  EXPECT_EQ(num_print(-0.5), "-.5");
  EXPECT_EQ(num_text_f(1.0f / 3), "0.3333333");
  std::setlocale(LC_NUMERIC, old.c_str());
}

TEST(RoundDec, HalvesGoUpAlsoForNegatives) {
  // Halves exactly representable in binary, so the formula floor(x·10^k + 0.5)/10^k decides.
  struct Case {
    double x;
    int k;
    double r;
  } cases[] = {
      {0.25, 1, 0.3},   {-0.25, 1, -0.2}, {2.5, 0, 3},     {-2.5, 0, -2},   {0.125, 2, 0.13},
      {-0.125, 2, -0.12}, {3.14159, 2, 3.14}, {-3.14159, 3, -3.142}, {1234.5, -1, 1230}, {0, 3, 0},
      {0.375, 2, 0.38}, {-1.5, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + " to " + std::to_string(c.k));
    EXPECT_NEAR(round_dec(c.x, c.k), c.r, 1e-12);
  }
  EXPECT_EQ(num_text_dec(-0.25, 1), "-0.2");
  EXPECT_EQ(num_text_dec(2.0 / 3, 2), "0.67");
}

TEST(RoundEven, TiesGoToTheEvenNeighbour) {
  struct Case {
    double x;
    long long r;
  } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.5001, 3},
               {-0.5, 0}, {12.5, 12}, {37.5, 38}, {1e300, LLONG_MAX}, {-1e300, LLONG_MIN},
               {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(round_even(c.x), c.r);
  }
}

TEST(ToI16, RoundsTiesToEvenAndRefusesWhatDoesNotFit) {
  // A load box of 0.125 kN stored ×100 gives 12, 0.375 gives 38.
  EXPECT_EQ(to_i16(0.125 * 100), 12);
  EXPECT_EQ(to_i16(0.375 * 100), 38);
  EXPECT_EQ(to_i16(32767.4), 32767);
  EXPECT_EQ(to_i16(32767.5), std::nullopt);  // ties to 32768
  EXPECT_EQ(to_i16(-32768.5), -32768);       // ties to the even −32768
  EXPECT_EQ(to_i16(-32769), std::nullopt);
  EXPECT_EQ(to_i16(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(to_i16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

}  // namespace
}  // namespace wb
