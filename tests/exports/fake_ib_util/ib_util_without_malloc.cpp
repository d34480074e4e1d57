// A library named like the server's utility library that lacks
// ib_util_malloc: the module must bind no allocator when it finds this one.
extern "C" int ib_util_without_malloc_marker() { return 1; }
