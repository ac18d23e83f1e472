# Two orbits of z <- z^2 + k at once on the x87 stack: while one orbit waits
# for the latency of an addition or a multiplication, the other computes.
#
# int32_t quillmere_orbite_x87(COrbita *a, COrbita *b, int32_t passi, int32_t *finite)
# COrbita: zr at 0, zi at 16, kr at 32, ki at 48 (80-bit values in 16-byte slots).
#
# Both orbits step together, each exactly as the one-orbit loop steps it:
#   x2 = zr*zr; y2 = zi*zi; m = x2 + y2;
#   zr' = (x2 - y2) + kr; zi' = (zr*2)*zi + ki.
# Stops after the first step whose m is 4 or more, or not a number, for
# either orbit, or after passi steps (passi >= 1). Returns the steps done;
# *finite gets bit 0 when a stopped that way, bit 1 when b did.
#
# The stack holds, between steps: zr(a) zi(a) zr(b) zi(b) 4.0.
        .text
        .globl  quillmere_orbite_x87
        .type   quillmere_orbite_x87, @function
quillmere_orbite_x87:
        flds    .Lquattro(%rip)         # F
        fldt    16(%rsi)                # bi F
        fldt    0(%rsi)                 # br bi F
        fldt    16(%rdi)                # ai br bi F
        fldt    0(%rdi)                 # ar ai br bi F
        xorl    %eax, %eax
        movl    %edx, %r8d
        movq    %rcx, %r9
.Lpasso:
        # orbit a
        fld     %st(0)                  # ar ar ai br bi F
        fmul    %st(0), %st             # x2 ar ai br bi F
        fld     %st(2)                  # ai x2 ar ai br bi F
        fmul    %st(0), %st             # y2 x2 ar ai br bi F
        fld     %st(1)                  # x2 y2 x2 ar ai br bi F
        fadd    %st(1), %st             # m y2 x2 ar ai br bi F
        fxch    %st(7)                  # F y2 x2 ar ai br bi m
        fcomi   %st(7), %st             # F > m: goes on
        fxch    %st(7)                  # m y2 x2 ar ai br bi F
        fstp    %st(0)                  # y2 x2 ar ai br bi F
        seta    %cl
        fsubrp  %st, %st(1)             # x2-y2 ar ai br bi F
        fldt    32(%rdi)
        faddp   %st, %st(1)             # nr ar ai br bi F
        fxch    %st(1)                  # ar nr ai br bi F
        fadd    %st(0), %st             # 2ar nr ai br bi F
        fmulp   %st, %st(2)             # nr ai*2ar br bi F
        fldt    48(%rdi)
        faddp   %st, %st(2)             # nr ni br bi F
        # orbit b
        fld     %st(2)                  # br nr ni br bi F
        fmul    %st(0), %st             # x2 ar ai br bi F
        fld     %st(4)                  # bi x2 ar ai br bi F
        fmul    %st(0), %st             # y2 x2 ar ai br bi F
        fld     %st(1)
        fadd    %st(1), %st             # m y2 x2 ar ai br bi F
        fxch    %st(7)
        fcomi   %st(7), %st
        fxch    %st(7)
        fstp    %st(0)                  # y2 x2 ar ai br bi F
        seta    %dl
        fsubrp  %st, %st(1)             # x2-y2 ar ai br bi F
        fldt    32(%rsi)
        faddp   %st, %st(1)             # nr ar ai br bi F
        fxch    %st(3)                  # br ar ai nr bi F
        fadd    %st(0), %st             # 2br ar ai nr bi F
        fmulp   %st, %st(4)             # ar ai nr bi*2br F
        fldt    48(%rsi)
        faddp   %st, %st(4)             # ar ai nr ni F
        addl    $1, %eax
        testb   %dl, %cl
        jz      .Lfine
        cmpl    %r8d, %eax
        jl      .Lpasso
.Lfine:
        # bit 0: a finished, bit 1: b finished (by the modulus)
        xorl    %r10d, %r10d
        testb   %cl, %cl
        jnz     1f
        orl     $1, %r10d
1:      testb   %dl, %dl
        jnz     2f
        orl     $2, %r10d
2:      movl    %r10d, (%r9)
        fstpt   0(%rdi)
        fstpt   16(%rdi)
        fstpt   0(%rsi)
        fstpt   16(%rsi)
        fstp    %st(0)
        ret
        .size   quillmere_orbite_x87, .-quillmere_orbite_x87
        .section .rodata
        .align 4
.Lquattro:
        .float  4.0
        .section .note.GNU-stack,"",@progbits
