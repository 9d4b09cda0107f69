#include "platform/write_limits.h"

#include <csignal>

namespace kova {

void FailWritesPastTheFileSizeLimit() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace kova
