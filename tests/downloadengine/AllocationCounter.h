#pragma once
// A count of the program's live heap blocks (operator new and delete are replaced for the whole test
// program), so that tests can tell that everything a run made was freed.

namespace enginetest {

// Heap blocks allocated through operator new and not yet freed.
long liveAllocations();

}  // namespace enginetest
