// Units of acceleration that records come in, and their factor to cm/s2.
#ifndef LPGM_PREPARE_UNITS_H_
#define LPGM_PREPARE_UNITS_H_

#include <optional>
#include <string_view>

namespace lpgm::prepare {

enum class Units { kG, kMetresPerSecond2, kCentimetresPerSecond2, kGal };

// "g", "m/s2", "cm/s2" or "gal" in any case ("G" as PEER writes it);
// nullopt for anything else.
std::optional<Units> ParseUnits(std::string_view name);

// The name as ParseUnits takes it.
std::string_view UnitsName(Units units);

// The factor that turns a value in `units` into cm/s2: g 980.665 (standard
// gravity), m/s2 100, cm/s2 and gal 1.
double FactorToCentimetres(Units units);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_UNITS_H_
