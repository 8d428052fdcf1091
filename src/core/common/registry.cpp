#include "core/common/registry.h"

namespace wb {
namespace {
std::function<std::optional<std::string>()>& printer_source() {
  static std::function<std::optional<std::string>()> src;
  return src;
}
constexpr RegKey kPrinterKeyHandle = 0x1001u;
}  // namespace

void set_default_printer_source(std::function<std::optional<std::string>()> source) {
  printer_source() = std::move(source);
}

std::string Get_Reg_Value(RegKey key, const std::string& value_name) {
  if (key != kPrinterKeyHandle || value_name != "Default") return "";
  auto& src = printer_source();
  if (!src) return "";
  auto name = src();
  if (!name) return "";
  // A REG_SZ value comes without its terminating NUL.
  auto nul = name->find('\0');
  return nul == std::string::npos ? *name : name->substr(0, nul);
}

std::string Get_Reg_String(RegKey root, const std::string& subkey, const std::string& value_name,
                           const std::string& default_text) {
  // Open the key: only the printers key under HKEY_LOCAL_MACHINE exists, and only while
  // the system has a default printer.
  if (root != HKEY_LOCAL_MACHINE || subkey != kPrinterKeyPath) return default_text;
  auto& src = printer_source();
  if (!src || !src()) return default_text;
  return Get_Reg_Value(kPrinterKeyHandle, value_name);
}

}  // namespace wb
