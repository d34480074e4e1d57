// What this process holds, as /proc/self tells it.
#pragma once

#include <cstddef>
#include <filesystem>

namespace vexa::test {

// Resident set size in KiB (VmRSS of /proc/self/status).
std::size_t ResidentKilobytes();

// Open file descriptors (entries of /proc/self/fd, less the one that lists them).
std::size_t OpenFileCount();

// True when this program was built with AddressSanitizer, whose quarantine
// holds freed memory and so makes the resident size grow on its own.
constexpr bool kBuiltWithAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

}  // namespace vexa::test
