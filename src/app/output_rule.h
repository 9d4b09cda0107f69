#pragma once
// Where a command may write. One rule for every command that writes one
// named file: an existing file is never replaced silently (the user says
// --overwrite, or answers yes), and a file that is also one of the
// command's inputs is never written at all. An export run that writes many
// files gives colliding names distinct ones instead of losing the first.

#include <string>
#include <vector>

namespace kova {

enum class OutputCheck { kFine, kExists, kIsInput };

// What stands in the way of writing `out`; `overwrite` allows replacing a
// file that is not an input.
OutputCheck CheckOutputFile(const std::string& out, const std::vector<std::string>& inputs,
                            bool overwrite);
// The message for a refused output: "\"<file>\" exists; give --overwrite to
// replace it" or "\"<file>\" is also an input; choose another output".
std::string OutputCheckText(OutputCheck check, const std::string& out);

// Hands out the files of one export run: a name already given out in this
// run becomes "r (2).txt", "r (3).txt" ...; a name that is one of the inputs
// is refused (empty result).
class ExportNames {
 public:
  explicit ExportNames(std::vector<std::string> inputs) : inputs_(std::move(inputs)) {}
  std::string Claim(const std::string& wanted);

 private:
  std::vector<std::string> inputs_;
  std::vector<std::string> claimed_;
};

}  // namespace kova
