#pragma once
// A write past the file-size limit (ulimit -f, a quota set that way) must
// fail like a full disk: the write returns an error, the atomic write keeps
// the old file and removes its temporary, and the user is told which file.
// By default the system kills the program instead (SIGXFSZ), leaving a
// temporary file behind and saying nothing. Call once at the start of main.

namespace kova {

void FailWritesPastTheFileSizeLimit();

}  // namespace kova
