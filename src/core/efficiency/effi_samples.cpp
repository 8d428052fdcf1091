#include "core/efficiency/effi_samples.h"

#include <fstream>

#include "core/common/gbk.h"

namespace wb {

std::string sample_cyj_mode_catalogue() {
  // Model names: type, largest stroke m, gearbox torque kN·m, suffix.
  static const char* const kText =
      "抽油机型=CYJ5-2.5-18HB\r\n"
      "冲    程=1.5,2.0,2.5\r\n"
      "说明：常规游梁式抽油机\r\n"
      "\r\n"
      "抽油机型=CYJ8-3-37HB\r\n"
      "冲    程=2.1,2.5,3.0\r\n"
      "\r\n"
      "抽油机型=CYJ10-3-53HB\r\n"
      "冲    程=2.1,2.5,3.0\r\n"
      "\r\n"
      "抽油机型=CYJ12-4.2-53HB\r\n"
      "冲    程=3.0,3.6，4.2\r\n"
      "\r\n"
      "抽油机型=CYJ14-4.8-73HB\r\n"
      "冲    程=3.6,4.2,4.8\r\n"
      "\r\n";
  return utf8_to_gbk(kText);
}

bool write_sample_cyj_mode_catalogue(const std::filesystem::path& path) {
  const std::string bytes = sample_cyj_mode_catalogue();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace wb
