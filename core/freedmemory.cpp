#include "core/freedmemory.h"

#include <cstdlib>  // tells whether this is the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orv {

void ReuseFreedMemory() {
#if defined(__GLIBC__)
  // Fixed limits also stop the library from moving them as blocks come and go.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
#endif
}

}  // namespace orv
