#include "estimation/search_space.h"

#include <cstddef>

namespace mornax {

SearchSpace::SearchSpace(const DataSet& data, const LinearMap& map) : map_(map), mapped_(data) {
  const auto n = static_cast<std::size_t>(data.count > 0 ? data.count : 0);
  x_.resize(n);
  y_.resize(n);
  for (std::size_t i = 0; i < n; ++i) map_.Apply(data.x[i], data.y[i], x_[i], y_[i]);
  mapped_.x = std::span<double>(x_);
  mapped_.y = std::span<double>(y_);
  if (n > 0) index_.Build(mapped_.x, mapped_.y, data.count);
}

std::shared_ptr<const SearchSpace> MakeSearchSpace(const DataSet& data, const LinearMap& map) {
  if (map.identity) return nullptr;
  return std::make_shared<const SearchSpace>(data, map);
}

}  // namespace mornax
