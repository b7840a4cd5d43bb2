// The width of the engine's vector loops. Every loop has a 128-bit form (SSE2, which every build
// and every x86-64 processor has) and, in the native build, a 256-bit form (AVX2) that runs
// where the processor has it. The two give the same bytes: each lane does the same integer and
// float operations in the same order, only more lanes go at once (no fused multiply-add). The
// path is chosen once per process; the tests switch it to hold the two forms against each other.
#pragma once

// Only the native build carries the 256-bit loops. MinGW-w64's GCC assumes a 16-byte aligned
// stack on Windows and does not realign it when a 256-bit value is spilled there, so a spill
// with an aligned store can fault in the 32- and 64-bit modules whatever the processor.
// The loops are compiled for AVX2 with GCC's target pragma, which clang (the fuzzing build)
// does not take: there the 128-bit loops alone are built.
#if defined(__GNUC__) && !defined(__clang__) && (defined(__x86_64__) || defined(__i386__)) && \
    !defined(_WIN32)
#define INKJET_ENGINE_AVX2 1
#else
#define INKJET_ENGINE_AVX2 0
#endif

enum class VectorPath { kSse2, kAvx2 };

// Whether this build has the 256-bit loops and the processor (and its system) runs them.
bool avx2Available();
// The path every later engine call takes: AVX2 where available, unless a test chose otherwise.
VectorPath vectorPath();
// For the tests: false, with nothing changed, when AVX2 is asked for where it is not available.
bool setVectorPath(VectorPath path);
