#!/usr/bin/env python3
"""Writes the x87 routines that iterate a batch of orbits of z <- z^2 + k:

    python3 tools/genera-orbite.py due > engine/OrbiteX87.S
    python3 tools/genera-orbite.py tre > engine/OrbiteX87Tre.S

("ordini" prints, for each routine, the order of the stack between steps and
of a step's operations that needs the fewest exchanges.)

"due" runs two orbits at a time, with constants held as pairs of doubles;
"tre" runs three, for batches whose constants are all doubles. The routines
are generated because the x87 stack is nearly full: every operation needs
its operands at the top, and the exchanges that bring them there are easiest
to get right by following the stack, as this script does. Each line of the
output carries the stack after it.

Besides the steps themselves, each routine
- looks for an exact cycle: a lane saves its orbit's value now and then and
  compares it with the value every few steps; once the value repeats bit for
  bit the orbit is periodic, never escapes, and ends at the limit with the
  value (limit - n) mod period steps further on, which is all that is left to
  iterate;
- passes a checkpoint (a function of the caller) every few tens of thousands
  of steps of a lane, so that a long orbit can be parked or stopped.
"""

import itertools
import sys

# Steps between two looks for a cycle: the loop is unrolled this many times
# and looks at the end of each round, where it costs no mispredicted branch.
# A cycle shows once the steps since the save are a multiple of both the
# period and the round: rounds of 8 find the short periods of the interior
# sooner than rounds of 16, for about the same cost per step.
GIRO = 8
# The first value a lane saves is that at the end of the round in which it
# has done this many steps (the next ones each a quarter further on than the
# last): shorter orbits, which a cycle check could hardly shorten, pay
# nothing for saving. On the orbits that scene 2 of the bench iterates, a
# first save at 96 and windows growing by a quarter take 6% fewer steps than
# 128 and windows growing by half, and the saves they add cost less.
PRIMO_SALVATAGGIO = 96
# Steps of a lane between two checkpoints.
SOSTA = 32768

# The routine's own frame, above the stack pointer. Per lane (k = 0, 1, 2):
# the saved value, zr at SR and zi at SI (80-bit; an infinity while nothing is
# saved); the steps at the save (SC); the steps that ask for the next save
# (NS) and the next checkpoint (TK); where the three-orbit routine leaves the sign of m - 4 (SEGNI); the
# steps until the first lane reaches its target (EVENTO), and what it was when
# the lanes' counts last took in the steps done (CONTATO): the loop itself
# only counts down EVENTO.
# Besides: scratch for a value to compare bit for bit, the x87 stack and the
# registers while the checkpoint runs, the period (or the checkpoint's
# answer), a new lane's first target, the checkpoint and its argument.
def SR(k):
    return f"{32 * k}(%rsp)"


def SI(k):
    return f"{32 * k + 16}(%rsp)"


TMP_R = "96(%rsp)"
TMP_I = "112(%rsp)"
X87 = 128        # eight 16-byte slots
REGISTRI = 256   # nine 8-byte slots
SC = 328         # 4 bytes per lane
NS = 340         # 4 bytes per lane
SEGNI = 352      # 4 bytes per lane
PERIODO = "364(%rsp)"
BERSAGLIO = "368(%rsp)"
FUNZIONE = "376(%rsp)"
DATI = "384(%rsp)"
TK = 392         # 4 bytes per lane
EVENTO = "404(%rsp)"  # steps until the first lane reaches its target
CONTATO = "408(%rsp)"  # EVENTO when the counts were last brought up to date
CORNICE = 424    # with the six pushes, keeps %rsp 16-byte aligned at the call
SALVATI = ["%rax", "%rcx", "%rdx", "%rsi", "%rdi", "%r8", "%r9", "%r10", "%r11"]


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

    def carica(self, memoria, nuovo, tipo="l"):
        self.st.insert(0, nuovo)
        assert len(self.st) <= 8
        self.scrivi(f"{'fld' + tipo:<7} {memoria}")

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

    def opera_e_togli(self, op, v, altro, nuovo, al_posto_di_altro=False):
        """v <- v op altro, left where v was while altro leaves the stack,
        or (al_posto_di_altro) where altro was while v leaves it."""
        cima, resta = (v, altro) if al_posto_di_altro else (altro, v)
        self.in_cima(cima)
        i = self.pos(resta)
        self.st[i] = nuovo
        self.st.pop(0)
        # AT&T names st(i) <- st(i) - st(0) fsubrp, st(i) <- st(0) - st(i) fsubp.
        sottrai = "fsubp" if al_posto_di_altro else "fsubrp"
        nome = {"sub": sottrai, "add": "faddp", "mul": "fmulp"}[op]
        self.scrivi(f"{nome:<7} %st, %st({i})")

    def confronta_e_togli(self, v, altro):
        """Compares v with altro (the flags of an unsigned comparison, and
        PF for unordered); v leaves the stack."""
        self.in_cima(v)
        i = self.pos(altro)
        self.st.pop(0)
        self.scrivi(f"fucomip %st({i}), %st")

    def salva_e_togli(self, v, memoria, tipo):
        self.in_cima(v)
        self.st.pop(0)
        self.scrivi(f"{'fstp' + tipo:<7} {memoria}")


class Routine:
    """What sets the two routines apart."""

    def __init__(self, tipo):
        self.tre = tipo == "tre"
        self.nome = "quillmere_lotto_x87_tre" if self.tre else "quillmere_lotto_x87"
        self.corsie = "abc" if self.tre else "ab"
        self.puntatore = dict(zip("abc", ["%r8", "%r9", "%r10"]))
        self.bersaglio = dict(zip("abc", ["%r12d", "%r13d", "%r14d"]))
        if self.tre:
            self.conta = dict(zip("abc", ["%r11d", "%ecx", "%ebx"]))
        else:
            self.conta = dict(zip("ab", ["%r10d", "%r11d"]))
            # Where each lane leaves whether its orbit goes on (and the
            # register that helps to compute it).
            self.avanti = {"a": ("%cl", "%ch"), "b": ("%al", "%ah")}
        # The stack's order between steps, and the order of each step's
        # operations: those that need the fewest exchanges, as
        # "genera-orbite.py ordini" finds them (for three orbits 13 a step of
        # each, against 17 in the order of the lanes; for two, 4 against 8).
        if self.tre:
            self.ordine = ["ib", "ra", "ia", "rb", "rc", "ic"]
        else:
            self.ordine = ["ra", "ia", "rb", "ib", "F"]
        # For each lane: y2 before x2, m copied from y2, x2 - y2 left where
        # y2 was, ki added before kr (see passo).
        scelta = (False, False, False, False) if self.tre else (True, False, True, False)
        self.variante = {L: scelta for L in self.corsie}

    def indice(self, L):
        return self.corsie.index(L)

    def segno(self, L):
        return f"{SEGNI + 4 * self.indice(L)}(%rsp)"

    def sc(self, L):
        return f"{SC + 4 * self.indice(L)}(%rsp)"

    def ns(self, L):
        return f"{NS + 4 * self.indice(L)}(%rsp)"

    def tk(self, L):
        return f"{TK + 4 * self.indice(L)}(%rsp)"


def passo(r, p, L, variante=None):
    """One step of lane L: z <- z^2 + k, exactly as the one-orbit loop:
    x2 = zr*zr; y2 = zi*zi; m = x2 + y2; zr' = (x2 - y2) + kr;
    zi' = (zr*2)*zi + ki; the orbit goes on while m < 4. The variant picks
    among orders of the same operations, which differ only in the exchanges
    they need."""
    y_prima, m_da_y, d_al_posto_di_y, ki_prima = variante or r.variante[L]
    zr, zi, base = "r" + L, "i" + L, r.puntatore[L]
    x, y = "x" + L, "y" + L
    p.riga(f"        # lane {L}")
    p.copia(zr, "t")
    p.opera("add", "t", "t", "2" + zr)
    p.opera("mul", "2" + zr, zi, "p" + L)            # (zr*2)*zi
    for v, nuovo in ((zi, y), (zr, x)) if y_prima else ((zr, x), (zi, y)):
        p.opera("mul", v, v, nuovo)                  # x2, y2
    primo, secondo = (y, x) if m_da_y else (x, y)
    p.copia(primo, "m")
    p.opera("add", "m", secondo, "m")                # m = x2 + y2
    if r.tre:
        # No room for the constant 4: m - 4 is negative exactly when m < 4,
        # and its sign survives the rounding to a float, which the integer
        # unit tests. (No NaN reaches here: the values stay finite.)
        p.opera_memoria("sub", "m", ".Lquattro(%rip)", "m", tipo="s")
        p.salva_e_togli("m", r.segno(L), "s")
    else:
        # m < 4, and not unordered: the orbit goes on.
        p.confronta_e_togli("m", "F")
        si, aiuto = r.avanti[L]
        p.riga(f"        setb    {si}")
        p.riga(f"        setnp   {aiuto}")
        p.riga(f"        andb    {aiuto}, {si}")
    p.opera_e_togli("sub", x, y, "d" + L, al_posto_di_altro=d_al_posto_di_y)  # x2 - y2
    somme = [("d" + L, "KR", zr), ("p" + L, "KI", zi)]
    if ki_prima:
        somme.reverse()
    if r.tre:
        for v, campo, nuovo in somme:
            p.opera_memoria("add", v, f"{campo}({base})", nuovo)
    else:
        # The constant is the sum of its two doubles, exact in 80 bits.
        for v, campo, nuovo in somme:
            p.carica(f"{campo}({base})", "k")
            p.opera_memoria("add", "k", f"{campo}+8({base})", "k")
            p.opera_e_togli("add", v, "k", nuovo)


def disponi(p, ordine):
    """Brings the stack back to the given order."""
    for i, v in enumerate(ordine):
        if p.st[i] != v:
            p.in_cima(v)
            if i:
                p.st[0], p.st[i] = p.st[i], p.st[0]
                p.scrivi(f"fxch    %st({i})")
    assert p.st == ordine


def niente_salvato(p, memoria_base):
    """A lane's saved value when it has none: an 80-bit infinity, which no
    orbit value equals (the values stay finite)."""
    spiazzamento, resto = memoria_base.split("(")
    s = int(spiazzamento)
    p.riga(f"        movl    $0, {s}({resto}")
    p.riga(f"        movl    $0x80000000, {s + 4}({resto}")
    p.riga(f"        movw    $0x7FFF, {s + 8}({resto}")


def carica_orbita(r, p, L):
    """Pushes the starting value of lane L's orbit: zi, then zr."""
    base = r.puntatore[L]
    for v, campo in (("i" + L, "ZI"), ("r" + L, "ZR")):
        p.carica(f"{campo}({base})", v)
        p.opera_memoria("add", v, f"{campo}2({base})", v)


def prossima_orbita(r, p, L):
    """Points lane L at the next orbit of the batch and pushes its value, or
    makes the lane idle when the batch has no orbit left. Either way the lane
    starts with nothing saved."""
    base, n = r.puntatore[L], r.conta[L]
    niente_salvato(p, SR(r.indice(L)))
    p.riga("        cmpq    %rsi, %rdi")
    p.riga("        jae     1f")
    p.riga(f"        movq    %rdi, {base}")
    p.riga("        addq    $TAGLIA, %rdi")
    p.riga(f"        xorl    {n}, {n}")
    p.riga(f"        movl    {BERSAGLIO}, {r.bersaglio[L]}")
    p.riga(f"        movl    ${PRIMO_SALVATAGGIO}, {r.ns(L)}")
    p.riga(f"        movl    ${SOSTA}, {r.tk(L)}")
    stato = list(p.st)
    carica_orbita(r, p, L)
    p.riga("        jmp     2f")
    p.st = stato
    p.riga(f"1:      leaq    .Lzeri(%rip), {base}")
    p.riga(f"        movl    $INATTIVA, {n}")
    p.riga(f"        movl    $0x7FFFFFFF, {r.bersaglio[L]}")
    p.riga(f"        movl    $0x7FFFFFFF, {r.ns(L)}")
    p.zero("i" + L)
    p.zero("r" + L)
    p.riga("2:")


def sosta(r, p):
    """Passes the caller's checkpoint: the x87 stack and the registers in
    use go to the frame (a call needs an empty x87 stack), and come back
    unless the checkpoint stops the batch."""
    ordine = list(p.st)
    for k in range(len(ordine)):
        p.salva_e_togli(p.st[0], f"{X87 + 16 * k}(%rsp)", "t")
    for k, reg in enumerate(SALVATI):
        p.riga(f"        movq    {reg}, {REGISTRI + 8 * k}(%rsp)")
    p.riga(f"        movq    {DATI}, %rdi")
    p.riga(f"        call    *{FUNZIONE}")
    p.riga(f"        movzbl  %al, %eax")
    p.riga(f"        movl    %eax, {PERIODO}")
    for k, reg in enumerate(SALVATI):
        p.riga(f"        movq    {REGISTRI + 8 * k}(%rsp), {reg}")
    p.riga(f"        cmpl    $0, {PERIODO}")
    p.riga("        je      .Lfermato")
    for k in reversed(range(len(ordine))):
        p.carica(f"{X87 + 16 * k}(%rsp)", ordine[k], tipo="t")
    assert p.st == ordine


def finita(r, p, L, dove):
    """Jumps to dove when the step just done ended lane L's orbit by its
    modulus: the sign of m - 4 the three-orbit routine stored, or the flag
    the two-orbit routine set."""
    if r.tre:
        p.riga(f"        movl    {r.segno(L)}, %eax")
        p.riga("        testl   %eax, %eax")
        p.riga(f"        jns     {dove}")
    else:
        p.riga(f"        testb   {r.avanti[L][0]}, {r.avanti[L][0]}")
        p.riga(f"        jz      {dove}")


def qualcuna(r, p, dove):
    """Jumps to dove when the step just done ended some lane's orbit by its
    modulus: the signs of m - 4 are all negative, or the flags all set,
    while every orbit goes on."""
    if r.tre:
        p.riga(f"        movl    {r.segno('a')}, %eax")
        for L in r.corsie[1:]:
            p.riga(f"        andl    {r.segno(L)}, %eax")
        p.riga(f"        jns     {dove}")
    else:
        p.riga(f"        testb   {r.avanti['a'][0]}, {r.avanti['b'][0]}")
        p.riga(f"        jz      {dove}")


def conta(r, p):
    """Adds the steps done since the counts were last brought up to date to
    every lane's count (an idle lane's stays far below any target)."""
    p.riga(f"        movl    {CONTATO}, %edx")
    p.riga(f"        subl    {EVENTO}, %edx")
    for L in r.corsie:
        p.riga(f"        addl    %edx, {r.conta[L]}")
    p.riga(f"        movl    {EVENTO}, %edx")
    p.riga(f"        movl    %edx, {CONTATO}")


def evento(r, p):
    """Sets the steps until the first lane reaches its target, unsigned, so
    that an idle lane (a target far below its count) counts as never."""
    for j, L in enumerate(r.corsie):
        reg = "%eax" if j == 0 else "%edx"
        p.riga(f"        movl    {r.bersaglio[L]}, {reg}")
        p.riga(f"        subl    {r.conta[L]}, {reg}")
        if j:
            p.riga("        cmpl    %eax, %edx")
            p.riga("        cmovbl  %edx, %eax")
    p.riga(f"        movl    %eax, {EVENTO}")
    p.riga(f"        movl    %eax, {CONTATO}")


def fine_corsia(r, p, L):
    """Lane L has reached the end of a step with its orbit ended, or its
    count at the lane's target. %rbp holds where to go on."""
    base, n = r.puntatore[L], r.conta[L]
    p.riga(f".Lfine_{L}:")
    finita(r, p, L, f".Lesce_{L}                  # ended by its modulus")
    p.riga(f"        cmpl    %r15d, {n}")
    p.riga(f"        je      .Lesce_{L}                  # or by the limit")
    p.riga("        # The lane's target: a checkpoint.")
    p.riga(f"        cmpl    {r.tk(L)}, {n}")
    p.riga("        jne     2f")
    sosta(r, p)
    p.riga(f"        movl    {n}, %edx")
    p.riga(f"        addl    ${SOSTA}, %edx")
    p.riga("        jno     1f")
    p.riga("        movl    $0x7FFFFFFF, %edx")
    p.riga(f"1:      movl    %edx, {r.tk(L)}")
    p.riga("2:")
    bersaglio(r, p, L)
    p.riga("        jmp     *%rbp")

    p.riga(f".Lesce_{L}:")
    p.salva_e_togli("r" + L, f"ZR({base})", "t")
    p.salva_e_togli("i" + L, f"ZI({base})", "t")
    p.riga(f"        movl    {n}, N({base})")
    prossima_orbita(r, p, L)
    disponi(p, r.ordine)
    p.riga("        # All lanes idle: the batch is done.")
    p.riga("        leaq    .Lzeri(%rip), %rdx")
    for A in r.corsie:
        p.riga(f"        cmpq    %rdx, {r.puntatore[A]}")
        p.riga("        jne     1f")
    p.riga("        jmp     .Lfatto")
    p.riga("1:      jmp     *%rbp")


def bersaglio(r, p, L):
    """The count at which lane L next stops: the limit or the next
    checkpoint, whichever comes first."""
    t = r.bersaglio[L]
    p.riga(f"        movl    %r15d, {t}")
    p.riga(f"        cmpl    {r.tk(L)}, {t}")
    p.riga(f"        cmovgl  {r.tk(L)}, {t}")


def fine_giro(r, p, L):
    """At the end of a round: saves lane L's value when its steps have
    reached the next save (saving at a round's end, where the lane compares,
    makes the steps between a save and a comparison multiples of the round,
    as a period must divide them), or else compares the value with the one
    it saved (an infinity while there is none). Falls through to the next
    lane's look; the rest goes out of line."""
    k, n = r.indice(L), r.conta[L]
    p.riga(f".Lgiro_{L}:")
    p.riga(f"        cmpl    {r.ns(L)}, {n}")
    p.riga(f"        jge     .Lsalva_{L}                # signed: never an idle lane")
    p.carica(SR(k), "s", tipo="t")
    p.confronta_e_togli("s", "r" + L)
    p.riga(f"        je      .Lsospetto_{L}")
    p.riga(f".Lgiro_{L}_fatto:")


def salva(r, p, L):
    """Saves lane L's value for the cycle check."""
    k, n = r.indice(L), r.conta[L]
    p.riga(f".Lsalva_{L}:")
    for v, memoria in (("r" + L, SR(k)), ("i" + L, SI(k))):
        p.copia(v, "s")
        p.salva_e_togli("s", memoria, "t")
    p.riga(f"        movl    {n}, {r.sc(L)}")
    p.riga("        # The next save a quarter further on: a periodic orbit is found soon")
    p.riga("        # after it turns periodic, while the window between two saves")
    p.riga("        # still grows to hold any period, and an orbit that escapes late")
    p.riga("        # stops for few saves.")
    p.riga(f"        movl    {n}, %edx")
    p.riga("        shrl    $2, %edx")
    p.riga(f"        addl    {n}, %edx")
    p.riga("        jno     1f")
    p.riga("        movl    $0x7FFFFFFF, %edx")
    p.riga(f"1:      movl    %edx, {r.ns(L)}")
    p.riga(f"        jmp     .Lgiro_{L}_fatto")


def ciclo(r, p, L, dopo):
    """A value as saved: if zi is too, bit for bit, the orbit is periodic."""
    k, n = r.indice(L), r.conta[L]
    p.riga(f".Lsospetto_{L}:")
    p.riga("        # zr is as saved (not just now, in this very step): zi too, and then")
    p.riga("        # bit for bit (a zero's sign counts)?")
    p.riga(f"        cmpl    {r.sc(L)}, {n}")
    p.riga(f"        je      .Lgiro_{L}_fatto")
    p.carica(SI(k), "s", tipo="t")
    p.confronta_e_togli("s", "i" + L)
    p.riga(f"        jne     .Lgiro_{L}_fatto")
    p.riga(f"        jp      .Lgiro_{L}_fatto")
    for v, memoria in (("r" + L, TMP_R), ("i" + L, TMP_I)):
        p.copia(v, "s")
        p.salva_e_togli("s", memoria, "t")
    for tmp, salvato in ((TMP_R, SR(k)), (TMP_I, SI(k))):
        t0, resto = tmp.split("(")
        s0, resto2 = salvato.split("(")
        p.riga(f"        movq    {tmp}, %rax")
        p.riga(f"        cmpq    {salvato}, %rax")
        p.riga(f"        jne     .Lgiro_{L}_fatto")
        p.riga(f"        movzwl  {int(t0) + 8}({resto}, %eax")
        p.riga(f"        cmpw    {int(s0) + 8}({resto2}, %ax")
        p.riga(f"        jne     .Lgiro_{L}_fatto")
    p.riga("        # Periodic since the save: the steps left, modulo the period, are all")
    p.riga("        # that is left to do; the rest the check spared. No more saves; the")
    p.riga("        # next checkpoint as far on as from a new orbit.")
    p.riga(f"        movl    {n}, %eax")
    p.riga(f"        subl    {r.sc(L)}, %eax")
    p.riga(f"        movl    %eax, {PERIODO}")
    p.riga("        movl    %r15d, %eax")
    p.riga(f"        subl    {n}, %eax")
    p.riga("        xorl    %edx, %edx")
    p.riga(f"        divl    {PERIODO}")
    p.riga(f"        imull   {PERIODO}, %eax                 # the steps left less the remainder")
    p.riga(f"        movl    %eax, RISPARMIATI({r.puntatore[L]})")
    p.riga(f"        movl    %r15d, {n}")
    p.riga(f"        subl    %edx, {n}")
    p.riga(f"        movl    $0x7FFFFFFF, {r.ns(L)}")
    niente_salvato(p, SR(k))
    p.riga("        testl   %edx, %edx")
    p.riga("        jnz     1f")
    p.riga("        # Nothing left: the orbit ends here.")
    p.riga(f"        leaq    {dopo}(%rip), %rbp")
    p.riga(f"        jmp     .Lesce_{L}")
    p.riga(f"1:      movl    {n}, %edx")
    p.riga(f"        addl    ${SOSTA}, %edx")
    p.riga("        jno     2f")
    p.riga("        movl    $0x7FFFFFFF, %edx")
    p.riga(f"2:      movl    %edx, {r.tk(L)}")
    bersaglio(r, p, L)
    p.riga(f"        jmp     {dopo}")


def genera(tipo):
    r = Routine(tipo)
    p = Pila([])
    p.riga(intestazione(r))
    p.riga(f"{r.nome}:")
    p.riga("        testl   %esi, %esi")
    p.riga("        jle     .Lniente")
    for reg in ("%rbx", "%rbp", "%r12", "%r13", "%r14", "%r15"):
        p.riga(f"        pushq   {reg}")
    p.riga(f"        subq    ${CORNICE}, %rsp")
    p.riga(f"        movq    %rcx, {FUNZIONE}")
    p.riga(f"        movq    %r8, {DATI}")
    p.riga("        movl    %edx, %r15d                     # max")
    p.riga(f"        movl    ${SOSTA}, %eax")
    p.riga("        cmpl    %r15d, %eax")
    p.riga("        cmovg   %r15d, %eax")
    p.riga(f"        movl    %eax, {BERSAGLIO}               # a new lane's first target")
    p.riga("        movslq  %esi, %rsi")
    p.riga("        imulq   $TAGLIA, %rsi, %rsi")
    p.riga("        addq    %rdi, %rsi                      # end of the batch")
    if not r.tre:
        p.carica(".Lquattro(%rip)", "F", tipo="s")
    # The first orbits, or zeros for lanes that have none.
    for L in reversed(r.corsie):
        prossima_orbita(r, p, L)
    disponi(p, r.ordine)

    p.riga(".Linizio:")
    evento(r, p)
    for g in range(GIRO):
        p.riga(f".Lpasso{g or ''}:")
        for L in r.corsie:
            passo(r, p, L)
        disponi(p, r.ordine)
        # One look for all lanes: each lane's own comes out of line.
        p.riga(f"        subl    $1, {EVENTO}")
        p.riga(f"        je      .Lconta{g}")
        qualcuna(r, p, f".Lconta{g}")
        p.riga(f".Lpasso{g}_fatto:")
    conta(r, p)
    for L in r.corsie:
        fine_giro(r, p, L)
    p.riga("        jmp     .Linizio")
    for g in range(GIRO):
        # Each lane's end is its own branch; after handling it, the next
        # lane's check follows, and after the last the steps until a target.
        p.riga(f".Lconta{g}:")
        conta(r, p)
        for L in r.corsie:
            p.riga(f".Lcontrolla_{L}{g}:")
            finita(r, p, L, f".Lvai_{L}{g}")
            p.riga(f"        cmpl    {r.bersaglio[L]}, {r.conta[L]}")
            p.riga(f"        je      .Lvai_{L}{g}")
        p.riga(f".Lcontrollate{g}:")
        evento(r, p)
        p.riga(f"        jmp     .Lpasso{g}_fatto")
        for j, L in enumerate(r.corsie):
            if j + 1 < len(r.corsie):
                dopo = f".Lcontrolla_{r.corsie[j + 1]}{g}"
            else:
                dopo = f".Lcontrollate{g}"
            p.riga(f".Lvai_{L}{g}:")
            p.riga(f"        leaq    {dopo}(%rip), %rbp")
            p.riga(f"        jmp     .Lfine_{L}")
    for L in r.corsie:
        fine_corsia(r, p, L)
    for j, L in enumerate(r.corsie):
        dopo = f".Lgiro_{r.corsie[j + 1]}" if j + 1 < len(r.corsie) else ".Linizio"
        salva(r, p, L)
        ciclo(r, p, L, dopo)

    p.riga(".Lfatto:")
    for _ in r.ordine:
        p.riga("        fstp    %st(0)")
    p.riga("        movl    $1, %eax")
    p.riga("        jmp     .Lesci")
    p.riga(".Lfermato:")
    p.riga("        xorl    %eax, %eax")
    p.riga(".Lesci:")
    p.riga(f"        addq    ${CORNICE}, %rsp")
    for reg in ("%r15", "%r14", "%r13", "%r12", "%rbp", "%rbx"):
        p.riga(f"        popq    {reg}")
    p.riga("        ret")
    p.riga(".Lniente:")
    p.riga("        movl    $1, %eax")
    p.riga("        ret")
    p.riga(coda(r))
    return "\n".join(p.righe) + "\n"


def intestazione(r):
    pila = " ".join(f"z{v[0]}({v[1]})" for v in r.ordine if v != "F")
    if r.tre:
        righe = f"""# A batch of orbits of z <- z^2 + k, three at a time on the x87 stack, for
# batches whose constants are all doubles (both low parts zero).
# Generated by tools/genera-orbite.py: change that script, not this file.
#
# Three orbits run at once, so that the latency of each addition and
# multiplication is hidden; with no room left for the constant 4 on the
# stack, each lane stores the sign of m - 4 as a float and the integer unit
# tests it.
# Registers: %r8, %r9, %r10 point at the orbits of lanes a, b, c (at a block
# of zeros when a lane has nothing left to do: its orbit of 0 never ends);
# %r11d, %ecx, %ebx count their steps (a large negative count in an idle
# lane); %r12d, %r13d, %r14d are the counts at which each lane next stops
# (the limit, or a checkpoint); %rdi is the next orbit of the batch, %rsi the
# end, %r15d max; %rbp where a lane's end goes on.
# The x87 stack holds, between steps: {pila}."""
    else:
        righe = f"""# A batch of orbits of z <- z^2 + k, two at a time on the x87 stack: while
# one orbit waits for the latency of an addition or a multiplication, the
# other computes. The constants are pairs of doubles, added as their exact
# 80-bit sum. (Batches whose constants are all doubles run three at a time:
# OrbiteX87Tre.S.)
# Generated by tools/genera-orbite.py: change that script, not this file.
#
# Registers: %r8 and %r9 point at the orbits in lanes a and b (at a block of
# zeros when a lane has nothing left to do: its orbit of 0 never ends),
# %r10d and %r11d count their steps (a large negative count in an idle
# lane), %r12d and %r13d are the counts at which each lane next stops (the
# limit, or a checkpoint); %cl and %al say whether the lanes go on; %rdi is
# the next orbit of the batch, %rsi the end, %r15d max; %rbp where a lane's
# end goes on.
# The x87 stack holds, between steps: zr(a) zi(a) zr(b) zi(b) 4.0."""
    return righe + f"""
#
# int {r.nome}(COrbita *orbite, int32_t quante, int32_t max,
#                 bool (*sosta)(void *), void *dati)
# Every orbit ends with exactly the count and the value of the one-orbit
# loop, max >= 1:
#   while n < max and m < 4:
#     x2 = zr*zr; y2 = zi*zi; m = x2 + y2;
#     zr' = (x2 - y2) + kr; zi' = (zr*2)*zi + ki; n += 1
# An orbit whose value repeats bit for bit ends at once with n = max and the
# value (max - n) mod period steps further on; RISPARMIATI gets the steps
# that spared. Every {SOSTA} steps of a lane the routine calls sosta(dati):
# when it returns false, the routine returns 0 at once and the batch is
# left unfinished; otherwise it returns 1 when the batch is done.
# The loop runs rounds of {GIRO} steps; at the end of a round each lane
# compares its value with the one it saved, first at the end of the round
# in which it reaches {PRIMO_SALVATAGGIO} steps, then whenever its steps have grown by
# a quarter since (Brent's cycle detection, with windows that grow more
# slowly than his doubling ones).

#include "OrbitaX87.inc"

        .text
        .globl  {r.nome}
        .type   {r.nome}, @function"""


def coda(r):
    return f"""        .size   {r.nome}, .-{r.nome}

        .section .rodata
        .align  16
.Lzeri:
        .zero   TAGLIA
.Lquattro:
        .float  4.0

        .section .note.GNU-stack,"",@progbits"""


def scambi(r, ordine, variante):
    """The exchanges that a step of every lane needs, from and back to the
    given order of the stack, with the given variant of passo."""
    p = Pila(list(ordine))
    for L in r.corsie:
        passo(r, p, L, variante)
    disponi(p, list(ordine))
    return sum(1 for riga in p.righe if "fxch" in riga)


def ordini():
    """For each routine, the order of the stack and the variant of passo
    (the same for every lane) that need the fewest exchanges a step."""
    for tipo in ("tre", "due"):
        r = Routine(tipo)
        valori = [v for v in r.ordine if v != "F"]
        coda_fissa = [] if r.tre else ["F"]
        migliore = min(
            (scambi(r, list(o) + coda_fissa, v), list(o) + coda_fissa, v)
            for o in itertools.permutations(valori)
            for v in itertools.product((False, True), repeat=4))
        adesso = scambi(r, r.ordine, None)
        print(f"{tipo}: {migliore[0]} exchanges with {migliore[1]} {migliore[2]}; {adesso} as generated")


if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in ("due", "tre", "ordini"):
        sys.stderr.write("uso: genera-orbite.py due|tre|ordini\n")
        sys.exit(2)
    if sys.argv[1] == "ordini":
        ordini()
    else:
        sys.stdout.write(genera(sys.argv[1]))
