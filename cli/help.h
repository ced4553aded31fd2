// The batch tool's texts for the user: the full help, one command's help and
// the usage line.
#pragma once

#include <string>
#include <string_view>

namespace mornax::batch {

// The text of --help: a first project, every command, the fields with their
// ranges, meanings and units, the models, exit statuses.
std::string HelpText();

// The help of one command (its name as typed: "use-fit"); commands that work
// on fields get the field table and the models too. An unknown name gets the
// full help.
std::string CommandHelp(std::string_view command);

// One line naming the commands, for the standard error of a usage fault.
std::string UsageLine();

}  // namespace mornax::batch
