// The process's choice of vector width.
#include "engine/vector_path.h"

#include <atomic>

namespace {

std::atomic<VectorPath>& chosenPath() {
  static std::atomic<VectorPath> path{avx2Available() ? VectorPath::kAvx2 : VectorPath::kSse2};
  return path;
}

}  // namespace

bool avx2Available() {
#if INKJET_ENGINE_AVX2
  // libgcc's answer also asks the system whether it saves the 256-bit registers.
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
#else
  return false;
#endif
}

VectorPath vectorPath() { return chosenPath().load(std::memory_order_relaxed); }

bool setVectorPath(VectorPath path) {
  if (path == VectorPath::kAvx2 && !avx2Available()) return false;
  chosenPath().store(path, std::memory_order_relaxed);
  return true;
}
