// The file name a print to PDF proposes: "<well>_<report>.pdf" in the report folder, made
// unique there so that an earlier print is not overwritten.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

// "<well>_<report>.pdf" (just "<report>.pdf" without a well), with " (2)", " (3)" … before the
// suffix while a file of that name is in `folder`. Characters a file name cannot hold become
// "_". A well too long for a 255-byte file name is shortened (whole characters). UTF-8,
// without the folder.
std::string proposed_pdf_name(const std::filesystem::path& folder, std::string_view well, std::string_view report);

// The name a print job is listed by in the printing system's queue: the PDF name's stem,
// "<well>_<report>" (just the report without a well), as given.
std::string print_job_name(std::string_view well, std::string_view report);

// The well of a printout of several library rows, for its name: the one well (blanks trimmed)
// when every row is of it; empty when the rows hold several wells or none.
std::string one_well_of(const std::vector<std::string>& wells);

}  // namespace wb
