// The programs' operator new and delete: the system's memory, with the size
// that failed noted for the message that says so (common/memory.h). Linked
// into the programs themselves, not the libraries, so that tests may put
// an operator new of their own in its place.
#include "common/global_new.h"
#include "common/memory.h"

TSL_GLOBAL_NEW_OVER(tsl::AllocateOrThrow)
