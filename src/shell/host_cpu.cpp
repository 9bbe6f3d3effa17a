#include "shell/host_cpu.h"

#include <cstring>

#include "shell/fault_guard.h"
#include "shell/host.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define VANTRELL_X86 1
#endif

uint8_t has_mmx = 0;
uint8_t has_fpu = 0;
BlockCopyFn block_copy = block_copy_plain;

namespace {

struct CpuidLeaf1 {
  bool ok = false;
  uint32_t eax = 0, edx = 0;
};

// CPUID function 1 under the fault guard; a processor without CPUID answers "not ok".
CpuidLeaf1 cpuid_leaf1() {
  CpuidLeaf1 r;
#ifdef VANTRELL_X86
  fault_guard_call([&r] {
    unsigned a, b, c, d;
    if (__get_cpuid(1, &a, &b, &c, &d)) r = {true, a, d};
  });
#endif
  return r;
}

constexpr uint32_t kEdxFpu = 1u << 0;
constexpr uint32_t kEdxMmx = 1u << 23;

}  // namespace

uint8_t host_has_mmx() {
  CpuidLeaf1 r = cpuid_leaf1();
  if (!r.ok || !(r.edx & kEdxMmx)) return 0;
#ifdef VANTRELL_X86
  // The feature bit alone is not enough: the system must also let MMX instructions run.
  return fault_guard_call([] { __asm__ volatile("emms"); }) ? 1 : 0;
#else
  return 0;
#endif
}

uint8_t host_has_fpu() {
  CpuidLeaf1 r = cpuid_leaf1();
  return r.ok && (r.edx & kEdxFpu) ? 1 : 0;
}

uint32_t host_cpu_signature() {
  CpuidLeaf1 r = cpuid_leaf1();
  return r.ok ? r.eax & 0x3FFF : 0;
}

const char* host_cpu_report_line(uint32_t signature) {
  const uint32_t family = (signature >> 8) & 15;
  const uint32_t model = (signature >> 4) & 15;
  if (family == 5) {
    switch (model) {
      case 1: return "Standard Pentium Proccessor Found! ( 60 or 66 Mhz ) \n";
      case 2:
        return "Standard Pentium Proccessor Found! ( 70, 90, 100, 120, 133, 150, 166 or 200 Mhz ) "
               "\n";
      case 4: return "MMX Pentium Proccessor Found! ( 70, 90, 100, 120, 133, 166 or 200 Mhz ) \n";
      default: return "Standard Pentium Proccessor Found! \n";
    }
  }
  if (family == 6) {
    if (model == 1) return "Pentium Pro Proccessor Found!\n";
    if (model == 3 || model == 5) return "Pentium II Proccessor Found!\n";
  }
  return nullptr;
}

void host_cpu_report() {
  if (const char* line = host_cpu_report_line(host_cpu_signature())) host().debug_output(line);
}

void block_copy_mmx(void* destination, const void* source, uint32_t count) {
#ifdef VANTRELL_X86
  auto* d = static_cast<uint8_t*>(destination);
  const auto* s = static_cast<const uint8_t*>(source);
  for (uint32_t i = 0; i < count; i += 8) {
    __asm__ volatile("movq (%1), %%mm0\n\tmovq %%mm0, (%0)"
                     :
                     : "r"(d + i), "r"(s + i)
                     : "mm0", "memory");
  }
  __asm__ volatile("emms");
#else
  block_copy_plain(destination, source, count);
#endif
}

void block_copy_fpu(void* destination, const void* source, uint32_t count) {
#ifdef VANTRELL_X86
  // FILD/FISTP of a 64-bit integer is exact for every bit pattern.
  auto* d = static_cast<uint8_t*>(destination);
  const auto* s = static_cast<const uint8_t*>(source);
  for (uint32_t i = 0; i < count; i += 8) {
    __asm__ volatile("fildq (%1)\n\tfistpq (%0)" : : "r"(d + i), "r"(s + i) : "memory");
  }
#else
  block_copy_plain(destination, source, count);
#endif
}

void block_copy_plain(void* destination, const void* source, uint32_t count) {
  std::memcpy(destination, source, count);
}

void host_cpu_choose_copy() {
  has_mmx = host_has_mmx();
  has_fpu = host_has_fpu();
  if (has_mmx) {
    host().debug_output("MMX Technology Detected! Using MMX Copy \n");
    block_copy = block_copy_mmx;
  } else if (has_fpu) {
    host().debug_output("FPU Detected! Using FPU Copy \n");
    block_copy = block_copy_fpu;
  } else {
    host().debug_output("Computer Sucks! Using standard memcopy \n");
    block_copy = block_copy_plain;
  }
  host_cpu_report();
}
