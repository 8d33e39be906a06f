#include "common/memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>


namespace tsl {

struct LAInfo {
  unsigned char blocks[16][256];
  bool inUse[16];
};

namespace {
// The pool is shared by every run of the process; conversions in several
// threads take turns on it.
std::mutex gPoolMutex;
LAInfo gPool;
bool fUtilInit = false;
std::function<bool(size_t)> gFailureHook;

}  // namespace

void* AllocMem(size_t length) {
  {
    std::lock_guard<std::mutex> lock(gPoolMutex);
    if (gFailureHook && gFailureHook(length)) {
      // fall through to the report below
    } else {
      if (fUtilInit && length <= 255) {
        for (int i = 0; i < 16; ++i) {
          if (!gPool.inUse[i]) {
            gPool.inUse[i] = true;
            std::memset(gPool.blocks[i], 0, length);
            return gPool.blocks[i];
          }
        }
      }
      if (void* p = std::calloc(length ? length : 1, 1)) return p;
    }
  }
  return nullptr;
}

int PoolBlockIndex(const void* p) {
  for (int i = 0; i < 16; ++i)
    if (p == gPool.blocks[i] && gPool.inUse[i]) return i;
  return -1;
}

void FreeMem(void* block) {
  if (!block) return;
  {
    std::lock_guard<std::mutex> lock(gPoolMutex);
    int i = PoolBlockIndex(block);
    if (i >= 0) {
      gPool.inUse[i] = false;
      return;
    }
  }
  std::free(block);
}

char* StrDup(const char* text) {
  size_t n = std::strlen(text) + 1;
  char* p = static_cast<char*>(AllocMem(n));
  if (p) std::memcpy(p, text, n);
  return p;
}

LAInfo* InitPool() {
  std::lock_guard<std::mutex> lock(gPoolMutex);
  if (!fUtilInit) {
    std::memset(&gPool, 0, sizeof gPool);
    fUtilInit = true;
  }
  return &gPool;
}

void TerminatePool() {
  std::lock_guard<std::mutex> lock(gPoolMutex);
  fUtilInit = false;
  std::memset(&gPool, 0, sizeof gPool);
}

void SetAllocFailureHook(std::function<bool(size_t)> hook) {
  std::lock_guard<std::mutex> lock(gPoolMutex);
  gFailureHook = std::move(hook);
}

}  // namespace tsl
