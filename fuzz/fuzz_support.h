// Helpers shared by the libFuzzer targets: a private scratch folder, files written from the
// fuzzer's bytes, chart callbacks that draw on a recording canvas, and a check that aborts
// (so libFuzzer saves the input) when a promise of the code under test is broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/common/bytes.h"
#include "core/common/canvas.h"
#include "core/common/paths.h"
#include "core/workbench/joint_pipeline.h"
#include "core/workbench/record_readers.h"

namespace wbfuzz {

// A folder of this process, emptied by fresh_program_folder() and removed at exit. Under
// $TMPDIR (scripts/fuzz.sh points it at /dev/shm when it can).
const std::filesystem::path& scratch();
// An empty program folder (data, sys, image, report) inside the scratch folder.
wb::ProgramFolder fresh_program_folder();

void write_bytes(const std::filesystem::path& p, const std::uint8_t* data, std::size_t size);
wb::Bytes read_bytes(const std::filesystem::path& p);  // empty when missing

// Chart callbacks that draw the real charts on `pic`.
wb::ReaderCharts reader_charts(wb::Canvas& pic);
wb::JointCharts joint_charts(wb::Canvas& pic);

// A canvas that draws nowhere but runs every drawing routine's arithmetic.
class NullCanvas : public wb::Canvas {
 public:
  double area_width_mm() const override { return 240.0; }
  double area_height_mm() const override { return 180.0; }

 protected:
  void dev_clear(wb::Rgb) override {}
  void dev_line(double, double, double, double, const wb::Pen&) override {}
  void dev_rect(double, double, double, double, const wb::Pen&, std::optional<wb::Rgb>) override {}
  void dev_point(double, double, const wb::Pen&) override {}
  void dev_ellipse(double, double, double, double, const wb::Pen&, std::optional<wb::Rgb>) override {}
  void dev_text(double, double, std::string_view, const wb::Font&, wb::Rgb) override {}
  double dev_text_width(std::string_view text, const wb::Font& f) const override {
    return static_cast<double>(text.size()) * f.size * 0.18;
  }
  double dev_text_height(const wb::Font& f) const override { return f.size * 0.35; }
};

[[noreturn]] void fail(const char* what, const char* file, int line);

}  // namespace wbfuzz

#define FUZZ_CHECK(cond)                                  \
  do {                                                    \
    if (!(cond)) ::wbfuzz::fail(#cond, __FILE__, __LINE__); \
  } while (0)
