// A word filter that faults as foreign code may: on the word NULLWRITE it
// writes through a null pointer, on WILDREAD it reads address space that was
// never committed, on DIVZERO it divides by zero, on OVERFLOW it recurses
// until the stack runs out. Every other word gets a '#' for its first
// letter, so that a test sees the filter ran.
#include <windows.h>

#include <cstring>

#include "filter_entry.h"

namespace {

char* volatile nullTarget = nullptr;
volatile int dividend = 7;  // not 1: the compiler turns 1 / x into compares
volatile int zero = 0;
volatile unsigned long recursionLimit = 0xFFFFFFFFul;

// Address space reserved once and never committed: every read of it faults.
// (Memory released after use would not do: another thread may be given the
// same addresses before the read.)
const volatile char* UncommittedMemory() {
  static void* const block = VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS);
  return static_cast<const volatile char*>(block);
}

// Each frame holds a page that is written and read after the call, so that
// neither the frame nor the recursion can be optimised away.
unsigned long Recurse(unsigned long depth) {
  volatile char page[4096];
  page[0] = static_cast<char>(depth);
  if (depth >= recursionLimit) return depth;
  return Recurse(depth + 1) + static_cast<unsigned char>(page[0]);
}

}  // namespace

// What a faulting branch computes is stored in the word, so that the
// compiler keeps the fault.
VEXA_FILTER_ENTRY ProcessWord(char* word) {
  if (std::strcmp(word, "NULLWRITE") == 0) {
    *nullTarget = 'x';
  } else if (std::strcmp(word, "WILDREAD") == 0) {
    word[1] = UncommittedMemory()[100];
  } else if (std::strcmp(word, "DIVZERO") == 0) {
    word[1] = static_cast<char>('A' + dividend / zero);
  } else if (std::strcmp(word, "OVERFLOW") == 0) {
    word[1] = static_cast<char>(Recurse(0));
  } else {
    word[0] = '#';
  }
}
