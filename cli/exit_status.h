// The batch tool's exit statuses.
#pragma once

namespace mornax::batch {

constexpr int kExitSuccess = 0;       // done; a run showed no message box
constexpr int kExitMessageShown = 1;  // a run showed at least one message box or was stopped
constexpr int kExitUsage = 2;         // bad usage, refused value or unusable document

}  // namespace mornax::batch
