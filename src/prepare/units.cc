#include "prepare/units.h"

#include <cctype>
#include <string>

namespace lpgm::prepare {

std::optional<Units> ParseUnits(std::string_view name) {
  // As records and their documentation write them: G, GAL, CM/S2.
  std::string lower(name);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "g") return Units::kG;
  if (lower == "m/s2") return Units::kMetresPerSecond2;
  if (lower == "cm/s2") return Units::kCentimetresPerSecond2;
  if (lower == "gal") return Units::kGal;
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
