#include "semivariogram/read_title.h"

namespace mornax {

void read_title(const RunEnv&, int, std::string&, std::int32_t&) {}  // TODO(foundation)

}  // namespace mornax
