// A raw level file whose header the instrument would not have written: the findings are
// named on opening, and a level depth beyond any well is not taken over.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "core/common/bytes.h"
#include "core/level/level_file.h"
#include "core/level/level_open.h"
#include "core/level/synthetic_level.h"
#include "../diagnosis/diagnosis_test_util.h"

namespace wb {
namespace {

Bytes with_header(Bytes b, std::size_t off, const Bytes& field) {
  std::copy(field.begin(), field.end(), b.begin() + static_cast<std::ptrdiff_t>(off));
  return b;
}
Bytes f32_bytes(float v) {
  Bytes b(4);
  std::memcpy(b.data(), &v, 4);
  return b;
}
Bytes i16_bytes(std::int16_t v) { return {static_cast<std::uint8_t>(v & 0xff), static_cast<std::uint8_t>((v >> 8) & 0xff)}; }

TEST(LevelFileDoubts, HeaderFieldsBeyondReasonAreNamed) {
  const Bytes sound = make_synthetic_level_test(SyntheticLevelParams{});
  ASSERT_TRUE(level_file_doubts(sound).empty());
  struct Case {
    const char* what;
    Bytes file;
    const char* named;
  } cases[] = {
      {"count -5", with_header(sound, 28, i16_bytes(-5)), "采样点数为 -5"},
      {"count beyond the file", with_header(sound, 28, i16_bytes(5001)), "文件不完整"},
      {"speed NaN", with_header(sound, 36, f32_bytes(std::numeric_limits<float>::quiet_NaN())), "声速"},
      {"depth 4.1e8", with_header(sound, 40, f32_bytes(4.1e8f)), "液面深度"},
      {"depth -3", with_header(sound, 40, f32_bytes(-3.0f)), "液面深度"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto d = level_file_doubts(c.file);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NE(d[0].find(c.named), std::string::npos) << d[0];
  }
  // A depth the file gives within reason is taken over; one beyond it reads 0.
  LevelTest t;
  ASSERT_TRUE(load_level_data(with_header(sound, 40, f32_bytes(812.5f)), t));
  EXPECT_EQ(t.level_depth, 812.5f);
  ASSERT_TRUE(load_level_data(with_header(sound, 40, f32_bytes(2.0e16f)), t));
  EXPECT_EQ(t.level_depth, 0.0f);
}

// Random bytes as bad.y01 (fixed seed): opening names what is wrong in one message and
// leaves no non-finite depth or speed in the test.
TEST(LevelFileDoubts, RandomFileIsNamedOnOpening) {
  diag_test::TempProgram tmp;
  std::mt19937 gen(1);
  for (int run = 0; run < 5; ++run) {
    SCOPED_TRACE(run);
    Bytes b(1024 + 4000);
    for (auto& x : b) x = static_cast<std::uint8_t>(gen());
    const auto path = tmp.prog.data() / "bad.y01";
    diag_test::put_bytes(path, b);
    LevelTest t;
    diag_test::FakeMessages msg;
    ASSERT_TRUE(open_raw_level_file(t, path, tmp.prog, msg));
    ASSERT_FALSE(msg.titles.empty());
    EXPECT_EQ(msg.titles[0], kLevelDoubtsTitle);
    EXPECT_NE(msg.texts[0].find("bad.y01"), std::string::npos);
    EXPECT_TRUE(std::isfinite(t.level_depth));
    EXPECT_LE(std::fabs(t.level_depth), 10000.0f);
    EXPECT_TRUE(std::isfinite(t.sound_speed));
  }
}

}  // namespace
}  // namespace wb
