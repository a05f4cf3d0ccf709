#pragma once
// Memory the program has freed goes back to the system. The allocator keeps
// freed memory for later (each thread's arena its own), so that a large
// analysis on a worker thread would leave the program as big as its busiest
// moment; given back, what follows comes on top of what is really held.
namespace vennik {

void giveBackFreedMemory();

// The opposite, for a program that does the same large work again and
// again (the language server analysing on every keystroke): freed memory is
// kept for the next round rather than given back and taken again, since
// every page touched anew costs. Where the allocator cannot be told, nothing.
void keepFreedMemoryForReuse();

}  // namespace vennik
