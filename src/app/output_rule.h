#pragma once
// Where a command may write. One rule for every command that writes one
// named file: an existing file is never replaced silently (the user says
// --overwrite, or answers yes), and a file that is also one of the
// command's inputs is never written at all. An export run that writes many
// files gives colliding names distinct ones instead of losing the first.

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
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
  explicit ExportNames(std::vector<std::string> inputs);
  std::string Claim(const std::string& wanted);

 private:
  bool IsInput(const std::string& path, const std::string& key) const;

  std::vector<std::string> inputs_;
  std::unordered_set<std::string> input_keys_;
  std::set<std::pair<unsigned long long, unsigned long long>> input_files_;  // device, inode
  std::unordered_set<std::string> claimed_;
  std::unordered_map<std::string, int> next_number_;  // next " (n)" per wanted name
};

// One text per place on disk: the normalised absolute path (without letter
// case on Windows), so two spellings of one file compare equal.
std::string PlaceKey(const std::string& path);

}  // namespace kova
