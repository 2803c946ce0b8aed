/* Tells whether this machine can run 32-bit x86 code inside a 64-bit process,
   which is what the 32-bit-capable Wine needs: the kernel's 32-bit user code
   segment and its int 0x80 entry (Wine sets a 32-bit thread's %fs with it).
   Some virtual machines (for example page-table-virtualised guests) and kernels
   booted with ia32_emulation=false run 64-bit user code only.

       cpu32-probe      exit 0: it can; exit 1: it cannot (says which part failed)

   Each attempt runs in a child, since a refused one ends in SIGSEGV. */
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#define LOW_PAGE 0x10000000UL /* code and stack the 32-bit mode can address */

static int int80_getpid(void)
{
    long r;
    __asm__ volatile("int $0x80" : "=a"(r) : "a"(20L) : "memory"); /* i386 getpid */
    return r == (long)getpid() ? 0 : 1;
}

static int code_segment_32(void)
{
    unsigned char *p = mmap((void *)LOW_PAGE, 8192, PROT_READ | PROT_WRITE | PROT_EXEC,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (p == MAP_FAILED) return 1;
    /* 32-bit: mov $42,%eax; lret (to the 64-bit stub below, segment 0x33) */
    static const unsigned char code32[] = {0xb8, 42, 0, 0, 0, 0xcb};
    /* 64-bit: jmp *%r13 (back into this function) */
    static const unsigned char back64[] = {0x41, 0xff, 0xe5};
    memcpy(p, code32, sizeof code32);
    memcpy(p + 16, back64, sizeof back64);
    unsigned *stack = (unsigned *)(p + 4096);
    stack[0] = (unsigned)(LOW_PAGE + 16);
    stack[1] = 0x33;
    long r;
    __asm__ volatile("movq %%rsp, %%r12\n\t"
                     "leaq 1f(%%rip), %%r13\n\t"
                     "movq %1, %%rsp\n\t"
                     "pushq $0x23\n\t"
                     "pushq %2\n\t"
                     "lretq\n"
                     "1:\n\t"
                     "movq %%r12, %%rsp"
                     : "=a"(r)
                     : "r"(stack), "r"((long)LOW_PAGE)
                     : "r12", "r13", "memory");
    return r == 42 ? 0 : 1;
}

static int survives(int (*attempt)(void))
{
    pid_t pid = fork();
    if (pid < 0) return 0;
    if (pid == 0) _exit(attempt());
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return 0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int main(void)
{
    static const struct {
        const char *what;
        int (*attempt)(void);
    } parts[] = {
        {"the 32-bit user code segment", code_segment_32},
        {"the int 0x80 system call entry", int80_getpid},
    };
    int ok = 1;
    for (size_t i = 0; i < sizeof parts / sizeof parts[0]; ++i) {
        if (!survives(parts[i].attempt)) {
            printf("%s is refused\n", parts[i].what);
            ok = 0;
        }
    }
    return ok ? 0 : 1;
}
