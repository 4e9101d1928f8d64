#include "reference/ReferenceText.h"

#include <cstddef>

namespace veltrano::reference {

namespace {

using Index = long long;

unsigned char ByteAt(TextView text, Index i) { return static_cast<unsigned char>(text[static_cast<std::size_t>(i)]); }
Index Size(TextView text) { return static_cast<Index>(text.size()); }
bool IsLead(TextView text, Index i) { return ByteAt(text, i) >= 0x80; }
bool IsLone(TextView text, Index i) { return IsLead(text, i) && i == Size(text) - 1; }
unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

bool EqualAt(TextView text, Index p, TextView sub, bool fold) {
    if (p + Size(sub) > Size(text)) return false;
    for (Index k = 0; k < Size(sub); ++k) {
        unsigned char a = ByteAt(text, p + k);
        unsigned char b = ByteAt(sub, k);
        if (fold) {
            a = Fold(a);
            b = Fold(b);
        }
        if (a != b) return false;
    }
    return true;
}

bool IsSpaceAt(TextView text, Index i) {
    if (ByteAt(text, i) == 0x20) return true;
    return i + 1 < Size(text) && ByteAt(text, i) == 0xA1 && ByteAt(text, i + 1) == 0xA1;
}

// Every candidate of the region in scan order; the scan steps by characters
// and ends at a lone lead byte.
template <class Visit>
void Scan(TextView text, Index regionStart, TextView sub, bool fold, Visit visit) {
    for (Index p = regionStart; p < Size(text);) {
        if (EqualAt(text, p, sub, fold) && !visit(p)) return;
        if (IsLone(text, p)) return;
        p += IsLead(text, p) ? 2 : 1;
    }
}

}  // namespace

int Find(TextView text, TextView sub, int start, bool ignoreCase) {
    Index regionStart = start <= 1 ? 0 : start - 1;
    if (regionStart >= Size(text)) return -1;
    if (sub.empty()) return 1;
    Index found = -1;
    Scan(text, regionStart, sub, ignoreCase, [&](Index p) {
        found = p;
        return false;
    });
    return found < 0 ? -1 : static_cast<int>(found + 1);
}

int FindLast(TextView text, TextView sub, bool ignoreCase) {
    if (text.empty()) return -1;
    if (sub.empty()) return 1;
    Index found = -1;
    Scan(text, 0, sub, ignoreCase, [&](Index p) {
        found = p;
        return true;
    });
    return found < 0 ? -1 : static_cast<int>(found + 1);
}

Text Replace(TextView text, TextView sub, TextView replacement, bool caseSensitive) {
    if (text.empty() || sub.empty()) return Text(text);
    Text result;
    Index i = 0;
    while (Size(text) - i >= Size(sub)) {
        if (EqualAt(text, i, sub, !caseSensitive)) {
            result += replacement;
            i += Size(sub);
        } else if (IsLone(text, i)) {
            ++i;  // dropped
        } else {
            const Index length = IsLead(text, i) ? 2 : 1;
            result += text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(length));
            i += length;
        }
    }
    if (i < Size(text)) result += text.substr(static_cast<std::size_t>(i));
    return result;
}

TextList Split(TextView text, TextView separator) {
    TextList list;
    if (text.empty()) return list;
    if (separator.empty()) return {text};
    Index pieceStart = 0;
    Index i = 0;
    while (Size(text) - i >= Size(separator)) {
        if (EqualAt(text, i, separator, false)) {
            list.push_back(text.substr(static_cast<std::size_t>(pieceStart), static_cast<std::size_t>(i - pieceStart)));
            i += Size(separator);
            pieceStart = i;
        } else if (IsLone(text, i)) {
            break;
        } else {
            i += IsLead(text, i) ? 2 : 1;
        }
    }
    if (pieceStart < Size(text)) list.push_back(text.substr(static_cast<std::size_t>(pieceStart)));
    return list;
}

Text Trim(TextView text) {
    Index i = 0;
    while (i < Size(text) && IsSpaceAt(text, i)) i += ByteAt(text, i) == 0x20 ? 1 : 2;
    const Index begin = i;
    Index end = Size(text);
    Index runStart = -1;
    while (i < Size(text)) {
        if (IsLone(text, i)) {
            end = i;
            runStart = -1;
            break;
        }
        if (IsSpaceAt(text, i)) {
            if (runStart < 0) runStart = i;
            i += ByteAt(text, i) == 0x20 ? 1 : 2;
        } else {
            runStart = -1;
            i += IsLead(text, i) ? 2 : 1;
        }
    }
    if (runStart >= 0) end = runStart;
    return Text(text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
}

Text RemoveSpaces(TextView text) {
    Text result;
    for (Index i = 0; i < Size(text);) {
        if (IsLone(text, i)) break;
        if (IsSpaceAt(text, i)) {
            i += ByteAt(text, i) == 0x20 ? 1 : 2;
            continue;
        }
        const Index length = IsLead(text, i) ? 2 : 1;
        result += text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(length));
        i += length;
    }
    return result;
}

Text Between(TextView text, TextView left, TextView right, int start, bool caseSensitive) {
    const TextView placeholder = "#\xd2\xfd\xba\xc5";
    const Text l = Replace(left, placeholder, "\"", true);
    const Text r = Replace(right, placeholder, "\"", true);
    int a = Find(text, l, start, !caseSensitive);
    if (a == -1) return {};
    a += static_cast<int>(l.size());
    const int b = Find(text, r, a, !caseSensitive);
    if (b == -1) return {};
    if (a < 1 || a > Size(text) || b - a <= 0) return {};
    return Text(text.substr(static_cast<std::size_t>(a - 1), static_cast<std::size_t>(b - a)));
}

}  // namespace veltrano::reference
