#include "assess/profile_rating.h"

#include "base/format.h"

namespace kova {

namespace {

// Currents below an ampere read in mA, as the nameplates give them.
std::string Amps(double a) { return a < 1 ? Format("%g mA", a * 1000) : Format("%g A", a); }

}  // namespace

std::string ProfileRatingLine(const AssessmentProfile& p) {
  const std::string isr = Format("Isr %g A", p.isr);
  if (IsPxClass(p.iec_class)) {
    std::string line = IecClassName(p.iec_class);
    if (p.ek_rated > 0) {
      line += Format(", Ek %g V", p.ek_rated);
    } else {
      line += Format(", Kx %g, Rb %g ohm", p.kx, p.rb);
    }
    line += ", Ie <= " + Amps(p.ie_max);
    if (p.rct_max > 0) line += Format(", Rct <= %g ohm", p.rct_max);
    return line;
  }
  std::string line = Format("%s%g", IecClassName(p.iec_class), p.alf);
  if (p.burden_as_va) {
    const Burden b = RatedBurden(p);
    line += Format(", %g VA, pf %g", p.burden_va, b.power_factor);
  } else {
    line += Format(", %g %c j%g ohm", p.burden_r, p.burden_x < 0 ? '-' : '+',
                   p.burden_x < 0 ? -p.burden_x : p.burden_x);
  }
  return line + ", " + isr;
}

}  // namespace kova
