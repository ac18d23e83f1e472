#!/usr/bin/env python3
"""Writes engine/OrbiteX87Tre.S, the x87 routine that iterates a batch of
orbits three at a time, for batches whose constants are all doubles.

The routine is generated because three orbits fill the x87 stack: every
operation needs its operands at the top, and the exchanges that bring them
there are easiest to get right by following the stack, as this script does.
Each line of the output carries the stack after it.

    python3 tools/genera-orbite-tre.py > engine/OrbiteX87Tre.S
"""

import sys

CORSIE = "abc"
PUNTATORE = {"a": "%r8", "b": "%r9", "c": "%r10"}
CONTA = {"a": "%r11d", "b": "%ecx", "c": "%ebx"}
# Where each lane leaves the sign of m - 4 (the red zone below the stack pointer).
SEGNO = {"a": "-4(%rsp)", "b": "-8(%rsp)", "c": "-12(%rsp)"}


class Pila:
    """The x87 stack as the generated code leaves it, top first."""

    def __init__(self, valori):
        self.st = list(valori)
        self.righe = []

    def scrivi(self, istruzione):
        self.righe.append(f"        {istruzione:<32}# {' '.join(self.st)}")

    def riga(self, testo):
        self.righe.append(testo)

    def pos(self, v):
        return self.st.index(v)

    def in_cima(self, v):
        i = self.pos(v)
        if i:
            self.st[0], self.st[i] = self.st[i], self.st[0]
            self.scrivi(f"fxch    %st({i})")

    def copia(self, v, nuovo):
        i = self.pos(v)
        self.st.insert(0, nuovo)
        assert len(self.st) <= 8
        self.scrivi(f"fld     %st({i})")

    def carica(self, memoria, nuovo):
        self.st.insert(0, nuovo)
        assert len(self.st) <= 8
        self.scrivi(f"fldl    {memoria}")

    def zero(self, nuovo):
        self.st.insert(0, nuovo)
        assert len(self.st) <= 8
        self.scrivi("fldz")

    def opera(self, op, v, altro, nuovo):
        """v <- v op altro, with v brought to the top."""
        self.in_cima(v)
        i = self.pos(altro)
        self.st[0] = nuovo
        self.scrivi(f"f{op:<6} %st({i}), %st")

    def opera_memoria(self, op, v, memoria, nuovo, tipo="l"):
        """v <- v op the double (or, with tipo s, the float) in memory."""
        self.in_cima(v)
        self.st[0] = nuovo
        self.scrivi(f"{'f' + op + tipo:<7} {memoria}")

    def sottrai_e_togli(self, v, sottraendo, nuovo):
        """v <- v - sottraendo; sottraendo leaves the stack."""
        self.in_cima(sottraendo)
        i = self.pos(v)
        self.st[i] = nuovo
        self.st.pop(0)
        # The AT&T mnemonic of st(i) <- st(i) - st(0), then pop.
        self.scrivi(f"fsubrp  %st, %st({i})")

    def salva_e_togli(self, v, memoria, tipo):
        self.in_cima(v)
        self.st.pop(0)
        self.scrivi(f"{'fstp' + tipo:<7} {memoria}")


def passo(p, L):
    """One step of lane L: z <- z^2 + k, and the sign of m - 4, exactly as the
    one-orbit loop: x2 = zr*zr; y2 = zi*zi; m = x2 + y2;
    zr' = (x2 - y2) + kr; zi' = (zr*2)*zi + ki."""
    zr, zi, base = "r" + L, "i" + L, PUNTATORE[L]
    p.riga(f"        # lane {L}")
    p.copia(zr, "t")
    p.opera("add", "t", "t", "2" + zr)
    p.opera("mul", "2" + zr, zi, "p" + L)            # (zr*2)*zi
    p.opera("mul", zr, zr, "x" + L)                  # x2
    p.opera("mul", zi, zi, "y" + L)                  # y2
    p.copia("x" + L, "m")
    p.opera("add", "m", "y" + L, "m")                # m = x2 + y2
    # m - 4 is negative exactly when m < 4; its sign survives the rounding
    # to a float. (No NaN reaches here: the values stay finite.)
    p.opera_memoria("sub", "m", ".Lquattro(%rip)", "m", tipo="s")
    p.salva_e_togli("m", SEGNO[L], "s")
    p.sottrai_e_togli("x" + L, "y" + L, "d" + L)     # x2 - y2
    p.opera_memoria("add", "d" + L, f"KR({base})", zr)
    p.opera_memoria("add", "p" + L, f"KI({base})", zi)


def disponi(p, ordine):
    """Brings the stack back to the given order."""
    for i, v in enumerate(ordine):
        if p.st[i] != v:
            p.in_cima(v)
            if i:
                p.st[0], p.st[i] = p.st[i], p.st[0]
                p.scrivi(f"fxch    %st({i})")
    assert p.st == ordine


def carica_orbita(p, L):
    """Pushes the starting value of lane L's orbit: zi, then zr."""
    base = PUNTATORE[L]
    for v, campo in (("i" + L, "ZI"), ("r" + L, "ZR")):
        p.carica(f"{campo}({base})", v)
        p.opera_memoria("add", v, f"{campo}2({base})", v)


def prossima_orbita(p, L):
    """Points lane L at the next orbit of the batch and pushes its value, or
    makes the lane idle when the batch has no orbit left."""
    base, n = PUNTATORE[L], CONTA[L]
    p.riga("        cmpq    %rsi, %rdi")
    p.riga("        jae     1f")
    p.riga(f"        movq    %rdi, {base}")
    p.riga("        addq    $TAGLIA, %rdi")
    p.riga(f"        xorl    {n}, {n}")
    stato = list(p.st)
    carica_orbita(p, L)
    p.riga("        jmp     2f")
    p.st = stato
    p.riga(f"1:      leaq    .Lzeri(%rip), {base}")
    p.riga(f"        movl    $INATTIVA, {n}")
    p.zero("i" + L)
    p.zero("r" + L)
    p.riga("2:")


def fine_corsia(p, L, ordine, dopo):
    """Lane L's orbit has ended: its final value and steps are stored, and
    the next orbit of the batch takes its place."""
    base = PUNTATORE[L]
    p.riga(f".Lfine_{L}:")
    p.salva_e_togli("r" + L, f"ZR({base})", "t")
    p.salva_e_togli("i" + L, f"ZI({base})", "t")
    p.riga(f"        movl    {CONTA[L]}, N({base})")
    prossima_orbita(p, L)
    disponi(p, ordine)
    p.riga("        # All lanes idle: the batch is done.")
    p.riga("        leaq    .Lzeri(%rip), %rax")
    for A in CORSIE:
        p.riga(f"        cmpq    %rax, {PUNTATORE[A]}")
        p.riga(f"        jne     {dopo}")
    p.riga("        jmp     .Lfatto")


def genera():
    ordine = [v for L in CORSIE for v in ("r" + L, "i" + L)]
    p = Pila([])
    p.riga(INTESTAZIONE)
    p.riga("quillmere_lotto_x87_tre:")
    p.riga("        testl   %esi, %esi")
    p.riga("        jle     .Lniente")
    p.riga("        pushq   %rbx")
    p.riga("        movslq  %esi, %rsi")
    p.riga("        imulq   $TAGLIA, %rsi, %rsi")
    p.riga("        addq    %rdi, %rsi                      # end of the batch")
    # The first three orbits, or zeros for lanes that have none.
    for L in reversed(CORSIE):
        prossima_orbita(p, L)
    assert p.st == ordine

    p.riga(".Lpasso:")
    for L in CORSIE:
        passo(p, L)
    disponi(p, ordine)
    for L in CORSIE:
        p.riga(f"        addl    $1, {CONTA[L]}")
    # Each lane's end is its own branch; after handling it, the next lane's
    # check follows.
    successivo = {"a": ".Lcontrolla_b", "b": ".Lcontrolla_c", "c": ".Lpasso"}
    for L in CORSIE:
        if L != "a":
            p.riga(f".Lcontrolla_{L}:")
        p.riga(f"        movl    {SEGNO[L]}, %eax")
        p.riga(f"        testl   %eax, %eax")
        p.riga(f"        jns     .Lfine_{L}                  # ended by its modulus")
        p.riga(f"        cmpl    %edx, {CONTA[L]}")
        p.riga(f"        je      .Lfine_{L}                  # or by the limit")
    p.riga("        jmp     .Lpasso")

    for L in CORSIE:
        fine_corsia(p, L, ordine, successivo[L])

    p.riga(".Lfatto:")
    for _ in ordine:
        p.riga("        fstp    %st(0)")
    p.riga("        popq    %rbx")
    p.riga(".Lniente:")
    p.riga("        ret")
    p.riga(CODA)
    return "\n".join(p.righe) + "\n"


INTESTAZIONE = """# A batch of orbits of z <- z^2 + k, three at a time on the x87 stack.
# Generated by tools/genera-orbite-tre.py: change that script, not this file.
#
# void quillmere_lotto_x87_tre(COrbita *orbite, int32_t quante, int32_t max)
# The orbits are laid out as for quillmere_lotto_x87 (engine/OrbiteX87.S),
# their constants all doubles (both low parts zero); max >= 1. Three orbits
# run at once, so that the latency of each addition and multiplication is
# hidden; with no room left for the constant 4 on the stack, each lane stores
# the sign of m - 4 as a float and the integer unit tests it.
# Registers: %r8, %r9, %r10 point at the orbits of lanes a, b, c (at a block
# of zeros when a lane has nothing left to do: its orbit of 0 never ends);
# %r11d, %ecx, %ebx count their steps (a large negative count in an idle
# lane); %rdi is the next orbit of the batch, %rsi the end, %edx max.
# The x87 stack holds, between steps: zr(a) zi(a) zr(b) zi(b) zr(c) zi(c).

#include "OrbitaX87.inc"

        .text
        .globl  quillmere_lotto_x87_tre
        .type   quillmere_lotto_x87_tre, @function"""

CODA = """        .size   quillmere_lotto_x87_tre, .-quillmere_lotto_x87_tre

        .section .rodata
        .align  16
.Lzeri:
        .zero   TAGLIA
.Lquattro:
        .float  4.0

        .section .note.GNU-stack,"",@progbits"""

if __name__ == "__main__":
    sys.stdout.write(genera())
