// The printing system's facts the rest of the program asks for.
#pragma once

namespace wb {
// Lets the registry stand-in answer the default printer from the printing system.
void install_default_printer_source();
}  // namespace wb
