// Core keeps its texts as UTF-8 `std::string`s (GBK is converted at the file boundary);
// widgets take them through these.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace wb {

inline QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline QString qs(const char* s) { return QString::fromUtf8(s); }
inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace wb
