// What the processor offers beyond the instructions a build may assume.
//
// VEXA_X86 is defined on x86 builds, 32- and 64-bit, where the library
// carries code for instructions that not every x86 processor has. Such code
// is compiled only under `#if defined(VEXA_X86)` and run only after the test
// below for its instructions said yes. On other processors every test says no.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#define VEXA_X86 1
#endif

namespace vexa::platform {

// True when the processor runs AVX2 instructions.
inline bool CpuHasAvx2() {
#if defined(VEXA_X86)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

// True when the processor runs PCLMULQDQ, carry-less multiplication.
inline bool CpuHasCarrylessMultiply() {
#if defined(VEXA_X86)
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul");
#else
  return false;
#endif
}

}  // namespace vexa::platform
