#pragma once
// Whole-output comparison with a committed golden file. With
// KOVA_REGENERATE_GOLDEN set the file is written instead (review the
// difference before committing it).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/file_io.h"

namespace kova {

inline void CompareWithGolden(const std::string& got, const std::string& path) {
  if (std::getenv("KOVA_REGENERATE_GOLDEN")) {
    ASSERT_TRUE(WriteFileAtomically(path, got));
    return;
  }
  std::string want;
  ASSERT_TRUE(ReadFileText(path, want)) << path;
  EXPECT_TRUE(got == want) << "output differs from " << path;
}

}  // namespace kova
