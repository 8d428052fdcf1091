// How a step of the design window that designs, reads or writes ended. The step itself tells
// the user (a message box) why it stopped, so a caller only decides whether to go on.
#pragma once

namespace wb::design {

enum class [[nodiscard]] DesignOutcome {
  done,     // designed, loaded or written
  nothing,  // nothing to do and nothing wrong: no survey rows to write, no stored design of the keys
  refused,  // an input was refused before anything changed (a blank or unusable well name, a box)
  failed,   // a file could not be read or written; the files are as they were
};

// True when nothing the user asked for was left undone.
inline bool went_through(DesignOutcome o) { return o == DesignOutcome::done || o == DesignOutcome::nothing; }

}  // namespace wb::design
