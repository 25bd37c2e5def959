#pragma once
// Counts the blocks that operator new has handed out and operator delete has not yet taken back,
// across the whole feed test program, so tests can check that every record is freed exactly once.

namespace allocation {

long liveBlocks();

}  // namespace allocation
