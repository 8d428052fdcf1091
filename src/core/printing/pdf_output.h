// The PDF file a print writes: the PDF writer fills a temporary file beside the name the user
// chose, and only a whole file is renamed onto that name. The writer keeps its own write
// errors to itself (a full disk leaves a file cut short and nothing said), so the file is
// checked by its structure when the writer has closed it: a PDF ends with "startxref",
// the offset of its cross-reference table as the writer counted it, and "%%EOF"; a file
// that lost bytes anywhere before the table does not have "xref" at that offset.
#pragma once

#include <filesystem>
#include <string>

namespace wb {

class PdfOutput {
 public:
  PdfOutput() = default;
  PdfOutput(const PdfOutput&) = delete;
  PdfOutput& operator=(const PdfOutput&) = delete;
  ~PdfOutput();  // removes a temporary file not committed

  // Creates the temporary file beside `target` (a new name, never through a link); false,
  // with cause(), when the folder does not let it be made.
  bool begin(const std::filesystem::path& target);
  // Where the writer writes; empty before begin().
  const std::filesystem::path& temp() const { return temp_; }
  const std::filesystem::path& target() const { return target_; }

  // The writer has closed the temporary file: checks it is whole, syncs it and renames it
  // onto the target. False, with cause(), when it is not whole or cannot be synced or
  // renamed; the temporary file is removed and the target left as it was.
  bool commit();
  // Removes the temporary file (nothing was printed into it).
  void discard();
  const std::string& cause() const { return cause_; }

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::string cause_;
};

// Whether `path` holds a whole PDF by its structure (see the top of this file).
bool pdf_file_whole(const std::filesystem::path& path);

// Why a file could not be written, in the user's words: an errno value.
std::string file_write_cause(int err);

// The message of a PDF that could not be written: its path and the cause.
std::string pdf_not_written_text(const std::string& path, const std::string& cause);

}  // namespace wb
