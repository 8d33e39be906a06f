// Tests make chosen steps of reading or writing a file fail, the way a full
// disk or a failing device would, to check that every writer reports the
// failure and leaves no partial file under its final name, and that a plot
// file that cannot be read to its end is not taken as complete.
#pragma once
#include <functional>
#include <string>

namespace tsl {

enum class FileStep { Create, Write, Sync, Close, Rename, Open, Read };

// The hook sees each step of each file written through AtomicFile (the one
// writer; Sync is its flush to the disk), and the opening and each refill
// of the read buffer of a plot file, with the file's (final) path, and
// returns an errno value to make that step fail (0 lets it go on). A Write
// is one transfer of a stream's buffer to the
// system; those are seen only where the C library lets a stream be built
// over our own functions (glibc), and only for files opened while a hook is
// set. nullptr removes the hook.
using IoFaultHook = std::function<int(FileStep step, const std::string& path)>;
void SetIoFaultHook(IoFaultHook hook);
bool HasIoFaultHook();

// The errno value the hook asks for at this step, 0 without a hook.
int InjectedIoFault(FileStep step, const std::string& path);

}  // namespace tsl
