#pragma once
// The programs handle pictures of several megabytes each (a 1024 x 1024
// chart is a 4 MB bitmap, read, decoded and encoded again several times per
// export). The C library gives blocks that large straight from the system
// and hands them back on free, so every new one is faulted in page by page
// again; on a virtual machine that cost more than the drawing itself.
// Keeping such blocks in the heap lets the next picture reuse warm memory.
// Call once at the start of main; a no-op where the C library is not glibc.

namespace kova {

void KeepLargeBuffersInHeap();

}  // namespace kova
