#pragma once
// A CT's identity as JSON (UTF-8): what `kova library history --json` and
// the web pages' JSON start with.

#include "base/json.h"
#include "library/library_model.h"

namespace kova {

JsonValue CtJson(const CtInfo& ct);

}  // namespace kova
