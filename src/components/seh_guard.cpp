// The structured exception guard.
//
// i686: the guard pushes a registration record of its own on the thread's handler chain (fs:[0]). Its
// handler unwinds every frame above it with RtlUnwind (their own handlers run their clean-ups) and then
// jumps back into the guard with __builtin_longjmp; the guard takes its record off the chain again.
//
// x86_64: exception handling is table-based, so the guard is a small assembly routine whose unwind data
// names a language handler of ours; that handler has RtlUnwindEx unwind the frames above the guard and
// resume the routine at its exit with the exception code as the result.
//
// Both: a stack overflow uses up the stack's guard page, and the system does not put it back by itself;
// without it the next overflow on this thread ends the thread instead of raising. After a caught overflow
// the guard has the runtime put the guard page back (_resetstkoflw), once the stack is unwound to the guard.
#include "seh_guard.h"

#include <malloc.h>

#include <cstdint>

namespace comp {

namespace {

// Called once the guarded call has ended and the stack is back at the guard's frame.
void AfterGuardedCall(DWORD exceptionCode) {
    if (exceptionCode == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
}

}  // namespace

#if defined(__x86_64__)

extern "C" {
// uint64_t vexlor_seh_call(GuardedProc proc, void* context): 0 when proc returned, else 1 << 32 | code.
uint64_t vexlor_seh_call(GuardedProc proc, void* context);
extern char vexlor_seh_resume[];
EXCEPTION_DISPOSITION vexlor_seh_handler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
                                         DISPATCHER_CONTEXT* dispatch);
}

asm(R"(
    .text
    .p2align 4
    .globl vexlor_seh_call
    .globl vexlor_seh_resume
    .def vexlor_seh_call; .scl 2; .type 32; .endef
    .seh_proc vexlor_seh_call
vexlor_seh_call:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %rcx, %rax
    movq %rdx, %rcx
    call *%rax
    xorl %eax, %eax
vexlor_seh_resume:
    addq $40, %rsp
    ret
    .seh_handler vexlor_seh_handler, @except
    .seh_endproc
)");

extern "C" EXCEPTION_DISPOSITION vexlor_seh_handler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT*,
                                                    DISPATCHER_CONTEXT* dispatch) {
    if (record->ExceptionFlags & EXCEPTION_UNWIND) return ExceptionContinueSearch;
    const uint64_t result = (uint64_t{1} << 32) | record->ExceptionCode;
    RtlUnwindEx(establisherFrame, vexlor_seh_resume, record, reinterpret_cast<void*>(result), dispatch->ContextRecord,
                dispatch->HistoryTable);
    return ExceptionContinueSearch;  // not reached: RtlUnwindEx resumes the guard
}

bool CallGuarded(GuardedProc proc, void* context, DWORD* exceptionCode) noexcept {
    const uint64_t result = vexlor_seh_call(proc, context);
    AfterGuardedCall(static_cast<DWORD>(result));
    if (exceptionCode) *exceptionCode = static_cast<DWORD>(result);
    return result == 0;
}

#elif defined(__i386__)

namespace {

// The guard's record on the handler chain; the chain points at its first field.
struct GuardRecord {
    EXCEPTION_REGISTRATION_RECORD registration;
    void* resume[5];  // __builtin_setjmp's buffer
    DWORD code;
};

EXCEPTION_REGISTRATION_RECORD* ChainHead() {
    EXCEPTION_REGISTRATION_RECORD* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head) { asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }

}  // namespace

// vexlor_unwind_above(frame, record) = RtlUnwind(frame, 0, record, 0): runs the unwind handlers of every
// record above |frame| and leaves |frame| at the head of the chain. A routine of its own that keeps EBX,
// ESI and EDI itself, since RtlUnwind need not keep them.
extern "C" void vexlor_unwind_above(void* frame, EXCEPTION_RECORD* record);
asm(R"(
    .text
    .p2align 4
    .def _vexlor_unwind_above; .scl 2; .type 32; .endef
    .globl _vexlor_unwind_above
_vexlor_unwind_above:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl $0
    pushl 12(%ebp)
    pushl $0
    pushl 8(%ebp)
    call *__imp__RtlUnwind@16
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace {

EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT*,
                                                      void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    GuardRecord* volatile guard = static_cast<GuardRecord*>(establisherFrame);
    guard->code = record->ExceptionCode;
    vexlor_unwind_above(establisherFrame, record);
    __builtin_longjmp(guard->resume, 1);
}

}  // namespace

bool CallGuarded(GuardedProc proc, void* context, DWORD* exceptionCode) noexcept {
    GuardRecord guard{};
    guard.registration.Next = ChainHead();
    guard.registration.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(reinterpret_cast<void*>(&GuardHandler));
    volatile bool returned = false;
    SetChainHead(&guard.registration);
    if (__builtin_setjmp(guard.resume) == 0) {
        proc(context);
        returned = true;
    }
    SetChainHead(guard.registration.Next);
    const DWORD code = returned ? 0 : guard.code;
    AfterGuardedCall(code);
    if (exceptionCode) *exceptionCode = code;
    return returned;
}

#else
#error "The plug-in guard knows the i686 and x86_64 exception models only"
#endif

}  // namespace comp
