// Paints where each parameter field stands against the controller: a field the controller
// does not hold is bold on a tinted background with a marker, a value outside its usual
// range gets a warning tint, every field's tooltip says both, and the Parameters frame's
// line says the whole. Follows the fields' own changes and the record of controller values;
// nothing is done per monitor reply.
#pragma once

namespace kervano {

// The marker after a value the controller does not hold; read by screen readers too.
constexpr const char* kUnsentMarker = " *";
constexpr const char* kOutsideRangeMarker = " !";

// Once the panel is loaded: connects the fields and the record, and paints once.
void InstallParameterMarks();

}  // namespace kervano
