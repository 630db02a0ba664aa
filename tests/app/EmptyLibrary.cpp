// A library named like the companion that lacks its function.

extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
