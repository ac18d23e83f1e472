# Two pixels of a drawing past 80 bits at a time on the x87 stack: while one
# pixel's difference waits for the latency of an addition or a
# multiplication, the other's computes.
#
# void quillmere_perturbazione_x87(CCorsia *a, CCorsia *b, int64_t coppie)
# CCorsia (engine/Perturbazione.cpp): the difference dr at 0 and di at 16,
# what every step adds ar at 32 and ai at 48 (80-bit values), the steps of the
# pixel's reference orbit at 64 (32 bytes each: twice the orbit's value as two
# pairs of doubles, re at 0 and 8, im at 16 and 24), the orbit's two-step
# sizes at 72 (floats), the step the pixel is at, i, at 80.
#
# At most coppie times, as long as both pixels' differences, measured by
# |dr| + |di|, are below the two-step size of their step, each pixel takes two steps exactly as the
# loop of one pixel takes them (Avanza in Perturbazione.cpp):
#   Ar = (2Zr hi + 2Zr lo) + dr;  Ai = (2Zi hi + 2Zi lo) + di
#   dr' = (Ar*dr - Ai*di) + ar;   di' = (Ar*di + Ai*dr) + ai;  i += 1
# Below the two-step size neither step can escape or rebase, so that the
# loop of one pixel would take the very same steps. The caller tells the
# steps taken from i.
#
# Registers: %r8 and %r9 are the pixels' steps i, %r10 and %rbx their
# orbits' steps, %r11 and %r12 their two-step sizes, %rdx the pairs left,
# %ecx the two steps of a pair. The x87 stack holds, between steps:
# dr(a) di(a) dr(b) di(b).

        .set    DR, 0
        .set    DI, 16
        .set    AR, 32
        .set    AI, 48
        .set    PASSI, 64
        .set    SOGLIE2, 72
        .set    INDICE, 80

# Leaves the pair when the pixel whose dr is at st(b) may not take two
# steps blindly: |dr| + |di| not below its size at step i. b2 is b + 2.
.macro  PROVA b, b2, soglie, i
        fld     %st(\b)
        fabs
        fld     %st(\b2)
        fabs
        faddp   %st, %st(1)
        flds    (\soglie,\i,4)
        fcomip  %st(1), %st
        fstp    %st(0)
        jbe     .Lfine
.endm

# One step of the pixel whose dr is at st(b), di at st(b+1); bN is b + N
# (the assembler takes no sums in register names).
.macro  PASSO b1, b3, b4, b5, corsia, passi, i
        movq    \i, %rax
        shlq    $5, %rax
        fldl    0(\passi,%rax)
        faddl   8(\passi,%rax)
        fadd    %st(\b1), %st          # Ar
        fldl    16(\passi,%rax)
        faddl   24(\passi,%rax)
        fadd    %st(\b3), %st          # Ai Ar
        fld     %st(1)
        fmul    %st(\b3), %st          # Ar*dr Ai Ar
        fld     %st(1)
        fmul    %st(\b5), %st          # Ai*di Ar*dr Ai Ar
        fsubrp  %st, %st(1)             # Ar*dr-Ai*di Ai Ar
        fldt    AR(\corsia)
        faddp   %st, %st(1)             # dr' Ai Ar
        fxch    %st(2)                  # Ar Ai dr'
        fmul    %st(\b4), %st          # Ar*di Ai dr'
        fxch    %st(1)                  # Ai Ar*di dr'
        fmul    %st(\b3), %st          # Ai*dr Ar*di dr'
        faddp   %st, %st(1)             # Ar*di+Ai*dr dr'
        fldt    AI(\corsia)
        faddp   %st, %st(1)             # di' dr'
        fstp    %st(\b3)               # dr'
        fstp    %st(\b1)
        incq    \i
.endm

        .text
        .globl  quillmere_perturbazione_x87
        .type   quillmere_perturbazione_x87, @function
quillmere_perturbazione_x87:
        .cfi_startproc
        pushq   %rbx
        .cfi_adjust_cfa_offset 8
        .cfi_offset %rbx, -16
        pushq   %r12
        .cfi_adjust_cfa_offset 8
        .cfi_offset %r12, -24
        movq    INDICE(%rdi), %r8
        movq    INDICE(%rsi), %r9
        movq    PASSI(%rdi), %r10
        movq    SOGLIE2(%rdi), %r11
        movq    PASSI(%rsi), %rbx
        movq    SOGLIE2(%rsi), %r12
        fldt    DI(%rsi)
        fldt    DR(%rsi)
        fldt    DI(%rdi)
        fldt    DR(%rdi)                # dr(a) di(a) dr(b) di(b)
        testq   %rdx, %rdx
        jle     .Lfine
.Lcoppia:
        PROVA   0, 2, %r11, %r8
        PROVA   2, 4, %r12, %r9
        movl    $2, %ecx
.Lpasso:
        PASSO   1, 3, 4, 5, %rdi, %r10, %r8
        PASSO   3, 5, 6, 7, %rsi, %rbx, %r9
        decl    %ecx
        jnz     .Lpasso
        decq    %rdx
        jg      .Lcoppia
.Lfine:
        movq    %r8, INDICE(%rdi)
        movq    %r9, INDICE(%rsi)
        fstpt   DR(%rdi)
        fstpt   DI(%rdi)
        fstpt   DR(%rsi)
        fstpt   DI(%rsi)
        popq    %r12
        .cfi_adjust_cfa_offset -8
        popq    %rbx
        .cfi_adjust_cfa_offset -8
        ret
        .cfi_endproc
        .size   quillmere_perturbazione_x87, .-quillmere_perturbazione_x87

        .section .note.GNU-stack,"",@progbits
