# A batch of orbits of z <- z^2 + k, two at a time on the x87 stack: while one
# orbit waits for the latency of an addition or a multiplication, the other
# computes. When an orbit ends, the next one of the batch takes its place.
#
# void quillmere_lotto_x87(COrbita *orbite, int32_t quante, int32_t max)
# COrbita (80 bytes): the starting value in as two doubles each, whose sum is
# exact: zr at 0 and 8, zi at 16 and 24; the final value out as 80-bit values
# in the same places, zr at 0 and zi at 16; the constant as two doubles each:
# kr at 32 and 40, ki at 48 and 56; n at 64 (the steps, out). max >= 1.
# An 80-bit load from memory is microcoded and slow; a double load and a
# double addition are not, and give the same 80-bit value. (Batches whose
# constants are all doubles run three at a time: OrbiteX87Tre.S.)
#
# Each orbit steps exactly as the one-orbit loop steps it:
#   while n < max and m < 4:
#     x2 = zr*zr; y2 = zi*zi; m = x2 + y2;
#     zr' = (x2 - y2) + kr; zi' = (zr*2)*zi + ki; n += 1
# (m is the squared modulus before the step; a NaN ends the orbit too).
#
# Registers: %r8 and %r9 point at the orbits in lanes a and b (at a block of
# zeros when a lane has nothing left to do: its orbit of 0 never ends),
# %r10d and %r11d count their steps (a large negative count in an idle lane),
# %rdi is the next orbit of the batch, %rsi the end of the batch, %edx max.
# The x87 stack holds, between steps: zr(a) zi(a) zr(b) zi(b) 4.0.
# Each lane's end is its own branch, so an orbit that ends costs one
# mispredicted branch and no more.

#include "OrbitaX87.inc"

# st(pos) += the part of the constant at off(base), the sum of its two
# doubles; dopo is pos + 1, where st(pos) stands once that sum is pushed.
.macro  SOMMA_K off, base, dopo
        fldl    \off(\base)
        faddl   \off+8(\base)
        faddp   %st, %st(\dopo)
.endm

# Pushes the starting value of the orbit at base: zr zi.
.macro  CARICA base
        fldl    ZI(\base)
        faddl   ZI2(\base)
        fldl    ZR(\base)
        faddl   ZR2(\base)
.endm

# Points lane base/count at the next orbit of the batch and pushes its value,
# or makes the lane idle when the batch has no orbit left.
.macro  PROSSIMA base, conta, fatto
        cmpq    %rsi, %rdi
        jae     \fatto
        movq    %rdi, \base
        addq    $TAGLIA, %rdi
        CARICA  \base
        xorl    \conta, \conta
.endm

        .text
        .globl  quillmere_lotto_x87
        .type   quillmere_lotto_x87, @function
quillmere_lotto_x87:
        testl   %esi, %esi
        jle     .Lniente
        movslq  %esi, %rsi
        imulq   $TAGLIA, %rsi, %rsi
        addq    %rdi, %rsi                      # end of the batch
        flds    .Lquattro(%rip)                 # F
        movq    %rdi, %r8                       # lane a: the first orbit
        leaq    TAGLIA(%rdi), %r9               # lane b: the second one, if any
        leaq    2*TAGLIA(%rdi), %rdi            # the next to hand out
        cmpq    %rsi, %rdi
        jbe     1f
        movq    %rsi, %rdi
1:      cmpq    %rsi, %r9
        jb      2f
        leaq    .Lzeri(%rip), %r9
        fldz
        fldz                                    # 0 0 F
        movl    $INATTIVA, %r11d
        jmp     3f
2:      CARICA  %r9                             # br bi F
        xorl    %r11d, %r11d
3:      CARICA  %r8                             # ar ai br bi F
        xorl    %r10d, %r10d

.Lpasso:
        # lane a
        fld     %st(0)                          # ar ar ai br bi F
        fmul    %st(0), %st                     # x2 ar ai br bi F
        fld     %st(2)                          # ai x2 ar ai br bi F
        fmul    %st(0), %st                     # y2 x2 ar ai br bi F
        fld     %st(1)                          # x2 y2 x2 ar ai br bi F
        fadd    %st(1), %st                     # m y2 x2 ar ai br bi F
        fcomip  %st(7), %st                     # y2 x2 ar ai br bi F
        setb    %cl                             # m < 4, and not unordered:
        setnp   %ch                             # the orbit goes on
        andb    %ch, %cl
        fsubrp  %st, %st(1)                     # x2-y2 ar ai br bi F
        SOMMA_K KR, %r8, 1            # zr' ar ai br bi F
        fxch    %st(1)                          # ar zr' ai br bi F
        fadd    %st(0), %st                     # 2ar zr' ai br bi F
        fmulp   %st, %st(2)                     # zr' ai*2ar br bi F
        SOMMA_K KI, %r8, 2            # zr' zi' br bi F
        # lane b
        fld     %st(2)                          # br ar ai br bi F
        fmul    %st(0), %st                     # x2 ar ai br bi F
        fld     %st(4)                          # bi x2 ar ai br bi F
        fmul    %st(0), %st                     # y2 x2 ar ai br bi F
        fld     %st(1)
        fadd    %st(1), %st                     # m y2 x2 ar ai br bi F
        fcomip  %st(7), %st                     # y2 x2 ar ai br bi F
        setb    %al
        setnp   %ah
        andb    %ah, %al
        fsubrp  %st, %st(1)                     # x2-y2 ar ai br bi F
        SOMMA_K KR, %r9, 1            # zr' ar ai br bi F
        fxch    %st(3)                          # br ar ai zr' bi F
        fadd    %st(0), %st                     # 2br ar ai zr' bi F
        fmulp   %st, %st(4)                     # ar ai zr' bi*2br F
        SOMMA_K KI, %r9, 4            # ar ai zr' zi' F
        addl    $1, %r10d
        addl    $1, %r11d
        testb   %cl, %cl
        jz      .Lfine_a                      # lane a ended by its modulus
        cmpl    %edx, %r10d
        je      .Lfine_a                      # or by the limit
.Lcontrolla_b:
        testb   %al, %al
        jz      .Lfine_b
        cmpl    %edx, %r11d
        jne     .Lpasso

.Lfine_b:
        fxch    %st(2)                          # br ai ar bi F
        fstpt   ZR(%r9)                         # ai ar bi F
        fxch    %st(2)                          # bi ar ai F
        fstpt   ZI(%r9)                         # ar ai F
        movl    %r11d, N(%r9)
        PROSSIMA %r9, %r11d, 6f                 # br bi ar ai F
        fxch    %st(2)                          # ar bi br ai F
        fxch    %st(1)                          # bi ar br ai F
        fxch    %st(3)                          # ai ar br bi F
        fxch    %st(1)                          # ar ai br bi F
        jmp     .Lpasso
6:      leaq    .Lzeri(%rip), %r9
        fldz
        fldz                                    # 0 0 ar ai F
        movl    $INATTIVA, %r11d
        fxch    %st(2)
        fxch    %st(1)
        fxch    %st(3)
        fxch    %st(1)                          # ar ai 0 0 F
        # Both lanes idle: the batch is done.
        leaq    .Lzeri(%rip), %rcx
        cmpq    %rcx, %r8
        jne     .Lpasso
        jmp     .Lfatto

.Lfine_a:
        fstpt   ZR(%r8)
        fstpt   ZI(%r8)                         # br bi F
        movl    %r10d, N(%r8)
        PROSSIMA %r8, %r10d, 4f                 # ar ai br bi F
        jmp     .Lcontrolla_b
4:      leaq    .Lzeri(%rip), %r8
        fldz
        fldz                                    # 0 0 br bi F
        movl    $INATTIVA, %r10d
        leaq    .Lzeri(%rip), %rcx
        cmpq    %rcx, %r9
        jne     .Lcontrolla_b

.Lfatto:
        fstp    %st(0)
        fstp    %st(0)
        fstp    %st(0)
        fstp    %st(0)
        fstp    %st(0)
.Lniente:
        ret
        .size   quillmere_lotto_x87, .-quillmere_lotto_x87

        .section .rodata
        .align  16
.Lzeri:
        .zero   TAGLIA
.Lquattro:
        .float  4.0

        .section .note.GNU-stack,"",@progbits
