// The engine's vector path forced for one scope, so a test can run each form of the loops on
// any machine; the path in use before comes back when the scope ends.
#pragma once

#include <ostream>

#include "engine/vector_path.h"

class VectorPathChoice {
 public:
  explicit VectorPathChoice(VectorPath path) : before_(vectorPath()), taken_(setVectorPath(path)) {}
  ~VectorPathChoice() { setVectorPath(before_); }
  VectorPathChoice(const VectorPathChoice&) = delete;
  VectorPathChoice& operator=(const VectorPathChoice&) = delete;

  // False where the path cannot run (AVX2 on a processor or build without it).
  bool taken() const { return taken_; }

 private:
  VectorPath before_;
  bool taken_;
};

constexpr VectorPath kVectorPaths[] = {VectorPath::kSse2, VectorPath::kAvx2};

inline std::ostream& operator<<(std::ostream& out, VectorPath path) {
  return out << (path == VectorPath::kAvx2 ? "AVX2" : "SSE2");
}
