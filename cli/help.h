// The batch tool's texts for the user: the full help and the usage line.
#pragma once

#include <string>

namespace mornax::batch {

// The text of --help: commands, fields with their ranges, exit statuses and
// an example.
std::string HelpText();

// One line naming the commands, for the standard error of a usage fault.
std::string UsageLine();

}  // namespace mornax::batch
