#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

// Zeroed memory for a drawing's large buffers, taken straight from the
// system and given back to it when released. Its pages cost nothing until
// first written; from two megabytes up it asks for huge pages, so that
// writing it all costs a page fault every two megabytes instead of one every
// four kilobytes (a hint: a system without them maps ordinary pages).
struct RilasciaMemoria
{
    size_t Byte = 0; // how much was mapped
    void operator()(void *p) const;
};

template <class T>
using CMemoriaAzzerata = std::unique_ptr<T[], RilasciaMemoria>;

// The room for byte bytes, zeroed; null when it cannot be had.
void *MemoriaAzzerata(size_t byte, RilasciaMemoria &rilascio);

// The room for quanti zeroed T; null when it cannot be had.
template <class T>
CMemoriaAzzerata<T> AllocaAzzerata(size_t quanti)
{
    static_assert(std::is_trivially_copyable_v<T>, "zeroed bytes must make a T");
    RilasciaMemoria rilascio;
    T *p = quanti <= SIZE_MAX / sizeof(T) ? static_cast<T *>(MemoriaAzzerata(quanti * sizeof(T), rilascio)) : nullptr;
    return CMemoriaAzzerata<T>(p, rilascio);
}
