// Read-only registry helpers over a small stand-in: this platform has no registry. The
// only key that exists is the default-printer key, answered by the printing system's
// default printer name (set by the platform layer); every other key is missing, so the
// caller's default text applies.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace wb {

using RegKey = std::uint32_t;
inline constexpr RegKey HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr const char* kPrinterKeyPath = "Config\\0001\\System\\CurrentControlSet\\Control\\Print\\Printers";

// Where the stand-in takes the default printer from; returns nullopt when the system has
// none (the key is then missing). Tests and the platform layer set it.
void set_default_printer_source(std::function<std::optional<std::string>()> source);

std::string Get_Reg_String(RegKey root, const std::string& subkey, const std::string& value_name,
                           const std::string& default_text);
std::string Get_Reg_Value(RegKey key, const std::string& value_name);

}  // namespace wb
