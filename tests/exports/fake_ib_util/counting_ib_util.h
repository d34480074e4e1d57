// A stand-in for the server's utility library (libib_util.so, ib_util.dll)
// whose ib_util_malloc records every block it hands out. A test that has it
// loaded (by way of the module) reaches the record through the functions
// below, looked up in the library of that name already loaded.
//
// With VEXA_TEST_IB_UTIL_TRACE set in the environment every call is also
// written to stderr as "ib_util_malloc(SIZE)", for tests that watch another
// process.
#pragma once

extern "C" {

// Same form as the server's: a size in bytes, a block of the C library's heap.
void* ib_util_malloc(long size);

// Number of ib_util_malloc calls since the library was loaded.
int counting_ib_util_calls();

// The size asked for the block at `block`, or -1 when it did not come from
// ib_util_malloc.
long counting_ib_util_size_of(const void* block);

}  // extern "C"

// Names to look the functions up by.
inline constexpr const char* kCountingIbUtilCalls = "counting_ib_util_calls";
inline constexpr const char* kCountingIbUtilSizeOf = "counting_ib_util_size_of";
