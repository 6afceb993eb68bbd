// Whether this machine lets a 64-bit Linux program run 32-bit code, which
// the 32-bit Wine environment (WoW64) needs for every 32-bit Windows
// program: it far-returns to the 32-bit user code selector 0x23 into a page
// below 4 GiB that holds one undefined instruction (ud2).
//   - an instruction faults (SIGILL) with CS 0x23: the machine has the
//     segment; prints "yes" and exits 0;
//   - the far return itself faults (SIGSEGV, general protection, trap 13):
//     the machine gives programs no such segment; prints "no" with the
//     fault and exits 1;
//   - anything else: prints what happened and exits 2 (the probe is broken).
// Both handlers run on a stack of their own and end the process, so nothing
// ever returns to, or pushes onto, the 32-bit side.
#define _GNU_SOURCE
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

enum { kSegment = 0, kNoSegment = 1, kBroken = 2 };
enum { kUserCode32 = 0x23, kGeneralProtection = 13 };

// far_return(target): pushes the selector and target, then lretq.
void far_return(uintptr_t target) __attribute__((noreturn));
extern const char far_return_instruction[];
__asm__(".text\n"
        ".globl far_return\n"
        ".type far_return, @function\n"
        "far_return:\n"
        "  pushq $0x23\n"
        "  pushq %rdi\n"
        ".globl far_return_instruction\n"
        "far_return_instruction:\n"
        "  lretq\n");

// Prints one line and ends the process with `status`.
static void report(int status, const char* format, unsigned long a, unsigned long b) {
  char line[160];
  const int length = snprintf(line, sizeof line, format, a, b);
  if (length > 0) {
    const size_t size = (size_t)length < sizeof line ? (size_t)length : sizeof line - 1;
    (void)!write(STDOUT_FILENO, line, size);
  }
  _exit(status);
}

static void on_fault(int signal, siginfo_t* info, void* context) {
  (void)info;
  const greg_t* regs = ((const ucontext_t*)context)->uc_mcontext.gregs;
  const unsigned long ip = (unsigned long)regs[REG_RIP];
  const unsigned long cs = (unsigned long)regs[REG_CSGSFS] & 0xffff;
  if (signal == SIGILL && cs == kUserCode32) {
    report(kSegment, "yes (32-bit code ran at 0x%lx with CS 0x%lx)\n", ip, cs);
  }
  if (signal == SIGSEGV && ip == (uintptr_t)far_return_instruction &&
      regs[REG_TRAPNO] == kGeneralProtection) {
    report(kNoSegment,
           "no (general-protection fault at the far return to 0x%lx, error code 0x%lx)\n",
           (unsigned long)kUserCode32, (unsigned long)regs[REG_ERR]);
  }
  report(kBroken, "unexpected fault at 0x%lx (signal %lu)\n", ip, (unsigned long)signal);
}

int main(void) {
  static char handler_stack[64 * 1024];
  const stack_t stack = {.ss_sp = handler_stack, .ss_size = sizeof handler_stack};
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_sigaction = on_fault;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  if (sigaltstack(&stack, NULL) != 0 || sigaction(SIGILL, &action, NULL) != 0 ||
      sigaction(SIGSEGV, &action, NULL) != 0) {
    perror("code_segment_probe: signal handlers");
    return kBroken;
  }
  unsigned char* page = mmap(NULL, 4096, PROT_READ | PROT_WRITE | PROT_EXEC,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (page == MAP_FAILED) {
    perror("code_segment_probe: a page below 4 GiB");
    return kBroken;
  }
  page[0] = 0x0f;  // ud2
  page[1] = 0x0b;
  far_return((uintptr_t)page);
}
