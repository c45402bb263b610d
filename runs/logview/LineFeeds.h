// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TARNHOLD_AVX2_SPANS 1
#endif

// The byte searches behind the line index, made 16 or 32 bytes at a time where the processor
// can. Only the line index includes this: each is inlined where it scans.
namespace runs::logview::linefeeds {

namespace detail {
constexpr std::array<bool, 256> ProblemStarts = [] {
    std::array<bool, 256> starts{};
    for (int byte = 'A'; byte <= 'Z'; ++byte)
        starts[byte] = true;
    starts[' '] = starts['\t'] = true;
    return starts;
}();
} // namespace detail

// Whether a line that starts with this byte may be more than plain: every class of line but
// plain starts with a capital A-Z after any blanks.
inline bool mayStartProblem(char byte) {
    return detail::ProblemStarts[static_cast<unsigned char>(byte)];
}

// Bit i set where block[i] is a line feed, for a block of 64 bytes.
inline quint64 inBlock(const char* block) {
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    quint64 mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
        mask |= quint64(quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)))) << (16 * i);
    }
    return mask;
#else
    quint64 mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= quint64(block[i] == '\n') << i;
    return mask;
#endif
}

// How many of 256 bytes are line feeds.
inline int countInSpan(const char* span) {
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    __m128i counts = _mm_setzero_si128(); // at most 16 a lane
    for (int i = 0; i < 16; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(span + 16 * i));
        counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, feed));
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
#else
    int count = 0;
    for (int i = 0; i < 256; ++i)
        count += span[i] == '\n' ? 1 : 0;
    return count;
#endif
}

// The line feeds of 256 bytes: a bit each in four words of 64 bytes, their count, and whether a
// line that starts after one of them may be more than plain (a line feed followed by a capital,
// a blank or one of a few rare bytes: a span that says no holds none). Reads one byte past the
// span.
struct Span {
    int count = 0;
    bool problemMayStart = false;
};

// Bit patterns of the bytes after line feeds, 16 (or 32) at a time. A capital is told by moving
// 'A' to the lowest signed byte, after which the capitals are the 26 lowest; a blank by its
// bits outside 0x29, which only space, tab and a few rare bytes ('!', '(', ')' and three control
// characters) lack. A few spans too many take the slow way; none too few.
inline constexpr char ToLowest = static_cast<char>(0x80 - 'A');
inline constexpr char PastZ = static_cast<char>(-128 + 26);
inline constexpr char NotBlank = static_cast<char>(0xD6);

// The same test a byte at a time.
inline bool takenForProblemStart(char byte) {
    return mayStartProblem(byte) || (byte & NotBlank) == 0;
}

#if defined(__SSE2__)
// Sixteen bits at a time, lowest first: on a little-endian processor they make the words.
static_assert(std::endian::native == std::endian::little);

// Whether any of 256 bytes is a line feed followed by a byte that may start a problem.
inline bool anyProblemStart(const char* span) {
    const __m128i feed = _mm_set1_epi8('\n');
    __m128i starts = _mm_setzero_si128();
    for (int i = 0; i < 16; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(span + 16 * i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(span + 16 * i + 1));
        const __m128i capital =
            _mm_cmplt_epi8(_mm_add_epi8(next, _mm_set1_epi8(ToLowest)), _mm_set1_epi8(PastZ));
        const __m128i blank =
            _mm_cmpeq_epi8(_mm_and_si128(next, _mm_set1_epi8(NotBlank)), _mm_setzero_si128());
        starts = _mm_or_si128(
            starts, _mm_and_si128(_mm_cmpeq_epi8(bytes, feed), _mm_or_si128(capital, blank)));
    }
    return _mm_movemask_epi8(starts) != 0;
}

// 16 bytes at a time the line feeds are found; the bytes after them are looked at one by one
// where there are few, 16 at a time where there are many. The words are put together in
// registers: read back from four stores, each would wait for them.
inline Span inSpan(const char* span, quint64 (&words)[4]) {
    const __m128i feed = _mm_set1_epi8('\n');
    __m128i counts = _mm_setzero_si128(); // at most 16 a lane
    for (int word = 0; word < 4; ++word) {
        const auto feedsAt = [&](int part) {
            return _mm_cmpeq_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(span + 64 * word + 16 * part)),
                feed);
        };
        const __m128i first = feedsAt(0);
        const __m128i second = feedsAt(1);
        const __m128i third = feedsAt(2);
        const __m128i fourth = feedsAt(3);
        counts = _mm_sub_epi8(
            counts, _mm_add_epi8(_mm_add_epi8(first, second), _mm_add_epi8(third, fourth)));
        const auto bits = [](__m128i feeds) { return quint64(quint32(_mm_movemask_epi8(feeds))); };
        words[word] = bits(first) | bits(second) << 16 | bits(third) << 32 | bits(fourth) << 48;
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    Span found{_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4)};
    if (found.count > 16)
        return {found.count, anyProblemStart(span)};
    for (int word = 0; word < 4; ++word) {
        for (quint64 mask = words[word]; mask != 0; mask &= mask - 1) {
            if (takenForProblemStart(span[64 * word + std::countr_zero(mask) + 1]))
                return {found.count, true};
        }
    }
    return found;
}
#else
inline Span inSpan(const char* span, quint64 (&words)[4]) {
    Span found;
    for (int word = 0; word < 4; ++word) {
        words[word] = inBlock(span + 64 * word);
        for (quint64 mask = words[word]; mask != 0; mask &= mask - 1) {
            ++found.count;
            found.problemMayStart =
                found.problemMayStart ||
                takenForProblemStart(span[64 * word + std::countr_zero(mask) + 1]);
        }
    }
    return found;
}
#endif

#if defined(TARNHOLD_AVX2_SPANS)
// The same 32 bytes at a time, on processors that have the instructions.
__attribute__((target("avx2"))) inline Span inSpanAvx2(const char* span, quint64 (&words)[4]) {
    const __m256i feed = _mm256_set1_epi8('\n');
    __m256i counts = _mm256_setzero_si256(); // at most 8 a lane
    __m256i starts = _mm256_setzero_si256();
    quint64 low = 0; // the bits of the first 32 bytes of a word
    for (int i = 0; i < 8; ++i) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(span + 32 * i));
        const __m256i next =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(span + 32 * i + 1));
        const __m256i feeds = _mm256_cmpeq_epi8(bytes, feed);
        counts = _mm256_sub_epi8(counts, feeds);
        const quint64 bits = quint32(_mm256_movemask_epi8(feeds));
        if (i % 2 == 0)
            low = bits;
        else
            words[i / 2] = low | bits << 32;
        const __m256i capital = _mm256_cmpgt_epi8(
            _mm256_set1_epi8(PastZ), _mm256_add_epi8(next, _mm256_set1_epi8(ToLowest)));
        const __m256i blank = _mm256_cmpeq_epi8(_mm256_and_si256(next, _mm256_set1_epi8(NotBlank)),
                                                _mm256_setzero_si256());
        starts = _mm256_or_si256(starts, _mm256_and_si256(feeds, _mm256_or_si256(capital, blank)));
    }
    const __m256i sums = _mm256_sad_epu8(counts, _mm256_setzero_si256());
    const __m128i both =
        _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    return {_mm_cvtsi128_si32(both) + _mm_extract_epi16(both, 4),
            !_mm256_testz_si256(starts, starts)};
}

// Whether the processor has the instructions inSpanAvx2 needs.
inline bool hasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace runs::logview::linefeeds
