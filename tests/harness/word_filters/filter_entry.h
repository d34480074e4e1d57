// How a word filter declares its entry, as any plug-in for the module must:
// C linkage, exported under the plain name ProcessWord, and on Windows the
// stdcall convention (on 32-bit Windows the callee removes its argument;
// the filter libraries are linked with --kill-at so that the name carries
// no @4). Elsewhere there is one convention. VEXA_FILTER_CALL alone is for
// filters that are plain functions of a test program.
#pragma once

#if defined(_WIN32)
#define VEXA_FILTER_CALL __stdcall
#define VEXA_FILTER_ENTRY extern "C" __declspec(dllexport) void VEXA_FILTER_CALL
#else
#define VEXA_FILTER_CALL
#define VEXA_FILTER_ENTRY extern "C" __attribute__((visibility("default"))) void
#endif
