#pragma once
// Names of the pass/fail settings' CT type and CT location, as the exports
// word them.

namespace kova {

// "C100", "C200", "C400", "C800"; " " for any other value (no relay class).
const char* CtTypeName(int pfcttype);
// "Circuit Breaker", "Transformer", "Auto-Bank", "Other".
const char* CtLocationName(int pfkneepointlocation);

}  // namespace kova
