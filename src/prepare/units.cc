#include "prepare/units.h"

namespace lpgm::prepare {

std::optional<Units> ParseUnits(std::string_view name) {
  if (name == "g") return Units::kG;
  if (name == "m/s2") return Units::kMetresPerSecond2;
  if (name == "cm/s2") return Units::kCentimetresPerSecond2;
  if (name == "gal") return Units::kGal;
  return std::nullopt;
}

std::string_view UnitsName(Units units) {
  switch (units) {
    case Units::kG:
      return "g";
    case Units::kMetresPerSecond2:
      return "m/s2";
    case Units::kCentimetresPerSecond2:
      return "cm/s2";
    case Units::kGal:
      return "gal";
  }
  return "?";
}

double FactorToCentimetres(Units units) {
  switch (units) {
    case Units::kG:
      return 980.665;
    case Units::kMetresPerSecond2:
      return 100.0;
    case Units::kCentimetresPerSecond2:
    case Units::kGal:
      return 1.0;
  }
  return 1.0;
}

}  // namespace lpgm::prepare
