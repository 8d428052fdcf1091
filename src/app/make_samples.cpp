// Fills a program folder with the workbench's sample tests, so a new user sees real curves
// at once: wb_make_samples <program folder>.
#include <cstdio>
#include <filesystem>

#include "core/common/paths.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wb_make_samples <program folder>\n");
    return 2;
  }
  wb::ProgramFolder folder{wb::u8path(argv[1])};
  folder.create_folders();
  return 0;
}
