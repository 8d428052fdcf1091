// Helpers shared by the main window's library, reader, grid and toolbar files.
#pragma once

#include <filesystem>
#include <string_view>

#include "core/workbench/main_picture.h"
#include "core/workbench/record_readers.h"
#include "core/workbench/test_libraries.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {

// The drawings of the screen readers and of the view cycle, on the window's Picture1.
ReaderCharts reader_charts(RodEngMapDisplay& w);
ViewDrawers view_drawers(RodEngMapDisplay& w);

// Tells the user why a library operation did nothing (a message box through services()).
void show_library_failure(LibOperation op, LibStatus status, const std::filesystem::path& path,
                          std::string_view well = {});
// The same for a record that could not be read: the kind, the file and why (a missing or
// empty file, a wrong length, a row beyond the records).
void show_read_failure(LibraryKind kind, ReadStatus status, const std::filesystem::path& path, RecordSource source);
// The message of a record refused by its check, or of one opened with doubts.
void show_record_findings(const TestState& st, ReadStatus status, LibraryKind kind, const RecordFindings& f,
                          const std::filesystem::path& path);

// Opens one stored test (file or library row) into the window and shows it.
void open_stored(RodEngMapDisplay& w, LibraryKind kind, const std::filesystem::path& path, long long rec,
                 RecordSource source);

}  // namespace wb
