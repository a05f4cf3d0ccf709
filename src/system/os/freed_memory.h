#pragma once
// Memory the program has freed goes back to the system. The allocator keeps
// freed memory for later (each thread's arena its own), so that a large
// analysis on a worker thread would leave the program as big as its busiest
// moment; given back, what follows comes on top of what is really held.
namespace vennik {

void giveBackFreedMemory();

}  // namespace vennik
