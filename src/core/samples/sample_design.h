// The sample design of the sample maker: the diagnosed sample well taken over as the design
// window takes it, designed automatically on its survey and saved in sys/roddesign.dat, so a
// new user finds a design to choose in the design window.
#pragma once

#include <string>

#include "core/common/paths.h"

namespace wb::design {

// Needs sys/bgt.dat with a diagnosis of `well`, its survey data/<well>.jx and the catalogue.
// False when the design could not be made or written.
[[nodiscard]] bool write_sample_design(const ProgramFolder& prog, const std::string& well, const std::string& design_date);

}  // namespace wb::design
