// The program's load-configuration directory. Its one purpose is
// DependentLoadFlags: the loader takes the dependencies of the system DLLs
// the program imports from the system folder only, never from the folder
// the package was started from (a downloads folder may hold planted DLLs).
//
// mingw-w64's winnt.h still names the field Reserved1, so the directory is
// laid out here by hand, in the classic size that ends after the SEH table.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace {

struct LoadConfigDirectory {
  uint32_t Size;
  uint32_t TimeDateStamp;
  uint16_t MajorVersion;
  uint16_t MinorVersion;
  uint32_t GlobalFlagsClear;
  uint32_t GlobalFlagsSet;
  uint32_t CriticalSectionDefaultTimeout;
  uintptr_t DeCommitFreeBlockThreshold;
  uintptr_t DeCommitTotalFreeThreshold;
  uintptr_t LockPrefixTable;
  uintptr_t MaximumAllocationSize;
  uintptr_t VirtualMemoryThreshold;
#ifdef _WIN64
  uintptr_t ProcessAffinityMask;
  uint32_t ProcessHeapFlags;
#else
  uint32_t ProcessHeapFlags;
  uintptr_t ProcessAffinityMask;
#endif
  uint16_t CSDVersion;
  uint16_t DependentLoadFlags;
  uintptr_t EditList;
  uintptr_t SecurityCookie;
  uintptr_t SEHandlerTable;
  uintptr_t SEHandlerCount;
};

#ifdef _WIN64
static_assert(offsetof(LoadConfigDirectory, ProcessHeapFlags) == 72);
static_assert(offsetof(LoadConfigDirectory, DependentLoadFlags) == 78);
static_assert(sizeof(LoadConfigDirectory) == 112);
#else
static_assert(offsetof(LoadConfigDirectory, ProcessHeapFlags) == 44);
static_assert(offsetof(LoadConfigDirectory, DependentLoadFlags) == 54);
static_assert(sizeof(LoadConfigDirectory) == 72);
#endif
static_assert(LOAD_LIBRARY_SEARCH_SYSTEM32 == 0x800);

constexpr LoadConfigDirectory SystemFolderDependencies() {
  LoadConfigDirectory directory{};
  directory.Size = sizeof(LoadConfigDirectory);
  directory.DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32;
  return directory;
}

}  // namespace

// Kept by the link (--require-defined) although nothing refers to it, and
// entered into the header by set_load_config.sh.
extern "C" const LoadConfigDirectory _load_config_used = SystemFolderDependencies();
