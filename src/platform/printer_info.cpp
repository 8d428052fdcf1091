#include "platform/printer_info.h"

#include <QPrinterInfo>

#include "core/common/registry.h"

namespace wb {

void install_default_printer_source() {
  set_default_printer_source([]() -> std::optional<std::string> {
    QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
  });
}

}  // namespace wb
