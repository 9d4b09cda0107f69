#pragma once
// What the status bar says after an export: which exports were written and
// into which folder, so the user can find them (Windows-1252 text, the
// names put in from the system's).

#include <string>
#include <vector>

#include "app/app_settings.h"

namespace kova {

// After "Export" of a record file: "Exports of T1.test written to Xml, pdf,
// Excel in C:\Tests" (the subfolders the settings ask for, beside the
// record); "" when the settings ask for none.
std::string AutoExportsWrittenText(const std::string& record_path, const AppSettings& settings);

// After "Export Test to Text File" or "... to Excel": "2 text file(s)
// written to C:\Out", `what` naming the kind.
std::string ChosenExportsWrittenText(int written, const std::string& what,
                                     const std::string& folder);

// The status text with what damaged records' exports hold: "<text>;
// <each of `damaged`>" ("T1.test: DAMAGED RECORD: the file ends at ...").
std::string WithDamageNotes(const std::string& text, const std::vector<std::string>& damaged);

}  // namespace kova
