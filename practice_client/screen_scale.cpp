#include "practice_client/screen_scale.h"

#include "services/scale.h"

namespace practice {
namespace {

// Floor division, also for negative numerators (points left of or above the window).
long long FloorDiv(long long numerator, long long denominator) {
  const long long quotient = numerator / denominator;
  return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1
                                                                                : quotient;
}

}  // namespace

int ScreenScale::ToPhysical(int logical) const {
  // Rounded as Windows and the tool round (halves away from zero).
  return dpi <= 0 ? logical : pelloram::Scaled(logical, dpi, kLogicalDpi);
}

int ScreenScale::ToLogical(int physical) const {
  if (dpi == kLogicalDpi || dpi <= 0) return physical;
  // The exact quotient is within one of the answer; rounding picks the neighbour.
  auto logical = static_cast<int>(FloorDiv(static_cast<long long>(physical) * kLogicalDpi, dpi));
  while (ToPhysical(logical + 1) <= physical) ++logical;
  while (ToPhysical(logical) > physical) --logical;
  return logical;
}

Pt ScreenScale::ToPhysical(Pt logical) const {
  return {ToPhysical(logical.x), ToPhysical(logical.y)};
}

Pt ScreenScale::ToLogical(Pt physical) const {
  return {ToLogical(physical.x), ToLogical(physical.y)};
}

Rect ScreenScale::ToPhysical(const Rect& logical) const {
  return {ToPhysical(logical.left), ToPhysical(logical.top), ToPhysical(logical.right),
          ToPhysical(logical.bottom)};
}

}  // namespace practice
