#include "Memoria.h"

#include <algorithm>
#include <cstdlib>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#include <unistd.h>
#define QUILLMERE_MAPPA 1
#endif

#ifdef QUILLMERE_MAPPA

namespace {
// The size of a huge page where the system has them (x86-64's).
constexpr size_t PaginaGrande = size_t(2) << 20;
} // namespace

void *MemoriaAzzerata(size_t byte, RilasciaMemoria &rilascio)
{
    const bool grande = byte >= PaginaGrande;
    const size_t passo = grande ? PaginaGrande : size_t(sysconf(_SC_PAGESIZE));
    byte = std::max<size_t>(byte, 1);
    if (byte > SIZE_MAX - 2 * passo)
        return nullptr;
    // Whole pages, and for huge ones a page more, to start on a huge page's
    // boundary; what the alignment leaves over at either end goes back.
    const size_t lunghezza = (byte + passo - 1) / passo * passo;
    const size_t chiesti = lunghezza + (grande ? PaginaGrande : 0);
    void *mappa = mmap(nullptr, chiesti, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mappa == MAP_FAILED)
        return nullptr;
    char *base = static_cast<char *>(mappa);
    const size_t testa = (passo - reinterpret_cast<uintptr_t>(base) % passo) % passo;
    char *inizio = base + testa;
    if (testa > 0)
        munmap(base, testa);
    if (chiesti - testa > lunghezza)
        munmap(inizio + lunghezza, chiesti - testa - lunghezza);
#ifdef MADV_HUGEPAGE
    if (grande)
        madvise(inizio, lunghezza, MADV_HUGEPAGE);
#endif
    rilascio.Byte = lunghezza;
    return inizio;
}

void RilasciaMemoria::operator()(void *p) const
{
    if (p)
        munmap(p, Byte);
}

#else

void *MemoriaAzzerata(size_t byte, RilasciaMemoria &rilascio)
{
    rilascio.Byte = byte;
    return std::calloc(std::max<size_t>(byte, 1), 1);
}

void RilasciaMemoria::operator()(void *p) const
{
    std::free(p);
}

#endif
