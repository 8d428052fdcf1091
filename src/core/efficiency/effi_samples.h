// The sample pumping-unit catalogue a new program folder gets, so the model lists of the
// efficiency and counterbalance windows are not empty at first start.
#pragma once

#include <filesystem>
#include <string>

namespace wb {

// The catalogue's bytes (GBK, CR LF): five common beam units, each with its stroke series.
std::string sample_cyj_mode_catalogue();
// Writes it; false when the file could not be written.
bool write_sample_cyj_mode_catalogue(const std::filesystem::path& path);

}  // namespace wb
